#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; CI and a root shell often have none.
    std::string runtime = QDir::tempPath().toStdString() + "/tarvik-tests-XXXXXX";
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && mkdtemp(runtime.data())) {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    }
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    if (runtime.find("XXXXXX") == std::string::npos) QDir(QString::fromStdString(runtime)).removeRecursively();
    return result;
}
