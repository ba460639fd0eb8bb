#pragma once

#include "link/ConnectionSettings.h"
#include "link/TerminalIdentity.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

struct Services;
class TerminalLink;

// What a terminal drive, folder or file is kind of, as the properties dialog shows it.
enum class PropertiesKind : int { Drive = 0, Folder = 1, File = 2 };

// What the Property command shows of a File Mode terminal drive, folder or file.
struct ItemProperties {
    PropertiesKind kind = PropertiesKind::File;
    QString name;
    QString location;
    int64_t first = 0;   // capacity in KB, or size in bytes
    int32_t second = 0;  // a drive's free space in KB
    int32_t third = 0;   // a drive's further value, never shown
    QString date;
};

// Reads the properties of the terminal item of kind `image` at `path` over a link of its own,
// closed before it returns. None after the failure was shown, or for an item without any.
std::optional<ItemProperties> ReadItemProperties(const Services& services,
                                                 const ConnectionSettings& settings, int image,
                                                 const QString& path, const QString& text);

// Adds the sizes of the files in the terminal folder `path` and in its sub-folders, as deep
// as a terminal holds folders, to `size`, and stores the folder's own date in `date`. 0 on
// success; otherwise the failure has been shown (a cancel shows nothing).
int ReadFolderInfo(const Services& services, TerminalLink& link, const std::string& path,
                   std::string& date, int64_t& size);

// The identity of a roster terminal, empty texts when its read fails; none when the terminal
// cannot be reached, after "Device is Off-line!".
std::optional<TerminalIdentity> ReadRosterIdentity(const Services& services,
                                                   const ConnectionSettings& record);
