#include "platform/Journal.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class JournalTest : public ::testing::Test {
protected:
    JournalTest() : previous_(qgetenv("XDG_STATE_HOME")) { qputenv("XDG_STATE_HOME", state.path().toUtf8()); }
    ~JournalTest() override { qputenv("XDG_STATE_HOME", previous_); }

    QList<QByteArray> Lines() {
        QFile file(JournalPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        EXPECT_TRUE(lines.last().isEmpty());  // every line ends
        lines.removeLast();
        return lines;
    }

    QTemporaryDir state;
    QByteArray previous_;
};

TEST_F(JournalTest, ALineKeepsItsSevenFieldsWhateverTheTextsHold) {
    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC);
    ASSERT_TRUE(AppendToJournal({"10000042", "COM3", "put", {"a\tb.txt", "c\nd.txt"}, false, "Disk\r\nfull"}, when));
    ASSERT_TRUE(AppendToJournal({{}, "TQ-3100-0001", "download", {QString(5000, u'x')}, true, {}}, when));
    EXPECT_EQ(JournalPath(), state.path() + "/tarvik/journal.log");
    const QList<QByteArray> lines = Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "2026-12-08T09:30:00Z\t10000042\tCOM3\tput\ta b.txt c d.txt\tfailed\tDisk  full");
    const QList<QByteArray> second = lines[1].split('\t');
    ASSERT_EQ(second.size(), 7);
    EXPECT_EQ(second[1], "-");
    EXPECT_LT(second[4].size(), 2100);
    EXPECT_EQ(second[5], "ok");
}

TEST_F(JournalTest, TheTailReadsBackWhatWasWrittenFromTheBoundOnAndNoCutLine) {
    EXPECT_TRUE(ReadJournalTail(JournalPath()).records.isEmpty());  // not yet written
    EXPECT_EQ(ReadJournalTail(JournalPath()).error, "");
    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC);
    ASSERT_TRUE(AppendToJournal({"10000042", "COM3", "put", {"A.TXT", "C:\\DATA"}, false, "Disk\nfull"}, when));
    ASSERT_TRUE(AppendToJournal({{}, "COM4", "format", {}, true, {}}, when.addSecs(60)));
    const JournalTail all = ReadJournalTail(JournalPath());
    ASSERT_EQ(all.records.size(), 2);
    EXPECT_EQ(all.records[0].when, when);
    const JournalEntry& put = all.records[0].entry;
    EXPECT_EQ(QStringList({put.serial, put.port, put.operation, put.detail}),
              QStringList({"10000042", "COM3", "put", "Disk full"}));
    EXPECT_EQ(put.files, QStringList{"A.TXT C:\\DATA"});
    EXPECT_FALSE(put.ok);
    const JournalEntry& format = all.records[1].entry;
    EXPECT_TRUE(format.ok);
    EXPECT_EQ(format.serial, "");
    EXPECT_TRUE(format.files.isEmpty());

    const qint64 second = JournalLine(format, when.addSecs(60)).size();
    // A bound inside the first line leaves it out; one at a line's start keeps that line.
    EXPECT_EQ(ReadJournalTail(JournalPath(), second + 5).records.size(), 1);
    EXPECT_EQ(ReadJournalTail(JournalPath(), second).records.size(), 1);
    EXPECT_EQ(ReadJournalTail(JournalPath(), second - 1).records.size(), 0);
    EXPECT_EQ(ReadJournalTail(JournalPath(), QFileInfo(JournalPath()).size()).records.size(), 2);

    // A folder where the journal should be is told, not taken for an empty journal.
    EXPECT_NE(ReadJournalTail(state.path()).error, "");
}

TEST_F(JournalTest, TwoProcessesWritingAtOnceLeaveEveryLineWhole) {
    constexpr int kLines = 400;
    const QString files = QString(300, u'f');
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            for (int i = 0; i < kLines; ++i)
                AppendToJournal({QString::number(child), "COM3", "put", {files}, true, QString::number(i)});
            _exit(0);
        }
    }
    for (pid_t child : children) waitpid(child, nullptr, 0);
    const QList<QByteArray> lines = Lines();
    ASSERT_EQ(lines.size(), 2 * kLines);
    int counts[2] = {0, 0};
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        ASSERT_EQ(fields.size(), 7) << line.left(80).toStdString();
        ASSERT_EQ(fields[4].size(), files.size());
        ++counts[fields[1].toInt()];
    }
    EXPECT_EQ(counts[0], kLines);
    EXPECT_EQ(counts[1], kLines);
}

}  // namespace
