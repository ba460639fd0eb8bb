#include "cli/CliCommands.h"

#include "cli/CliArguments.h"
#include "cli/ConsoleSeams.h"
#include "core/Services.h"
#include "firmware/FirmwareUpgrade.h"
#include "fleet/WorkerPool.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "link/TerminalPath.h"
#include "link/TerminalPorts.h"
#include "pc/PcFolderPaste.h"
#include "platform/Clock.h"
#include "platform/DocumentsFolder.h"
#include "platform/Journal.h"
#include "platform/LocalFileSystem.h"
#include "project/ProjectDownload.h"
#include "project/ProjectUpload.h"
#include "core/ItemKind.h"
#include "terminal/TerminalFileOperations.h"
#include "terminal/TerminalStatus.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

volatile std::sig_atomic_t g_interrupted = 0;

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void PrintJson(const QJsonObject& object) {
    Print(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n');
}

int32_t BaudCode(const CliArguments& arguments) {
    const auto rate = std::find(kBaudRates.begin(), kBaudRates.end(), arguments.Value("baud"));
    return rate == kBaudRates.end() ? 6 : static_cast<int32_t>(rate - kBaudRates.begin() + 1);
}

ConnectionSettings Record(const QString& port, const CliArguments& arguments) {
    return {port.toStdString(), BaudCode(arguments), "", ""};
}

QJsonObject IdentityValues(const TerminalIdentity& identity) {
    return {{"model", QString::fromStdString(identity.model)},
            {"firmware", QString::fromStdString(identity.firmware)},
            {"serial", QString::fromStdString(identity.serialNumber)}};
}

// Reads the identity on `link` into `record`; false when the terminal does not answer.
bool Identify(TerminalLink& link, ConnectionSettings& record, TerminalIdentity& identity) {
    if (!link || link.ReadIdentity(identity) != kSuccess) return false;
    record.model = identity.model;
    record.serialNumber = identity.serialNumber;
    return true;
}

bool Identify(TerminalLibrary& library, ConnectionSettings& record, TerminalIdentity& identity) {
    TerminalLink link(library, record);
    return Identify(link, record, identity);
}

ConsolePrompter::Answers AnswersOf(const CliArguments& arguments) {
    return {arguments.Flag("force"), arguments.Flag("yes"), arguments.Flag("keep")};
}

// One command on one terminal in this process, its messages on standard error.
class OneTerminal {
public:
    OneTerminal(const CliArguments& arguments, const QString& port)
        : arguments_(arguments),
          record_(Record(port, arguments)),
          prompter_(port, AnswersOf(arguments)),
          progress_(port),
          services_{Tp(), prompter_, SystemClock(), LocalFiles(), progress_} {}

    int Run();

private:
    int List();
    int Get();
    int Put();
    int Remove();
    int MakeFolder();
    int Format();
    // The kind of the terminal item at `path`: a drive, a folder or a file; none when missing.
    std::optional<int> KindAt(const std::string& path);
    int Outcome(bool ok) const { return ok && prompter_.Messages() == 0 ? kSucceeded : kFailed; }

    const CliArguments& arguments_;
    ConnectionSettings record_;
    ConsolePrompter prompter_;
    ConsoleProgress progress_;
    Services services_;
};

int OneTerminal::Run() {
    const QString& command = arguments_.command;
    if (command == QLatin1String("ls")) return List();
    // Read first, so the operation's journal line names the serial: a command may leave the
    // terminal unable to answer.
    TerminalIdentity identity;
    int status = kFailed;
    if (!Identify(services_.library, record_, identity)) {
        // As a worker does: no operation runs, so the journal's line is written here.
        AppendToJournal({{}, arguments_.operands[0], command, arguments_.operands.mid(1), false,
                         QString::fromLatin1(kDeviceOfflineText)});
        prompter_.Message(QString::fromLatin1(kDeviceOfflineText), {});
    } else if (command == QLatin1String("get")) {
        status = Get();
    } else if (command == QLatin1String("put")) {
        status = Put();
    } else if (command == QLatin1String("rm")) {
        status = Remove();
    } else if (command == QLatin1String("mkdir")) {
        status = MakeFolder();
    } else {
        status = Format();
    }
    if (arguments_.Flag("json")) {
        PrintJson({{"port", arguments_.operands[0]}, {"command", command}, {"ok", status == kSucceeded}});
    }
    return status;
}

std::optional<int> OneTerminal::KindAt(const std::string& path) {
    const QString text = QString::fromStdString(path);
    const QString parent = TerminalParentPath(text);
    if (parent.isEmpty()) return kKindFixed;  // a drive
    TerminalLink link(services_.library, record_);
    if (!link) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    if (link.ListFolder(parent.toStdString(), entries) != kSuccess) return std::nullopt;
    const QString name = TerminalNameOf(text);
    for (const DirectoryEntry& entry : entries) {
        const QString shown = TerminalText(entry.IsFolder() ? entry.name : entry.DisplayName());
        if (shown.compare(name, Qt::CaseInsensitive) == 0 && (entry.IsFolder() || entry.IsFile()))
            return entry.IsFolder() ? kKindFolder : kKindFile;
    }
    return std::nullopt;
}

int OneTerminal::List() {
    TerminalLink link(services_.library, record_);
    if (!link) {
        prompter_.Message(QString::fromLatin1(kDeviceOfflineText), {});
        return kFailed;
    }
    std::vector<DirectoryEntry> entries;
    const std::string folder = arguments_.operands[1].toStdString();
    if (const ResultCode rc = link.ListFolder(folder, entries); rc != kSuccess) {
        prompter_.Message(ResultCodeMessage(rc), {});
        return kFailed;
    }
    QJsonArray listed;
    for (const DirectoryEntry& entry : entries) {
        if (!entry.IsFolder() && !entry.IsFile()) continue;
        if (entry.name == "." || entry.name == "..") continue;
        const QString name = TerminalText(entry.IsFolder() ? entry.name : entry.DisplayName());
        const QString date = QString::fromStdString(entry.date);
        if (arguments_.Flag("json")) {
            listed.append(QJsonObject{{"name", name},
                                      {"folder", entry.IsFolder()},
                                      {"size", static_cast<qint64>(entry.size)},
                                      {"date", date}});
        } else {
            Print(stdout, QStringLiteral("%1 %2 %3 %4\n")
                              .arg(entry.IsFolder() ? QStringLiteral("d") : QStringLiteral("-"), date)
                              .arg(entry.size, 10)
                              .arg(name));
        }
    }
    if (arguments_.Flag("json")) {
        PrintJson({{"port", arguments_.operands[0]},
                   {"path", arguments_.operands[1]},
                   {"entries", listed}});
    }
    return kSucceeded;
}

int OneTerminal::Get() {
    const std::string path = arguments_.operands[1].toStdString();
    const QString target = QFileInfo(arguments_.operands[2]).absoluteFilePath();
    const std::optional<PcEntry> folder = services_.files.Stat(target);
    if (!folder || !folder->IsRealFolder()) {
        prompter_.Message(QStringLiteral("%1 is not a folder on the PC.").arg(target), {});
        return kFailed;
    }
    const std::optional<int> kind = KindAt(path);
    if (!kind) {
        prompter_.Message(QStringLiteral("%1 is not on the terminal.").arg(arguments_.operands[1]), {});
        return kFailed;
    }
    if (*kind == kKindFixed) {
        prompter_.Message(QStringLiteral("Name a folder or file of the drive, not the drive."), {});
        return kFailed;
    }
    const PcPasteResult result = PasteTerminalIntoPcFolder(
        services_, record_, {PathAndKind{arguments_.operands[1], *kind}}, target, true);
    return Outcome(result.reached && !result.cancelled);
}

int OneTerminal::Put() {
    const QString source = QFileInfo(arguments_.operands[1]).absoluteFilePath();
    const std::optional<PcEntry> entry = services_.files.Stat(source);
    if (!entry) {
        prompter_.Message(QStringLiteral("%1 is not on the PC.").arg(source), {});
        return kFailed;
    }
    const std::string target = arguments_.operands[2].toStdString();
    const TerminalPasteResult result = PasteToTerminal(
        services_, record_, {PcSource{source, entry->IsRealFolder()}}, target, true);
    return Outcome(result.reached && result.stop == kSuccess && !result.cancelled);
}

int OneTerminal::Remove() {
    const std::string path = arguments_.operands[1].toStdString();
    const std::optional<int> kind = KindAt(path);
    if (!kind || *kind == kKindFixed) {
        prompter_.Message(QStringLiteral("%1 is not a file or folder on the terminal.")
                              .arg(arguments_.operands[1]),
                          {});
        return kFailed;
    }
    return Outcome(DeleteOnTerminal(services_, record_, path, *kind == kKindFolder));
}

int OneTerminal::MakeFolder() {
    const QString path = arguments_.operands[1];
    const QString parent = TerminalParentPath(path);
    if (parent.isEmpty()) {
        prompter_.Message(QStringLiteral("%1 is a drive.").arg(path), {});
        return kFailed;
    }
    return Outcome(MakeTerminalFolder(services_, record_, parent.toStdString(),
                                      TerminalNameOf(path).toStdString()));
}

int OneTerminal::Format() {
    QString drive = arguments_.operands[1].toUpper();
    if (!drive.endsWith(u'\\')) drive += u'\\';
    if (drive.size() != 3 || drive[1] != u':') {
        prompter_.Message(QStringLiteral("%1 is not a drive.").arg(arguments_.operands[1]), {});
        return kFailed;
    }
    if (!arguments_.Flag("yes")) {
        prompter_.Message(QStringLiteral("Formatting erases every file of %1; add --yes.").arg(drive), {});
        return kFailed;
    }
    return Outcome(FormatTerminalDrive(services_, record_, drive.toStdString()));
}

int ListTerminals(const CliArguments& arguments) {
    ConsolePrompter prompter({}, {});
    for (const std::string& port : ModulePortNames(Tp(), &prompter)) {
        ConnectionSettings record = Record(QString::fromStdString(port), arguments);
        TerminalIdentity identity;
        const bool online = Identify(Tp(), record, identity);
        QJsonObject values = IdentityValues(identity);
        values.insert("port", QString::fromStdString(port));
        values.insert("online", online);
        if (arguments.Flag("json")) {
            PrintJson(values);
        } else if (online) {
            Print(stdout, QStringLiteral("%1\t%2\t%3\t%4\n")
                              .arg(values["port"].toString(), values["model"].toString(),
                                   values["firmware"].toString(), values["serial"].toString()));
        } else {
            Print(stdout, QStringLiteral("%1\toff-line\n").arg(values["port"].toString()));
        }
    }
    return kSucceeded;
}

// The project a download names by its file: the folder it lies in, and its name.
struct ProjectFileName {
    QString folder;
    QString name;
};

ProjectFileName ProjectOf(const QString& path) {
    const QFileInfo file(path);
    return {file.absolutePath(), file.completeBaseName()};
}

// The members a download sends, by position in file order: those named or at the positions
// given, or every member a terminal can hold. An empty text when all were found, else the
// first name or position not found.
QString ChooseMembers(const ListedProject& project, const CliArguments& arguments,
                      std::vector<int>& checked, qint64& bytes) {
    const MemberLists lists = SplitForDownload(project.entries);
    const QStringList names = arguments.List("members");
    QStringList unmatched = names + arguments.List("entries");
    const bool all = unmatched.isEmpty();
    for (const auto* list : {&lists.programs, &lists.fonts, &lists.dataFiles}) {
        for (const ListedMember& member : *list) {
            if (!member.refusal.isEmpty()) continue;
            const QString position = QString::number(member.entry);
            const bool named = std::any_of(names.begin(), names.end(), [&](const QString& name) {
                return name.compare(member.displayName, Qt::CaseInsensitive) == 0;
            }) || arguments.List("entries").contains(position);
            if (!all && !named) continue;
            unmatched.removeAll(position);
            unmatched.removeIf([&](const QString& name) {
                return name.compare(member.displayName, Qt::CaseInsensitive) == 0;
            });
            checked.push_back(member.entry);
            bytes += project.entries[static_cast<size_t>(member.entry)].size;
        }
    }
    return unmatched.isEmpty() ? QString() : unmatched.constFirst();
}

// A worker: one command on one terminal, reported as JSON lines.
int RunWorker(const CliArguments& arguments) {
    const QString port = arguments.Value(arguments.command == QLatin1String("collect") ? "from" : "to");
    std::signal(SIGINT, SIG_IGN);  // the parent cancels between files
    WorkerReporter reporter(port, AnswersOf(arguments), -1);
    Services services{Tp(), reporter, SystemClock(), LocalFiles(), reporter};
    ConnectionSettings record = Record(port, arguments);
    if (arguments.command == QLatin1String("status")) {
        // Read only, so not journaled.
        const std::optional<TerminalStatus> status = ReadTerminalStatus(services.library, record);
        reporter.Result(status.has_value(), status ? QString() : QString::fromLatin1(kDeviceOfflineText),
                        status ? StatusValues(*status) : QJsonObject());
        return status ? kSucceeded : kFailed;
    }
    TerminalIdentity identity;
    TerminalLink link(services.library, record);
    // No operation runs here, so the worker writes the journal's line itself.
    if (!Identify(link, record, identity)) {
        AppendToJournal({{}, port, arguments.command, {arguments.operands[0]}, false,
                         QString::fromLatin1(kDeviceOfflineText)});
        reporter.Result(false, QString::fromLatin1(kDeviceOfflineText), {});
        return kFailed;
    }
    QJsonObject values = IdentityValues(identity);
    bool ok = false;
    QString error;
    bool operated = false;  // an operation ran and wrote its own journal line
    const QString& command = arguments.command;
    // A download goes on the link the terminal answered on; the others open their own, and a
    // serial port takes one link at a time.
    if (command != QLatin1String("download")) link.Close();
    if (command == QLatin1String("download")) {
        const ProjectFileName file = ProjectOf(arguments.operands[0]);
        const ListedProject project = LoadProject(services, file.folder, file.name);
        std::vector<int> checked;
        qint64 bytes = 0;
        if (!project.error.isEmpty()) {
            error = project.error;
        } else if (const QString missing = ChooseMembers(project, arguments, checked, bytes);
                   !missing.isEmpty()) {
            error = QStringLiteral("The project has no member %1.").arg(missing);
        } else {
            reporter.SetTotal(bytes);
            operated = true;
            const DownloadOutcome outcome = DownloadProject(
                services, {file.folder, file.name, project.requirements, project.header, {record},
                           {true}, checked, &link});
            ok = !outcome.cancelled && outcome.incomplete.empty() && reporter.Messages() == 0;
            if (outcome.cancelled) error = QString::fromLatin1(kWorkerCancelledText);
        }
    } else if (command == QLatin1String("collect")) {
        const QString into = arguments.Has("into") ? QFileInfo(arguments.Value("into")).absoluteFilePath()
                                                   : DocumentsFolder() + QStringLiteral("/Tarvik");
        operated = true;
        const CollectOutcome outcome = CollectDataFiles(services, into, arguments.operands[0], record);
        values.insert("installed", outcome.installed);
        values.insert("collected", outcome.collected);
        values.insert("folder", UploadFolder(into, arguments.operands[0], record));
        if (!outcome.installed) {
            // Asked of every terminal, a terminal without the project is no failure.
            ok = arguments.Flag("all");
            if (!ok) error = QStringLiteral("The project %1 is not installed.").arg(arguments.operands[0]);
        } else {
            error = outcome.error;
            ok = error.isEmpty() && reporter.Messages() == 0;
        }
    } else {
        const QString image = QFileInfo(arguments.operands[0]).absoluteFilePath();
        reporter.SetTotal(QFileInfo(image).size());
        std::vector<std::unique_ptr<ConnectionSettings>> terminals;
        terminals.push_back(std::make_unique<ConnectionSettings>(record));
        // An upgrade is one file: a cancel before it leaves the terminal as it was.
        if (reporter.BeforeFile(image, QString::fromStdString(record.portName), QFileInfo(image).size())) {
            operated = true;
            ok = UpgradeCheckedTerminals(services, terminals, {true}, image) == 1;
        } else {
            error = QString::fromLatin1(kWorkerCancelledText);
        }
    }
    if (!operated) {
        QStringList files{arguments.operands[0]};
        files += arguments.List("members") + arguments.List("entries");
        AppendToJournal({values["serial"].toString(), port, command, files, ok, error});
    }
    reporter.Result(ok, error, values);
    return ok ? kSucceeded : kFailed;
}

// PORT, model, F/W, serial, the installed projects and each drive's free KB, tab-separated.
QString StatusLine(const QString& port, const TerminalStatus& status) {
    QStringList fields{port, QString::fromStdString(status.identity.model),
                       QString::fromStdString(status.identity.firmware),
                       QString::fromStdString(status.identity.serialNumber),
                       status.projects.isEmpty() ? QStringLiteral("-") : status.projects.join(u',')};
    for (const DriveSpace& space : status.drives) fields << QStringLiteral("%1%2KB").arg(space.drive).arg(space.freeKB);
    return fields.join(u'\t') + u'\n';
}

// The ports a fleet command names, or every port whose terminal answers for --all.
QStringList FleetPorts(const CliArguments& arguments) {
    const char* option = arguments.command == QLatin1String("collect") ? "from" : "to";
    if (!arguments.Flag("all")) return arguments.List(option);
    QStringList ports;
    ConsolePrompter prompter({}, {});
    for (const std::string& port : ModulePortNames(Tp(), &prompter)) {
        ConnectionSettings record = Record(QString::fromStdString(port), arguments);
        if (TerminalLink(Tp(), record)) ports << QString::fromStdString(port);
    }
    return ports;
}

// The worker's command line for one port: the same command, with --all turned into the port.
QStringList WorkerArguments(const CliArguments& arguments, const QString& port) {
    const char* option = arguments.command == QLatin1String("collect") ? "--from" : "--to";
    QStringList worker{QStringLiteral("--worker"), arguments.command};
    for (const QString& operand : arguments.operands) {
        // A worker may start in another folder; it is handed whole paths.
        worker << (arguments.command == QLatin1String("collect") ? operand
                                                                  : QFileInfo(operand).absoluteFilePath());
    }
    worker << QLatin1String(option) << port;
    for (const char* name : {"members", "entries", "baud"}) {
        if (arguments.Has(name)) worker << QStringLiteral("--%1").arg(QLatin1String(name)) << arguments.Value(name);
    }
    if (arguments.Has("into")) worker << QStringLiteral("--into") << QFileInfo(arguments.Value("into")).absoluteFilePath();
    for (const char* flag : {"yes", "force", "keep", "all"}) {
        if (arguments.Flag(flag)) worker << QStringLiteral("--%1").arg(QLatin1String(flag));
    }
    return worker;
}

int RunFleet(const CliArguments& arguments) {
    if (arguments.command == QLatin1String("download")) {
        // A project that cannot be read, or a member it lacks, is told once, not per terminal.
        ConsolePrompter prompter({}, {});
        const ProjectFileName file = ProjectOf(arguments.operands[0]);
        const ListedProject project = LoadProject(
            {Tp(), prompter, SystemClock(), LocalFiles(), NoProgress()}, file.folder, file.name);
        std::vector<int> checked;
        qint64 bytes = 0;
        QString error = project.error;
        if (error.isEmpty()) {
            if (const QString missing = ChooseMembers(project, arguments, checked, bytes);
                !missing.isEmpty()) {
                error = QStringLiteral("The project has no member %1.").arg(missing);
            }
        }
        if (!error.isEmpty()) {
            Print(stderr, error + u'\n');
            return kFailed;
        }
    }
    const QStringList ports = FleetPorts(arguments);
    if (ports.isEmpty()) {
        Print(stderr, QStringLiteral("No terminal answers.\n"));
        return kFailed;
    }
    std::vector<WorkerTask> tasks;
    for (const QString& port : ports) tasks.push_back({port, WorkerArguments(arguments, port)});
    const int jobs = WorkerJobs(arguments.Has("jobs") ? arguments.Value("jobs").toInt() : 0, tasks.size());
    WorkerPool pool(QCoreApplication::applicationFilePath(), jobs);
    const bool showProgress = isatty(2) == 1;
    QObject::connect(&pool, &WorkerPool::progressed, [&](int task, const WorkerEvent& event) {
        if (!showProgress || event.fileEnded) return;
        const int percent = event.Percent();
        Print(stderr, QStringLiteral("%1: %2 (%3 bytes)%4\n")
                          .arg(pool.Tasks()[static_cast<size_t>(task)].port, event.file)
                          .arg(event.bytes)
                          .arg(percent < 0 ? QString() : QStringLiteral(" %1%").arg(percent)));
    });
    // A failure a worker told only as a message is still the failure its JSON object names.
    std::vector<QString> lastMessages(tasks.size());
    QObject::connect(&pool, &WorkerPool::messaged, [&](int task, const QString& text) {
        Print(stderr, QStringLiteral("%1: %2\n").arg(pool.Tasks()[static_cast<size_t>(task)].port, OneLine(text)));
        lastMessages[static_cast<size_t>(task)] = OneLine(text);
    });
    QObject::connect(&pool, &WorkerPool::taskFinished, [&](int task) {
        const WorkerOutcome& outcome = pool.Outcomes()[static_cast<size_t>(task)];
        const QString& port = pool.Tasks()[static_cast<size_t>(task)].port;
        if (!outcome.ok) {
            Print(stderr, QStringLiteral("%1: failed%2\n")
                              .arg(port, outcome.error.isEmpty() ? QString() : QStringLiteral(": ") + outcome.error));
        }
        if (arguments.command == QLatin1String("status") && outcome.ok && !arguments.Flag("json")) {
            Print(stdout, StatusLine(port, StatusFromValues(outcome.values)));
        }
        if (arguments.Flag("json")) {
            QJsonObject object = outcome.values;
            object.insert("port", port);
            object.insert("ok", outcome.ok);
            const QString error = outcome.error.isEmpty() && !outcome.ok
                                      ? lastMessages[static_cast<size_t>(task)]
                                      : outcome.error;
            if (!error.isEmpty()) object.insert("error", error);
            PrintJson(object);
        }
    });
    // Ctrl+C stops every worker before its next file instead of inside one.
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    QTimer interruption;
    QObject::connect(&interruption, &QTimer::timeout, [&] {
        if (g_interrupted) pool.Cancel();
    });
    interruption.start(100);
    pool.RunToEnd(std::move(tasks));
    std::signal(SIGINT, SIG_DFL);
    const auto& outcomes = pool.Outcomes();
    const bool allOk = std::all_of(outcomes.begin(), outcomes.end(),
                                   [](const WorkerOutcome& outcome) { return outcome.ok; });
    // Each terminal without the project is passed over; none with it is no success.
    if (allOk && arguments.command == QLatin1String("collect") &&
        std::none_of(outcomes.begin(), outcomes.end(), [](const WorkerOutcome& outcome) {
            return outcome.values.value("installed").toBool();
        })) {
        Print(stderr, QStringLiteral("No terminal has the project %1 installed.\n")
                          .arg(arguments.operands[0]));
        return kFailed;
    }
    return allOk ? kSucceeded : kFailed;
}

}  // namespace

