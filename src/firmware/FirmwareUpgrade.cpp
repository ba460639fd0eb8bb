#include "firmware/FirmwareUpgrade.h"

#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/TerminalLink.h"
#include "platform/PcFileSystem.h"
#include "platform/Prompter.h"

#include <algorithm>

bool RefuseNonFileImage(const Services& services, const QString& imagePath) {
    const std::optional<PcEntry> entry = services.files.Stat(imagePath);
    if (!entry || (!entry->folder && !entry->system)) return false;
    ShowMessage(services.prompter,
                QStringLiteral("%1 is not a firmware image file.").arg(imagePath));
    return true;
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

void UpgradeFileModeTerminal(const Services& services, const ConnectionSettings& settings) {
    const QString imagePath = services.prompter.OpenFile(kFirmwareFileFilter, kFirmwareFileSuffix);
    if (imagePath.isEmpty()) return;
    OperationJournal journal(services, settings, QStringLiteral("upgrade"), {imagePath});
    if (RefuseNonFileImage(journal.Work(), imagePath)) return;

    // The link stays open only for the one call; the terminal restarts on its own key press.
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(journal.Work().prompter, QStringLiteral("Device is Off-line"));
        return;
    }
    const ResultCode result = link.UpgradeFirmware(imagePath);
    link.Close();
    if (result != kSuccess) {
        ShowMessage(journal.Work().prompter, ResultCodeMessage(result));
        return;
    }
    journal.Finish(true);
    ShowMessage(services.prompter, kUpgradeCompleteText);
}

int UpgradeCheckedTerminals(const Services& services,
                             const std::vector<std::unique_ptr<ConnectionSettings>>& terminals,
                             const std::vector<bool>& checked, const QString& imagePath) {
    if (imagePath.isEmpty()) {
        ShowMessage(services.prompter, QStringLiteral("Selecte F/W file to upgrade!"));
        return 0;
    }
    const size_t count = std::min(terminals.size(), checked.size());
    if (RefuseNonFileImage(services, imagePath)) {
        // Each checked terminal's line tells why it was left as it was.
        for (size_t k = 0; k < count; ++k) {
            if (checked[k])
                OperationJournal(services, *terminals[k], QStringLiteral("upgrade"), {imagePath})
                    .Finish(false, QStringLiteral("%1 is not a firmware image file.").arg(imagePath));
        }
        return 0;
    }

    bool anySelected = false;
    int upgraded = 0;
    for (size_t k = 0; k < count; ++k) {
        if (!checked[k]) continue;
        anySelected = true;
        const ConnectionSettings& record = *terminals[k];
        OperationJournal journal(services, record, QStringLiteral("upgrade"), {imagePath});
        TerminalLink link(services.library, record);
        if (!link) {
            ShowMessage(journal.Work().prompter, QStringLiteral("%1-%2 is Off-line!")
                            .arg(QString::fromStdString(record.model),
                                 QString::fromStdString(record.serialNumber)));
            continue;
        }
        const ResultCode result = link.UpgradeFirmware(imagePath);
        link.Close();
        if (result == kSuccess) {
            ++upgraded;
            journal.Finish(true);
        } else {
            ShowMessage(journal.Work().prompter, ResultCodeMessage(result));
        }
    }

    if (!anySelected) {
        ShowMessage(services.prompter, QStringLiteral("Select terminal to upgrade!"));
    } else if (upgraded > 0) {
        ShowMessage(services.prompter, kUpgradeCompleteText);
    }
    return upgraded;
}
