#include "ui/Images.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace {

// A theme of a few images, each one solid colour, in a temporary search path.
class SmallTheme {
public:
    explicit SmallTheme(std::initializer_list<std::pair<const char*, Qt::GlobalColor>> images) {
        QDir(dir_.path()).mkpath("test-theme/16x16/places");
        QFile index(dir_.filePath("test-theme/index.theme"));
        index.open(QIODevice::WriteOnly);
        index.write("[Icon Theme]\nName=test-theme\nDirectories=16x16/places\n\n"
                    "[16x16/places]\nSize=16\nType=Fixed\n");
        index.close();
        for (const auto& [name, colour] : images) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(colour);
            image.save(dir_.filePath(QStringLiteral("test-theme/16x16/places/%1.png").arg(name)));
        }
        previousPaths_ = QIcon::themeSearchPaths();
        previousName_ = QIcon::themeName();
        QIcon::setThemeSearchPaths({dir_.path()});
        QIcon::setThemeName("test-theme");
    }
    ~SmallTheme() {
        QIcon::setThemeSearchPaths(previousPaths_);
        QIcon::setThemeName(previousName_);
    }

private:
    QTemporaryDir dir_;
    QStringList previousPaths_;
    QString previousName_;
};

QRgb Centre(const QIcon& icon) { return icon.pixmap(16, 16).toImage().pixel(8, 8); }

TEST(ImagesTest, TheUsersThemeImageIsShownAndTheBundledOneWhereTheThemeHasNone) {
    const QRgb bundledFolder = Centre(FileModeImages()[5]);
    const QRgb bundledFile = Centre(FileModeImages()[6]);
    SmallTheme theme({{"folder", Qt::red}});
    const QList<QIcon> images = FileModeImages();
    EXPECT_EQ(Centre(images[5]), QColor(Qt::red).rgb());
    EXPECT_NE(bundledFolder, QColor(Qt::red).rgb());
    EXPECT_EQ(Centre(images[6]), bundledFile);  // the theme has no text-x-generic
    EXPECT_FALSE(images[8].pixmap(16, 16).isNull());
}

// The terminal and the connected look have a second name for themes without the first; the
// first still wins where a theme has both.
TEST(ImagesTest, WhereTheThemeLacksAnImagesFirstNameItsSecondIsShown) {
    const QRgb blue = QColor(Qt::blue).rgb();
    {
        SmallTheme theme({{"phone", Qt::blue}, {"network-wired", Qt::yellow}});
        EXPECT_EQ(Centre(FileModeImages()[1]), blue);
        EXPECT_EQ(Centre(RosterImages()[1]), blue);
        EXPECT_EQ(Centre(ToolbarImages(false)[3]), QColor(Qt::yellow).rgb());
    }
    SmallTheme theme({{"pda", Qt::green}, {"phone", Qt::blue}});
    EXPECT_EQ(Centre(FileModeImages()[1]), QColor(Qt::green).rgb());
}

}  // namespace
