#include "platform/LocalFileSystem.h"
#include "terminal/ItemProperties.h"

#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "project/ProjectBenchFixture.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/ModalDialogs.h"
#include "support/TreeItems.h"
#include "ui/trees/PcFileTree.h"
#include "ui/trees/PcView.h"
#include "ui/trees/TerminalFileTree.h"
#include "ui/trees/TerminalView.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <cstring>
#include <gtest/gtest.h>
#include <utime.h>

using ::testing::_;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

QString CodeText(ResultCode rc) { return QString::fromStdString(ResultCodeText(rc)); }

// Gives a bench entry a known time of day, as the terminal reports it.
void SetTime(const QString& path, const QDateTime& local) {
    const utimbuf times{local.toSecsSinceEpoch(), local.toSecsSinceEpoch()};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0) << path.toStdString();
}

const QDateTime kShopTime(QDate(2018, 5, 31), QTime(14, 7, 9));
const QDateTime kFileTime(QDate(2020, 1, 2), QTime(3, 4, 5));

// Terminal t1 on COM3: C:\SHOP holds 100 and 50 bytes and SUB with 25 bytes; C:\EMPTY is
// empty; C:\README.TXT holds 5 bytes; drive E is not formatted.
class ItemPropertiesTest : public ProjectBenchTest {
protected:
    ItemPropertiesTest() {
        settings = AddTerminal({.folder = "t1", .port = "COM3"});
        QFile ini(bench.Path() + "/t1/terminal.ini");
        ini.open(QIODevice::Append);
        ini.write("unformatted=E\n");
        ini.close();
        bench.WriteFile("t1", "C/SHOP/A.TXT", std::string(100, 'a'));
        bench.WriteFile("t1", "C/SHOP/B.TXT", std::string(50, 'b'));
        bench.WriteFile("t1", "C/SHOP/SUB/C.TXT", std::string(25, 'c'));
        bench.WriteFile("t1", "C/README.TXT", "hello");
        QDir().mkpath(bench.Path() + "/t1/C/EMPTY");
        SetTime(bench.Path() + "/t1/C/README.TXT", kFileTime);
        SetTime(bench.Path() + "/t1/C/EMPTY", kFileTime);
        SetTime(bench.Path() + "/t1/C/SHOP/SUB", kFileTime);
        SetTime(bench.Path() + "/t1/C/SHOP", kShopTime);
    }

    std::optional<ItemProperties> Read(int image, const QString& path, const QString& text) {
        return ReadItemProperties(MakeServices(), settings, image, path, text);
    }

    ConnectionSettings settings;
};

