#include "support/ModalDialogs.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

void WhenModalShown(std::function<void(QDialog&)> answer) {
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, answer = std::move(answer)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            // Never leave a test hanging on a dialog that did not come.
            if (++*waited > 500) {
                ADD_FAILURE() << "no modal dialog was shown";
                timer->deleteLater();
                timer->stop();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        answer(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        }
    });
    timer->start(10);
}
