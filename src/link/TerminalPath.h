#pragma once

#include <QString>

// Terminal paths: a drive "C:\", a folder C:\DATA, a file C:\DATA\X.TXT.

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
