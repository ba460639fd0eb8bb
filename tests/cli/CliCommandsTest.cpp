// tarvik-cli as a shell runs it, against a bench of emulated terminals.

#include "platform/Journal.h"
#include "project/ProjectPack.h"
#include "support/TempBench.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;

    // Every line of standard output as a JSON object; a line that is none fails the test.
    QList<QJsonObject> JsonLines() const {
        QList<QJsonObject> objects;
        for (const QByteArray& line : out.split('\n')) {
            if (line.isEmpty()) continue;
            const QJsonDocument document = QJsonDocument::fromJson(line);
            EXPECT_TRUE(document.isObject()) << line.toStdString();
            objects << document.object();
        }
        return objects;
    }
    QJsonObject For(const QString& port) const {
        for (const QJsonObject& object : JsonLines())
            if (object["port"].toString() == port) return object;
        return {};
    }
};

class CliCommandsTest : public ::testing::Test {
protected:
    CliCommandsTest() {
        bench.Add({.folder = "a", .port = "COM3", .serial = "10000042"});
        bench.Add({.folder = "b", .port = "COM4", .model = "TQ-2200", .serial = "20000013"});
        bench.Add({.folder = "old", .port = "COM5", .firmware = "A00-0.50", .serial = "30000001"});
        bench.Add({.folder = "gone", .port = "COM6", .offline = true});
        for (const char* folder : {"a", "b", "old"}) bench.WriteFile(folder, "D/PROGRAM/MAIN.BAS", "");
        // Each test's tarvik-cli runs keep a journal of their own.
        qputenv("XDG_STATE_HOME", state.path().toUtf8());
    }
    ~CliCommandsTest() override { qputenv("XDG_STATE_HOME", previousState); }

