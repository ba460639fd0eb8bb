#include "terminal/ItemProperties.h"

#include "core/ItemKind.h"
#include "link/ResultCodes.h"
#include "link/TerminalLink.h"
#include "platform/LocalFileSystem.h"
#include "project/ProjectBenchFixture.h"
#include "support/MockTerminalLibrary.h"

#include <QDateTime>
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

}  // namespace
