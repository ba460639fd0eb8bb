#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// One line a worker writes on its standard output, a JSON object, so that the program that
// started it can follow one terminal's work: a file begun, a message, the result.
struct WorkerEvent {
    enum class Kind { Progress, Message, Result };
    Kind kind = Kind::Message;
    QString port;
    QString file;        // Progress: the file begun
    qint64 bytes = 0;    // Progress: its size
    qint64 done = 0;     // Progress: the bytes of the files before it
    qint64 total = -1;   // Progress: the whole operation's bytes, -1 when unknown
    bool fileEnded = false;  // Progress: the file is through, `done` counts it
    QString text;        // Message: the text; Result: why it failed, empty on success
    bool ok = false;     // Result
    QJsonObject values;  // Result: what the operation read, such as the terminal's identity

    // The percentage of the operation done when this file begins, -1 when the total is unknown.
    int Percent() const;
};

// A worker's result error when it stopped between files on "cancel".
inline constexpr char kWorkerCancelledText[] = "Cancelled.";

// No line of a worker is longer; a longer one is not an event.
inline constexpr qsizetype kMaxWorkerLine = 64 * 1024;

// The event as one line, "\n" included.
QByteArray EncodeEvent(const WorkerEvent& event);
// The event a line holds; none for a line that is no event.
std::optional<WorkerEvent> DecodeEvent(const QByteArray& line);
