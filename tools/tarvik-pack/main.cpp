// tarvik-pack: makes and lists project files; see `tarvik-pack --help`.

#include "project/ProjectPack.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunPackCommand(QCoreApplication::arguments().mid(1), out, err);
}
