#pragma once

#include "platform/Prompter.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// Records every text the program shows and answers questions and file dialogs from a script.
// Installed for its lifetime.
class ScriptedPrompter final : public Prompter {
public:
    ScriptedPrompter() { InstallPrompter(this); }
    ~ScriptedPrompter() override { InstallPrompter(nullptr); }

    void Message(const QString& text, const QString& caption) override;
    bool Question(const QString& text, const QString& caption) override;
    QString OpenFile(const QString& filter, const QString& defaultSuffix) override;
    // Answered from the same script as OpenFile.
    QString SaveFile(const QString& filter, const QString& suggestedName) override;

    void AnswerQuestions(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }
    void AnswerFileDialogs(std::initializer_list<QString> paths) { files_.insert(files_.end(), paths); }

    QStringList messages;   // texts of message boxes, in order
    QStringList questions;  // texts of Yes/No questions, in order
    QStringList captions;   // caption of every box and question, in order
    QStringList fileFilters;
    // Runs while a question is open, before it is answered: the world may change meanwhile.
    std::function<void()> onQuestion;

private:
    std::deque<bool> answers_;
    std::deque<QString> files_;
};
