#include "ui/Accessibility.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QMenu>
#include <QWindow>

namespace {

// The application's children are the windows on screen. Qt lists hidden windows too, whose
// item views still report their cells showing (a view's cell goes by the view's place), and
// leaves out popups: a menu of the menu bar is reached through the bar, but a context menu
// through nothing else, so it is listed here while open.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override { return Shown().size(); }
    QAccessibleInterface* child(int index) const override { return Shown().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return Shown().indexOf(const_cast<QAccessibleInterface*>(child));
    }

private:
    QList<QAccessibleInterface*> Shown() const {
        QList<QAccessibleInterface*> shown;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (!window->isVisible() || window->type() == Qt::Desktop) continue;
            QAccessibleInterface* root = window->accessibleRoot();
            if (!root) continue;
            const bool contextMenu = qobject_cast<QMenu*>(root->object()) && root->parent() == this;
            if (window->type() != Qt::Popup || contextMenu) shown << root;
        }
        return shown;
    }
};

QAccessibleInterface* MakeInterface(const QString&, QObject* object) {
    if (object && object == qApp) return new ApplicationAccessible;
    return nullptr;
}

// Qt makes an object's interface once, when first asked, which may have been before the
// factory was there.
template <typename Made>
void DropMadeBefore(QObject* object) {
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object);
    if (made && !dynamic_cast<Made*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (!installed) QAccessible::installFactory(MakeInterface);
    installed = true;
    if (qApp) DropMadeBefore<ApplicationAccessible>(qApp);
}