    CliRun Cli(const QStringList& arguments) {
        QProcess process;
        process.setProgram(QStringLiteral(TARVIK_MODULE_DIR "/tarvik-cli"));
        process.setArguments(arguments);
        process.setWorkingDirectory(pc.path());
        process.start();
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // SHOP.prj in the PC folder: a program, a data file and a lookup table, for a TQ-3100.
    void WriteProject() {
        const PackedProject packed = BuildProjectFile(
            {.readerKind = 1, .neededVersion = "A00-1.00"},
            {{"D:\\PROGRAM\\SHOP.bas", "PRINT 1"}, {"C:\\SHOP\\A.DAT", "data"},
             {"D:\\SHOP\\T.LKP", "table"}});
        ASSERT_EQ(packed.error, "");
        QFile file(pc.filePath("SHOP.prj"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(packed.file);
    }

    // The journal's lines from the `from`th on as "serial port operation result", sorted, as
    // the workers write them in no set order.
    static std::string Journaled(qsizetype from = 0) {
        QStringList lines;
        for (const JournalRecord& record : ReadJournalTail(JournalPath()).records.mid(from)) {
            lines << QStringList{record.entry.serial, record.entry.port, record.entry.operation,
                                 record.entry.ok ? "ok" : "failed"}
                         .join(' ');
        }
        lines.sort();
        return lines.join("; ").toStdString();
    }

    QByteArray OnBench(const char* folder, const char* path) {
        QFile file(bench.Path() + "/" + folder + "/" + path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    TempBench bench;
    QTemporaryDir pc;
    QTemporaryDir state;
    QByteArray previousState = qgetenv("XDG_STATE_HOME");
};

TEST_F(CliCommandsTest, AWrongCommandLineIsAUsageErrorAndHelpIsNot) {
    for (const QStringList& arguments :
         {QStringList{}, {"bogus"}, {"ls", "COM3"}, {"download", "SHOP.prj"},
          {"download", "SHOP.prj", "--to", "COM3", "--all"}, {"upgrade", "X.bin", "--all", "--jobs", "0"},
          {"ls", "COM3", "C:", "--color"}, {"terminals", "--baud", "1200"}}) {
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("tarvik-cli")) << arguments.join(' ').toStdString();
    }
    const CliRun help = Cli({"download", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("tarvik-cli download PROJECT.prj"));
}

TEST_F(CliCommandsTest, TerminalsListsEveryPortWithItsIdentityOrOffLine) {
    const CliRun run = Cli({"terminals", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.For("COM3")["serial"].toString(), "10000042");
    EXPECT_EQ(run.For("COM4")["model"].toString(), "TQ-2200");
    EXPECT_TRUE(run.For("COM5")["online"].toBool());
    EXPECT_FALSE(run.For("COM6")["online"].toBool());

    bench.WriteFile("a", "D/SHOP.INF", "");
    const CliRun status = Cli({"status", "--to", "COM3,COM6", "--json"});
    EXPECT_EQ(status.status, 1);
    EXPECT_EQ(status.For("COM3")["projects"].toArray(), QJsonArray{"SHOP"});
    EXPECT_EQ(status.For("COM3")["drives"].toArray().size(), 3);
    EXPECT_EQ(status.For("COM6")["error"].toString(), "Device is Off-line!");
}

TEST_F(CliCommandsTest, DownloadInstallsWhereTheChecksAllowAndReportsEachOtherTerminal) {
    WriteProject();
    const CliRun run = Cli({"download", "SHOP.prj", "--all", "--json"});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.For("COM3")["ok"].toBool());
    EXPECT_EQ(OnBench("a", "D/PROGRAM/SHOP.BAS"), "PRINT 1");
    EXPECT_EQ(OnBench("a", "C/SHOP/A.DAT"), "data");
    // Another model is refused without --yes, an old firmware always; the off-line port is
    // not asked at all.
    EXPECT_FALSE(run.For("COM4")["ok"].toBool());
    EXPECT_EQ(OnBench("b", "D/PROGRAM/SHOP.BAS"), "<missing>");
    EXPECT_TRUE(run.err.contains("COM4: The device-"));
    EXPECT_FALSE(run.For("COM5")["ok"].toBool());
    EXPECT_TRUE(run.err.contains("COM5: The device-"));
    EXPECT_EQ(run.JsonLines().size(), 3);
    // One journal line per terminal served, its serial and result.
    EXPECT_EQ(Journaled(), "10000042 COM3 download ok; 20000013 COM4 download failed; "
                           "30000001 COM5 download failed");

    const CliRun yes = Cli({"download", "SHOP.prj", "--to", "COM4", "--yes", "--members", "shop.bas"});
    EXPECT_EQ(yes.status, 0) << yes.err.toStdString();
    EXPECT_EQ(OnBench("b", "D/PROGRAM/SHOP.BAS"), "PRINT 1");
    EXPECT_EQ(OnBench("b", "C/SHOP/A.DAT"), "<missing>");
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM3", "--members", "NONE.DAT"}).status, 1);
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM3", "--entries", "7"}).status, 1);
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM4", "--yes", "--entries", "2"}).status, 0);
    EXPECT_EQ(OnBench("b", "D/SHOP/T.LKP"), "table");
    EXPECT_EQ(OnBench("b", "C/SHOP/A.DAT"), "<missing>");
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM6"}).status, 1);
}

TEST_F(CliCommandsTest, NothingIsReplacedWithoutForce) {
    bench.WriteFile("a", "C/DATA/KEEP.TXT", "terminal");
    QFile local(pc.filePath("KEEP.TXT"));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.write("pc");
    local.close();

    const CliRun refused = Cli({"put", "COM3", "KEEP.TXT", "C:\\DATA", "--json"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.For("COM3")["ok"].toBool());
    EXPECT_TRUE(refused.err.contains("COM3: C:\\DATA\\KEEP.TXT exist, Overwrite?"));
    EXPECT_EQ(OnBench("a", "C/DATA/KEEP.TXT"), "terminal");
    EXPECT_EQ(Cli({"get", "COM3", "C:\\DATA\\KEEP.TXT", "."}).status, 1);
    EXPECT_EQ(OnBench("a", "C/DATA/KEEP.TXT"), "terminal");
    EXPECT_TRUE(local.open(QIODevice::ReadOnly));
    EXPECT_EQ(local.readAll(), "pc");
    local.close();

    EXPECT_EQ(Cli({"put", "COM3", "KEEP.TXT", "C:\\DATA", "--force"}).status, 0);
    EXPECT_EQ(OnBench("a", "C/DATA/KEEP.TXT"), "pc");
    EXPECT_EQ(Cli({"format", "COM3", "C:"}).status, 1);
    EXPECT_EQ(OnBench("a", "C/DATA/KEEP.TXT"), "pc");

    // A terminal that does not answer is said to be off-line, not to lack the file, and is
    // journaled once though no operation ran.
    for (const QStringList& arguments : {QStringList{"get", "COM6", "C:\\DATA\\KEEP.TXT", "."},
                                         QStringList{"rm", "COM6", "C:\\DATA\\KEEP.TXT"}}) {
        const CliRun offline = Cli(arguments);
        EXPECT_EQ(offline.status, 1);
        EXPECT_TRUE(offline.err.contains("COM6: Device is Off-line!")) << offline.err.toStdString();
    }
    EXPECT_EQ(Journaled(3), " COM6 get failed;  COM6 rm failed");

    // Nor by a download: a data file the terminal holds may hold what was collected on it.
    WriteProject();
    bench.WriteFile("a", "C/SHOP/A.DAT", "counted");
    const CliRun kept = Cli({"download", "SHOP.prj", "--to", "COM3", "--json"});
    EXPECT_EQ(kept.status, 1);
    // Told only as a message, the refusal is still the error a script reads.
    EXPECT_EQ(kept.For("COM3")["error"].toString(),
              "C:\\SHOP\\A.DAT exist, Overwrite? (not replaced; --force replaces)");
    EXPECT_TRUE(kept.err.contains("C:\\SHOP\\A.DAT exist, Overwrite? (not replaced; --force replaces)"));
    EXPECT_EQ(OnBench("a", "D/PROGRAM/SHOP.BAS"), "PRINT 1");
    EXPECT_EQ(OnBench("a", "C/SHOP/A.DAT"), "counted");
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM3", "--keep"}).status, 0);
    EXPECT_EQ(OnBench("a", "C/SHOP/A.DAT"), "counted");
    EXPECT_EQ(Cli({"download", "SHOP.prj", "--to", "COM3", "--force"}).status, 0);
    EXPECT_EQ(OnBench("a", "C/SHOP/A.DAT"), "data");
}

TEST_F(CliCommandsTest, CollectBringsEachTerminalsDataFilesIntoItsSerialsFolder) {
    WriteProject();
    ASSERT_EQ(Cli({"download", "SHOP.prj", "--to", "COM3,COM4", "--yes"}).status, 0);
    // Each worker's operation writes its terminal's line; neither the parent nor the worker adds one.
    EXPECT_EQ(Journaled(), "10000042 COM3 download ok; 20000013 COM4 download ok");
    bench.WriteFile("a", "C/SHOP/A.DAT", "counted on a");
    const CliRun run = Cli({"collect", "SHOP", "--all", "--into", "out", "--json"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Journaled(2), "10000042 COM3 collect ok; 20000013 COM4 collect ok; 30000001 COM5 collect failed");
    const auto read = [&](const QString& path) {
        QFile file(pc.filePath("out/SHOP/" + path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };
    EXPECT_EQ(read("10000042/A.DAT"), "counted on a");
    EXPECT_EQ(read("20000013/A.DAT"), "data");
    EXPECT_EQ(read("10000042/T.LKP"), "table");
    EXPECT_EQ(read("10000042/SHOP.bas"), "<missing>");
    EXPECT_FALSE(run.For("COM5")["installed"].toBool());

    // A second collect keeps what the first brought unless told to replace it.
    bench.WriteFile("a", "C/SHOP/A.DAT", "later");
    EXPECT_EQ(Cli({"collect", "SHOP", "--from", "COM3", "--into", "out"}).status, 1);
    EXPECT_EQ(read("10000042/A.DAT"), "counted on a");
    // --keep keeps them too, and says nothing: it is what was asked for.
    const CliRun kept = Cli({"collect", "SHOP", "--from", "COM3", "--into", "out", "--keep"});
    EXPECT_EQ(kept.status, 0);
    EXPECT_TRUE(kept.err.isEmpty()) << kept.err.toStdString();
    EXPECT_EQ(read("10000042/A.DAT"), "counted on a");
    EXPECT_EQ(Cli({"collect", "SHOP", "--from", "COM3", "--into", "out", "--force", "--keep"}).status, 2);
    EXPECT_EQ(Cli({"collect", "SHOP", "--from", "COM3", "--into", "out", "--force"}).status, 0);
    EXPECT_EQ(read("10000042/A.DAT"), "later");
    EXPECT_EQ(Cli({"collect", "SHOP", "--from", "COM5", "--into", "out"}).status, 1);
    // Every terminal passed over is no collect at all.
    const CliRun nowhere = Cli({"collect", "NOPE", "--all", "--into", "out"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_TRUE(nowhere.err.contains("No terminal has the project NOPE installed.")) << nowhere.err.toStdString();
}

}  // namespace