int RunCli(const QStringList& argumentList) {
    const ParsedArguments parsed = ParseArguments(argumentList);
    if (!parsed.arguments) {
        Print(stderr, QStringLiteral("tarvik-cli: %1\n\n%2").arg(parsed.error, Usage({})));
        return kUsageError;
    }
    const CliArguments& arguments = *parsed.arguments;
    if (arguments.command.isEmpty() || arguments.command == QLatin1String("help")) {
        const QString topic = arguments.operands.value(0);
        Print(arguments.command.isEmpty() && !arguments.Flag("help") ? stderr : stdout, Usage(topic));
        return arguments.command.isEmpty() && !arguments.Flag("help") ? kUsageError : kSucceeded;
    }
    if (arguments.Flag("help") && IsCommand(arguments.command)) {
        Print(stdout, Usage(arguments.command));
        return kSucceeded;
    }
    if (const QString error = CheckArguments(arguments); !error.isEmpty()) {
        Print(stderr, QStringLiteral("tarvik-cli: %1\n\n%2").arg(error, Usage(arguments.command)));
        return kUsageError;
    }
    const QString& command = arguments.command;
    if (command == QLatin1String("terminals")) return ListTerminals(arguments);
    if (IsFleetCommand(command)) {
        if (arguments.worker) return RunWorker(arguments);
        return RunFleet(arguments);
    }
    return OneTerminal(arguments, arguments.operands[0]).Run();
}
