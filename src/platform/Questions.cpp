#include "platform/Questions.h"

#include "platform/Prompter.h"

bool AskOverwrite(Prompter& prompter, const QString& destination) {
    return prompter.Ask(QuestionKind::Overwrite, QStringLiteral("%1 exist, Overwrite?").arg(destination),
                             kApplicationTitle);
}

bool AskDeletePermanently(Prompter& prompter, const QString& path) {
    return prompter.Ask(
        QuestionKind::DeletePermanently,
        QStringLiteral("%1 is on a drive without a Trash.\nDelete permanently?").arg(path),
        kApplicationTitle);
}

bool AskDropOnOtherModel(Prompter& prompter, const QString& model) {
    return prompter.Ask(
        QuestionKind::OtherModel,
        QStringLiteral("This project cannot work well for %1!\r\nWould you continue to download?")
            .arg(model),
        kApplicationTitle);
}

bool AskDownloadDespiteModel(Prompter& prompter, const QString& terminalText) {
    return prompter.Ask(QuestionKind::OtherModel, QStringLiteral("The device-%1 may run this project not well.\r\n"
                                            "Would you continue to download?")
                                 .arg(terminalText),
                             QStringLiteral("Travik"));
}
