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
    // Deleted PC files go to the Trash under the data folder: one of the run's own.
    std::string data = QDir::tempPath().toStdString() + "/tarvik-tests-data-XXXXXX";
    if (mkdtemp(data.data())) {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data));
        // The journal too, and that of every tarvik-cli a test starts.
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(data + "/state"));
        // And what the window remembers between runs.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(data + "/config"));
    }
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    if (runtime.find("XXXXXX") == std::string::npos) QDir(QString::fromStdString(runtime)).removeRecursively();
    if (data.find("XXXXXX") == std::string::npos) QDir(QString::fromStdString(data)).removeRecursively();
    return result;
}
