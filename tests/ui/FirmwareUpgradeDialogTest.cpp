#include "ui/dialogs/FirmwareUpgradeDialog.h"

#include "core/InstalledServices.h"
#include "firmware/FirmwareUpgrade.h"
#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"
#include "link/TerminalLink.h"
#include "support/FirmwareFixture.h"
#include "support/FirmwareImage.h"
#include "support/MockTerminalLibrary.h"
#include "support/TempBench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstring>
#include <optional>
#include <stdexcept>

using ::testing::Return;
using ::testing::StrEq;
using ::testing::StrictMock;

namespace {

// A control found by name, as a test tool finds it; a missing one fails the test.
template <class Widget>
Widget* Control(QDialog& dialog, const char* name) {
    if (auto* widget = dialog.findChild<Widget*>(name)) return widget;
    throw std::runtime_error(std::string("the dialog has no control ") + name);
}

// The roster COM3, TQ-0001 (USB), COM4, and the F/W Upgrade dialog opened on it.
class FirmwareRosterTest : public FirmwareTest {
protected:
    FirmwareRosterTest() {
        AddTerminal("COM3", "TQ-3100", "10000042");
        AddTerminal("TQ-0001", "TQ-3100", "10000077");
        AddTerminal("COM4", "TQ-3200", "10000043");
    }

    void Open() {
        dialog.emplace();
        list = Control<QTreeWidget>(*dialog, "terminalList");
        countLabel = Control<QLabel>(*dialog, "countLabel");
        pathEdit = Control<QLineEdit>(*dialog, "imagePathEdit");
        browseButton = Control<QPushButton>(*dialog, "browseButton");
        upgradeButton = Control<QPushButton>(*dialog, "upgradeButton");
        okButton = Control<QPushButton>(*dialog, "okButton");
    }
    // Opens the dialog, checks `rows`, enters `path` and presses Upgrade.
    void Upgrade(std::initializer_list<int> rows, const QString& path) {
        Open();
        for (int row : rows) Check(row);
        pathEdit->setText(path);
        upgradeButton->click();
    }
    void Check(int row, bool checked = true) {
        list->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
    void MoveMouseOverList() {
        QWidget* viewport = list->viewport();
        const QPointF at(5, 5);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }

    std::optional<FirmwareUpgradeDialog> dialog;
    QTreeWidget* list = nullptr;
    QLabel* countLabel = nullptr;
    QLineEdit* pathEdit = nullptr;
    QPushButton *browseButton = nullptr, *upgradeButton = nullptr, *okButton = nullptr;
};

class FirmwareUpgradeDialogTest : public FirmwareRosterTest {
protected:
    StrictMock<MockTerminalLibrary> library;
};

TEST_F(FirmwareUpgradeDialogTest, ListsTheRosterUncheckedInOrder) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "F/W Upgrade");
    EXPECT_EQ(list->accessibleName(), "Terminal list");
    EXPECT_EQ(pathEdit->accessibleName(), "F/W File");
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_TRUE(pathEdit->text().isEmpty());

    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        texts << item->text(0);
        EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable);
        EXPECT_EQ(item->checkState(0), Qt::Unchecked);
        EXPECT_EQ(item->childCount(), 0);
    }
    EXPECT_EQ(texts,
              (QStringList{"COM3-TQ-3100-10000042", "USB-TQ-0001", "COM4-TQ-3200-10000043"}));
    // A screen reader's Toggle checks a line as a click on its box does.
    dialog->show();
    QAccessibleInterface* line =
        QAccessible::queryAccessibleInterface(list)->tableInterface()->cellAt(1, 0);
    line->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Checked);
}

// A check by key or screen reader moves no mouse: the count follows each check at once.
TEST_F(FirmwareUpgradeDialogTest, CountFollowsEachCheck) {
    Open();
    EXPECT_EQ(countLabel->text(), "Terminal for Upgrade: 3 device(s), 0 selected");

    Check(0);
    Check(2);
    EXPECT_EQ(countLabel->text(), "Terminal for Upgrade: 3 device(s), 2 selected");

    Check(0, false);
    EXPECT_EQ(countLabel->text(), "Terminal for Upgrade: 3 device(s), 1 selected");
    MoveMouseOverList();
    EXPECT_EQ(countLabel->text(), "Terminal for Upgrade: 3 device(s), 1 selected");
}

