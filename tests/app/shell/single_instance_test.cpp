// One copy per program path: the built program started as a process.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "single_instance.h"

namespace {

using Varnok::SingleInstance;

TEST(InstanceName, FollowsThePathWithoutCase) {
    const QString a = SingleInstance::instanceName("/opt/Varnok/Varnok");
    EXPECT_EQ(a, SingleInstance::instanceName("/OPT/varnok/VARNOK"));
    EXPECT_NE(a, SingleInstance::instanceName("/opt/varnok2/varnok"));
    EXPECT_TRUE(a.startsWith("varnok-"));
    EXPECT_EQ(a.size(), 7 + 40);
}

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        program = QFileInfo(QStringLiteral(VARNOK_PROGRAM)).canonicalFilePath();
        ASSERT_FALSE(program.isEmpty());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        if (!env.contains("QT_QPA_PLATFORM")) {
            env.insert("QT_QPA_PLATFORM", "offscreen");
        }
        env.remove("VARNOK_STARTUP_PROBE");
        socket = runtime.path() + "/" + SingleInstance::instanceName(program) + ".sock";
    }
    void TearDown() override {
        for (QProcess* p : {&first, &next}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
    }
    void start(QProcess& p) {
        p.setProcessEnvironment(env);
        p.start(program, {});
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    // The copy answers once its socket is there.
    bool waitForSocket(const QProcess& owner) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            if (QFileInfo::exists(socket) && owner.state() == QProcess::Running) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    QTemporaryDir runtime;
    QString program;
    QString socket;
    QProcessEnvironment env;
    QProcess first;
    QProcess next;
};

TEST_F(ProgramProcess, ASecondStartRaisesTheFirstAndEnds) {
    start(first);
    ASSERT_TRUE(waitForSocket(first));
    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    QElapsedTimer clock;
    clock.start();
    QByteArray log;
    while (!log.contains("raise requested") && clock.elapsed() < 30000) {
        first.waitForReadyRead(100);
        log += first.readAllStandardError();
    }
    EXPECT_TRUE(log.contains("raise requested")) << log.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(ProgramProcess, AKilledCopysLockIsTakenOver) {
    start(first);
    ASSERT_TRUE(waitForSocket(first));
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QFile::remove(socket);
    start(next);
    ASSERT_TRUE(waitForSocket(next)) << "the next start runs";
    EXPECT_EQ(next.state(), QProcess::Running);
}

}  // namespace
