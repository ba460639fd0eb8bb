#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace emu {

// The open links. A handle names the bench folder of the terminal it was opened on; handles
// are never reused, so a closed one stays invalid.
class HandleTable {
public:
    uint32_t Add(std::string terminalFolder);
    bool Remove(uint32_t handle);
    // The terminal folder name, or nullptr for a handle that is not open.
    const std::string* Find(uint32_t handle) const;

private:
    std::map<uint32_t, std::string> open_;
    uint32_t last_ = 0;
};

HandleTable& Links();

}  // namespace emu
