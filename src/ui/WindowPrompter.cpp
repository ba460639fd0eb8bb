#include "ui/WindowPrompter.h"

#include "platform/Prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace {

int g_messagesShown = 0;

// Texts carry "\r\n" as the terminal maker writes them; a label breaks lines at "\n".
QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

// Qt's filter string for a "Text|*.ext|Text|*.ext||" filter.
QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) break;
        QString pattern = patterns;
        pattern.replace(';', ' ');
        filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    return filters.join(QLatin1String(";;"));
}

class WindowPrompter final : public Prompter {
public:
    void Message(const QString& text, const QString& caption) override {
        ++g_messagesShown;
        QMessageBox box(QMessageBox::NoIcon, caption, DisplayText(text), QMessageBox::Ok, owner);
        box.exec();
    }

    bool Question(const QString& text, const QString& caption) override {
        QMessageBox box(QMessageBox::Question, caption, DisplayText(text),
                        QMessageBox::Yes | QMessageBox::No, owner);
        return box.exec() == QMessageBox::Yes;
    }

    QString OpenFile(const QString& filter, const QString& defaultSuffix) override {
        QFileDialog dialog(owner, QString(), QString(), QtFileFilter(filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        QString suffix = defaultSuffix;
        if (suffix.startsWith('.')) suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }

    QString SaveFile(const QString& filter, const QString& suggestedName) override {
        QFileDialog dialog(owner, QString(), suggestedName, QtFileFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QFileInfo(suggestedName).suffix());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }

    QPointer<QWidget> owner;
};

}  // namespace

int WindowMessagesShown() { return g_messagesShown; }

void SetPromptOwner(QWidget* owner) {
    static WindowPrompter window;
    window.owner = owner;
    SetProgramPrompter(owner ? &window : nullptr);
}