TEST_F(ItemPropertiesTest, ADriveShowsItsCapacityAndFreeSpace) {
    const auto drive = Read(kKindFixed, "C:\\", "C:\\");
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->kind, PropertiesKind::Drive);
    EXPECT_EQ(drive->name, "C:\\");
    EXPECT_EQ(drive->first, 2048);
    // 180 bytes in use take one KB.
    EXPECT_EQ(drive->second, 2047);
    EXPECT_EQ(library.Calls("TpDiskInfo"), QStringList{"TpDiskInfo C:\\"});

    const auto unformatted = Read(kKindFixed, "E:\\", "E:\\");
    ASSERT_TRUE(unformatted);
    EXPECT_LT(unformatted->second, 0);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ItemPropertiesTest, AFolderAddsUpEveryFileBelowItAndTakesItsDateFromItsParent) {
    const auto shop = Read(kKindFolder, "C:\\SHOP", "SHOP");
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->kind, PropertiesKind::Folder);
    EXPECT_EQ(shop->first, 175);
    EXPECT_EQ(shop->location, "C:");
    EXPECT_EQ(shop->date, "2018/05/31 14:07:09");
    // Two listings per folder, and a pause before each sub-folder and each parent listing.
    EXPECT_EQ(library.Calls("TpListDir"),
              (QStringList{"TpListDir C:\\SHOP", "TpListDir C:\\SHOP\\SUB", "TpListDir C:\\SHOP",
                           "TpListDir C:\\"}));
    EXPECT_EQ(clock.pauses, (std::vector<int>{100, 100, 100}));
    // The walk tells that it is working, folder by folder.
    EXPECT_EQ(progress.announced, (QStringList{"C:\\SHOP -> folder size (0)",
                                               "C:\\SHOP\\SUB -> folder size (0)"}));
    EXPECT_EQ(progress.finished, (QList<qint64>{25, 150}));

    const auto sub = Read(kKindFolder, "C:\\SHOP\\SUB", "SUB");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->first, 25);
    EXPECT_EQ(sub->location, "C:\\SHOP");
    EXPECT_EQ(sub->date, "2020/01/02 03:04:05");

    const auto empty = Read(kKindFolder, "C:\\EMPTY", "EMPTY");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->first, 0);
    EXPECT_EQ(empty->date, "2020/01/02 03:04:05");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ItemPropertiesTest, AFileIsFoundInItsFolderWhateverTheCase) {
    const auto root = Read(kKindFile, "C:\\readme.txt", "readme.txt");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->kind, PropertiesKind::File);
    EXPECT_EQ(root->location, "C:\\");
    EXPECT_EQ(root->first, 5);
    EXPECT_EQ(root->date, "2020/01/02 03:04:05");
    EXPECT_EQ(library.Calls("TpListDir"), QStringList{"TpListDir C:\\"});

    const auto inFolder = Read(kKindFile, "C:\\SHOP\\B.TXT", "B.TXT");
    ASSERT_TRUE(inFolder);
    EXPECT_EQ(inFolder->location, "C:\\SHOP");
    EXPECT_EQ(inFolder->first, 50);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ItemPropertiesTest, EachFailureIsShownAndNothingElse) {
    QFile::remove(bench.Path() + "/t1/C/README.TXT");
    EXPECT_FALSE(Read(kKindFile, "C:\\README.TXT", "README.TXT"));
    EXPECT_EQ(prompter.messages.last(), "The file is not exist.");

    EXPECT_FALSE(Read(kKindFolder, "C:\\GONE", "GONE"));
    EXPECT_EQ(prompter.messages.last(), CodeText(2622));

    EXPECT_FALSE(Read(kKindFile, "C:\\GONE\\X.TXT", "X.TXT"));
    EXPECT_EQ(prompter.messages.last(), CodeText(2622));

    // A sub-folder gone before its turn ends the whole walk at once.
    clock.onPause = [this](int) { QDir(bench.Path() + "/t1/C/SHOP/SUB").removeRecursively(); };
    library.calls.clear();
    EXPECT_FALSE(Read(kKindFolder, "C:\\SHOP", "SHOP"));
    EXPECT_EQ(prompter.messages.last(), CodeText(2622));
    EXPECT_EQ(library.Calls("TpListDir"), (QStringList{"TpListDir C:\\SHOP", "TpListDir C:\\SHOP\\SUB"}));
    clock.onPause = nullptr;

    bench.Add({.folder = "t1", .port = "COM3", .fail = "TpDiskInfo:2616"});
    EXPECT_FALSE(Read(kKindFixed, "C:\\", "C:\\"));
    EXPECT_EQ(prompter.messages.last(), CodeText(2616));

    bench.Add({.folder = "t1", .port = "COM3", .offline = true});
    EXPECT_FALSE(Read(kKindFolder, "C:\\SHOP", "SHOP"));
    EXPECT_EQ(prompter.messages.last(), "Device is Off-line!");
    EXPECT_EQ(prompter.messages.size(), 6);

    // An item without properties shows nothing.
    bench.Add({.folder = "t1", .port = "COM3"});
    EXPECT_FALSE(Read(kKindTerminal, "", "COM3"));
    EXPECT_EQ(prompter.messages.size(), 6);
}

TEST_F(ItemPropertiesTest, ACancelledWalkShowsNothing) {
    progress.onBefore = [](int announced) { return announced < 2; };
    EXPECT_FALSE(Read(kKindFolder, "C:\\SHOP", "SHOP"));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(library.Calls("TpListDir"), QStringList{"TpListDir C:\\SHOP"});
}

