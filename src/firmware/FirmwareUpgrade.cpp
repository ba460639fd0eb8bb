#include "firmware/FirmwareUpgrade.h"

#include "app/Globals.h"
#include "app/TarvikDoc.h"
#include "link/PortParsing.h"
#include "link/ResultCodes.h"
#include "link/TerminalLibrary.h"
#include "platform/Prompter.h"

#include <QFile>
#include <algorithm>

namespace {

constexpr char kUpgradeComplete[] =
    "Upgrade complete!\r\nPress any terminal key to restart Terminal!";

// The link stays open only for the one call; the terminal restarts on its own key press.
ResultCode UpgradeOverLink(uint32_t handle, const QString& imagePath) {
    ScopedLink link(handle);
    // The library opens the file itself, so it gets the path as the file system spells it.
    const QByteArray path = QFile::encodeName(imagePath);
    return Tp().TpUpgradeFirmware(link.get(), path.constData(), 1);
}

}  // namespace

bool FirmwareUpgradeEnabled(bool projectMode, const CTarvikDoc& doc) {
    return projectMode ? !doc.terminals.empty() : !doc.settings.model.empty();
}

QString UpgradeItemText(const ConnectionSettings& record) {
    const QString port = QString::fromStdString(record.portName);
    if (NamesUsbTerminal(record.portName)) {
        return QStringLiteral("USB-%1").arg(port);
    }
    return QStringLiteral("%1-%2-%3")
        .arg(port, QString::fromStdString(record.model),
             QString::fromStdString(record.serialNumber));
}

void UpgradeFileModeTerminal() {
    const QString imagePath = Prompt().OpenFile(kFirmwareFileFilter, kFirmwareFileSuffix);
    if (imagePath.isEmpty()) return;

    const uint32_t handle = OpenLinkFor(g_doc->settings);
    if (handle == 0) {
        ShowMessage(QStringLiteral("Device is Off-line"));
        return;
    }
    const ResultCode result = UpgradeOverLink(handle, imagePath);
    ShowMessage(result == kSuccess ? QString(kUpgradeComplete)
                                   : QString::fromStdString(ResultCodeText(result)));
}

void UpgradeCheckedTerminals(const std::vector<std::unique_ptr<ConnectionSettings>>& terminals,
                             const std::vector<bool>& checked, const QString& imagePath) {
    if (imagePath.isEmpty()) {
        ShowMessage(QStringLiteral("Selecte F/W file to upgrade!"));
        return;
    }

    bool anySelected = false;
    bool anyUpgraded = false;
    const size_t count = std::min(terminals.size(), checked.size());
    for (size_t k = 0; k < count; ++k) {
        if (!checked[k]) continue;
        anySelected = true;
        const ConnectionSettings& record = *terminals[k];
        const uint32_t handle = OpenLinkFor(record);
        if (handle == 0) {
            ShowMessage(QStringLiteral("%1-%2 is Off-line!")
                            .arg(QString::fromStdString(record.model),
                                 QString::fromStdString(record.serialNumber)));
            continue;
        }
        const ResultCode result = UpgradeOverLink(handle, imagePath);
        if (result == kSuccess) {
            anyUpgraded = true;
        } else {
            ShowMessage(QString::fromStdString(ResultCodeText(result)));
        }
    }

    if (!anySelected) {
        ShowMessage(QStringLiteral("Select terminal to upgrade!"));
    } else if (anyUpgraded) {
        ShowMessage(kUpgradeComplete);
    }
}
