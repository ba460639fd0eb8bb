#include "app/Fleet.h"

#include "app/Connections.h"
#include "app/UserSettings.h"
#include "core/InstalledServices.h"
#include "core/OperationGate.h"
#include "core/TarvikDoc.h"
#include "fleet/RememberedRoster.h"
#include "platform/PcFileSystem.h"
#include "platform/Prompter.h"
#include "project/ProjectLists.h"
#include "project/ProjectUpload.h"
#include "ui/dialogs/FleetRunDialog.h"
#include "ui/dialogs/FleetWindow.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QDir>
#include <algorithm>

namespace {

bool InRoster(const QString& port) {
    const auto& terminals = g_doc->terminals;
    return std::any_of(terminals.begin(), terminals.end(),
                       [&](const auto& record) { return QString::fromStdString(record->portName) == port; });
}

}  // namespace

Fleet::Fleet(CTerminalView& view, QWidget* window)
    : view_(view), window_(window), refresh_(table_, WorkerProgramPath()) {
    connect(&refresh_, &FleetRefresh::terminalRead, this, &Fleet::TerminalRead);
}

Fleet::~Fleet() { delete fleetWindow_; }

void Fleet::Restore() {
    const std::unique_ptr<QSettings> settings = UserSettings();
    for (const RememberedTerminal& terminal : LoadRoster(*settings)) table_.Add(terminal.port, terminal.baudCode);
    if (table_.rowCount() > 0) refresh_.Refresh();
}

void Fleet::Remember() {
    std::vector<RememberedTerminal> terminals;
    for (const FleetRow& row : table_.Rows()) terminals.push_back({row.port, row.baudCode});
    const std::unique_ptr<QSettings> settings = UserSettings();
    SaveRoster(*settings, terminals);
}

void Fleet::Connected(const ConnectionSettings& record) {
    const QString port = QString::fromStdString(record.portName);
    table_.Add(port, record.baudCode);
    Remember();
    refresh_.Refresh();
}

void Fleet::Closed(const QString& port) {
    table_.Remove(port);
    Remember();
}

void Fleet::Forget() {
    if (!AskYesNo(QStringLiteral("Close every terminal of the roster and forget them, so that the next "
                                 "start begins with an empty roster?"))) {
        return;
    }
    refresh_.Settle();
    CTerminalFileTree* roster = view_.Roster();
    roster->DeleteChildren(roster->RootItem());
    roster->setEnabled(false);
    g_doc->terminals.clear();
    table_.Clear();
    Remember();
}

void Fleet::TerminalRead(const QString& port, bool online) {
    // Every fleet row that answers is in the roster: a remembered terminal joins it here.
    if (!online || InRoster(port)) return;
    const FleetRow* row = table_.Find(port);
    if (!row) return;
    auto record = std::make_unique<ConnectionSettings>(ConnectionSettings{port.toStdString(), row->baudCode, "", ""});
    AddToRoster(view_, std::move(record), row->status.identified ? &row->status.identity : nullptr);
}

void Fleet::ShowWindow() {
    if (!fleetWindow_) {
        fleetWindow_ = new FleetWindow(table_, window_);
        connect(fleetWindow_, &FleetWindow::refreshRequested, this, &Fleet::Refresh);
        connect(fleetWindow_, &FleetWindow::exportRequested, this, &Fleet::Export);
        connect(&refresh_, &FleetRefresh::finished, fleetWindow_, [this] { fleetWindow_->SetReading(false); });
    }
    fleetWindow_->show();
    fleetWindow_->raise();
    fleetWindow_->activateWindow();
    refresh_.Refresh();
    fleetWindow_->SetReading(refresh_.Running());
}

void Fleet::OperationEnded() {
    if (fleetWindow_ && fleetWindow_->isVisible()) {
        refresh_.Refresh();
        fleetWindow_->SetReading(true);
    }
}

void Fleet::ReadNow() {
    if (table_.rowCount() == 0) return;
    refresh_.Refresh();
    refresh_.Settle();
}

void Fleet::Export() {
    const Services services = InstalledServices();
    const QString path = services.prompter.SaveFile(QStringLiteral("CSV Files|*.csv||"),
                                                    DataFolder + QStringLiteral("/fleet.csv"));
    if (path.isEmpty()) return;
    ReadNow();
    if (const int code = services.files.WriteWholeFile(path, table_.Csv()); code != 0) {
        ShowMessage(services.prompter, CannotWriteText(path, code));
    }
}

void Fleet::Collect(const QString& projectName) {
    OperationScope operation;
    const Services services = InstalledServices();
    // A terminal that got the project since it was read would otherwise be left out.
    ReadNow();
    std::vector<const ConnectionSettings*> terminals;
    QStringList collectedBefore;
    for (const auto& record : g_doc->terminals) {
        // A terminal read without the project is left out; one never read is asked.
        const FleetRow* row = table_.Find(QString::fromStdString(record->portName));
        if (row && row->read && !row->status.projects.contains(projectName, Qt::CaseInsensitive)) continue;
        terminals.push_back(record.get());
        const QString folder = UploadFolder(DataFolder, projectName, *record);
        if (!QDir(folder).isEmpty(QDir::Files | QDir::Hidden | QDir::System)) collectedBefore << folder;
    }
    if (terminals.empty()) {
        ShowMessage(services.prompter,
                    QStringLiteral("No terminal of the roster has the project %1 installed.").arg(projectName));
        return;
    }
    // Workers cannot ask, so files collected before are replaced only after one Yes here.
    const bool replace =
        !collectedBefore.isEmpty() &&
        services.prompter.Ask(QuestionKind::Overwrite,
                              QStringLiteral("Data files collected before are in\r\n%1\r\nReplace those "
                                             "collected again?")
                                  .arg(collectedBefore.join(QStringLiteral("\r\n"))),
                              kApplicationTitle);
    std::vector<FleetRunDialog::Row> rows;
    std::vector<WorkerTask> tasks;
    for (const ConnectionSettings* record : terminals) {
        const QString port = QString::fromStdString(record->portName);
        QStringList arguments{"--worker", "collect", projectName, "--from", port, "--into", DataFolder, "--all"};
        // No keeps them, and keeping them is what the user asked for, not a failure.
        arguments << (replace ? QStringLiteral("--force") : QStringLiteral("--keep"));
        rows.push_back({port, QString::fromStdString(record->serialNumber)});
        tasks.push_back({port, arguments + WorkerBaudArguments(record->baudCode)});
    }
    FleetRunDialog run(QStringLiteral("Collect Data %1").arg(projectName), rows, window_);
    const std::vector<WorkerOutcome> outcomes = run.Run(std::move(tasks));
    QStringList report;
    int collected = 0;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        const WorkerOutcome& outcome = outcomes[i];
        const QString& port = rows[i].port;
        for (const QString& text : run.Messages()[i]) report << QStringLiteral("%1: %2").arg(port, text);
        if (const QString failure = run.UntoldFailure(i, *terminals[i]); !failure.isEmpty()) {
            report << QStringLiteral("%1: %2").arg(port, failure);
        }
        collected += outcome.values["collected"].toInt();
    }
    report.prepend(QStringLiteral("%1 data file(s) of %2 collected into %3.")
                       .arg(collected)
                       .arg(projectName, QDir::toNativeSeparators(DataFolder + u'/' + projectName)));
    ShowMessage(services.prompter, report.join(QStringLiteral("\r\n")));
}
