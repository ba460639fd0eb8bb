#include "cli/CliCommands.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvik-cli"));
    return RunCli(app.arguments().mid(1));
}
