#include "app/CommandIds.h"
#include "platform/DocumentsFolder.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/ModalDialogs.h"

#include <QComboBox>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

TEST(StartupTest, TheFirstComSetupOffersCom1At115200) {
    NiceMock<MockTerminalLibrary> library;
    ON_CALL(library, CommPortCount()).WillByDefault(Return(2));
    ON_CALL(library, CommPortNameLength()).WillByDefault(Return(8));
    ON_CALL(library, CommPortName(_, _, _)).WillByDefault([](int32_t index, char* buffer, int32_t*) {
        std::strcpy(buffer, index == 0 ? "COM3" : "COM1");
        return 0;
    });
    AppFixture app;
    EXPECT_EQ(app.Doc().settings.portName, "Com1");
    EXPECT_EQ(app.Doc().settings.baudCode, 6);
    EXPECT_TRUE(app.Doc().terminals.empty());

    app.Frame().RunCommand(ID_FILE_MODE);
    QString port;
    QString baud;
    WhenModalShown([&](QDialog& dialog) {
        port = dialog.findChild<QComboBox*>("portBox")->currentText();
        baud = dialog.findChild<QComboBox*>("baudBox")->currentText();
        dialog.reject();
    });
    app.Frame().RunCommand(ID_COM_SETUP);
    EXPECT_EQ(port, "COM1");
    EXPECT_EQ(baud, "115200");
    EXPECT_EQ(app.Doc().settings.portName, "Com1");
}

// The documents folder comes from the user's XDG user-dirs file and is never created.
TEST(StartupTest, TheDocumentsFolderIsReadFromTheUserDirsFileAndNotCreated) {
    QTemporaryDir home;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QFile dirs(home.path() + "/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(QByteArray("XDG_DOCUMENTS_DIR=\"") + home.path().toLocal8Bit() + "/Papers\"\n");
    dirs.close();

    EXPECT_EQ(DocumentsFolder(), home.path() + "/Papers");
    EXPECT_FALSE(QDir(home.path() + "/Papers").exists());

    if (previous.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", previous);
    }
}

}  // namespace
