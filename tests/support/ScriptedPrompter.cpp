#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

void ScriptedPrompter::Message(const QString& text, const QString& caption) {
    messages << text;
    captions << caption;
}

bool ScriptedPrompter::Question(const QString& text, const QString& caption) {
    questions << text;
    captions << caption;
    if (onQuestion) onQuestion();
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedPrompter::OpenFile(const QString& filter, const QString&) {
    fileFilters << filter;
    if (files_.empty()) return {};  // an unscripted dialog is cancelled
    QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedPrompter::SaveFile(const QString& filter, const QString& suggestedName) {
    return OpenFile(filter, suggestedName);
}
