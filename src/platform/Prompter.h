#pragma once

#include <QString>

class QWidget;

inline constexpr char kApplicationTitle[] = "Tarvik";

// Everything the program asks the user goes through here: message boxes and the open-file
// dialog, owned by the main window. Tests install a scripted one.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Message(const QString& text, const QString& caption) = 0;
    // True for Yes.
    virtual bool Question(const QString& text, const QString& caption) = 0;
    // `filter` is in the "Text|*.ext||" form; an empty result means the user cancelled.
    virtual QString OpenFile(const QString& filter, const QString& defaultSuffix) = 0;
};

Prompter& Prompt();

// Installs `prompter` (not owned) in place of the window's message boxes; nullptr restores them.
void InstallPrompter(Prompter* prompter);

// The window that owns the message boxes and file dialogs.
void SetPromptOwner(QWidget* owner);

// An OK message box with the application title as caption.
void ShowMessage(Prompter& prompter, const QString& text);
void ShowMessage(const QString& text);

// A Yes/No question; true for Yes.
bool AskYesNo(const QString& text, const QString& caption = kApplicationTitle);

// Qt's filter string for a "Text|*.ext|Text|*.ext||" filter.
QString QtFileFilter(const QString& filter);
