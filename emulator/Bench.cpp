#include "Bench.h"

#include <algorithm>
#include <cstdlib>
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

std::vector<Terminal> BenchTerminals() {
    std::vector<Terminal> terminals;
    const std::filesystem::path bench = BenchFolder();
    if (bench.empty()) return terminals;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(bench, error)) {
        if (auto terminal = Terminal::Load(entry.path())) terminals.push_back(std::move(*terminal));
    }
    std::sort(terminals.begin(), terminals.end(),
              [](const Terminal& a, const Terminal& b) { return a.Name() < b.Name(); });
    return terminals;
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
