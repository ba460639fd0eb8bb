#include "Terminal.h"

#include <sys/stat.h>
#include <cerrno>
#include <charconv>
#include <vector>

namespace emu {

namespace {

constexpr const char* kIniName = "terminal.ini";

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t,", at)) != std::string_view::npos) {
        const auto end = text.find_first_of(" \t,", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

template <typename Integer = int32_t>
std::optional<Integer> Number(std::string_view text) {
    Integer value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsRealFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::optional<Terminal> Terminal::Load(const std::filesystem::path& folder) {
    if (!IsRealFolder(folder)) return std::nullopt;
    std::optional<IniFile> ini = IniFile::Load(folder / kIniName);
    if (!ini) return std::nullopt;
    return Terminal(folder, std::move(*ini));
}

bool Terminal::AnswersAtBaud(int32_t baudCode) const {
    const std::string baud = ini_.Get("baud");
    return baud.empty() || Number(baud) == baudCode;
}

std::uint64_t Terminal::RateBytesPerSecond() const {
    return Number<std::uint64_t>(ini_.Get("rate")).value_or(0);
}

int32_t Terminal::InjectedFault(std::string_view operation) const {
    const std::string faults = ini_.Get("fail");
    for (const std::string_view word : Words(faults)) {
        const auto colon = word.find(':');
        if (colon == std::string_view::npos || word.substr(0, colon) != operation) continue;
        if (const auto code = Number(word.substr(colon + 1)); code && *code != 0) return *code;
    }
    return 0;
}

int32_t Terminal::CapacityKB(char drive) const {
    const std::string drives = ini_.Get("drives");
    for (const std::string_view word : Words(drives)) {
        if (word.size() < 3 || Upper(word[0]) != drive || word[1] != ':') continue;
        if (const auto capacity = Number(word.substr(2)); capacity && *capacity >= 0) {
            return *capacity;
        }
    }
    return -1;
}

bool Terminal::IsUnformatted(char drive) const {
    const std::string unformatted = ini_.Get("unformatted");
    for (const std::string_view word : Words(unformatted)) {
        if (Upper(word[0]) == drive && (word.size() == 1 || word.substr(1) == ":")) return true;
    }
    return false;
}

std::filesystem::path Terminal::DriveFolder(char drive) const {
    if (!HasDrive(drive)) return {};
    const std::filesystem::path path = folder_ / std::string(1, drive);
    // Looked at first: a mkdir that finds the folder there costs a look of its own.
    if (IsRealFolder(path)) return path;
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return {};
    return IsRealFolder(path) ? path : std::filesystem::path{};
}

bool Terminal::SetFirmware(std::string_view version) {
    ini_.Set("firmware", version);
    return Save();
}

bool Terminal::MarkFormatted(char drive) {
    if (!IsUnformatted(drive)) return true;
    std::string kept;
    const std::string unformatted = ini_.Get("unformatted");
    for (const std::string_view word : Words(unformatted)) {
        if (Upper(word[0]) == drive) continue;
        if (!kept.empty()) kept += ' ';
        kept += word;
    }
    ini_.Set("unformatted", kept);
    return Save();
}

bool Terminal::Save() const {
    return ini_.SaveAtomically(folder_ / kIniName);
}

}  // namespace emu
