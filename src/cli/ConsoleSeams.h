#pragma once

#include "platform/Progress.h"
#include "platform/Prompter.h"

#include <QString>

// The command line's prompter: messages on standard error, each naming its terminal; questions
// answered from the options, since nobody is there to answer them.
class ConsolePrompter final : public Prompter {
public:
    struct Answers {
        bool overwrite = false;   // --force
        bool otherModel = false;  // --yes
        bool keep = false;        // --keep: a file there stays, unasked and no failure
    };
    ConsolePrompter(QString port, Answers answers) : port_(std::move(port)), answers_(answers) {}

    void Message(const QString& text, const QString& caption) override;
    bool Question(const QString& text, const QString& caption) override;
    bool Ask(QuestionKind kind, const QString& text, const QString& caption) override;
    QString OpenFile(const QString&, const QString&) override { return {}; }

    int Messages() const { return messages_; }
    void SetPort(const QString& port) { port_ = port; }

private:
    QString port_;
    Answers answers_;
    int messages_ = 0;
};

// Progress on standard error, one line per file, when standard error is a terminal.
class ConsoleProgress final : public ProgressObserver {
public:
    explicit ConsoleProgress(QString port);
    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override;
    void AfterFile(qint64 bytes) override { done_ += bytes; }

private:
    QString port_;
    bool shown_;
    qint64 done_ = 0;
};

// A worker's seams: its messages and progress become JSON lines on standard output, and a
// "cancel" line on standard input stops it before its next file.
class WorkerReporter final : public Prompter, public ProgressObserver {
public:
    WorkerReporter(QString port, ConsolePrompter::Answers answers, qint64 total)
        : port_(std::move(port)), answers_(answers), total_(total) {}

    void Message(const QString& text, const QString& caption) override;
    bool Question(const QString& text, const QString& caption) override;
    bool Ask(QuestionKind kind, const QString& text, const QString& caption) override;
    QString OpenFile(const QString&, const QString&) override { return {}; }
    bool BeforeFile(const QString& from, const QString& to, qint64 bytes) override;
    // Told too, so a file's end moves the parent's bar, not only the next file's start.
    void AfterFile(qint64 bytes) override;

    int Messages() const { return messages_; }
    void SetTotal(qint64 total) { total_ = total; }
    void Result(bool ok, const QString& error, const class QJsonObject& values);

private:
    // The file begun (or, `ended`, through) as a progress line.
    void EmitProgress(qint64 bytes, bool ended) const;

    QString port_;
    ConsolePrompter::Answers answers_;
    qint64 total_;
    qint64 done_ = 0;
    QString file_;
    int messages_ = 0;
};

// Texts carry "\r\n" as the terminal maker writes them; a console line takes them as spaces.
QString OneLine(const QString& text);

// Whether the standard input has said "cancel"; never waits.
bool CancelRequested();
