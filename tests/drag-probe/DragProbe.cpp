// Stands in for a desktop file manager in trials of drags with Tarvik under a virtual display:
//   tarvik-drag-probe source X Y PATH...  a window at X,Y that drags PATHs as text/uri-list
//                                         when pressed, and prints the action the drop took
//   tarvik-drag-probe target X Y FOLDER   a window at X,Y that takes one drop of URIs, prints
//                                         them and copies the files into FOLDER, as a file
//                                         manager's drop does
#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

void Say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

class Source final : public QLabel {
public:
    explicit Source(QStringList paths) : QLabel(QStringLiteral("Drag from here")), paths_(std::move(paths)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths_) urls << QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        mime->setUrls(urls);
        // Kept after exec(): an X drop target may ask for the data once the drag ended here.
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        Say(QStringLiteral("drop action %1").arg(action));
        QTimer::singleShot(5000, qApp, &QApplication::quit);
    }

private:
    QStringList paths_;
};

bool CopyTree(const QString& from, const QString& to) {
    if (QFileInfo(from).isDir()) {
        QDir().mkpath(to);
        for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (!CopyTree(entry.filePath(), to + u'/' + entry.fileName())) return false;
        }
        return true;
    }
    return QFile::copy(from, to);
}

class Target final : public QLabel {
public:
    explicit Target(QString folder) : QLabel(QStringLiteral("Drop here")), folder_(std::move(folder)) {
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        const QList<QUrl> urls = event->mimeData()->urls();
        event->acceptProposedAction();
        int copied = 0;
        for (const QUrl& url : urls) {
            Say(QStringLiteral("dropped %1").arg(url.toString()));
            const QString from = url.toLocalFile();
            if (CopyTree(from, folder_ + u'/' + QFileInfo(from).fileName())) ++copied;
        }
        Say(QStringLiteral("copied %1").arg(copied));
        QApplication::quit();
    }

private:
    QString folder_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 4 || (arguments[0] != QLatin1String("source") && arguments[0] != QLatin1String("target"))) {
        std::fprintf(stderr, "usage: tarvik-drag-probe (source X Y PATH... | target X Y FOLDER)\n");
        return 2;
    }
    QLabel* window = arguments[0] == QLatin1String("source") ? static_cast<QLabel*>(new Source(arguments.mid(3)))
                                                            : new Target(arguments[3]);
    window->setAlignment(Qt::AlignCenter);
    window->setGeometry(arguments[1].toInt(), arguments[2].toInt(), 200, 120);
    window->show();
    Say(QStringLiteral("ready"));
    return app.exec();
}
