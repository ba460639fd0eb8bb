#include "project/ProjectPack.h"

#include "project/MemberPath.h"
#include "project/ProjectFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <set>

namespace {

constexpr char kUsage[] =
    "Usage:\n"
    "  tarvik-pack OUT.prj [--reader KIND] [--firmware VERSION] PATH=PCFILE...\n"
    "  tarvik-pack --list FILE.prj\n"
    "  tarvik-pack --help\n"
    "\n"
    "Makes the project file OUT.prj. Each PATH=PCFILE puts the PC file PCFILE on the\n"
    "terminal at PATH: a full path on drive C:, D: or E: with 8.3 names at most two\n"
    "folders deep, such as D:\\STOCK\\ITEMS.DAT. A path holding \".bas\" is the program (at\n"
    "most one), stored scrambled; one holding \".cft\" is a font; the rest are data files.\n"
    "Members are stored in the order given. OUT's name without \".prj\" names the project's\n"
    "folders on the terminal, so it has 1 to 8 characters and no dot.\n"
    "\n"
    "  --reader KIND       the reader a terminal must have: 0 All Device, 1 CCD 1D\n"
    "                      (TQ-3100), 2 Camera 2D (TQ-3300), 3 CCD 1D + RF (TQ-3200)\n"
    "  --firmware VERSION  the oldest firmware that runs the project, such as A00-1.02;\n"
    "                      the text after the first \"-\" is compared\n"
    "\n"
    "Tarvik checks firmware and reader only for a project with --firmware. Without\n"
    "either option the file states no requirements, and Tarvik takes it for reader 1\n"
    "with firmware A00-1.02.\n"
    "\n"
    "--list prints a project file's requirements and members.\n";

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string CheckVersion(const std::string& version) {
    if (version.empty()) return "The firmware version is empty.";
    if (version.size() > static_cast<size_t>(kMaxNeededVersionLength)) {
        return "The firmware version is longer than 99 characters.";
    }
    for (const char c : version) {
        if (c < ' ' || c > '~') {
            return "The firmware version holds a character that is not printable ASCII.";
        }
    }
    return {};
}

std::string CheckMembers(const std::vector<PackMember>& members) {
    if (members.empty()) return "A project needs at least one member.";
    std::set<std::string> paths;
    int programs = 0;
    for (const PackMember& member : members) {
        const MemberPathProblem problem = CheckMemberPath(member.terminalPath);
        if (problem != MemberPathProblem::None) {
            return member.terminalPath + ": " + MemberPathProblemText(problem) + ".";
        }
        // The terminal finds names without regard to case.
        if (!paths.insert(UpperCase(member.terminalPath)).second) {
            return member.terminalPath + ": two members on one terminal path.";
        }
        if (MemberKindOf(member.terminalPath) == MemberKind::Program && ++programs > 1) {
            return member.terminalPath + ": a project holds one program.";
        }
    }
    return {};
}

void AppendLine(QByteArray& file, const char* tag, const std::string& value) {
    file += tag;
    file += QByteArray::fromStdString(value);
    file += "\r\n";
}

bool ParseReaderKind(const QString& text, int32_t& readerKind) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok) readerKind = value;
    return ok;
}

int UsageError(QTextStream& err, const QString& problem) {
    err << "tarvik-pack: " << problem << "\n\n" << kUsage;
    return 2;
}

int Fail(QTextStream& err, const QString& problem) {
    err << "tarvik-pack: " << problem << "\n";
    return 1;
}

int List(const QString& path, QTextStream& out, QTextStream& err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Fail(err, "cannot read " + path);
    const ProjectListing listing = ListProject(file.readAll());
    out << QString::fromStdString(listing.text);
    if (!listing.error.empty())
        return Fail(err, path + ": " + QString::fromStdString(listing.error));
    return 0;
}

int Pack(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString output;
    PackRequirements requirements;
    std::vector<std::pair<std::string, QString>> sources;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--reader" || argument == "--firmware") {
            if (i + 1 >= arguments.size()) return UsageError(err, argument + " needs a value");
            const QString value = arguments[++i];
            if (argument == "--firmware") {
                if (requirements.neededVersion) return UsageError(err, "--firmware given twice");
                requirements.neededVersion = value.toStdString();
            } else {
                int32_t readerKind = 0;
                if (requirements.readerKind) return UsageError(err, "--reader given twice");
                if (!ParseReaderKind(value, readerKind)) {
                    return UsageError(err, "--reader needs a decimal number, not " + value);
                }
                requirements.readerKind = readerKind;
            }
        } else if (argument.startsWith("--")) {
            return UsageError(err, "unknown option " + argument);
        } else if (output.isEmpty()) {
            output = argument;
        } else {
            const qsizetype equals = argument.indexOf('=');
            if (equals <= 0 || equals + 1 == argument.size()) {
                return UsageError(err, "a member is PATH=PCFILE, not " + argument);
            }
            sources.emplace_back(argument.left(equals).toStdString(), argument.mid(equals + 1));
        }
    }
    if (output.isEmpty()) return UsageError(err, "no project file named");
    const QString fileName = QFileInfo(output).fileName();
    if (!fileName.endsWith(".prj") || !IsProjectName(fileName.chopped(4))) {
        return Fail(err, output +
                             ": the name before \".prj\" must have 1 to 8 characters, "
                             "no dot, and suit a terminal folder");
    }

    std::vector<PackMember> members;
    for (const auto& [terminalPath, pcFile] : sources) {
        QFile source(pcFile);
        if (!source.open(QIODevice::ReadOnly)) return Fail(err, "cannot read " + pcFile);
        members.push_back({terminalPath, source.readAll()});
    }
    const PackedProject packed = BuildProjectFile(requirements, members);
    if (!packed.error.empty()) return Fail(err, QString::fromStdString(packed.error));

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(packed.file) != packed.file.size() ||
        !file.commit()) {
        return Fail(err, "cannot write " + output);
    }
    out << "Wrote " << output << ": " << members.size() << " members, " << packed.file.size()
        << " bytes\n";
    return 0;
}

}  // namespace

