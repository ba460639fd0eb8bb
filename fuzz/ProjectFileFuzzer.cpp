// libFuzzer target for the project file readers: whatever the bytes, no read leaves them and
// every entry that is reported lies whole inside the file.

#include "project/MemberPath.h"
#include "project/ProjectFile.h"

#include <cstddef>
#include <cstdint>

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Not copied: the view ends where libFuzzer's buffer ends, so AddressSanitizer sees any
    // read past the file.
    const QByteArrayView file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    ProjectRequirements requirements{kReaderUnknown, "A00-0.50"};
    const RequirementsResult read = ParseProjectRequirements(file, requirements);
    if (read.error != ProjectError::None) {
        Require(requirements.readerKind == kReaderUnknown &&
                requirements.neededVersion == "A00-0.50");
    }
    Require(requirements.neededVersion.size() <= static_cast<size_t>(kMaxNeededVersionLength));

    const HeaderLocation header = LocateProjectHeader(file);
    Require(header.dataOffset >= 0 && header.dataOffset <= file.size());

    for (const EntrySource source : {EntrySource::ProjectFile, EntrySource::InformationFile}) {
        const ProjectEntries entries = ReadProjectEntries(file, source);
        Require(entries.error == ProjectError::None || entries.entries.empty());
        qint64 next = entries.dataOffset;
        for (const ProjectEntry& entry : entries.entries) {
            Require(entry.size >= 0 && entry.offset == next);
            next += entry.size;
            const auto content = MemberContent(file, entry);
            if (source == EntrySource::ProjectFile) {
                Require(next <= file.size() && content && content->size() == entry.size);
            }
            (void)MemberKindOf(DisplayName(entry.terminalPath));
        }
    }

    // The first half alone, as the readers of a large file take its start: where it tells the
    // header's end, the whole file agrees.
    const ProjectEntries fromHead = ReadProjectEntries(file.first(file.size() / 2), file.size());
    Require(fromHead.error == ProjectError::None || fromHead.entries.empty());
    if (fromHead.error == ProjectError::None) {
        const ProjectEntries whole = ReadProjectEntries(file);
        Require(whole.error == ProjectError::None && whole.dataOffset == fromHead.dataOffset &&
                whole.entries.size() == fromHead.entries.size());
    }

    const ProjectCheck check = ValidateProject(file);
    (void)ProjectCheckText(check);
    if (check.error == ProjectError::None) {
        for (const ProjectEntry& entry : ReadProjectEntries(file).entries) {
            Require(CheckMemberPath(entry.terminalPath) == MemberPathProblem::None);
        }
    }

    (void)FirmwareTooOld(requirements.neededVersion, std::string_view(file.data(), size / 2));
    (void)ModelMeetsReaderKind(requirements.readerKind, std::string_view(file.data(), size / 2));
    return 0;
}
