#include "app/TarvikDoc.h"
#include "firmware/FirmwareUpgrade.h"
#include "firmware/FirmwareUpgradeDialog.h"
#include "link/PortParsing.h"
#include "link/TerminalLibrary.h"
#include "support/FirmwareImage.h"
#include "support/MockTerminalLibrary.h"
#include "support/ScriptedPrompter.h"
#include "support/TempBench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstring>

using ::testing::_;
using ::testing::Return;
using ::testing::StrEq;
using ::testing::StrictMock;

namespace {

const QString kComplete = "Upgrade complete!\r\nPress any terminal key to restart Terminal!";

std::unique_ptr<ConnectionSettings> Record(std::string port, std::string model,
                                           std::string serial) {
    return std::make_unique<ConnectionSettings>(
        ConnectionSettings{std::move(port), 6, std::move(model), std::move(serial)});
}

// A TQ-3100 with firmware A00-1.10 on the bench.
BenchTerminal Terminal(std::string folder, std::string port, std::string serial,
                       bool offline = false) {
    BenchTerminal terminal;
    terminal.folder = std::move(folder);
    terminal.port = std::move(port);
    terminal.serial = std::move(serial);
    terminal.offline = offline;
    return terminal;
}

// The dialog's controls, found as a test tool finds them.
struct DialogControls {
    explicit DialogControls(QDialog& dialog)
        : list(dialog.findChild<QTreeWidget*>("terminalList")),
          count(dialog.findChild<QLabel*>("countLabel")),
          path(dialog.findChild<QLineEdit*>("imagePathEdit")),
          browse(dialog.findChild<QPushButton*>("browseButton")),
          upgrade(dialog.findChild<QPushButton*>("upgradeButton")),
          ok(dialog.findChild<QPushButton*>("okButton")) {}

    bool Complete() const { return list && count && path && browse && upgrade && ok; }
    void Check(int row) { list->topLevelItem(row)->setCheckState(0, Qt::Checked); }
    void MoveMouseOverList() {
        QWidget* viewport = list->viewport();
        const QPointF at(5, 5);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }

    QTreeWidget* list;
    QLabel* count;
    QLineEdit* path;
    QPushButton* browse;
    QPushButton* upgrade;
    QPushButton* ok;
};

}  // namespace

class FirmwareUpgradeDialogTest : public ::testing::Test {
protected:
    FirmwareUpgradeDialogTest() {
        doc.terminals.push_back(Record("COM3", "TQ-3100", "10000042"));
        doc.terminals.push_back(Record("TQ-0001", "TQ-3100", "10000077"));
        doc.terminals.push_back(Record("COM4", "TQ-3200", "10000043"));
    }

    CTarvikDoc doc;
    ScriptedPrompter prompter;
    StrictMock<MockTerminalLibrary> library;
};

TEST_F(FirmwareUpgradeDialogTest, ListsTheRosterUncheckedInOrder) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    EXPECT_EQ(dialog.windowTitle(), "F/W Upgrade");
    EXPECT_EQ(controls.list->accessibleName(), "Terminal list");
    EXPECT_EQ(controls.path->accessibleName(), "F/W File");
    EXPECT_TRUE(controls.list->isHeaderHidden());
    EXPECT_TRUE(controls.path->text().isEmpty());

    QStringList texts;
    for (int i = 0; i < controls.list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = controls.list->topLevelItem(i);
        texts << item->text(0);
        EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable);
        EXPECT_EQ(item->checkState(0), Qt::Unchecked);
        EXPECT_EQ(item->childCount(), 0);
    }
    EXPECT_EQ(texts,
              (QStringList{"COM3-TQ-3100-10000042", "USB-TQ-0001", "COM4-TQ-3200-10000043"}));
}

