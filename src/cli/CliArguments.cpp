#include "cli/CliArguments.h"

#include "link/ConnectionSettings.h"

#include <array>

namespace {

struct CommandUsage {
    const char* name;
    int operands;
    const char* usage;
};

constexpr std::array<CommandUsage, 12> kCommands{{
    {"terminals", 0,
     "tarvik-cli terminals [--json]\n"
     "  Every terminal on the serial ports and USB: port, model, F/W, serial number."},
    {"ls", 2,
     "tarvik-cli ls PORT PATH [--json]\n"
     "  The files and folders of a terminal drive or folder, e.g. ls COM3 'C:\\DATA'."},
    {"get", 3,
     "tarvik-cli get PORT TERMINAL-PATH PC-FOLDER [--force | --keep]\n"
     "  Copies a terminal file or folder into a PC folder; --force replaces files there,\n"
     "  --keep leaves them as they are without counting it a failure."},
    {"put", 3,
     "tarvik-cli put PORT PC-PATH TERMINAL-FOLDER [--force]\n"
     "  Copies a PC file or folder into a terminal drive or folder; --force replaces files."},
    {"rm", 2, "tarvik-cli rm PORT TERMINAL-PATH\n  Deletes a terminal file or empty folder."},
    {"mkdir", 2, "tarvik-cli mkdir PORT TERMINAL-PATH\n  Makes a terminal folder."},
    {"format", 2,
     "tarvik-cli format PORT DRIVE --yes\n  Erases every file of a terminal drive, e.g. 'C:'."},
    {"download", 1,
     "tarvik-cli download PROJECT.prj (--to PORT[,PORT...] | --all) [--members NAME,...]\n"
     "                    [--entries N,...] [--jobs N] [--yes] [--force | --keep] [--json]\n"
     "  Installs a project on terminals after their firmware and model checks, one worker\n"
     "  process per terminal. --yes installs on a terminal of another model than the\n"
     "  project names; without it such a terminal is refused. --members sends only the\n"
     "  members of those names, --entries those at these positions in file order (0 first).\n"
     "  A data file the terminal holds already may hold data collected on it: --force\n"
     "  replaces it, --keep leaves it without counting it a failure."},
    {"collect", 1,
     "tarvik-cli collect PROJECT (--from PORT[,PORT...] | --all) [--into DIR] [--jobs N]\n"
     "                   [--force | --keep] [--json]\n"
     "  Copies every data file of an installed project into DIR/PROJECT/SERIAL/ (DIR is the\n"
     "  data folder unless given); --force replaces files collected before, --keep leaves\n"
     "  them as they are without counting it a failure."},
    {"upgrade", 1,
     "tarvik-cli upgrade IMAGE.bin (--to PORT[,PORT...] | --all) [--jobs N] [--json]\n"
     "  Upgrades the firmware of terminals, one worker process per terminal."},
    {"status", 0,
     "tarvik-cli status (--to PORT[,PORT...] | --all) [--jobs N] [--json]\n"
     "  Each terminal's model, F/W, serial number, installed projects and free space per\n"
     "  drive, one worker process per terminal."},
    {"help", 0, "tarvik-cli help [COMMAND]\n  This text, or one command's."},
}};

const QStringList kValueOptions{"--to", "--from", "--into", "--members", "--entries", "--jobs", "--baud"};
const QStringList kFlagOptions{"--json", "--force", "--keep", "--yes", "--all", "--help"};

const CommandUsage* Find(const QString& command) {
    for (const CommandUsage& entry : kCommands) {
        if (command == QLatin1String(entry.name)) return &entry;
    }
    return nullptr;
}

}  // namespace

QStringList CliArguments::List(const char* name) const {
    return Value(name).split(u',', Qt::SkipEmptyParts);
}

ParsedArguments ParseArguments(const QStringList& arguments) {
    CliArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--worker")) {
            parsed.worker = true;
        } else if (kValueOptions.contains(argument)) {
            if (i + 1 >= arguments.size()) return {std::nullopt, argument + QStringLiteral(" needs a value")};
            parsed.values.insert(argument.mid(2), arguments[++i]);
        } else if (kFlagOptions.contains(argument) || argument == QLatin1String("-h")) {
            parsed.flags << (argument == QLatin1String("-h") ? QStringLiteral("help") : argument.mid(2));
        } else if (argument.startsWith(QLatin1String("--"))) {
            return {std::nullopt, QStringLiteral("unknown option %1").arg(argument)};
        } else if (parsed.command.isEmpty()) {
            parsed.command = argument;
        } else {
            parsed.operands << argument;
        }
    }
    return {parsed, {}};
}

QString Usage(const QString& command) {
    if (const CommandUsage* entry = Find(command)) return QString::fromLatin1(entry->usage) + u'\n';
    QString text = QStringLiteral("Usage: tarvik-cli COMMAND ...\n\n");
    for (const CommandUsage& entry : kCommands) text += QString::fromLatin1(entry.usage) + u'\n';
    text += QStringLiteral("\nPORT is a port as the window names it: COM3, TQ-3100-0001. --baud RATE\n"
                           "sets a serial port's rate (default 115200). Exit status: 0 when every\n"
                           "terminal succeeded, 1 when any failed, 2 for a usage error.\n");
    return text;
}

bool IsCommand(const QString& command) { return Find(command) != nullptr; }

bool IsFleetCommand(const QString& command) {
    return command == QLatin1String("download") || command == QLatin1String("upgrade") ||
           command == QLatin1String("collect") || command == QLatin1String("status");
}

QString CheckArguments(const CliArguments& arguments) {
    const CommandUsage* entry = Find(arguments.command);
    if (!entry) return QStringLiteral("unknown command \"%1\"").arg(arguments.command);
    if (arguments.command == QLatin1String("help")) return {};
    if (arguments.operands.size() != entry->operands) {
        return QStringLiteral("%1 takes %2 operand(s)").arg(arguments.command).arg(entry->operands);
    }
    if (IsFleetCommand(arguments.command)) {
        const char* ports = arguments.command == QLatin1String("collect") ? "from" : "to";
        // A worker is handed its one port, and --all only to know what it was asked of.
        if (arguments.worker ? !arguments.Has(ports) : arguments.Has(ports) == arguments.Flag("all")) {
            return QStringLiteral("%1 needs either --%2 PORT[,PORT...] or --all")
                .arg(arguments.command, QLatin1String(ports));
        }
        if (arguments.Has(ports) && arguments.List(ports).isEmpty()) {
            return QStringLiteral("--%1 names no port").arg(QLatin1String(ports));
        }
    }
    if (arguments.Flag("force") && arguments.Flag("keep")) return QStringLiteral("--force and --keep exclude each other");
    if (arguments.Has("entries")) {
        for (const QString& entry : arguments.List("entries")) {
            bool number = false;
            if (entry.toInt(&number) < 0 || !number) return QStringLiteral("--entries takes positions 0, 1, ...");
        }
    }
    if (arguments.Has("jobs")) {
        bool number = false;
        const int jobs = arguments.Value("jobs").toInt(&number);
        if (!number || jobs < 1) return QStringLiteral("--jobs takes a number of 1 or more");
    }
    if (arguments.Has("baud")) {
        QStringList rates;
        for (const char* rate : kBaudRates) rates << QString::fromLatin1(rate);
        if (!rates.contains(arguments.Value("baud"))) {
            return QStringLiteral("--baud takes one of %1").arg(rates.join(u','));
        }
    }
    return {};
}
