#include "Paths.h"

#include "Codes.h"

#include <cstring>

namespace emu {

namespace {

bool IsNameCharacter(char c) {
    return c > ' ' && c < 0x7F && std::strchr("\\/:*?\"<>|.", c) == nullptr;
}

bool AllNameCharacters(std::string_view text) {
    for (const char c : text) {
        if (!IsNameCharacter(c)) return false;
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

}  // namespace

bool IsShortName(std::string_view name) {
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    if (base.empty() || base.size() > 8 || !AllNameCharacters(base)) return false;
    if (dot == std::string_view::npos) return true;
    const std::string_view extension = name.substr(dot + 1);
    return !extension.empty() && extension.size() <= 3 && AllNameCharacters(extension);
}

bool IsFolderName(std::string_view name) {
    return IsShortName(name) && name.find('.') == std::string_view::npos;
}

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

int32_t ParseTerminalPath(const char* text, std::size_t maxParts, TerminalPath& out) {
    if (text == nullptr) return kBadParameter;
    const std::string_view path(text);
    if (path.size() < 2 || path[1] != ':') return kInvalidPath;
    const char drive = FoldCase(path.substr(0, 1))[0];
    if (drive != 'C' && drive != 'D' && drive != 'E') return kInvalidPath;

    std::string_view rest = path.substr(2);
    out = TerminalPath{drive, {}};
    if (rest.empty() || rest == "\\") return kOk;
    if (rest.front() != '\\') return kInvalidPath;
    rest.remove_prefix(1);

    const std::vector<std::string_view> parts = Split(rest, '\\');
    for (const std::string_view part : parts) {
        if (part.empty() || part == "." || part == ".." ||
            part.find('/') != std::string_view::npos) {
            return kInvalidPath;
        }
    }
    if (parts.size() > maxParts) return kInvalidPath;
    for (const std::string_view part : parts) {
        if (!IsShortName(part)) return kIllegalName;
        out.parts.emplace_back(part);
    }
    return kOk;
}

}  // namespace emu
