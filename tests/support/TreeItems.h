#pragma once

#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

// The texts of an item's children, in tree order.
inline QStringList ChildTexts(const QTreeWidgetItem* parent) {
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i) texts << parent->child(i)->text(0);
    return texts;
}

// The child of `parent` with this text, or null.
inline QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) return parent->child(i);
    }
    return nullptr;
}
