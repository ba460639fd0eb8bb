#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A program member's byte i is stored as (plain + ProgramKey[i % 10]) mod 256.
inline constexpr std::array<uint8_t, 10> ProgramKey = {27, 82, 7, 60, 97, 21, 72, 46, 115, 9};

// Reader kinds a project can ask for with "[Reader]".
inline constexpr int32_t kReaderAllDevice = 0;
inline constexpr int32_t kReaderCcd1D = 1;
inline constexpr int32_t kReaderCamera2D = 2;
inline constexpr int32_t kReaderCcd1DRf = 3;
inline constexpr int32_t kReaderUnknown = 999999;

// What a project without "[Ver.]" needs.
inline constexpr int32_t kDefaultReaderKind = kReaderCcd1D;
inline constexpr char kDefaultNeededVersion[] = "A00-1.02";
// The version buffer holds 100 bytes with its terminating NUL.
inline constexpr int kMaxNeededVersionLength = 99;

// A project file's header lies within its first 1 MB: a reader takes no more than that.
inline constexpr qsizetype kMaxProjectHeaderBytes = 1024 * 1024;

inline constexpr char kEntryTag[] = "[Info]";
inline constexpr char kVersionTag[] = "[Ver.]";
inline constexpr char kReaderTag[] = "[Reader]";
inline constexpr char kFirmwareTag[] = "[FW Sup.]";

// What makes a project file unfit to be read or sent. Every reader stops at the first one.
enum class ProjectError {
    None,
    EntryWithoutComma,    // an "[Info]" line has no "," before its end
    EntryWithoutSize,     // no decimal digit right after the ","
    NegativeSize,         // a "-" where the size begins
    MemberPastEnd,        // the members need more bytes than follow the header
    UnterminatedEntry,    // the last "[Info]" line does not end with "\r\n"
    UnterminatedVersion,  // the "[FW Sup.]" line does not end with "\r\n"
    VersionTooLong,       // the "[FW Sup.]" text is longer than 99 characters
    ReaderWithoutNumber,  // "[Reader]" without a decimal number that fits 32 bits
    InvalidMemberPath,    // a member's terminal path is not plain (see CheckMemberPath)
    HeaderTooLong,        // the header does not end within kMaxProjectHeaderBytes
};

// One sentence for a caller's message box.
const char* ProjectErrorText(ProjectError error);

enum class MemberKind { Program, Font, DataFile };

// Case-sensitive: ".bas" makes a program, else ".cft" a font, found at position 1 or later
// of a terminal path or a display name.
MemberKind MemberKindOf(std::string_view pathOrName);

// The text after the last "\" of a terminal path.
std::string_view DisplayName(std::string_view terminalPath);

// The requirement lines of a project file. A tag that the file does not state leaves its
// field as the caller set it.
struct ProjectRequirements {
    int32_t readerKind = kReaderUnknown;
    std::string neededVersion;
};

struct RequirementsResult {
    ProjectError error = ProjectError::None;
    bool stated = false;  // the file has "[Ver.]"
};

// Reads the requirement lines, which precede the first "[Info]". Without "[Ver.]" the
// requirements become kDefaultReaderKind and kDefaultNeededVersion and the other tags are
// ignored. On an error (ReaderWithoutNumber, UnterminatedVersion, VersionTooLong) the
// requirements are left exactly as they were.
RequirementsResult ParseProjectRequirements(QByteArrayView file, ProjectRequirements& requirements);

// Where the header ends. The header is the requirement lines and the run of "[Info]" lines,
// from byte 0 through the "\r\n" after which the next line does not begin with "[Info]".
struct HeaderLocation {
    ProjectError error = ProjectError::None;  // UnterminatedEntry or HeaderTooLong
    qsizetype firstEntry = -1;                // the first "[Info]"; -1 when there is none
    qsizetype dataOffset = 0;                 // the first member's first byte
};

HeaderLocation LocateProjectHeader(QByteArrayView file);
// The same from the first bytes of a file of `fileSize` bytes: HeaderTooLong when they are
// fewer than the file's and do not tell where the header ends.
HeaderLocation LocateProjectHeader(QByteArrayView head, qint64 fileSize);

struct ProjectEntry {
    std::string terminalPath;  // as the file spells it
    qint64 size = 0;
    MemberKind kind = MemberKind::DataFile;
    qint64 offset = 0;  // of the member's first byte within the file
};

struct ProjectEntries {
    ProjectError error = ProjectError::None;
    int errorEntry = -1;  // the entry line at fault, counted from 0
    // The header is the file's first dataOffset bytes; 0 when there is no "[Info]".
    qsizetype dataOffset = 0;
    std::vector<ProjectEntry> entries;  // none on an error: nothing of a broken file is sent
};

// A project file has the members' bytes after its header; an information file is the
// header alone, so its sizes are not held against the file's length.
enum class EntrySource { ProjectFile, InformationFile };

// The entries of the header in file order, or the first fault. Never reads past the file's
// last byte, whatever the sizes say. Entry paths are not judged here; ValidateProject does.
ProjectEntries ReadProjectEntries(QByteArrayView file,
                                  EntrySource source = EntrySource::ProjectFile);
// The entries of a project file of `fileSize` bytes from its first bytes, `head`.
ProjectEntries ReadProjectEntries(QByteArrayView head, qint64 fileSize);

// The first fault of a whole project file, found before anything is sent: malformed
// requirement or entry lines, members beyond the file's end, or a member path that
// CheckMemberPath refuses.
struct ProjectCheck {
    ProjectError error = ProjectError::None;
    int entry = -1;            // the entry at fault, counted from 0; -1 for the requirements
    std::string terminalPath;  // its path, when the file has one for it
};

ProjectCheck ValidateProject(QByteArrayView file);
ProjectCheck ValidateProject(QByteArrayView head, qint64 fileSize);
// Only the faults that leave a file unreadable; a member path a terminal cannot hold is none.
ProjectCheck CheckProjectFormat(QByteArrayView head, qint64 fileSize);

// A message for a failed check, naming the entry and its path when there is one.
std::string ProjectCheckText(const ProjectCheck& check);

// The member's bytes as they go to the terminal (a program unscrambled); none when the entry
// does not lie whole inside the file.
std::optional<QByteArray> MemberContent(QByteArrayView file, const ProjectEntry& entry);

// Takes ProgramKey off a program's bytes, in place; `at` is where the first of them lies in the
// program.
void UnscrambleProgram(char* bytes, qsizetype count, qint64 at = 0);
void UnscrambleProgram(QByteArray& program);
// Puts ProgramKey on, as a project file stores a program.
void ScrambleProgram(QByteArray& program);

// "All Device", "CCD 1D", "Camera 2D", "CCD 1D + RF", or "Unknow" for any other kind.
const char* ReaderKindText(int32_t readerKind);
// The model a download requires of a terminal; null when the kind requires none.
const char* RequiredModel(int32_t readerKind);
// Whether a terminal of `model` meets the reader kind; kReaderUnknown is never met.
bool ModelMeetsReaderKind(int32_t readerKind, std::string_view model);

// The firmware version rule: compares the texts after the first "-" byte by byte. An empty
// needed version states no requirement, so no terminal is too old for it.
bool FirmwareTooOld(std::string_view neededVersion, std::string_view terminalFirmware);
