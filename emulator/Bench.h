#pragma once

#include "Terminal.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace emu {

// The bench folder as the environment names it now: TARVIK_TERMINALS, else
// $XDG_DATA_HOME/tarvik/terminals, else $HOME/.local/share/tarvik/terminals; empty when
// none of them is set.
std::filesystem::path BenchFolder();

// The bench's terminals, ordered by folder name.
std::vector<Terminal> BenchTerminals();
// The first of the bench's terminals, by folder name, that `matches`.
std::optional<Terminal> FirstTerminal(const std::function<bool(const Terminal&)>& matches);
// The USB terminals (port containing "TQ"), ordered by port name.
std::vector<Terminal> UsbTerminals();
// The terminal in the bench folder of that name, if it is still there.
std::optional<Terminal> FindTerminal(std::string_view folderName);

}  // namespace emu
