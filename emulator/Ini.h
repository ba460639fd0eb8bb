#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// A terminal.ini: "key=value" lines, ';' or '#' comment lines, and a ';' comment after a
// value when blanks stand before it. Rewriting keeps every other line as it was.
class IniFile {
public:
    // Empty when the file is missing, is no regular file or is a symbolic link.
    static std::optional<IniFile> Load(const std::filesystem::path& path);

    // The value with blanks and comment removed; empty when the key is absent.
    std::string Get(std::string_view key) const;
    bool Has(std::string_view key) const;
    void Set(std::string_view key, std::string_view value);
    bool SaveAtomically(const std::filesystem::path& path) const;

private:
    // The index of the key's first line, or -1.
    int Find(std::string_view key) const;

    std::vector<std::string> lines_;
};

}  // namespace emu
