#include "link/ModuleSearch.h"

#include "link/ModuleLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Folders = std::vector<std::string>;

TEST(ModuleSearchTest, LooksBesideTheExecutableThenInTheInstalledLibFolder) {
    struct Case {
        std::string executableFolder;
        Folders expected;
    };
    const Case cases[] = {
        {"/usr/bin", {"/usr/bin", "/usr/lib/tarvik"}},
        {"/opt/tarvik/bin/", {"/opt/tarvik/bin", "/opt/tarvik/lib/tarvik"}},
        {"/home/ann/src/tarvik/build/bin", {"/home/ann/src/tarvik/build/bin",
                                            "/home/ann/src/tarvik/build/lib/tarvik"}},
        {"/home/ann/.local/./bin", {"/home/ann/.local/bin", "/home/ann/.local/lib/tarvik"}},
        {"/", {"/", "/lib/tarvik"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModuleSearchFolders(c.executableFolder), c.expected) << c.executableFolder;
    }
}

TEST(ModuleSearchTest, NamesEveryFolderItSearchedInVain) {
    EXPECT_EQ(NoTerminalLibraryMessage({"/usr/bin", "/usr/lib/tarvik"}),
              "No terminal library found in /usr/bin or /usr/lib/tarvik");
    EXPECT_EQ(NoTerminalLibraryMessage({"/a", "/b", "/c"}),
              "No terminal library found in /a, /b or /c");
}

// A prefix laid out as an installation is: <root>/bin beside <root>/lib/tarvik.
class ModuleFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkpath("bin"));
        ASSERT_TRUE(QDir(root_.path()).mkpath("lib/tarvik"));
        folders_ = ModuleSearchFolders(Bin());
    }

    std::string Bin() const { return (root_.path() + "/bin").toStdString(); }
    std::string Lib() const { return (root_.path() + "/lib/tarvik").toStdString(); }

    // Copies a built module, so the folder holds a module that really loads.
    static void CopyModule(const std::string& folder, const char* file) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVIK_MODULE_DIR "/") + file,
                                QString::fromStdString(folder + "/" + file)));
    }

    QTemporaryDir root_;
    Folders folders_;
};

TEST_F(ModuleFolderTest, TheFolderBesideTheExecutableComesFirst) {
    CopyModule(Bin(), "libterminalprotocol.so");
    CopyModule(Lib(), "libterminalprotocol.so");
    EXPECT_EQ(FolderWithModules(folders_), Bin());
}

TEST_F(ModuleFolderTest, AnInstalledTreeFindsItsModulesInLibTarvik) {
    CopyModule(Lib(), "libterminalprotocol.so");
    CopyModule(Lib(), "libcommunication.so");
    EXPECT_EQ(FolderWithModules(folders_), Lib());

    ModuleLibrary library(folders_);
    EXPECT_TRUE(library.HasTerminalProtocol());
    EXPECT_TRUE(library.HasCommunication());
    EXPECT_TRUE(library.FoldersSearchedInVain().empty());
}

// The terminal protocol module decides: a Communication module alone, or a folder that merely
// bears the module's name, does not stop the search.
TEST_F(ModuleFolderTest, OnlyATerminalProtocolModuleFileCounts) {
    CopyModule(Bin(), "libcommunication.so");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Bin() + "/libterminalprotocol.so")));
    EXPECT_EQ(FolderWithModules(folders_), "");
    CopyModule(Lib(), "libterminalprotocol.so");
    EXPECT_EQ(FolderWithModules(folders_), Lib());
}

TEST_F(ModuleFolderTest, NoModulesAnywhereLoadsNothingAndTellsWhereItLooked) {
    ModuleLibrary library(folders_);
    EXPECT_FALSE(library.HasTerminalProtocol());
    EXPECT_FALSE(library.HasCommunication());
    EXPECT_EQ(library.TpOpen(1, 3, 0, 6, 0, 0, 0, 1, 0), 0u);
    EXPECT_EQ(library.FoldersSearchedInVain(), (Folders{Bin(), Lib()}));
}

}  // namespace
