#include "Handles.h"

namespace emu {

uint32_t HandleTable::Add(std::string terminalFolder) {
    do {
        ++last_;
    } while (last_ == 0 || open_.count(last_) != 0);
    open_.emplace(last_, std::move(terminalFolder));
    return last_;
}

bool HandleTable::Remove(uint32_t handle) {
    return open_.erase(handle) != 0;
}

const std::string* HandleTable::Find(uint32_t handle) const {
    const auto found = open_.find(handle);
    return found == open_.end() ? nullptr : &found->second;
}

HandleTable& Links() {
    static HandleTable table;
    return table;
}

}  // namespace emu
