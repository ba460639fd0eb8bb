#pragma once

#include "link/ConnectionSettings.h"
#include "pc/PcFileOperations.h"

#include <QList>
#include <QMimeData>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>

// Drags between the trees and the desktop's file managers: text/uri-list of local files only.

// The PC paths of a drop, or none when anything dropped is not a local file.
std::optional<QStringList> LocalPathsOf(const QMimeData& mime);

// The URIs of PC files and folders, for a file manager, a mail program or an editor.
QMimeData* PcFilesMime(const QStringList& paths);

// Terminal files offered as URIs. They are fetched into a private temporary folder only when a
// drop target asks for them, and that folder goes with this object, once the drag is over.
class TerminalFilesMime final : public QMimeData {
public:
    TerminalFilesMime(ConnectionSettings settings, QList<PathAndKind> items);
    ~TerminalFilesMime() override;

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // Where the files were fetched; empty until a target asked.
    QString FetchFolder() const;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    ConnectionSettings settings_;
    QList<PathAndKind> items_;
    mutable std::unique_ptr<QTemporaryDir> folder_;
    mutable QList<QUrl> fetched_;
};
