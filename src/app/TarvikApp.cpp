#include "app/TarvikApp.h"

#include "app/MainFrame.h"
#include "core/TarvikDoc.h"
#include "platform/DocumentsFolder.h"
#include "platform/LocalFileSystem.h"
#include "platform/Prompter.h"
#include "platform/WorkFolder.h"

CTarvikApp::CTarvikApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    setApplicationVersion(QStringLiteral("1.03"));
    setDesktopFileName(QStringLiteral("tarvik"));
}

CTarvikApp::~CTarvikApp() {
    frame_.reset();
    doc_.reset();
}

bool CTarvikApp::InitInstance() {
    // The data folder is only named here; nothing is created until it is needed.
    DataFolder = DocumentsFolder() + QStringLiteral("/Tarvik");
    RemoveStaleWorkFolders(LocalFiles(), DataFolder);
    doc_ = std::make_unique<CTarvikDoc>();
    frame_ = std::make_unique<CMainFrame>();
    frame_->RestoreSession();
    frame_->show();
    return true;
}
