#include "fleet/WorkerPool.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// A worker as a shell script: what it writes and how it ends stand for a real worker's.
WorkerTask Script(const QString& port, const QString& script) {
    return {port, {QStringLiteral("-c"), script}};
}

QString ResultLine(const QString& port, bool ok) {
    return QStringLiteral("echo '{\"event\":\"result\",\"port\":\"%1\",\"ok\":%2,\"serial\":\"S-%1\"}'")
        .arg(port, ok ? QStringLiteral("true") : QStringLiteral("false"));
}

TEST(WorkerPoolTest, AWorkerThatDiesOrSaysNothingIsReportedAndTheOthersFinish) {
    WorkerPool pool(QStringLiteral("/bin/sh"), 2);
    QStringList progress;
    QObject::connect(&pool, &WorkerPool::progressed, [&](int task, const WorkerEvent& event) {
        progress << QStringLiteral("%1 %2 %3%").arg(task).arg(event.file).arg(event.Percent());
    });
    pool.RunToEnd({
        Script("COM1", "echo '{\"event\":\"progress\",\"port\":\"COM1\",\"file\":\"A\",\"bytes\":5,"
                       "\"done\":50,\"total\":100}'; " + ResultLine("COM1", true)),
        Script("COM2", "echo '{\"event\":\"progress\",\"port\":\"COM2\",\"file\":\"B\"'; kill -9 $$"),
        Script("COM3", "echo not json; exit 3"),
        Script("COM4", ResultLine("COM4", false) + "; exit 1"),
        Script("COM5", "sleep 0.2; " + ResultLine("COM5", true)),
    });
    const auto& outcomes = pool.Outcomes();
    ASSERT_EQ(outcomes.size(), 5u);
    EXPECT_TRUE(outcomes[0].ok);
    EXPECT_EQ(outcomes[0].values["serial"].toString(), "S-COM1");
    EXPECT_FALSE(outcomes[1].ok);
    EXPECT_EQ(outcomes[1].error, "The worker for this terminal ended abnormally.");
    EXPECT_FALSE(outcomes[2].ok);
    EXPECT_EQ(outcomes[2].error, "The worker for this terminal ended (status 3) without a result.");
    EXPECT_FALSE(outcomes[3].ok);
    EXPECT_TRUE(outcomes[4].ok);
    EXPECT_EQ(progress, QStringList{"0 A 50%"});
    EXPECT_FALSE(pool.Running());
}

TEST(WorkerPoolTest, CancelEndsTheTasksNotStartedAndTellsTheRunningOnes) {
    WorkerPool pool(QStringLiteral("/bin/sh"), 1);
    // The running worker stops at its next file on "cancel", as a real one does.
    QObject::connect(&pool, &WorkerPool::progressed, &pool, [&] { pool.Cancel(); });
    pool.RunToEnd({
        Script("COM1", "echo '{\"event\":\"progress\",\"port\":\"COM1\",\"file\":\"A\"}'; read line; "
                       "[ \"$line\" = cancel ] && echo '{\"event\":\"result\",\"port\":\"COM1\",\"ok\":false,"
                       "\"error\":\"Cancelled.\"}'"),
        Script("COM2", ResultLine("COM2", true)),
    });
    EXPECT_EQ(pool.Outcomes()[0].error, "Cancelled.");
    EXPECT_EQ(pool.Outcomes()[1].error, "Cancelled before it began.");
}

TEST(WorkerPoolTest, JobsDefaultToOnePerTerminalUpToSixteen) {
    EXPECT_EQ(WorkerJobs(0, 3), 3);
    EXPECT_EQ(WorkerJobs(0, 40), 16);
    EXPECT_EQ(WorkerJobs(2, 40), 2);
    EXPECT_EQ(WorkerJobs(0, 0), 1);
}

TEST(WorkerEventsTest, AnEventSurvivesItsLineAndALineThatIsNoEventIsRefused) {
    WorkerEvent event;
    event.kind = WorkerEvent::Kind::Result;
    event.port = "TQ-3100-0001";
    event.ok = false;
    event.text = "Device is Off-line!";
    event.values = {{"serial", "10000077"}};
    const QByteArray line = EncodeEvent(event);
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    const auto decoded = DecodeEvent(line.chopped(1));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->port, event.port);
    EXPECT_EQ(decoded->text, event.text);
    EXPECT_EQ(decoded->values, event.values);
    WorkerEvent ended;
    ended.kind = WorkerEvent::Kind::Progress;
    ended.file = "STOCK.bas";
    ended.done = 252;
    ended.total = 584;
    ended.fileEnded = true;
    const auto endedAgain = DecodeEvent(EncodeEvent(ended).chopped(1));
    ASSERT_TRUE(endedAgain);
    EXPECT_TRUE(endedAgain->fileEnded);
    EXPECT_EQ(endedAgain->Percent(), 43);
    for (const QByteArray& bad : {QByteArray("[]"), QByteArray("{\"event\":\"other\"}"), QByteArray("{"),
                                  QByteArray(kMaxWorkerLine + 1, ' ')})
        EXPECT_FALSE(DecodeEvent(bad)) << bad.left(20).toStdString();
}

}  // namespace
