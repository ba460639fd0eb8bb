#include "support/AppFixture.h"

#include "app/CommandIds.h"
#include "app/Globals.h"
#include "pc/FileTreeCtrl.h"
#include "support/ModalDialogs.h"

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
