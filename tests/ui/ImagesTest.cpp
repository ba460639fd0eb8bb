#include "ui/Images.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A theme of one folder image, solid red, in a temporary search path.
class OneImageTheme {
public:
    OneImageTheme() {
        QDir(dir_.path()).mkpath("test-theme/16x16/places");
        QFile index(dir_.filePath("test-theme/index.theme"));
        index.open(QIODevice::WriteOnly);
        index.write("[Icon Theme]\nName=test-theme\nDirectories=16x16/places\n\n"
                    "[16x16/places]\nSize=16\nType=Fixed\n");
        index.close();
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        red.save(dir_.filePath("test-theme/16x16/places/folder.png"));
        previousPaths_ = QIcon::themeSearchPaths();
        previousName_ = QIcon::themeName();
        QIcon::setThemeSearchPaths({dir_.path()});
        QIcon::setThemeName("test-theme");
    }
    ~OneImageTheme() {
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
    OneImageTheme theme;
    const QList<QIcon> images = FileModeImages();
    EXPECT_EQ(Centre(images[5]), QColor(Qt::red).rgb());
    EXPECT_NE(bundledFolder, QColor(Qt::red).rgb());
    EXPECT_EQ(Centre(images[6]), bundledFile);  // the theme has no text-x-generic
    EXPECT_FALSE(images[8].pixmap(16, 16).isNull());
}

}  // namespace
