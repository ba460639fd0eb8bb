#pragma once

#include "core/Services.h"
#include "platform/Prompter.h"

#include <QString>
#include <QStringList>

struct ConnectionSettings;

inline constexpr char kJournalCancelledText[] = "Cancelled by the user.";

// One operation on one terminal as the journal keeps it. The operation works through
// Work(), whose prompter notes what the user was told, and its line is written once, by
// Finish or, when the operation left early, by the destructor as a failure.
class OperationJournal {
public:
    OperationJournal(const Services& services, const ConnectionSettings& record, const QString& operation,
                     const QStringList& files);
    ~OperationJournal();
    OperationJournal(const OperationJournal&) = delete;
    OperationJournal& operator=(const OperationJournal&) = delete;

    const Services& Work() const { return services_; }
    // Whether a message reached the user: an operation tells only what it could not do.
    bool Told() const { return !told_.isEmpty(); }
    // Writes the line: ok only when `ok` holds and nothing was told; the detail is `detail`,
    // else what was told.
    void Finish(bool ok, const QString& detail = {});

private:
    class Recorder final : public Prompter {
    public:
        Recorder(Prompter& inner, QStringList& told) : inner_(inner), told_(told) {}
        void Message(const QString& text, const QString& caption) override;
        bool Question(const QString& text, const QString& caption) override;
        bool Ask(QuestionKind kind, const QString& text, const QString& caption) override;
        QString OpenFile(const QString& filter, const QString& defaultSuffix) override;

    private:
        Prompter& inner_;
        QStringList& told_;
    };

    QString serial_;
    QString port_;
    QString operation_;
    QStringList files_;
    QStringList told_;
    Recorder recorder_;
    Services services_;
    bool written_ = false;
};
