#include "ui/Images.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <array>
#include <optional>

// The images are compiled into the program's library; a static library's resources register
// only when asked to.
static void RegisterImages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(tarvik);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QString ImagePath(const char* name) {
    RegisterImages();
    return QStringLiteral(":/icons/") + QLatin1String(name);
}

// Without a theme of the user's own, Qt falls back to "hicolor", which holds programs' own icons,
// not these: the bundled images are taken without searching it.
bool UserHasTheme() {
    const QString theme = QIcon::themeName();
    return !theme.isEmpty() && theme != QLatin1String("hicolor");
}

// Theme names tried in turn: where a theme lacks the first, another standard name may fit.
using ThemeNames = std::array<const char*, 2>;

// An image of the user's icon theme, or the bundled one where the theme has none. Nothing is
// looked up until the image is first drawn, so start-up reads no theme.
class ThemeIconEngine final : public QIconEngine {
public:
    ThemeIconEngine(ThemeNames themeNames, const char* bundled, bool greyed)
        : themeNames_(themeNames), bundled_(bundled), greyed_(greyed) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QIcon& icon = Resolved();
        // An off-line terminal is the theme's terminal, greyed.
        return icon.pixmap(size, greyed_ ? QIcon::Disabled : mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Resolved().actualSize(size, mode, state);
    }
    QIconEngine* clone() const override { return new ThemeIconEngine(*this); }
    QString key() const override { return QStringLiteral("ThemeIconEngine"); }
    QString iconName() override { return QString::fromLatin1(themeNames_[0]); }

private:
    const QIcon& Resolved() {
        if (!icon_) {
            if (UserHasTheme()) {
                for (const char* name : themeNames_) {
                    if (name && QIcon::hasThemeIcon(QLatin1String(name))) {
                        icon_ = QIcon::fromTheme(QLatin1String(name));
                        return *icon_;
                    }
                }
            }
            icon_ = QIcon(ImagePath(bundled_));
            greyed_ = false;  // the bundled off-line image has a look of its own
        }
        return *icon_;
    }

    ThemeNames themeNames_;
    const char* bundled_;
    bool greyed_;
    std::optional<QIcon> icon_;
};

struct Image {
    ThemeNames themeNames;
    const char* bundled;
    bool greyed = false;
};

QList<QIcon> Load(std::initializer_list<Image> images) {
    QList<QIcon> icons;
    for (const Image& image : images)
        icons.append(QIcon(new ThemeIconEngine(image.themeNames, image.bundled, image.greyed)));
    return icons;
}

// A hand-held terminal: "pda" where the theme has it, else the phone most themes draw.
constexpr ThemeNames kTerminal{"pda", "phone"};

}  // namespace

QList<QIcon> FileModeImages() {
    return Load({{{"computer"}, "kind0-computer.svg"},
                 {kTerminal, "kind1-terminal.svg"},
                 {{"drive-removable-media"}, "kind2-floppy.svg"},
                 {{"drive-harddisk"}, "kind3-harddisk.svg"},
                 {{"drive-optical"}, "kind4-cdrom.svg"},
                 {{"folder"}, "kind5-folder.svg"},
                 {{"text-x-generic"}, "kind6-notepad.svg"},
                 {{"network-server"}, "kind7-network.svg"},
                 {kTerminal, "kind8-terminal-offline.svg", true}});
}

QList<QIcon> PcProjectImages() {
    return Load({{{"folder-documents"}, "project-root.svg"},
                 {{"package-x-generic"}, "project.svg"}});
}

QList<QIcon> RosterImages() {
    return Load({{{"network-workgroup"}, "roster-root.svg"},
                 {kTerminal, "roster-terminal.svg"},
                 {{"package-x-generic"}, "project.svg"}});
}

QList<QIcon> ToolbarImages(bool projectMode) {
    if (projectMode) {
        return Load({{{"list-add"}, "tb-new-connect.svg"},
                     {{"list-remove"}, "tb-close-connect.svg"},
                     {{"help-about"}, "tb-about.svg"},
                     {{"help-about"}, "tb-about.svg"}});
    }
    // Connected: where a theme has no transmit-receive image, its wired one pairs with the
    // unplugged look of "network-offline".
    return Load({{{"preferences-system"}, "tb-com-setup.svg"},
                 {{"network-offline"}, "tb-connect.svg"},
                 {{"help-about"}, "tb-about.svg"},
                 {{"network-transmit-receive", "network-wired"}, "tb-connected.svg"}});
}

QIcon ApplicationIcon() { return QIcon(new ThemeIconEngine({"tarvik"}, "app.svg", false)); }

QCursor Cursor(DragCursor cursor) {
    const char* name = "cursor-drop-file.svg";
    switch (cursor) {
        case DragCursor::DropFile: name = "cursor-drop-file.svg"; break;
        case DragCursor::NoFile: name = "cursor-no-file.svg"; break;
        case DragCursor::DropProject: name = "cursor-drop-project.svg"; break;
        case DragCursor::NoProject: name = "cursor-no-project.svg"; break;
    }
    // The arrow's tip, at the image's top left, is the hot spot.
    return QCursor(QIcon(ImagePath(name)).pixmap(32, 32), 0, 0);
}
