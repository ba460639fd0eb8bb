#include "fleet/WorkerEvents.h"

#include <QJsonDocument>

namespace {

const char* KindName(WorkerEvent::Kind kind) {
    switch (kind) {
        case WorkerEvent::Kind::Progress: return "progress";
        case WorkerEvent::Kind::Message: return "message";
        case WorkerEvent::Kind::Result: return "result";
    }
    return "message";
}

}  // namespace

int WorkerEvent::Percent() const {
    if (total <= 0) return -1;
    return static_cast<int>(std::min<qint64>(100, done * 100 / total));
}

QByteArray EncodeEvent(const WorkerEvent& event) {
    QJsonObject object{{"event", KindName(event.kind)}, {"port", event.port}};
    switch (event.kind) {
        case WorkerEvent::Kind::Progress:
            object.insert("file", event.file);
            object.insert("bytes", event.bytes);
            object.insert("done", event.done);
            object.insert("total", event.total);
            if (event.fileEnded) object.insert("ended", true);
            break;
        case WorkerEvent::Kind::Message: object.insert("text", event.text); break;
        case WorkerEvent::Kind::Result:
            object.insert("ok", event.ok);
            if (!event.text.isEmpty()) object.insert("error", event.text);
            for (auto it = event.values.begin(); it != event.values.end(); ++it)
                object.insert(it.key(), it.value());
            break;
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<WorkerEvent> DecodeEvent(const QByteArray& line) {
    if (line.size() > kMaxWorkerLine) return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (!document.isObject()) return std::nullopt;
    QJsonObject object = document.object();
    const QString kind = object.take("event").toString();
    WorkerEvent event;
    event.port = object.take("port").toString();
    if (kind == QLatin1String("progress")) {
        event.kind = WorkerEvent::Kind::Progress;
        event.file = object.value("file").toString();
        event.bytes = object.value("bytes").toInteger();
        event.done = object.value("done").toInteger();
        event.total = object.value("total").toInteger(-1);
        event.fileEnded = object.value("ended").toBool();
    } else if (kind == QLatin1String("message")) {
        event.kind = WorkerEvent::Kind::Message;
        event.text = object.value("text").toString();
    } else if (kind == QLatin1String("result")) {
        event.kind = WorkerEvent::Kind::Result;
        event.ok = object.take("ok").toBool();
        event.text = object.take("error").toString();
        event.values = object;
    } else {
        return std::nullopt;
    }
    return event;
}
