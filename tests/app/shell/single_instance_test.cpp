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
    void start(QProcess& p, const QStringList& arguments = {}) {
        p.setProcessEnvironment(env);
        p.start(program, arguments);
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

    // What the first copy has written to its error output once the text is there (bounded).
    QByteArray waitForLog(QProcess& owner, const char* text) {
        QElapsedTimer clock;
        clock.start();
        while (!log.contains(text) && clock.elapsed() < 30000) {
            owner.waitForReadyRead(100);
            log += owner.readAllStandardError();
        }
        return log;
    }
    QByteArray log;
};

// The frame (full screen on a small screen) and the channel 0 editor both answer a second
// start; the frame stays full screen.
TEST_F(ProgramProcess, ASecondStartRaisesTheFirstAndEnds) {
    const struct {
        const char* what;
        QStringList arguments;
        const char* front;
    } rows[] = {
        {"the frame", {}, "Varnok: brought to the front, full screen\n"},
        {"the channel 0 editor", {"--channel0-editor"}, "Varnok: brought to the front"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        log.clear();
        start(first, r.arguments);
        ASSERT_TRUE(waitForSocket(first));
        QProcess second;
        start(second);
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_TRUE(waitForLog(first, r.front).contains("raise requested")) << log.toStdString();
        EXPECT_TRUE(log.contains(r.front)) << log.toStdString();
        EXPECT_EQ(first.state(), QProcess::Running);
        first.kill();
        ASSERT_TRUE(first.waitForFinished(10000));
        QFile::remove(socket);
    }
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
