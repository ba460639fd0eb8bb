#include "terminal/ItemProperties.h"

#include "core/ItemKind.h"
#include "core/Services.h"
#include "link/TerminalLink.h"
#include "platform/Clock.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "project/MemberPath.h"

#include <algorithm>

namespace {

constexpr char kFileNotExist[] = "The file is not exist.";
// The terminal needs a moment between the listings of a folder walk.
constexpr int kWalkPauseMs = 100;

bool SameName(const std::string& a, const std::string& b) {
    return TerminalText(a).compare(TerminalText(b), Qt::CaseInsensitive) == 0;
}

// Folders below a drive: "C:\A" lies one level deep, "C:\A\B" two.
int FolderLevel(const std::string& path) {
    return static_cast<int>(std::count(path.begin(), path.end(), '\\'));
}

// A name a walk may go down into: one folder of the folder listed, never itself or its parent.
bool IsChildFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string::npos;
}


constexpr int kWalkCancelled = -1;

int WalkFolder(const Services& services, TerminalLink& link, const std::string& path,
               std::string& date, int64_t& size) {
    const QString folder = TerminalText(path);
    if (!services.progress.BeforeFile(folder, QStringLiteral("folder size"), 0)) return kWalkCancelled;
    std::vector<DirectoryEntry> entries;
    if (const ResultCode rc = link.ListFolder(path, entries); rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return 1;
    }
    int64_t own = 0;
    for (const DirectoryEntry& entry : entries) {
        if (entry.IsFile()) {
            own += entry.size;
            continue;
        }
        // A terminal holds folders two levels deep; a module that claims more, or lists a
        // folder inside itself, must not send the walk round for ever.
        if (!entry.IsFolder() || !IsChildFolderName(entry.name) ||
            FolderLevel(path) >= kTerminalFolderLevels) {
            continue;
        }
        services.clock.Pause(kWalkPauseMs);
        std::string scratch;
        int64_t subtotal = 0;
        if (const int result = WalkFolder(services, link, path + "\\" + entry.name, scratch, subtotal)) {
            return result;
        }
        size += subtotal;
    }
    size += own;
    services.progress.AfterFile(own);

    services.clock.Pause(kWalkPauseMs);
    const size_t separator = path.rfind('\\');
    std::string parent = path.substr(0, separator == std::string::npos ? 0 : separator);
    if (parent.ends_with(':')) parent += '\\';
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (const ResultCode rc = link.ListFolder(parent, entries); rc != kSuccess) {
        ShowMessage(services.prompter, ResultCodeMessage(rc));
        return rc;
    }
    for (const DirectoryEntry& entry : entries) {
        if (entry.IsFolder() && SameName(entry.name, name)) date = entry.date;
    }
    return 0;
}

}  // namespace

int ReadFolderInfo(const Services& services, TerminalLink& link, const std::string& path,
                   std::string& date, int64_t& size) {
    return WalkFolder(services, link, path, date, size);
}

std::optional<ItemProperties> ReadItemProperties(const Services& services,
                                                 const ConnectionSettings& settings, int image,
                                                 const QString& path, const QString& text) {
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return std::nullopt;
    }
    const std::string terminalPath = TerminalBytes(path);
    QString location = path.left(std::max<qsizetype>(path.lastIndexOf(u'\\'), 0));
    ItemProperties properties;
    properties.name = text;

    if (image == kKindFixed) {
        int32_t capacity = 0;
        int32_t other = 0;
        int32_t free = 0;
        // The link's DiskInfo drops the second result, which the dialog keeps.
        const ResultCode rc =
            services.library.TpDiskInfo(link.Handle(), terminalPath.c_str(), &capacity, &other, &free);
        if (rc != kSuccess) {
            ShowMessage(services.prompter, ResultCodeMessage(rc));
            return std::nullopt;
        }
        properties.kind = PropertiesKind::Drive;
        properties.first = capacity;
        properties.second = free;
        properties.third = other;
        return properties;
    }

    if (image == kKindFolder) {
        std::string date;
        int64_t size = 0;
        if (ReadFolderInfo(services, link, terminalPath, date, size) != 0) return std::nullopt;
        properties.kind = PropertiesKind::Folder;
        properties.location = location;
        properties.first = size;
        properties.date = TerminalText(date);
        return properties;
    }

    if (image == kKindFile) {
        if (location.size() < 3) location += u'\\';
        std::vector<DirectoryEntry> entries;
        if (const ResultCode rc = link.ListFolder(TerminalBytes(location), entries);
            rc != kSuccess) {
            ShowMessage(services.prompter, ResultCodeMessage(rc));
            return std::nullopt;
        }
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const DirectoryEntry& entry) {
            return TerminalText(entry.DisplayName()).compare(text, Qt::CaseInsensitive) == 0;
        });
        if (found == entries.end()) {
            ShowMessage(services.prompter, kFileNotExist);
            return std::nullopt;
        }
        properties.kind = PropertiesKind::File;
        properties.location = location;
        properties.first = found->size;
        properties.date = TerminalText(found->date);
        return properties;
    }
    return std::nullopt;
}

std::optional<TerminalIdentity> ReadRosterIdentity(const Services& services,
                                                   const ConnectionSettings& record) {
    TerminalLink link(services.library, record);
    if (!link) {
        ShowMessage(services.prompter, kDeviceOfflineText);
        return std::nullopt;
    }
    // A failed read is not reported: the dialog then shows empty texts.
    TerminalIdentity identity;
    link.ReadIdentity(identity);
    return identity;
}
