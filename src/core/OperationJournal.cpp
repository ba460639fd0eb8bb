#include "core/OperationJournal.h"

#include "link/ConnectionSettings.h"
#include "platform/Journal.h"

OperationJournal::OperationJournal(const Services& services, const ConnectionSettings& record,
                                   const QString& operation, const QStringList& files)
    : serial_(QString::fromStdString(record.serialNumber)),
      port_(QString::fromStdString(record.portName)),
      operation_(operation),
      files_(files),
      recorder_(services.prompter, told_),
      services_{services.library, recorder_, services.clock, services.files, services.progress} {}

OperationJournal::~OperationJournal() {
    if (!written_) Finish(false);
}

void OperationJournal::Finish(bool ok, const QString& detail) {
    if (written_) return;
    written_ = true;
    // A journal that cannot be written must not stop the work on the terminal.
    AppendToJournal({serial_, port_, operation_, files_, ok && !Told(),
                     detail.isEmpty() ? told_.join(QStringLiteral(" / ")) : detail});
}

void OperationJournal::Recorder::Message(const QString& text, const QString& caption) {
    told_ << text;
    inner_.Message(text, caption);
}

bool OperationJournal::Recorder::Question(const QString& text, const QString& caption) {
    return inner_.Question(text, caption);
}

bool OperationJournal::Recorder::Ask(QuestionKind kind, const QString& text, const QString& caption) {
    return inner_.Ask(kind, text, caption);
}

QString OperationJournal::Recorder::OpenFile(const QString& filter, const QString& defaultSuffix) {
    return inner_.OpenFile(filter, defaultSuffix);
}
