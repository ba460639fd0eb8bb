#include "project/ProjectFile.h"

#include "project/MemberPath.h"

#include <algorithm>
#include <limits>

namespace {

using Bytes = std::string_view;

constexpr Bytes kLineEnd = "\r\n";

Bytes AsBytes(QByteArrayView file) {
    return Bytes(file.data(), static_cast<size_t>(file.size()));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text the requirement tags are looked for in: what precedes the first entry line, so
// that a member's bytes never pass for a requirement.
Bytes RequirementLines(Bytes file) {
    return file.substr(0, file.find(kEntryTag));
}

// A decimal number after optional blanks and a "-", up to the first non-digit.
std::optional<int32_t> ReadReaderNumber(Bytes text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (negative) ++at;
    if (at >= text.size() || !IsDigit(text[at])) return std::nullopt;
    int64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

struct ParsedEntry {
    ProjectError error = ProjectError::None;
    Bytes path;
    qint64 size = 0;
};

// Sizes past `limit` are only ever too big, so reading stops growing there; `limit` is at
// most half the range, so the arithmetic never overflows.
ParsedEntry ParseEntryLine(Bytes line, qint64 limit) {
    ParsedEntry entry;
    const size_t comma = line.find(',');
    if (comma == Bytes::npos) return {ProjectError::EntryWithoutComma, {}, 0};
    entry.path = line.substr(0, comma);
    const Bytes number = line.substr(comma + 1);
    if (!number.empty() && number.front() == '-') return {ProjectError::NegativeSize, {}, 0};
    if (number.empty() || !IsDigit(number.front())) {
        return {ProjectError::EntryWithoutSize, {}, 0};
    }
    for (size_t at = 0; at < number.size() && IsDigit(number[at]); ++at) {
        if (entry.size > limit / 10) {
            entry.size = limit + 1;
            break;
        }
        entry.size = entry.size * 10 + (number[at] - '0');
    }
    return entry;
}

}  // namespace

const char* ProjectErrorText(ProjectError error) {
    switch (error) {
        case ProjectError::None:
            return "The project file is sound.";
        case ProjectError::EntryWithoutComma:
            return "The project file is damaged: an entry line has no \",\".";
        case ProjectError::EntryWithoutSize:
            return "The project file is damaged: an entry line has no size.";
        case ProjectError::NegativeSize:
            return "The project file is damaged: an entry line has a negative size.";
        case ProjectError::MemberPastEnd:
            return "The project file is damaged: a member reaches beyond the end of the file.";
        case ProjectError::UnterminatedEntry:
            return "The project file is damaged: its last entry line has no line end.";
        case ProjectError::UnterminatedVersion:
            return "The project file is damaged: its firmware version line has no line end.";
        case ProjectError::VersionTooLong:
            return "The project file is damaged: its firmware version is longer than 99 "
                   "characters.";
        case ProjectError::ReaderWithoutNumber:
            return "The project file is damaged: its reader line has no number.";
        case ProjectError::InvalidMemberPath:
            return "The project names a member that a terminal cannot hold.";
        case ProjectError::HeaderTooLong:
            return "The project file is damaged: its header does not end within its first 1 MB.";
    }
    return "";
}

MemberKind MemberKindOf(std::string_view pathOrName) {
    if (pathOrName.find(".bas", 1) != std::string_view::npos) return MemberKind::Program;
    if (pathOrName.find(".cft", 1) != std::string_view::npos) return MemberKind::Font;
    return MemberKind::DataFile;
}

std::string_view DisplayName(std::string_view terminalPath) {
    const size_t separator = terminalPath.rfind('\\');
    return separator == std::string_view::npos ? terminalPath : terminalPath.substr(separator + 1);
}

RequirementsResult ParseProjectRequirements(QByteArrayView file,
                                            ProjectRequirements& requirements) {
    const Bytes lines = RequirementLines(AsBytes(file));
    if (lines.find(kVersionTag) == Bytes::npos) {
        requirements.readerKind = kDefaultReaderKind;
        requirements.neededVersion = kDefaultNeededVersion;
        return {ProjectError::None, false};
    }

    std::optional<int32_t> readerKind;
    if (const size_t tag = lines.find(kReaderTag); tag != Bytes::npos) {
        readerKind = ReadReaderNumber(lines.substr(tag + Bytes(kReaderTag).size()));
        if (!readerKind) return {ProjectError::ReaderWithoutNumber, true};
    }
    std::optional<std::string> neededVersion;
    if (const size_t tag = lines.find(kFirmwareTag); tag != Bytes::npos) {
        const Bytes rest = lines.substr(tag + Bytes(kFirmwareTag).size());
        const size_t end = rest.find(kLineEnd);
        if (end == Bytes::npos) return {ProjectError::UnterminatedVersion, true};
        if (end > static_cast<size_t>(kMaxNeededVersionLength)) {
            return {ProjectError::VersionTooLong, true};
        }
        neededVersion = std::string(rest.substr(0, end));
    }
    if (readerKind) requirements.readerKind = *readerKind;
    if (neededVersion) requirements.neededVersion = *neededVersion;
    return {ProjectError::None, true};
}

HeaderLocation LocateProjectHeader(QByteArrayView file) {
    const Bytes bytes = AsBytes(file);
    HeaderLocation location;
    const size_t first = bytes.find(kEntryTag);
    if (first == Bytes::npos) return location;
    location.firstEntry = static_cast<qsizetype>(first);
    size_t line = first;
    for (;;) {
        const size_t end = bytes.find(kLineEnd, line);
        if (end == Bytes::npos) {
            location.error = ProjectError::UnterminatedEntry;
            return location;
        }
        line = end + kLineEnd.size();
        if (bytes.substr(line).substr(0, Bytes(kEntryTag).size()) != kEntryTag) break;
    }
    location.dataOffset = static_cast<qsizetype>(line);
    return location;
}

HeaderLocation LocateProjectHeader(QByteArrayView head, qint64 fileSize) {
    HeaderLocation location = LocateProjectHeader(head);
    if (fileSize <= head.size()) return location;
    // The last line may end, or another "[Info]" begin, past the bytes at hand.
    const Bytes rest = AsBytes(head).substr(static_cast<size_t>(location.dataOffset));
    if (location.firstEntry < 0 || location.error != ProjectError::None ||
        Bytes(kEntryTag).starts_with(rest)) {
        location.error = ProjectError::HeaderTooLong;
    }
    return location;
}

namespace {

// The entries after `header`, with room for the members up to `fileSize`; a negative size sets
// no limit.
ProjectEntries ReadEntries(Bytes bytes, const HeaderLocation& header, qint64 fileSize) {
    ProjectEntries result;
    if (header.error == ProjectError::HeaderTooLong) {
        result.error = header.error;
        return result;
    }
    if (header.firstEntry < 0) return result;

    // The header's lines, each without its tag and "\r\n"; a damaged header ends at the line
    // that has no "\r\n".
    std::vector<Bytes> lines;
    const size_t tagSize = Bytes(kEntryTag).size();
    const size_t headerEnd =
        header.error == ProjectError::None ? static_cast<size_t>(header.dataOffset) : bytes.size();
    for (size_t line = static_cast<size_t>(header.firstEntry); line < headerEnd;) {
        const size_t end = std::min(bytes.find(kLineEnd, line), bytes.size());
        lines.push_back(bytes.substr(line + tagSize, end - std::min(end, line + tagSize)));
        line = end + kLineEnd.size();
    }

    constexpr qint64 kNoLimit = std::numeric_limits<qint64>::max() / 2;
    const qint64 available = fileSize >= 0 && header.error == ProjectError::None
                                 ? std::min(fileSize - header.dataOffset, kNoLimit)
                                 : kNoLimit;
    qint64 used = 0;
    for (size_t index = 0; index < lines.size(); ++index) {
        const ParsedEntry parsed = ParseEntryLine(lines[index], available - used);
        ProjectError error = parsed.error;
        if (error == ProjectError::None && parsed.size > available - used) {
            error = ProjectError::MemberPastEnd;
        }
        // A line cut short is reported as such, whatever else its text lacks.
        if (header.error != ProjectError::None && index + 1 == lines.size()) error = header.error;
        if (error != ProjectError::None) {
            result.error = error;
            result.errorEntry = static_cast<int>(index);
            result.entries.clear();
            return result;
        }
        const std::string path(parsed.path);
        result.entries.push_back({path, parsed.size, MemberKindOf(path), header.dataOffset + used});
        used += parsed.size;
    }
    result.dataOffset = header.dataOffset;
    return result;
}

}  // namespace

ProjectEntries ReadProjectEntries(QByteArrayView file, EntrySource source) {
    return ReadEntries(AsBytes(file), LocateProjectHeader(file),
                       source == EntrySource::ProjectFile ? file.size() : -1);
}

ProjectEntries ReadProjectEntries(QByteArrayView head, qint64 fileSize) {
    return ReadEntries(AsBytes(head), LocateProjectHeader(head, fileSize), fileSize);
}

ProjectCheck CheckProjectFormat(QByteArrayView head, qint64 fileSize) {
    // Requirement lines cut short would be misread, so the length is judged first.
    if (LocateProjectHeader(head, fileSize).error == ProjectError::HeaderTooLong) {
        return {ProjectError::HeaderTooLong, -1, {}};
    }
    ProjectRequirements requirements;
    if (const auto read = ParseProjectRequirements(head, requirements);
        read.error != ProjectError::None) {
        return {read.error, -1, {}};
    }
    const ProjectEntries read = ReadProjectEntries(head, fileSize);
    if (read.error != ProjectError::None) return {read.error, read.errorEntry, {}};
    return {};
}

ProjectCheck ValidateProject(QByteArrayView head, qint64 fileSize) {
    if (const ProjectCheck check = CheckProjectFormat(head, fileSize);
        check.error != ProjectError::None) {
        return check;
    }
    const ProjectEntries read = ReadProjectEntries(head, fileSize);
    for (size_t index = 0; index < read.entries.size(); ++index) {
        const std::string& path = read.entries[index].terminalPath;
        if (CheckMemberPath(path) != MemberPathProblem::None) {
            return {ProjectError::InvalidMemberPath, static_cast<int>(index), path};
        }
    }
    return {};
}

ProjectCheck ValidateProject(QByteArrayView file) { return ValidateProject(file, file.size()); }

std::string ProjectCheckText(const ProjectCheck& check) {
    std::string text = ProjectErrorText(check.error);
    if (check.entry < 0) return text;
    text += " (entry " + std::to_string(check.entry + 1);
    if (check.error == ProjectError::InvalidMemberPath) {
        text += ", " + check.terminalPath + ": ";
        text += MemberPathProblemText(CheckMemberPath(check.terminalPath));
    }
    return text + ")";
}

std::optional<QByteArray> MemberContent(QByteArrayView file, const ProjectEntry& entry) {
    if (entry.offset < 0 || entry.size < 0 || entry.offset > file.size() ||
        entry.size > file.size() - entry.offset) {
        return std::nullopt;
    }
    QByteArray content(file.data() + entry.offset, static_cast<qsizetype>(entry.size));
    if (entry.kind == MemberKind::Program) UnscrambleProgram(content);
    return content;
}

void UnscrambleProgram(char* bytes, qsizetype count, qint64 at) {
    size_t key = static_cast<size_t>(at % static_cast<qint64>(ProgramKey.size()));
    for (qsizetype i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>(static_cast<uint8_t>(bytes[i]) - ProgramKey[key]);
        if (++key == ProgramKey.size()) key = 0;
    }
}

void UnscrambleProgram(QByteArray& program) {
    UnscrambleProgram(program.data(), program.size());
}

void ScrambleProgram(QByteArray& program) {
    for (qsizetype i = 0; i < program.size(); ++i) {
        program[i] = static_cast<char>(static_cast<uint8_t>(program[i]) + ProgramKey[i % 10]);
    }
}

const char* ReaderKindText(int32_t readerKind) {
    switch (readerKind) {
        case kReaderAllDevice:
            return "All Device";
        case kReaderCcd1D:
            return "CCD 1D";
        case kReaderCamera2D:
            return "Camera 2D";
        case kReaderCcd1DRf:
            return "CCD 1D + RF";
        default:
            return "Unknow";
    }
}

const char* RequiredModel(int32_t readerKind) {
    switch (readerKind) {
        case kReaderCcd1D:
            return "TQ-3100";
        case kReaderCamera2D:
            return "TQ-3300";
        case kReaderCcd1DRf:
            return "TQ-3200";
        default:
            return nullptr;
    }
}

bool ModelMeetsReaderKind(int32_t readerKind, std::string_view model) {
    if (readerKind == kReaderUnknown) return false;
    const char* required = RequiredModel(readerKind);
    return required == nullptr || model.find(required) != std::string_view::npos;
}

bool FirmwareTooOld(std::string_view neededVersion, std::string_view terminalFirmware) {
    if (neededVersion.empty()) return false;
    const auto afterDash = [](std::string_view version) {
        const size_t dash = version.find('-');
        return dash == std::string_view::npos ? version : version.substr(dash + 1);
    };
    // string_view compares as unsigned bytes, as the rule wants.
    return afterDash(neededVersion) > afterDash(terminalFirmware);
}
