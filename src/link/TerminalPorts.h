#pragma once

#include <string>
#include <vector>

class Prompter;
class TerminalLibrary;

// The port names the Communication module offers, in its order: serial ports and attached USB
// terminals alike. Counts and lengths are bounded; a faulty count is told through `prompter`.
std::vector<std::string> ModulePortNames(TerminalLibrary& library, Prompter* prompter);
