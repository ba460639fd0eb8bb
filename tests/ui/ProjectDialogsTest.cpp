#include "core/TarvikDoc.h"
#include "project/ProjectBenchFixture.h"
#include "project/ProjectPack.h"
#include "support/AppFixture.h"
#include "support/RecordingClock.h"
#include "support/TempBench.h"
#include "ui/dialogs/ProjectDownloadDialog.h"
#include "ui/dialogs/ProjectPropertyDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

template <class Widget>
Widget* Control(QDialog& dialog, const char* name) {
    if (auto* widget = dialog.findChild<Widget*>(name)) return widget;
    throw std::runtime_error(std::string("the dialog has no control ") + name);
}

QStringList Texts(const QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(0);
    return texts;
}

void Check(QTreeWidget* list, int row) { list->topLevelItem(row)->setCheckState(0, Qt::Checked); }

// The actions a screen reader offers on a list's line.
QAccessibleActionInterface* LineActions(QTreeWidget* list, int row) {
    QAccessibleInterface* line =
        QAccessible::queryAccessibleInterface(list)->tableInterface()->cellAt(row, 0);
    return line ? line->actionInterface() : nullptr;
}

void Toggle(QTreeWidget* list, int row) {
    QAccessibleActionInterface* actions = LineActions(list, row);
    ASSERT_NE(actions, nullptr);
    ASSERT_EQ(actions->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
    actions->doAction(QAccessibleActionInterface::toggleAction());
}

std::vector<PackMember> ShopMembers() {
    return {{"D:\\PROGRAM\\SHOP.bas", "10 END"}, {"D:\\SHOP\\SMALL.cft", "font"},
            {"C:\\SHOP\\A.DA", "a.da"},          {"C:\\SHOP\\A.DAT", "a.dat on C"},
            {"D:\\SHOP\\ITEMS.LKP", "lookup"},   {"E:\\SHOP\\A.DAT", "a.dat on E"}};
}

// The window over a bench with t1 on COM3 (serial 1) and t2 on COM4 (serial 2) in the roster.
class ProjectDialogTest : public ::testing::Test {
protected:
    ProjectDialogTest() {
        bench.Add({.folder = "t1", .port = "COM3", .serial = "1"});
        bench.Add({.folder = "t2", .port = "COM4", .serial = "2"});
        for (const char* terminal : {"t1", "t2"}) bench.WriteFile(terminal, "D/PROGRAM/MAIN.BAS", "10 END");
        app = std::make_unique<AppFixture>();
        AddRecord("COM3", "1");
        AddRecord("COM4", "2");
    }

    void AddRecord(const std::string& port, const std::string& serial) {
        app->Doc().terminals.push_back(
            std::make_unique<ConnectionSettings>(ConnectionSettings{port, 6, "TQ-3100", serial}));
    }
    void WriteProject(const PackRequirements& requirements,
                      const std::vector<PackMember>& members = ShopMembers()) {
        const PackedProject packed = BuildProjectFile(requirements, members);
        ASSERT_EQ(packed.error, "");
        WriteFile("SHOP.prj", packed.file);
    }
    void WriteFile(const QString& name, const QByteArray& content) {
        QFile file(DataFolder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    bool OnTerminal(const char* terminal, const QString& relative) const {
        return QFileInfo::exists(bench.Path() + "/" + terminal + "/" + relative);
    }
    QStringList& Messages() { return app->Prompter().messages; }

    TempBench bench;
    RecordingClock clock;
    std::unique_ptr<AppFixture> app;
};

TEST_F(ProjectDialogTest, TheDownloadDialogListsTheMembersAndTheRoster) {
    app->Doc().terminals[1]->portName = "TQ-3100-0001";
    WriteProject({1, "A00-1.02"});
    ProjectDownloadDialog dialog("SHOP");
    ASSERT_TRUE(dialog.Loaded());
    EXPECT_EQ(dialog.windowTitle(), "Property");
    EXPECT_EQ(Control<QLabel>(dialog, "requirementLabel")->text(), "Needed: F/W Ver: A00-1.02, CCD 1D");
    EXPECT_EQ(Control<QLabel>(dialog, "programLabel")->text(), "Program:");
    EXPECT_EQ(Control<QLabel>(dialog, "fontLabel")->text(), "Fonts:");
    EXPECT_EQ(Control<QLabel>(dialog, "dataFileLabel")->text(), "Data File:");
    EXPECT_EQ(Texts(Control<QTreeWidget>(dialog, "programList")), QStringList{"SHOP.bas"});
    EXPECT_EQ(Texts(Control<QTreeWidget>(dialog, "fontList")), QStringList{"SMALL.cft"});
    EXPECT_EQ(Texts(Control<QTreeWidget>(dialog, "dataFileList")),
              (QStringList{"A.DA", "A.DAT", "ITEMS.LKP", "A.DAT"}));
    EXPECT_EQ(Texts(Control<QTreeWidget>(dialog, "terminalList")),
              (QStringList{"COM3-TQ-3100-1", "USB-TQ-3100-0001"}));
    EXPECT_EQ(Control<QLabel>(dialog, "countLabel")->text(), "Terminal: 2 device(s), 0 selected");
    QStringList names;
    for (const char* name : {"programList", "fontList", "dataFileList", "terminalList"}) {
        auto* list = Control<QTreeWidget>(dialog, name);
        names << QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            EXPECT_TRUE(list->topLevelItem(i)->flags() & Qt::ItemIsUserCheckable) << name;
            EXPECT_EQ(list->topLevelItem(i)->checkState(0), Qt::Unchecked) << name;
        }
    }
    EXPECT_EQ(names, (QStringList{"Program", "Fonts", "Data File", "Terminal list"}));
    auto* download = Control<QPushButton>(dialog, "downloadButton");
    EXPECT_EQ(download->text(), "=>");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(download)->text(QAccessible::Name), "Download");
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(ProjectDialogTest, AScreenReadersToggleChecksAndUnchecksALineAsItsBoxDoes) {
    WriteProject({1, "A00-1.02"});
    ProjectDownloadDialog dialog("SHOP");
    dialog.show();
    auto* terminals = Control<QTreeWidget>(dialog, "terminalList");
    auto* data = Control<QTreeWidget>(dialog, "dataFileList");
    Toggle(terminals, 1);
    Toggle(data, 2);
    EXPECT_EQ(terminals->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(terminals->topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(CheckedEntries(*data), std::vector<int>{4});
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(terminals);
    EXPECT_TRUE(list->tableInterface()->cellAt(1, 0)->state().checked);
    Toggle(terminals, 1);
    EXPECT_EQ(terminals->topLevelItem(1)->checkState(0), Qt::Unchecked);

    // Lines are numbered as Qt numbers a tree's cells: the list's focus events name them so.
    QTreeWidget plain;
    plain.setHeaderHidden(true);
    plain.addTopLevelItems({new QTreeWidgetItem({"a"}), new QTreeWidgetItem({"b"})});
    plain.show();
    plain.visualItemRect(plain.topLevelItem(1));
    QAccessibleInterface* qt = QAccessible::queryAccessibleInterface(&plain);
    EXPECT_EQ(list->indexOfChild(list->tableInterface()->cellAt(1, 0)),
              qt->indexOfChild(qt->tableInterface()->cellAt(1, 0)));
    EXPECT_EQ(list->childCount(), qt->childCount());
}

struct LineCase {
    const char* name;
    PackRequirements needs;
    QString line;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class RequirementLineTest : public ProjectDialogTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(RequirementLineTest, SaysWhatTheProjectNeeds) {
    WriteProject(GetParam().needs);
    ProjectDownloadDialog dialog("SHOP");
    EXPECT_EQ(Control<QLabel>(dialog, "requirementLabel")->text(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Projects, RequirementLineTest,
    ::testing::Values(LineCase{"no_requirements", {}, "Needed: F/W Ver: A00-1.02, CCD 1D"},
                      LineCase{"no_reader", {std::nullopt, "A00-1.10"}, "Needed: F/W Ver: A00-1.10, Unknow"},
                      LineCase{"no_firmware", {2, std::nullopt}, "Needed: F/W Ver: , Camera 2D"},
                      LineCase{"all_devices", {0, "A00-0.80"}, "Needed: F/W Ver: A00-0.80, All Device"},
                      LineCase{"with_rf", {3, "B01-2.00"}, "Needed: F/W Ver: B01-2.00, CCD 1D + RF"},
                      LineCase{"unlisted_reader", {9, "A00-1.02"}, "Needed: F/W Ver: A00-1.02, Unknow"}));

TEST_F(ProjectDialogTest, TheCountFollowsEachCheck) {
    WriteProject({1, "A00-1.02"});
    ProjectDownloadDialog dialog("SHOP");
    auto* list = Control<QTreeWidget>(dialog, "terminalList");
    auto* count = Control<QLabel>(dialog, "countLabel");
    EXPECT_EQ(count->text(), "Terminal: 2 device(s), 0 selected");
    Check(list, 1);
    EXPECT_EQ(count->text(), "Terminal: 2 device(s), 1 selected");

    app->Doc().terminals.clear();
    ProjectDownloadDialog empty("SHOP");
    EXPECT_EQ(Control<QLabel>(empty, "countLabel")->text(), "Terminal: 0 device(s), 0 selected");
    EXPECT_EQ(Control<QTreeWidget>(empty, "terminalList")->topLevelItemCount(), 0);
}

TEST_F(ProjectDialogTest, AProjectThatCannotBeReadClosesTheDialogAfterItsMessage) {
    ProjectDownloadDialog missing("SHOP");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.exec(), QDialog::Rejected);
    EXPECT_EQ(Messages(), QStringList{"This project is not exist!"});

    WriteFile("SHOP.prj", "[Info]C:\\SHOP\\A.DAT,100\r\nabc");
    ProjectDownloadDialog damaged("SHOP");
    EXPECT_FALSE(damaged.Loaded());
    EXPECT_EQ(Messages().last(),
              QString::fromStdString(ProjectCheckText({ProjectError::MemberPastEnd, 0, {}})));
    EXPECT_EQ(Control<QTreeWidget>(damaged, "dataFileList")->topLevelItemCount(), 0);
}

TEST_F(ProjectDialogTest, DownloadSendsTheCheckedMembersToTheCheckedTerminalsAsListed) {
    WriteProject({1, "A00-1.02"});
    ProjectDownloadDialog dialog("SHOP");
    Check(Control<QTreeWidget>(dialog, "programList"), 0);
    Check(Control<QTreeWidget>(dialog, "dataFileList"), 0);
    Check(Control<QTreeWidget>(dialog, "terminalList"), 0);
    Check(Control<QTreeWidget>(dialog, "terminalList"), 1);
    // The second terminal is switched off, and the roster changes while the dialog is open:
    // each line stays the terminal it named.
    bench.Add({.folder = "t2", .port = "COM4", .serial = "2", .offline = true});
    app->Doc().terminals.erase(app->Doc().terminals.begin());
    // A data file the terminal holds may hold what was collected on it: asked once, No keeps it.
    bench.WriteFile("t1", "C/SHOP/A.DA", "FIELD");
    app->Prompter().AnswerQuestions({false});

    Control<QPushButton>(dialog, "downloadButton")->click();

    EXPECT_EQ(app->Prompter().questions.size(), 1);
    EXPECT_EQ(Messages(), QStringList{"TQ-3100-2 is Off-line!"});
    EXPECT_TRUE(OnTerminal("t1", "D/PROGRAM/SHOP.BAS"));
    EXPECT_TRUE(OnTerminal("t1", "D/SHOP.INF"));
    QFile kept(bench.Path() + "/t1/C/SHOP/A.DA");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "FIELD");
    EXPECT_FALSE(OnTerminal("t1", "C/SHOP/A.DAT"));
    EXPECT_FALSE(OnTerminal("t1", "D/SHOP/SMALL.CFT"));
    EXPECT_EQ(QDir(DataFolder).entryList(QDir::Files), QStringList{"SHOP.prj"});
    EXPECT_FALSE(app->Frame().OperationRunning());
}

TEST_F(ProjectDialogTest, EachTerminalHasAWorkerAndIsAskedAboutItsModelBeforeAnyStarts) {
    WriteProject({1, "A00-1.02"});  // for a TQ-3100
    bench.Add({.folder = "t3", .port = "COM5", .model = "TQ-2200", .serial = "3"});
    bench.Add({.folder = "t4", .port = "COM6", .serial = "4", .fail = "TpPutFile:2619"});
    for (const char* terminal : {"t3", "t4"}) bench.WriteFile(terminal, "D/PROGRAM/MAIN.BAS", "10 END");
    app->Doc().terminals[1]->model = "TQ-2200";
    app->Doc().terminals.push_back(
        std::make_unique<ConnectionSettings>(ConnectionSettings{"COM5", 6, "TQ-2200", "3"}));
    AddRecord("COM6", "4");
    ProjectDownloadDialog dialog("SHOP");
    Check(Control<QTreeWidget>(dialog, "programList"), 0);
    for (int row = 0; row < 4; ++row) Check(Control<QTreeWidget>(dialog, "terminalList"), row);
    app->Prompter().AnswerQuestions({false, true});

    Control<QPushButton>(dialog, "downloadButton")->click();

    EXPECT_EQ(app->Prompter().questions,
              (QStringList{"The device-COM4-TQ-2200-2 may run this project not well.\r\nWould you "
                           "continue to download?",
                           "The device-COM5-TQ-2200-3 may run this project not well.\r\nWould you "
                           "continue to download?"}));
    EXPECT_TRUE(OnTerminal("t1", "D/PROGRAM/SHOP.BAS"));
    EXPECT_FALSE(OnTerminal("t2", "D/PROGRAM/SHOP.BAS"));
    EXPECT_TRUE(OnTerminal("t3", "D/PROGRAM/SHOP.BAS"));
    EXPECT_FALSE(OnTerminal("t4", "D/PROGRAM/SHOP.BAS"));
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith("COM6-TQ-3100-4:\r\nDownload program-SHOP fail!"))
        << Messages()[0].toStdString();
    EXPECT_EQ(QDir(DataFolder).entryList(QDir::Files), QStringList{"SHOP.prj"});
    EXPECT_FALSE(app->Frame().OperationRunning());
}

TEST_F(ProjectDialogTest, AMemberNoTerminalCanHoldIsGreyedWithItsReasonAndTheRestIsSent) {
    WriteFile("SHOP.prj", RawProject({{"D:\\PROGRAM\\SHOP.bas", "10 END"},
                                      {"c:\\X.TXT", "x"},
                                      {"C:\\SHOP\\A.DAT", "a"}}));
    ProjectDownloadDialog dialog("SHOP");
    ASSERT_TRUE(dialog.Loaded());
    auto* data = Control<QTreeWidget>(dialog, "dataFileList");
    EXPECT_EQ(Texts(data), (QStringList{"X.TXT", "A.DAT"}));
    const QString reason = "A terminal cannot hold c:\\X.TXT: it does not start with C:\\, D:\\ or E:\\.";
    const QTreeWidgetItem* refused = data->topLevelItem(0);
    EXPECT_FALSE(refused->flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(refused->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(refused->toolTip(0), reason);
    // A screen reader meets the line once the list is laid out on screen.
    dialog.show();
    QAccessibleInterface* cell =
        QAccessible::queryAccessibleInterface(data)->tableInterface()->cellAt(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Description), reason);
    EXPECT_TRUE(data->topLevelItem(1)->flags() & Qt::ItemIsEnabled);

    Check(Control<QTreeWidget>(dialog, "programList"), 0);
    Check(data, 1);
    Check(Control<QTreeWidget>(dialog, "terminalList"), 0);
    app->Prompter().AnswerQuestions({true});  // data files there are replaced
    Control<QPushButton>(dialog, "downloadButton")->click();
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_TRUE(OnTerminal("t1", "D/PROGRAM/SHOP.BAS"));
    EXPECT_TRUE(OnTerminal("t1", "C/SHOP/A.DAT"));
    EXPECT_FALSE(OnTerminal("t1", "C/X.TXT"));
}

// SHOP installed on t1: its information file, its program and its data files.
class ProjectPropertyDialogTest : public ProjectDialogTest {
protected:
    ProjectPropertyDialogTest() {
        const PackedProject packed = BuildProjectFile({1, "A00-1.02"}, ShopMembers());
        bench.WriteFile("t1", "D/SHOP.INF",
                        packed.file.left(ReadProjectEntries(packed.file).dataOffset).toStdString());
        for (const PackMember& member : ShopMembers()) {
            QString path = QString::fromStdString(member.terminalPath);
            path.remove(1, 1).replace('\\', '/');
            bench.WriteFile("t1", path.toStdString(), member.content.toStdString());
        }
    }
    ConnectionSettings Record() const { return *app->Doc().terminals[0]; }
};

TEST_F(ProjectPropertyDialogTest, ListsTheInstalledProject) {
    ProjectPropertyDialog dialog(Record(), "SHOP");
    ASSERT_TRUE(dialog.Loaded());
    EXPECT_EQ(dialog.windowTitle(), "Property");
    auto* program = Control<QLineEdit>(dialog, "programEdit");
    EXPECT_EQ(program->text(), "SHOP.bas");
    EXPECT_TRUE(program->isReadOnly());
    auto* fonts = Control<QTreeWidget>(dialog, "fontList");
    EXPECT_EQ(Texts(fonts), QStringList{"SMALL.cft"});
    EXPECT_FALSE(fonts->topLevelItem(0)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(fonts->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());
    auto* data = Control<QTreeWidget>(dialog, "dataFileList");
    EXPECT_EQ(Texts(data), (QStringList{"A.DA", "A.DAT", "ITEMS.LKP", "A.DAT"}));
    EXPECT_EQ(data->topLevelItem(0)->checkState(0), Qt::Unchecked);
    auto* target = Control<QLineEdit>(dialog, "uploadEdit");
    EXPECT_EQ(target->text(), "My Document\\Tarvik\\SHOP\\1");
    EXPECT_TRUE(target->isReadOnly());
    EXPECT_EQ(target->toolTip(), QDir::toNativeSeparators(DataFolder + "/SHOP/1"));
    QStringList names;
    for (QWidget* control : std::initializer_list<QWidget*>{program, fonts, data, target}) {
        names << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
    }
    EXPECT_EQ(names, (QStringList{"Program", "Fonts", "Data File", "Upload to"}));
    dialog.show();
    Toggle(data, 1);
    EXPECT_EQ(data->topLevelItem(1)->checkState(0), Qt::Checked);
    // A font is not copied: its line has no box to toggle.
    EXPECT_TRUE(LineActions(fonts, 0)->actionNames().isEmpty());
    EXPECT_EQ(QDir(DataFolder).entryList(QDir::Files), QStringList{});
}

TEST_F(ProjectPropertyDialogTest, UploadCopiesTheCheckedDataFileIntoTheUploadFolder) {
    ProjectPropertyDialog dialog(Record(), "SHOP");
    auto* upload = Control<QPushButton>(dialog, "uploadButton");
    upload->click();
    EXPECT_EQ(Messages(), QStringList{"No file is selected!"});

    Check(Control<QTreeWidget>(dialog, "dataFileList"), 2);
    upload->click();
    QFile copied(DataFolder + "/SHOP/1/ITEMS.LKP");
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), "lookup");
    EXPECT_EQ(QDir(DataFolder + "/SHOP/1").entryList(QDir::Files), QStringList{"ITEMS.LKP"});
    EXPECT_EQ(Messages().size(), 1);
}

TEST_F(ProjectPropertyDialogTest, ATerminalThatIsOffOrHasNoSuchProjectShowsNoDialog) {
    ProjectPropertyDialog other(Record(), "OTHER");
    EXPECT_FALSE(other.Loaded());
    EXPECT_EQ(other.exec(), QDialog::Rejected);
    bench.Add({.folder = "t1", .port = "COM3", .serial = "1", .offline = true});
    ProjectPropertyDialog offline(Record(), "SHOP");
    EXPECT_FALSE(offline.Loaded());
    EXPECT_EQ(Messages(), (QStringList{"This project is not exist!", "Device is Off-line!"}));
}

}  // namespace