// One 32-byte listing record.
void PutRecord(uint8_t* record, const char* name, uint8_t kind, uint32_t size) {
    std::memset(record, 0, 32);
    std::memcpy(record, name, std::min<size_t>(std::strlen(name), 8));
    record[11] = kind;
    std::memcpy(record + 12, "20240102030405", 14);
    for (int i = 0; i < 4; ++i) record[26 + i] = static_cast<uint8_t>(size >> (8 * i));
}

TEST(FolderWalkBound, AModuleThatListsFoldersForEverCannotKeepTheWalkGoing) {
    NiceMock<MockTerminalLibrary> library;
    ScriptedPrompter prompter;
    RecordingClock clock;
    // Every folder holds itself, its parent, a folder LOOP and a 10-byte file.
    QStringList listed;
    ON_CALL(library, TpOpen).WillByDefault(Return(7));
    ON_CALL(library, TpListDir(7, _, _, _, _))
        .WillByDefault(Invoke([&](uint32_t, const char* folder, int32_t* count, uint8_t* buffer, int32_t*) {
            listed << folder;
            PutRecord(buffer, ".", 1, 0);
            PutRecord(buffer + 32, "..", 1, 0);
            PutRecord(buffer + 64, "LOOP", 1, 0);
            PutRecord(buffer + 96, "F", 2, 10);
            *count = 4;
            return 0;
        }));
    Services services{library, prompter, clock, LocalFiles(), NoProgress()};
    TerminalLink link(library, ConnectionSettings{"COM3", 6, "", ""});
    std::string date;
    int64_t size = 0;
    EXPECT_EQ(ReadFolderInfo(services, link, "C:\\LOOP", date, size), 0);
    // C:\LOOP and C:\LOOP\LOOP are the two levels a terminal has.
    EXPECT_EQ(size, 20);
    EXPECT_EQ(listed, (QStringList{"C:\\LOOP", "C:\\LOOP\\LOOP", "C:\\LOOP", "C:\\"}));
    EXPECT_EQ(date, "2024/01/02 03:04:05");
}

// The Property command in the window, on the demo-like bench of the fixture.
class PropertyCommandTest : public ::testing::Test {
protected:
    PropertyCommandTest() {
        bench.Add({.folder = "t1", .port = "COM3", .firmware = "A00-1.10", .serial = "10000042"});
        bench.WriteFile("t1", "C/DATA/STOCK.DAT", "12345");
        bench.WriteFile("t1", "D/SHOP.INF",
                        "[Ver.]1\r\n[Info]D:\\PROGRAM\\SHOP.bas,6\r\n[Info]D:\\SHOP\\SMALL.cft,4\r\n"
                        "[Info]C:\\SHOP\\A.DAT,4\r\n");
        app = std::make_unique<AppFixture>();
    }

    CMainFrame& Frame() { return app->Frame(); }
    // A right click with its context menu closed again, as a command from it would.
    void RightClick(CFileTreeCtrl& tree, QTreeWidgetItem* item) {
        AppFixture::RightClick(tree, item);
        Frame().ContextMenu(tree.IsFileMode())->hide();
    }
    // Runs Property and answers the texts of the named controls of the dialog it opens.
    QStringList Property(std::initializer_list<const char*> controls) {
        QStringList texts;
        bool shown = false;
        WhenModalShown([&](QDialog& dialog) {
            shown = true;
            texts << dialog.windowTitle();
            for (const char* name : controls) {
                if (auto* edit = dialog.findChild<QLineEdit*>(name)) {
                    texts << edit->text();
                } else if (auto* label = dialog.findChild<QLabel*>(name)) {
                    texts << label->text();
                } else if (auto* list = dialog.findChild<QTreeWidget*>(name)) {
                    QStringList items;
                    for (int i = 0; i < list->topLevelItemCount(); ++i) items << list->topLevelItem(i)->text(0);
                    texts << items.join(',');
                } else {
                    texts << QStringLiteral("<no %1>").arg(name);
                }
            }
            dialog.accept();
        });
        Frame().RunCommand(ID_PROPERTY);
        EXPECT_TRUE(shown);
        return texts;
    }

