#pragma once

#include <QString>

inline constexpr char kApplicationTitle[] = "Tarvik";

// What a question is about, so that a prompter without a user (the command line) can answer
// it from its options.
enum class QuestionKind { Overwrite, DeletePermanently, OtherModel };

// Everything the program asks the user goes through here: the window's message boxes and
// open-file dialog, the command line's standard error, or a test's scripted answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Message(const QString& text, const QString& caption) = 0;
    // True for Yes.
    virtual bool Question(const QString& text, const QString& caption) = 0;
    virtual bool Ask(QuestionKind kind, const QString& text, const QString& caption) {
        Q_UNUSED(kind);
        return Question(text, caption);
    }
    // `filter` is in the "Text|*.ext||" form; an empty result means the user cancelled.
    virtual QString OpenFile(const QString& filter, const QString& defaultSuffix) = 0;
    // A file to write, `suggestedName` offered; empty when cancelled or when no one can be asked.
    virtual QString SaveFile(const QString& filter, const QString& suggestedName) {
        Q_UNUSED(filter);
        Q_UNUSED(suggestedName);
        return {};
    }
};

// The installed prompter; without one, messages go to standard error and every question is
// answered No, so nothing is replaced or deleted unasked.
Prompter& Prompt();

// Installs `prompter` (not owned) over the program's own; nullptr takes it away.
void InstallPrompter(Prompter* prompter);

// The program's own prompter (not owned), answering when none is installed over it.
void SetProgramPrompter(Prompter* prompter);

// An OK message box with the application title as caption.
void ShowMessage(Prompter& prompter, const QString& text);
void ShowMessage(const QString& text);

// A Yes/No question; true for Yes.
bool AskYesNo(const QString& text, const QString& caption = kApplicationTitle);
