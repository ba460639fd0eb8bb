#include "support/AppFixture.h"

#include "app/CommandIds.h"
#include "core/TarvikDoc.h"
#include "support/ModalDialogs.h"
#include "ui/trees/FileTreeCtrl.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

AppFixture::AppFixture() : previousDataFolder_(DataFolder) {
    DataFolder = dataFolder_.path();
    doc_ = std::make_unique<CTarvikDoc>();
    frame_ = std::make_unique<CMainFrame>();
    frame_->show();
}

AppFixture::~AppFixture() {
    frame_.reset();
    doc_.reset();
    DataFolder = previousDataFolder_;
}

namespace {

void SendMouse(CFileTreeCtrl& tree, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = tree.viewport()->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), button, buttons, modifiers);
    QApplication::sendEvent(tree.viewport(), &event);
}

}  // namespace

QPoint AppFixture::PointOn(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
    tree.scrollToItem(item);
    const QRect row = tree.visualItemRect(item);
    return tree.viewport()->mapToGlobal(QPoint(row.left() + tree.iconSize().width() + 8, row.center().y()));
}

void AppFixture::RightClick(CFileTreeCtrl& tree, QTreeWidgetItem* item, bool control) {
    QPoint global;
    if (item) {
        global = PointOn(tree, item);
    } else {
        global = tree.viewport()->mapToGlobal(QPoint(5, tree.viewport()->height() - 3));
    }
    SendMouse(tree, QEvent::MouseButtonPress, global, Qt::RightButton, Qt::RightButton,
              control ? Qt::ControlModifier : Qt::NoModifier);
    SendMouse(tree, QEvent::MouseButtonRelease, global, Qt::RightButton, Qt::NoButton,
              control ? Qt::ControlModifier : Qt::NoModifier);
}

void AppFixture::Drag(CFileTreeCtrl& from, QTreeWidgetItem* item, CFileTreeCtrl& to,
                      QTreeWidgetItem* target) {
    const QPoint start = PointOn(from, item);
    const QPoint end = target ? PointOn(to, target)
                              : to.viewport()->mapToGlobal(QPoint(5, to.viewport()->height() - 3));
    SendMouse(from, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(from, QEvent::MouseMove, start + QPoint(6, 0), Qt::NoButton, Qt::LeftButton);
    SendMouse(from, QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
    SendMouse(from, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

void AppFixture::Click(CFileTreeCtrl& tree, QTreeWidgetItem* item, bool control) {
    ASSERT_NE(item, nullptr);
    tree.scrollToItem(item);
    const QRect row = tree.visualItemRect(item);
    const QPoint point(row.left() + tree.iconSize().width() + 8, row.center().y());
    const Qt::KeyboardModifiers modifiers = control ? Qt::ControlModifier : Qt::NoModifier;
    const QPointF global = tree.viewport()->mapToGlobal(QPointF(point));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(point), global, Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QApplication::sendEvent(tree.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(point), global, Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(tree.viewport(), &release);
}

void AppFixture::NewConnect(const QString& portName) {
    WhenModalShown([portName](QDialog& dialog) {
        if (portName.isEmpty()) {
            dialog.findChild<QPushButton*>("cancelButton")->click();
            return;
        }
        auto* ports = dialog.findChild<QComboBox*>("portBox");
        const int index = ports->findText(portName);
        ASSERT_GE(index, 0) << "port not offered: " << portName.toStdString();
        ports->setCurrentIndex(index);
        dialog.findChild<QPushButton*>("okButton")->click();
    });
    frame_->RunCommand(ID_NEW_CONNECT);
}
