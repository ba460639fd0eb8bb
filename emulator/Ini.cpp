#include "Ini.h"

#include "FileIo.h"

#include <sys/stat.h>
#include <fstream>
#include <sstream>

namespace emu {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool IsComment(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    return trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
}

std::string_view KeyOf(std::string_view line) {
    if (IsComment(line)) return {};
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
    std::string_view value = line.substr(line.find('=') + 1);
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] == ';' && (value[i - 1] == ' ' || value[i - 1] == '\t')) {
            value = value.substr(0, i);
            break;
        }
    }
    return Trim(value);
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    IniFile ini;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ini.lines_.push_back(line);
    }
    return ini;
}

int IniFile::Find(std::string_view key) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (KeyOf(lines_[i]) == key) return static_cast<int>(i);
    }
    return -1;
}

std::string IniFile::Get(std::string_view key) const {
    const int index = Find(key);
    return index < 0 ? std::string{} : std::string(ValueOf(lines_[index]));
}

bool IniFile::Has(std::string_view key) const {
    return Find(key) >= 0;
}

void IniFile::Set(std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    const int index = Find(key);
    if (index < 0) {
        lines_.push_back(std::move(line));
    } else {
        lines_[index] = std::move(line);
    }
}

bool IniFile::SaveAtomically(const std::filesystem::path& path) const {
    std::ostringstream text;
    for (const std::string& line : lines_) text << line << '\n';
    const std::string content = text.str();
    return WriteAtomically(path,
                           [&](int fd) { return WriteAll(fd, content.data(), content.size()); });
}

}  // namespace emu
