#pragma once

#include "project/ProjectPack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <vector>

// Files and benches the benchmarks lay out; any failure ends the run.

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

inline void WriteFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

// A fresh bench of `terminals` TQ-3100s: terminal i answers on COM<i> and holds the PROGRAM
// folder every terminal has. `moreIni` adds lines to each terminal.ini.
inline void LayOutBench(const QString& bench, int terminals, const QString& moreIni = {}) {
    QDir(bench).removeRecursively();
    for (int i = 1; i <= terminals; ++i) {
        const QString folder = QStringLiteral("%1/t%2").arg(bench).arg(i, 2, 10, QChar('0'));
        WriteFile(folder + "/terminal.ini",
                  QStringLiteral("port=COM%1\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=%2\n"
                                 "drives=C:8192 D:8192 E:8192\n%3")
                      .arg(i)
                      .arg(10000000 + i)
                      .arg(moreIni)
                      .toLatin1());
        WriteFile(folder + "/D/PROGRAM/MAIN.BAS", "10 END\r\n");
    }
}

// The STOCK demo project's members as run-demo.sh packs them, with the plain bytes each
// reaches the terminal as.
inline std::vector<PackMember> DemoStockMembers() {
    const QString demo = QStringLiteral(TARVIK_SOURCE_DIR "/resources/demo-projects");
    return {{"D:\\PROGRAM\\STOCK.bas", ReadFile(demo + "/stock/STOCK.bas")},
            {"D:\\STOCK\\SMALL.cft", ReadFile(demo + "/fonts/SMALL.cft")},
            {"C:\\STOCK\\ITEMS.DAT", ReadFile(demo + "/stock/ITEMS.DAT")},
            {"D:\\STOCK\\ITEMS.LKP", ReadFile(demo + "/stock/ITEMS.LKP")},
            {"E:\\STOCK\\COUNTS.DAT", ReadFile(demo + "/stock/COUNTS.DAT")}};
}
