#include "link/ModuleLibrary.h"
#include "link/ModuleSearch.h"
#include "support/AppFixture.h"

#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Started without modules where it looks, the program says where it looked.
TEST(MissingModulesTest, TheStatusBarSaysWhereNoTerminalLibraryWasFound) {
    QTemporaryDir prefix;
    ModuleLibrary library(ModuleSearchFolders((prefix.path() + "/bin").toStdString()));
    InstallTerminalLibrary(&library);
    {
        AppFixture app;
        EXPECT_EQ(app.Frame().statusBar()->currentMessage(),
                  "No terminal library found in " + prefix.path() + "/bin or " + prefix.path() +
                      "/lib/tarvik");
    }
    InstallTerminalLibrary(nullptr);
}

}  // namespace
