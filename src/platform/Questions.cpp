#include "platform/Questions.h"

#include "platform/Prompter.h"

bool AskOverwrite(Prompter& prompter, const QString& destination) {
    return prompter.Question(QStringLiteral("%1 exist, Overwrite?").arg(destination),
                             kApplicationTitle);
}

bool AskDeletePermanently(Prompter& prompter, const QString& path) {
    return prompter.Question(
        QStringLiteral("%1 is on a drive without a Trash.\nDelete permanently?").arg(path),
        kApplicationTitle);
}

bool AskDropOnOtherModel(Prompter& prompter, const QString& model) {
    return prompter.Question(
        QStringLiteral("This project cannot work well for %1!\r\nWould you continue to download?")
            .arg(model),
        kApplicationTitle);
}

bool AskDownloadDespiteModel(Prompter& prompter, const QString& terminalText) {
    return prompter.Question(QStringLiteral("The device-%1 may run this project not well.\r\n"
                                            "Would you continue to download?")
                                 .arg(terminalText),
                             QStringLiteral("Travik"));
}
