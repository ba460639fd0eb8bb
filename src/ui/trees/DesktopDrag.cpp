#include "ui/trees/DesktopDrag.h"

#include "core/InstalledServices.h"
#include "link/TerminalPath.h"
#include "pc/PcFolderPaste.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

std::optional<QStringList> LocalPathsOf(const QMimeData& mime) {
    if (!mime.hasUrls()) return std::nullopt;
    QStringList paths;
    for (const QUrl& url : mime.urls()) {
        // Another machine's file, or anything but a file, is no PC path.
        if (!url.isLocalFile() || (!url.host().isEmpty() && url.host() != QLatin1String("localhost")))
            return std::nullopt;
        const QString path = QDir::cleanPath(url.toLocalFile());
        if (path.isEmpty() || path == QLatin1String("/")) return std::nullopt;
        paths << path;
    }
    if (paths.isEmpty()) return std::nullopt;
    return paths;
}

QMimeData* PcFilesMime(const QStringList& paths) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    return mime;
}

TerminalFilesMime::TerminalFilesMime(ConnectionSettings settings, QList<PathAndKind> items)
    : settings_(std::move(settings)), items_(std::move(items)) {}

TerminalFilesMime::~TerminalFilesMime() = default;

QStringList TerminalFilesMime::formats() const { return {QStringLiteral("text/uri-list")}; }

bool TerminalFilesMime::hasFormat(const QString& mimeType) const {
    return mimeType == QLatin1String("text/uri-list");
}

QString TerminalFilesMime::FetchFolder() const { return folder_ ? folder_->path() : QString(); }

QVariant TerminalFilesMime::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType != QLatin1String("text/uri-list")) return QMimeData::retrieveData(mimeType, type);
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarvik-drag-XXXXXX"));
        if (!folder_->isValid()) return {};
        const PcPasteResult result =
            PasteTerminalIntoPcFolder(InstalledServices(), settings_, items_, folder_->path(), true);
        // Only what arrived whole is offered.
        if (result.reached && !result.cancelled) {
            for (const PathAndKind& item : items_) {
                const QString fetched = folder_->filePath(TerminalNameOf(item.path));
                if (QFileInfo::exists(fetched)) fetched_ << QUrl::fromLocalFile(fetched);
            }
        }
    }
    if (type.id() == QMetaType::QByteArray) {
        QByteArray list;
        for (const QUrl& url : fetched_) list += url.toEncoded() + "\r\n";
        return list;
    }
    QVariantList urls;
    for (const QUrl& url : fetched_) urls << url;
    return urls;
}
