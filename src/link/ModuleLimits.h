#pragma once

#include <cstdint>

class Prompter;

// No PC has more ports or USB terminals than this; a module that reports more is faulty.
inline constexpr uint32_t kMaxModuleCount = 256;
// The longest port or USB terminal name the program reads.
inline constexpr int32_t kMaxModuleNameLength = 1024;

// A count a module reported, at most kMaxModuleCount. The first count above it in a run is told
// to the user through `prompter` when one is given.
uint32_t BoundedCount(int64_t reported, Prompter* prompter);
// A name length a module reported, within 0 and kMaxModuleNameLength.
int32_t BoundedNameLength(int32_t reported);
// The next faulty count is told again; for tests.
void ForgetModuleFault();