TEST_F(FirmwareUpgradeDialogTest, BrowseShowsTheChosenFileAndCancelKeepsIt) {
    Open();
    prompter.AnswerFileDialogs({"/images/new.bin"});
    browseButton->click();
    EXPECT_EQ(pathEdit->text(), "/images/new.bin");

    browseButton->click();  // cancelled this time
    EXPECT_EQ(pathEdit->text(), "/images/new.bin");
    EXPECT_EQ(prompter.fileFilters, QStringList(2, "Firmware Files(*.bin) | *.bin||"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// The library is strict: neither press may contact a terminal.
TEST_F(FirmwareUpgradeDialogTest, UpgradeAsksForATerminalAndForAFile) {
    Upgrade({}, "/images/new.bin");
    Check(0);
    pathEdit->clear();
    upgradeButton->click();

    EXPECT_EQ(prompter.messages,
              (QStringList{"Select terminal to upgrade!", "Selecte F/W file to upgrade!"}));
}

// A pipe with no writer would hold the terminal module in its open; the strict library
// shows that no terminal is contacted in either mode.
TEST_F(FirmwareUpgradeDialogTest, AnImageThatIsNoFileIsRefusedBeforeAnyTerminal) {
    QTemporaryDir images;
    const QString pipe = images.filePath("pipe.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = images.filePath("folder.bin");
    ASSERT_TRUE(QDir().mkdir(folder));
    Upgrade({0, 2}, pipe);
    Upgrade({1}, folder);
    prompter.AnswerFileDialogs({pipe});
    UpgradeFileModeTerminal(InstalledServices(), {"COM3", 6, "TQ-3100", "10000042"});

    const QString refusal = QStringLiteral("%1 is not a firmware image file.");
    EXPECT_EQ(prompter.messages,
              (QStringList{refusal.arg(pipe), refusal.arg(folder), refusal.arg(pipe)}));
}

// The dialog and the File Mode upgrade against emulated terminals with firmware A00-1.10 (COM3
// off-line), checked on the terminals' own firmware afterwards.
class FirmwareBenchTest : public FirmwareRosterTest {
protected:
    FirmwareBenchTest() {
        bench.Add({.folder = "first", .port = "COM3", .serial = "10000042", .offline = true});
        bench.Add({.folder = "usb", .port = "TQ-0001", .serial = "10000077"});
        bench.Add({.folder = "second", .port = "COM4", .serial = "10000043"});
    }
    void SetUp() override { ASSERT_TRUE(bench.Library().HasTerminalProtocol()); }

    // Writes an image of `version` for `model` and gives its path.
    QString Image(const std::string& model, const std::string& version, bool corrupt = false) {
        const QString path = images.filePath(QString::fromStdString(version) + ".bin");
        WriteFirmwareImage(path, model, version, corrupt);
        return path;
    }
    std::string Firmware(const char* folder) const { return bench.IniValue(folder, "firmware"); }

    TempBench bench;
    QTemporaryDir images;
};

TEST_F(FirmwareBenchTest, OfflineTerminalIsReportedAndTheOtherUpgraded) {
    Upgrade({0, 2}, Image("TQ-3100", "A00-2.00"));
    EXPECT_EQ(prompter.messages, (QStringList{"TQ-3100-10000042 is Off-line!", kUpgradeComplete}));
    EXPECT_EQ(Firmware("second"), "A00-2.00");
    EXPECT_EQ(Firmware("first"), "A00-1.10");
    EXPECT_EQ(Firmware("usb"), "A00-1.10");  // not checked
}

TEST_F(FirmwareBenchTest, UpgradeSendsTheEditedPathAndTheDialogStaysOpen) {
    Open();
    dialog->show();
    prompter.AnswerFileDialogs({"/images/chosen.bin"});
    browseButton->click();
    // The user corrects the path by hand after browsing; the edit's text is what counts.
    pathEdit->setText(Image("TQ-3100", "A00-2.00"));
    Check(2);
    upgradeButton->click();
    EXPECT_EQ(prompter.messages, QStringList{kUpgradeComplete});
    EXPECT_EQ(Firmware("second"), "A00-2.00");
    EXPECT_TRUE(dialog->isVisible());

    okButton->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(FirmwareBenchTest, UsbTerminalIsUpgradedAndReadsBackTheNewVersion) {
    Upgrade({1}, Image("TQ-31", "B01-3.05"));
    EXPECT_EQ(prompter.messages, QStringList{kUpgradeComplete});

    // The terminal itself now reports the version, not only its bench file.
    ConnectionSettings usb{"TQ-0001", 6, "", ""};
    TerminalLink link(Tp(), usb);
    ASSERT_TRUE(link);
    char info[8][20] = {};
    ASSERT_EQ(Tp().TpGetInfo(link.Handle(), info[0], info[1], info[2], info[3], info[4], info[5],
                             info[6], info[7]),
              0);
    EXPECT_EQ(std::string(info[1], strnlen(info[1], 20)), "B01-3.05");
}

TEST_F(FirmwareBenchTest, BadImagesAreRefusedByEveryTerminalAndChangeNothing) {
    const struct {
        const char* model;
        bool corruptChecksum;
        const char* refusal;
    } badImages[] = {{"TQ-3100", true, "Invalid F/W file!"},
                     {"TQ-5000", false, "CUSTOMER version error!"}};
    for (const auto& image : badImages) {
        SCOPED_TRACE(image.refusal);
        prompter.messages.clear();
        Upgrade({1, 2}, Image(image.model, "A00-9.99", image.corruptChecksum));
        // No completion message follows; each refusal names its terminal.
        ASSERT_EQ(prompter.messages.size(), 2);
        for (const QString& told : prompter.messages) {
            EXPECT_TRUE(told.endsWith(QStringLiteral(":\r\n") + image.refusal)) << told.toStdString();
        }
        EXPECT_NE(prompter.messages[0], prompter.messages[1]);
        EXPECT_EQ(Firmware("usb"), "A00-1.10");
        EXPECT_EQ(Firmware("second"), "A00-1.10");
    }
}

TEST_F(FirmwareBenchTest, FileModeUpgradesTheConnectedTerminalAndReportsAnOfflineOne) {
    const QString image = Image("TQ-3100", "A00-2.00");
    prompter.AnswerFileDialogs({image, image});
    doc.settings = {"COM3", 6, "TQ-3100", "10000042"};
    UpgradeFileModeTerminal(InstalledServices(), doc.settings);
    doc.settings = {"COM4", 6, "TQ-3100", "10000043"};
    UpgradeFileModeTerminal(InstalledServices(), doc.settings);

    EXPECT_EQ(prompter.messages, (QStringList{"Device is Off-line", kUpgradeComplete}));
    EXPECT_EQ(Firmware("first"), "A00-1.10");
    EXPECT_EQ(Firmware("second"), "A00-2.00");
}

}  // namespace