TEST_F(FirmwareUpgradeDialogTest, CountFollowsTheChecksOnlyWhenTheMouseMovesOverTheList) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    EXPECT_EQ(controls.count->text(), "Terminal for Upgrade: 3 device(s), 0 selected");

    controls.Check(0);
    controls.Check(2);
    EXPECT_EQ(controls.count->text(), "Terminal for Upgrade: 3 device(s), 0 selected");

    controls.MoveMouseOverList();
    EXPECT_EQ(controls.count->text(), "Terminal for Upgrade: 3 device(s), 2 selected");

    controls.list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    controls.MoveMouseOverList();
    EXPECT_EQ(controls.count->text(), "Terminal for Upgrade: 3 device(s), 1 selected");
}

TEST_F(FirmwareUpgradeDialogTest, BrowseShowsTheChosenFileAndCancelKeepsIt) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    prompter.AnswerFileDialogs({"/images/new.bin"});
    controls.browse->click();
    EXPECT_EQ(controls.path->text(), "/images/new.bin");

    controls.browse->click();  // cancelled this time
    EXPECT_EQ(controls.path->text(), "/images/new.bin");
    EXPECT_EQ(prompter.fileFilters, QStringList(2, "Firmware Files(*.bin) | *.bin||"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(FirmwareUpgradeDialogTest, UpgradeWithEmptyPathContactsNoTerminal) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    controls.Check(0);
    controls.upgrade->click();
    EXPECT_EQ(prompter.messages, QStringList{"Selecte F/W file to upgrade!"});
}

TEST_F(FirmwareUpgradeDialogTest, UpgradeWithNoneCheckedAsksForATerminal) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    controls.path->setText("/images/new.bin");
    controls.upgrade->click();
    EXPECT_EQ(prompter.messages, QStringList{"Select terminal to upgrade!"});
}

