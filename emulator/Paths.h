#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// A terminal path such as "C:\DATA\STOCK.DAT": the drive letter in upper case and the
// components as given (case kept).
struct TerminalPath {
    char drive = 'C';
    std::vector<std::string> parts;
};

// Folders reach two levels below a drive, so a file may lie one level deeper.
inline constexpr std::size_t kMaxFolderParts = 2;
inline constexpr std::size_t kMaxFileParts = 3;

// An 8.3 name: a base of 1 to 8 characters, optionally '.' and an extension of 1 to 3;
// printable ASCII only, no blank and none of \/:*?"<>|.
bool IsShortName(std::string_view name);
// A name the terminal gives a folder it makes: an 8.3 name without an extension.
bool IsFolderName(std::string_view name);

// Checks the form of a terminal path with at most `maxParts` components: 2807 for no
// text, 2621 for a bad drive, separator, "." or ".." or too many levels, 2626 for a
// component that is not an 8.3 name. Whether the drive exists is the terminal's matter.
int32_t ParseTerminalPath(const char* text, std::size_t maxParts, TerminalPath& out);

// Upper-cased ASCII, the key under which the terminal compares names.
std::string FoldCase(std::string_view name);

}  // namespace emu
