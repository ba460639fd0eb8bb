#include "platform/Prompter.h"

#include <cstdio>

namespace {

class StandardErrorPrompter final : public Prompter {
public:
    void Message(const QString& text, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool Question(const QString& text, const QString& caption) override {
        Message(text, caption);
        return false;
    }
    QString OpenFile(const QString&, const QString&) override { return {}; }
};

Prompter* g_program = nullptr;
Prompter* g_installed = nullptr;

}  // namespace

Prompter& Prompt() {
    static StandardErrorPrompter standardError;
    if (g_installed) return *g_installed;
    return g_program ? *g_program : standardError;
}

void InstallPrompter(Prompter* prompter) { g_installed = prompter; }

void SetProgramPrompter(Prompter* prompter) { g_program = prompter; }

void ShowMessage(Prompter& prompter, const QString& text) {
    prompter.Message(text, kApplicationTitle);
}

void ShowMessage(const QString& text) { ShowMessage(Prompt(), text); }

bool AskYesNo(const QString& text, const QString& caption) {
    return Prompt().Question(text, caption);
}