    TempBench bench;
    RecordingClock clock;
    std::unique_ptr<AppFixture> app;
};

TEST_F(PropertyCommandTest, FileModeShowsADriveAFolderAndAFile) {
    Frame().RunCommand(ID_FILE_MODE);
    app->Doc().settings.portName = "COM3";
    Frame().RunCommand(ID_CONNECT);
    CTerminalFileTree& files = *g_terminalView->FileTree();
    AppFixture::Click(files, files.RootItem());
    QTreeWidgetItem* drive = Child(files.RootItem(), "C:\\");
    ASSERT_TRUE(drive);
    files.FillFolder(drive);
    QTreeWidgetItem* data = Child(drive, "DATA");
    ASSERT_TRUE(data);
    files.FillFolder(data);

    RightClick(files, drive);
    EXPECT_EQ(Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit", "dateEdit"}),
              (QStringList{"Properties", "C:\\", "Local Disc", "1 KB", "2047 KB", "2048 KB"}));

    RightClick(files, data);
    const QStringList folder = Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit"});
    EXPECT_EQ(folder, (QStringList{"Properties", "DATA", "File Folder", "C:", "5 bytes"}));

    RightClick(files, Child(data, "STOCK.DAT"));
    const QStringList file = Property({"nameEdit", "typeEdit", "locationEdit", "sizeEdit"});
    EXPECT_EQ(file, (QStringList{"Properties", "STOCK.DAT", "File", "C:\\DATA", "5 bytes"}));
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
    // No device notice was handled while the terminal was being asked.
    EXPECT_FALSE(Frame().OperationRunning());
}

TEST_F(PropertyCommandTest, ProjectModeShowsATerminalItsProjectAndAPcProject) {
    app->NewConnect("COM3");
    CTerminalFileTree& roster = *g_terminalView->Roster();
    QTreeWidgetItem* terminal = roster.RootItem()->child(0);
    ASSERT_TRUE(terminal);

    RightClick(roster, terminal);
    EXPECT_EQ(Property({"modelText", "firmwareText", "serialText"}),
              (QStringList{"Property", "TQ-3100", "A00-1.10", "10000042"}));

    AppFixture::Click(roster, terminal);
    QTreeWidgetItem* project = Child(terminal, "SHOP");
    ASSERT_TRUE(project);
    RightClick(roster, project);
    EXPECT_EQ(Property({"programEdit", "fontList", "dataFileList", "uploadEdit"}),
              (QStringList{"Property", "SHOP.bas", "SMALL.cft", "A.DAT",
                           "My Document\\Tarvik\\SHOP\\10000042"}));

    const PackedProject packed = BuildProjectFile({0, "A00-0.80"}, {{"D:\\PROGRAM\\STOCK.bas", "1"}});
    QFile file(DataFolder + "/STOCK.prj");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packed.file);
    file.close();
    CPCFileTree& projects = *Frame().PcView()->ProjectTree();
    projects.Fill();
    QTreeWidgetItem* stock = Child(projects.RootItem(), "STOCK");
    ASSERT_TRUE(stock);
    RightClick(projects, stock);
    EXPECT_EQ(Property({"requirementLabel", "programList", "terminalList", "countLabel"}),
              (QStringList{"Property", "Needed: F/W Ver: A00-0.80, All Device", "STOCK.bas",
                           "COM3-TQ-3100-10000042", "Terminal: 1 device(s), 0 selected"}));
    EXPECT_TRUE(app->Prompter().messages.isEmpty());
}

TEST_F(PropertyCommandTest, ARosterTerminalThatWentAwayShowsNoDialog) {
    app->NewConnect("COM3");
    CTerminalFileTree& roster = *g_terminalView->Roster();
    bench.Add({.folder = "t1", .port = "COM3", .offline = true});
    RightClick(roster, roster.RootItem()->child(0));
    Frame().RunCommand(ID_PROPERTY);
    EXPECT_EQ(app->Prompter().messages, QStringList{"Device is Off-line!"});
}

}  // namespace
