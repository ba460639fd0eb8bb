#include "platform/Questions.h"

#include "platform/Prompter.h"

bool AskOverwrite(Prompter& prompter, const QString& destination) {
    return prompter.Question(QStringLiteral("%1 exist, Overwrite?").arg(destination),
                             kApplicationTitle);
}
