#include "ui/trees/PcFileTree.h"

#include "app/CommandIds.h"
#include "core/ItemKind.h"
#include "core/TarvikDoc.h"
#include "platform/Drives.h"
#include "support/AppFixture.h"
#include "support/MockTerminalLibrary.h"
#include "support/TreeItems.h"
#include "ui/trees/PcView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using ::testing::NiceMock;

namespace {

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

class PcListingTest : public ::testing::Test {
protected:
    NiceMock<MockTerminalLibrary> library;
    AppFixture app;
    CPCFileTree& files = *app.Frame().PcView()->FileTree();
    CPCFileTree& projects = *app.Frame().PcView()->ProjectTree();
    QTemporaryDir folder;
};

TEST_F(PcListingTest, AFolderShowsItsVisibleFoldersAndShortNamedFiles) {
    for (const char* name : {"README", "LONGNAME1.TXT", "A.B.C", "ABCDEFGH.TXTX", "b.txt",
                             "Z.DAT", ".HIDDEN.TXT"}) {
        Touch(folder.filePath(name));
    }
    QDir(folder.path()).mkpath("Mixed Case Folder/Inner");
    QDir(folder.path()).mkpath(".config");
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath("PIPE.TXT")).constData(), 0600), 0);

    QTreeWidgetItem* drive = files.InsertItem(files.RootItem(), folder.path(), kKindFixed);
    EXPECT_EQ(files.FillFolder(folder.path(), drive), 0);
    // Sorted without regard to case; a folder carries a placeholder until it is listed.
    EXPECT_EQ(ChildTexts(drive), (QStringList{"A.B.C", "b.txt", "Mixed Case Folder", "Z.DAT"}));
    QTreeWidgetItem* mixed = drive->child(2);
    EXPECT_EQ(CFileTreeCtrl::ItemImage(mixed), kKindFolder);
    EXPECT_EQ(mixed->childCount(), 1);
    EXPECT_EQ(CFileTreeCtrl::ItemImage(drive->child(1)), kKindFile);

    // The folder is listed by its own spelling, never a lower-cased one.
    AppFixture::Click(files, mixed);
    EXPECT_EQ(ChildTexts(mixed), QStringList{"Inner"});
}

TEST_F(PcListingTest, AFolderThatCannotBeListedIsLeftEmpty) {
    QTreeWidgetItem* drive = files.InsertItem(files.RootItem(), folder.filePath("gone"), kKindFixed);
    files.InsertItem(drive, QString(), kKindRoot);
    EXPECT_EQ(files.FillFolder(folder.filePath("gone"), drive), 0);
    EXPECT_EQ(drive->childCount(), 0);
}

TEST_F(PcListingTest, ThePcRootHoldsTheHomeFolderFirstThenTheMountedVolumes) {
    QTreeWidgetItem* root = files.RootItem();
    EXPECT_EQ(root->text(0), "PC");
    ASSERT_GE(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), QDir::homePath());
    EXPECT_EQ(CFileTreeCtrl::ItemImage(root->child(0)), kKindFixed);
    QStringList volumes;
    for (const LogicalDrive& drive : LogicalDrives()) {
        if (drive.name != QDir::homePath()) volumes << drive.name;
    }
    EXPECT_EQ(ChildTexts(root).mid(1), volumes);
    EXPECT_TRUE(root->isExpanded());
}

TEST_F(PcListingTest, TheProjectRootListsTheDataFolderAndRereadsItWhenOpened) {
    for (const char* name : {"DEMO.prj", "DEMO2.PRJ", "A.B.prj", ".prj", "notes.txt"}) {
        Touch(DataFolder + "/" + name);
    }
    QDir(DataFolder).mkdir("X.prj");
    projects.Fill();
    QTreeWidgetItem* root = projects.RootItem();
    EXPECT_EQ(root->text(0), "Project:");
    EXPECT_EQ(ChildTexts(root), (QStringList{"A", "DEMO", "X"}));
    EXPECT_TRUE(root->isExpanded());

    AppFixture::Click(projects, root);
    EXPECT_FALSE(projects.RootItem()->isExpanded());
    Touch(DataFolder + "/NEW.prj");
    AppFixture::Click(projects, projects.RootItem());
    EXPECT_EQ(ChildTexts(projects.RootItem()), (QStringList{"A", "DEMO", "NEW", "X"}));
    EXPECT_TRUE(projects.RootItem()->isExpanded());
}

TEST_F(PcListingTest, ClickingProjectsSelectsThemForADrag) {
    for (const char* name : {"ONE.prj", "TWO.prj"}) Touch(DataFolder + "/" + name);
    projects.Fill();
    QTreeWidgetItem* root = projects.RootItem();
    AppFixture::Click(projects, root->child(0));
    AppFixture::Click(projects, root->child(1), true);
    EXPECT_EQ(projects.SelectionList().size(), 2);
    EXPECT_TRUE(projects.CopyFlag());
    AppFixture::Click(projects, root->child(1));
    EXPECT_EQ(projects.SelectionList(), QList<QTreeWidgetItem*>{root->child(1)});
}

TEST(DriveTypeTest, ShowsVolumesByKindAndLeavesOutRamAndPseudoFileSystems) {
    EXPECT_EQ(DriveTypeOf("ext4", false), DriveType::Fixed);
    EXPECT_EQ(DriveTypeOf("vfat", true), DriveType::Removable);
    EXPECT_EQ(DriveTypeOf("iso9660", true), DriveType::CdRom);
    EXPECT_EQ(DriveTypeOf("nfs4", false), DriveType::Remote);
    EXPECT_EQ(DriveTypeOf("cifs", false), DriveType::Remote);
    for (const char* pseudo : {"tmpfs", "ramfs", "proc", "sysfs", "devtmpfs"}) {
        EXPECT_FALSE(DriveTypeOf(pseudo, false).has_value()) << pseudo;
    }
}

}  // namespace