TEST_F(FirmwareUpgradeDialogTest, UpgradeSendsTheEditedPathAndTheDialogStaysOpen) {
    FirmwareUpgradeDialog dialog;
    DialogControls controls(dialog);
    ASSERT_TRUE(controls.Complete());
    dialog.show();
    prompter.AnswerFileDialogs({"/images/chosen.bin"});
    controls.browse->click();
    // The user corrects the path by hand after browsing; the edit's text is what counts.
    controls.path->setText("/images/typed.bin");
    controls.Check(2);

    EXPECT_CALL(library, TpOpen(1, 4, 0, 6, 0, 0, 0, 1, 0)).WillOnce(Return(9));
    EXPECT_CALL(library, TpUpgradeFirmware(9, StrEq("/images/typed.bin"), 1)).WillOnce(Return(0));
    EXPECT_CALL(library, TpClose(9)).WillOnce(Return(0));
    controls.upgrade->click();
    EXPECT_EQ(prompter.messages, QStringList{kComplete});
    EXPECT_TRUE(dialog.isVisible());

    controls.ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The dialog and the File Mode upgrade against emulated terminals, checked on the terminals'
// own firmware afterwards.
class FirmwareBenchTest : public ::testing::Test {
protected:
    FirmwareBenchTest() {
        bench.Add(Terminal("first", "COM3", "10000042", true));
        bench.Add(Terminal("usb", "TQ-0001", "10000077"));
        bench.Add(Terminal("second", "COM4", "10000043"));
        doc.terminals.push_back(Record("COM3", "TQ-3100", "10000042"));
        doc.terminals.push_back(Record("TQ-0001", "TQ-3100", "10000077"));
        doc.terminals.push_back(Record("COM4", "TQ-3100", "10000043"));
    }

    QString Image(const char* name) const { return images.filePath(name); }

    // Checks the given rows, enters the path and presses Upgrade.
    void RunDialog(std::initializer_list<int> rows, const QString& path) {
        FirmwareUpgradeDialog dialog;
        DialogControls controls(dialog);
        ASSERT_TRUE(controls.Complete());
        for (int row : rows) controls.Check(row);
        controls.path->setText(path);
        controls.upgrade->click();
    }

    TempBench bench;
    QTemporaryDir images;
    CTarvikDoc doc;
    ScriptedPrompter prompter;
};

TEST_F(FirmwareBenchTest, OfflineTerminalIsReportedAndTheOtherUpgraded) {
    ASSERT_TRUE(bench.Library().HasTerminalProtocol());
    WriteFirmwareImage(Image("fw.bin"), "TQ-3100", "A00-2.00");
    RunDialog({0, 2}, Image("fw.bin"));
    EXPECT_EQ(prompter.messages, (QStringList{"TQ-3100-10000042 is Off-line!", kComplete}));
    EXPECT_EQ(bench.IniValue("second", "firmware"), "A00-2.00");
    EXPECT_EQ(bench.IniValue("first", "firmware"), "A00-1.10");
    EXPECT_EQ(bench.IniValue("usb", "firmware"), "A00-1.10");  // not checked
}

TEST_F(FirmwareBenchTest, UsbTerminalIsUpgradedAndReadsBackTheNewVersion) {
    ASSERT_TRUE(bench.Library().HasTerminalProtocol());
    WriteFirmwareImage(Image("fw.bin"), "TQ-31", "B01-3.05");
    RunDialog({1}, Image("fw.bin"));
    EXPECT_EQ(prompter.messages, QStringList{kComplete});

    // The terminal itself now reports the version, not only its bench file.
    ConnectionSettings usb{"TQ-0001", 6, "", ""};
    ScopedLink link(OpenLinkFor(usb));
    ASSERT_TRUE(link);
    char info[8][20] = {};
    ASSERT_EQ(Tp().TpGetInfo(link.get(), info[0], info[1], info[2], info[3], info[4], info[5],
                             info[6], info[7]),
              0);
    EXPECT_EQ(std::string(info[1], strnlen(info[1], 20)), "B01-3.05");
}

struct BadImageCase {
    const char* name;
    const char* model;
    bool corruptChecksum;
    const char* expected;
};

void PrintTo(const BadImageCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareBadImageTest : public FirmwareBenchTest,
                             public ::testing::WithParamInterface<BadImageCase> {};

TEST_P(FirmwareBadImageTest, IsRefusedAndChangesNothing) {
    ASSERT_TRUE(bench.Library().HasTerminalProtocol());
    const BadImageCase& c = GetParam();
    WriteFirmwareImage(Image("bad.bin"), c.model, "A00-9.99", c.corruptChecksum);
    RunDialog({1, 2}, Image("bad.bin"));
    // Both terminals refuse; no completion message follows.
    EXPECT_EQ(prompter.messages, (QStringList{c.expected, c.expected}));
    EXPECT_EQ(bench.IniValue("usb", "firmware"), "A00-1.10");
    EXPECT_EQ(bench.IniValue("second", "firmware"), "A00-1.10");
}

INSTANTIATE_TEST_SUITE_P(
    Images, FirmwareBadImageTest,
    ::testing::Values(BadImageCase{"BadChecksum", "TQ-3100", true, "Invalid F/W file!"},
                      BadImageCase{"OtherModel", "TQ-5000", false, "CUSTOMER version error!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareBenchTest, FileModeUpgradesTheConnectedTerminal) {
    ASSERT_TRUE(bench.Library().HasTerminalProtocol());
    WriteFirmwareImage(Image("fw.bin"), "TQ-3100", "A00-2.00");
    doc.settings = {"COM4", 6, "TQ-3100", "10000043"};
    prompter.AnswerFileDialogs({Image("fw.bin")});
    UpgradeFileModeTerminal();
    EXPECT_EQ(prompter.messages, QStringList{kComplete});
    EXPECT_EQ(bench.IniValue("second", "firmware"), "A00-2.00");
}

TEST_F(FirmwareBenchTest, FileModeOfflineTerminalIsReported) {
    ASSERT_TRUE(bench.Library().HasTerminalProtocol());
    WriteFirmwareImage(Image("fw.bin"), "TQ-3100", "A00-2.00");
    doc.settings = {"COM3", 6, "TQ-3100", "10000042"};
    prompter.AnswerFileDialogs({Image("fw.bin")});
    UpgradeFileModeTerminal();
    EXPECT_EQ(prompter.messages, QStringList{"Device is Off-line"});
    EXPECT_EQ(bench.IniValue("first", "firmware"), "A00-1.10");
}
