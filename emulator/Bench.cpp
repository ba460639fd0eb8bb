#include "Bench.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

namespace emu {

namespace {

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::filesystem::path(value)
                                                : std::filesystem::path{};
}

}  // namespace

std::filesystem::path BenchFolder() {
    if (auto bench = FromEnvironment("TARVIK_TERMINALS"); !bench.empty()) return bench;
    if (auto data = FromEnvironment("XDG_DATA_HOME"); !data.empty()) {
        return data / "tarvik" / "terminals";
    }
    if (auto home = FromEnvironment("HOME"); !home.empty()) {
        return home / ".local" / "share" / "tarvik" / "terminals";
    }
    return {};
}

namespace {

// The names of the bench's entries in order; a terminal is loaded only when it is looked at.
std::vector<std::string> EntryNames(const std::filesystem::path& bench) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(bench, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<Terminal> BenchTerminals() {
    std::vector<Terminal> terminals;
    const std::filesystem::path bench = BenchFolder();
    if (bench.empty()) return terminals;
    for (const std::string& name : EntryNames(bench)) {
        if (auto terminal = Terminal::Load(bench / name)) terminals.push_back(std::move(*terminal));
    }
    return terminals;
}

std::optional<Terminal> FirstTerminal(const std::function<bool(const Terminal&)>& matches) {
    const std::filesystem::path bench = BenchFolder();
    if (bench.empty()) return std::nullopt;
    // Stops at the match, so opening a link reads no more terminal.ini files than it must.
    for (const std::string& name : EntryNames(bench)) {
        if (auto terminal = Terminal::Load(bench / name); terminal && matches(*terminal)) {
            return terminal;
        }
    }
    return std::nullopt;
}

std::vector<Terminal> UsbTerminals() {
    std::vector<Terminal> usb;
    for (Terminal& terminal : BenchTerminals()) {
        if (terminal.IsUsb()) usb.push_back(std::move(terminal));
    }
    std::stable_sort(usb.begin(), usb.end(),
                     [](const Terminal& a, const Terminal& b) { return a.Port() < b.Port(); });
    return usb;
}

std::optional<Terminal> FindTerminal(std::string_view folderName) {
    const std::filesystem::path bench = BenchFolder();
    if (bench.empty() || folderName.empty() || folderName.find('/') != std::string_view::npos ||
        folderName == "." || folderName == "..") {
        return std::nullopt;
    }
    return Terminal::Load(bench / folderName);
}

}  // namespace emu