PackedProject BuildProjectFile(const PackRequirements& requirements,
                               const std::vector<PackMember>& members) {
    if (requirements.neededVersion) {
        if (std::string problem = CheckVersion(*requirements.neededVersion); !problem.empty()) {
            return {{}, problem};
        }
    }
    if (std::string problem = CheckMembers(members); !problem.empty()) return {{}, problem};

    QByteArray data;
    for (const PackMember& member : members) {
        QByteArray content = member.content;
        if (MemberKindOf(member.terminalPath) == MemberKind::Program) ScrambleProgram(content);
        data += content;
    }
    // The header ends at the first line that does not begin with the entry tag.
    if (data.startsWith(kEntryTag)) {
        return {{},
                members.front().terminalPath +
                    ": the stored member begins with \"[Info]\", which a reader takes for "
                    "another entry line; put another member first."};
    }

    QByteArray file;
    if (requirements.readerKind || requirements.neededVersion) {
        AppendLine(file, kVersionTag, "1");
        if (requirements.readerKind) {
            AppendLine(file, kReaderTag, std::to_string(*requirements.readerKind));
        }
        if (requirements.neededVersion) {
            AppendLine(file, kFirmwareTag, *requirements.neededVersion);
        }
    }
    for (const PackMember& member : members) {
        AppendLine(file, kEntryTag,
                   member.terminalPath + "," + std::to_string(member.content.size()));
    }
    file += data;
    return {file, {}};
}

ProjectListing ListProject(QByteArrayView file) {
    const ProjectCheck check = ValidateProject(file);
    if (check.error != ProjectError::None && check.error != ProjectError::InvalidMemberPath) {
        return {{}, ProjectCheckText(check)};
    }
    ProjectRequirements requirements;
    const bool stated = ParseProjectRequirements(file, requirements).stated;
    const ProjectEntries read = ReadProjectEntries(file);

    std::string text;
    if (!stated) text += "Requirements: none stated, so a download assumes these\n";
    text += "Reader: ";
    if (stated && requirements.readerKind == kReaderUnknown) text += "not stated, ";
    text += std::to_string(requirements.readerKind) + " (" +
            ReaderKindText(requirements.readerKind) + ")";
    if (const char* model = RequiredModel(requirements.readerKind)) {
        text += std::string(", model ") + model;
    }
    text += "\nFirmware: ";
    text += requirements.neededVersion.empty() ? "not stated, no terminal is checked"
                                               : requirements.neededVersion + " or newer";
    text += "\nMembers: " + std::to_string(read.entries.size()) + "\n";

    size_t pathWidth = 0;
    size_t sizeWidth = 0;
    for (const ProjectEntry& entry : read.entries) {
        pathWidth = std::max(pathWidth, entry.terminalPath.size());
        sizeWidth = std::max(sizeWidth, std::to_string(entry.size).size());
    }
    for (const ProjectEntry& entry : read.entries) {
        const char* kind = entry.kind == MemberKind::Program ? "program"
                           : entry.kind == MemberKind::Font  ? "font   "
                                                             : "data   ";
        const std::string size = std::to_string(entry.size);
        text += std::string("  ") + kind + "  " + entry.terminalPath +
                std::string(pathWidth - entry.terminalPath.size(), ' ') + "  " +
                std::string(sizeWidth - size.size(), ' ') + size + " bytes";
        const MemberPathProblem problem = CheckMemberPath(entry.terminalPath);
        if (problem != MemberPathProblem::None) {
            text += std::string("  <- refused: ") + MemberPathProblemText(problem);
        }
        text += "\n";
    }
    return {text, check.error == ProjectError::None ? std::string() : ProjectCheckText(check)};
}

bool IsProjectName(const QString& name) {
    const std::string text = name.toStdString();
    return text.find('.') == std::string::npos && IsShortName(text);
}

int RunPackCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty()) return UsageError(err, "nothing to do");
    if (arguments.contains("--help") || arguments.contains("-h")) {
        out << kUsage;
        return 0;
    }
    if (arguments.front() == "--list") {
        if (arguments.size() != 2) return UsageError(err, "--list takes one project file");
        return List(arguments[1], out, err);
    }
    return Pack(arguments, out, err);
}
