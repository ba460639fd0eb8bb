#include "terminal/TerminalRename.h"

#include "core/OperationJournal.h"
#include "core/Services.h"
#include "link/TerminalLink.h"
#include "platform/Prompter.h"

namespace {

bool Rename(const Services& services, const ConnectionSettings& settings, const QString& oldPath,
            const QString& newName) {
    TerminalLink link(services.library, settings);
    if (!link) {
        ShowMessage(services.prompter, QStringLiteral("Device is Off-line"));
        return false;
    }
    // Names are bytes on the terminal, taken one for one as the tree took them.
    const ResultCode rc =
        link.Rename(TerminalBytes(oldPath), TerminalBytes(newName));
    link.Close();
    if (rc == kSuccess) return true;
    ShowMessage(services.prompter, ResultCodeMessage(rc));
    return false;
}

}  // namespace

bool RenameTerminalItem(const Services& services, const ConnectionSettings& settings,
                        const QString& oldPath, const QString& newName) {
    OperationJournal journal(services, settings, QStringLiteral("rename"), {oldPath, newName});
    const bool renamed = Rename(journal.Work(), settings, oldPath, newName);
    journal.Finish(renamed);
    return renamed;
}
