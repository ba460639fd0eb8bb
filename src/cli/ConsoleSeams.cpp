#include "cli/ConsoleSeams.h"

#include "fleet/WorkerEvents.h"

#include <QJsonObject>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

void WriteLine(FILE* stream, const QString& port, const QString& text) {
    const QByteArray line = (port.isEmpty() ? text : port + QStringLiteral(": ") + text).toUtf8();
    std::fprintf(stream, "%s\n", line.constData());
    std::fflush(stream);
}

// A file kept on --keep is what was asked for: no refusal to tell.
bool KeptQuietly(ConsolePrompter::Answers answers, QuestionKind kind) {
    return kind == QuestionKind::Overwrite && answers.keep;
}

bool Answer(ConsolePrompter::Answers answers, QuestionKind kind) {
    switch (kind) {
        case QuestionKind::Overwrite: return answers.overwrite;
        case QuestionKind::OtherModel: return answers.otherModel;
        case QuestionKind::DeletePermanently: return false;
    }
    return false;
}

QString Refusal(QuestionKind kind) {
    switch (kind) {
        case QuestionKind::Overwrite: return QStringLiteral("(not replaced; --force replaces)");
        case QuestionKind::OtherModel: return QStringLiteral("(refused; --yes goes on)");
        case QuestionKind::DeletePermanently: return QStringLiteral("(kept)");
    }
    return {};
}

void Emit(const WorkerEvent& event) {
    const QByteArray line = EncodeEvent(event);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

QString OneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(u'\n', u' ');
    return line;
}

void ConsolePrompter::Message(const QString& text, const QString&) {
    ++messages_;
    WriteLine(stderr, port_, OneLine(text));
}

bool ConsolePrompter::Question(const QString& text, const QString&) {
    WriteLine(stderr, port_, OneLine(text) + QStringLiteral(" No"));
    return false;
}

bool ConsolePrompter::Ask(QuestionKind kind, const QString& text, const QString&) {
    const bool yes = Answer(answers_, kind);
    if (!yes && !KeptQuietly(answers_, kind)) {
        ++messages_;
        WriteLine(stderr, port_, OneLine(text) + u' ' + Refusal(kind));
    }
    return yes;
}

ConsoleProgress::ConsoleProgress(QString port) : port_(std::move(port)), shown_(isatty(2) == 1) {}

bool ConsoleProgress::BeforeFile(const QString& from, const QString&, qint64 bytes) {
    if (shown_) WriteLine(stderr, port_, QStringLiteral("%1 (%2 bytes)").arg(from).arg(bytes));
    return true;
}

void WorkerReporter::Message(const QString& text, const QString&) {
    ++messages_;
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Message;
    event.port = port_;
    event.text = text;
    Emit(event);
}

bool WorkerReporter::Question(const QString& text, const QString& caption) {
    Message(text + QStringLiteral(" No"), caption);
    return false;
}

bool WorkerReporter::Ask(QuestionKind kind, const QString& text, const QString& caption) {
    const bool yes = Answer(answers_, kind);
    if (!yes && !KeptQuietly(answers_, kind)) Message(text + u' ' + Refusal(kind), caption);
    return yes;
}

bool WorkerReporter::BeforeFile(const QString& from, const QString&, qint64 bytes) {
    if (CancelRequested()) return false;
    file_ = from;
    EmitProgress(bytes, false);
    return true;
}

void WorkerReporter::AfterFile(qint64 bytes) {
    done_ += bytes;
    EmitProgress(bytes, true);
}

void WorkerReporter::EmitProgress(qint64 bytes, bool ended) const {
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Progress;
    event.port = port_;
    event.file = file_;
    event.bytes = bytes;
    event.done = done_;
    event.total = total_;
    event.fileEnded = ended;
    Emit(event);
}

void WorkerReporter::Result(bool ok, const QString& error, const QJsonObject& values) {
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Result;
    event.port = port_;
    event.ok = ok;
    event.text = error;
    event.values = values;
    Emit(event);
}

bool CancelRequested() {
    static bool cancelled = false;
    static QByteArray heard;
    while (!cancelled) {
        pollfd input{0, POLLIN, 0};
        if (::poll(&input, 1, 0) != 1 || !(input.revents & POLLIN)) break;
        char buffer[256];
        const ssize_t count = ::read(0, buffer, sizeof buffer);
        if (count <= 0) break;
        heard.append(buffer, count);
        cancelled = heard.contains("cancel");
        if (heard.size() > 1024) heard = heard.right(16);
    }
    return cancelled;
}
