#include "terminal/TerminalStatus.h"

#include "link/DirectoryListing.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"

#include <QJsonArray>

namespace {

constexpr qsizetype kMaxProjects = 256;
constexpr qsizetype kMaxText = 64;

QString Bounded(const QString& text) { return text.left(kMaxText); }

}  // namespace

std::optional<TerminalStatus> ReadTerminalStatus(TerminalLibrary& library, const ConnectionSettings& record) {
    TerminalLink link(library, record);
    if (!link) return std::nullopt;
    TerminalStatus status;
    status.identified = link.ReadIdentity(status.identity) == kSuccess;
    for (const char* drive : kTerminalDrives) {
        DriveSpace space{QString::fromLatin1(drive, 2)};
        if (link.DiskInfo(drive, space.capacityKB, space.freeKB) == kSuccess) status.drives.push_back(space);
    }
    std::vector<DirectoryEntry> entries;
    if (link.ListFolder("D:\\", entries) == kSuccess) {
        for (const DirectoryEntry& entry : entries) {
            if (entry.IsProjectInformationFile()) status.projects << TerminalText(entry.name);
        }
    }
    status.projects.sort(Qt::CaseInsensitive);
    return status;
}

QJsonObject StatusValues(const TerminalStatus& status) {
    QJsonArray drives;
    for (const DriveSpace& space : status.drives) {
        drives.append(QJsonObject{{"drive", space.drive}, {"capacityKB", space.capacityKB}, {"freeKB", space.freeKB}});
    }
    return {{"identified", status.identified},
            {"model", QString::fromStdString(status.identity.model)},
            {"firmware", QString::fromStdString(status.identity.firmware)},
            {"serial", QString::fromStdString(status.identity.serialNumber)},
            {"projects", QJsonArray::fromStringList(status.projects)},
            {"drives", drives}};
}

TerminalStatus StatusFromValues(const QJsonObject& values) {
    TerminalStatus status;
    status.identified = values["identified"].toBool();
    status.identity.model = Bounded(values["model"].toString()).toStdString();
    status.identity.firmware = Bounded(values["firmware"].toString()).toStdString();
    status.identity.serialNumber = Bounded(values["serial"].toString()).toStdString();
    for (const QJsonValue& project : values["projects"].toArray()) {
        if (status.projects.size() == kMaxProjects) break;
        status.projects << Bounded(project.toString());
    }
    for (const QJsonValue& value : values["drives"].toArray()) {
        if (status.drives.size() == kTerminalDrives.size()) break;
        const QJsonObject drive = value.toObject();
        status.drives.push_back({Bounded(drive["drive"].toString()), drive["capacityKB"].toInt(),
                                 drive["freeKB"].toInt()});
    }
    return status;
}
