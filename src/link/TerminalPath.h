#pragma once

#include <QString>

#include <array>

// Terminal paths: a drive "C:\", a folder C:\DATA, a file C:\DATA\X.TXT.

// The drives a terminal may have, in the order they are probed; E: is not on every model.
inline constexpr std::array<const char*, 3> kTerminalDrives{"C:\\", "D:\\", "E:\\"};

// A terminal holds folders at most two levels below a drive (C:\A\B).
inline constexpr int kTerminalFolderLevels = 2;

// A folder (or a drive, "C:\") and a name joined with one "\"; for QString and std::string
// paths alike.
template <class Text>
Text JoinTerminalPath(const Text& folder, const Text& name) {
    if (folder.size() > 0 && folder.back() == '\\') return folder + name;
    return folder + '\\' + name;
}

// The parent of C:\X.TXT is the drive C:\, that of C:\DATA\X.TXT the folder C:\DATA.
QString TerminalParentPath(const QString& path);
QString TerminalNameOf(const QString& path);
