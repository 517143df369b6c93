// The station list file: which lines are taken, the round trip, and a failed save.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "static_stations_config.h"

namespace {

using Varnok::StaticStation;
using Varnok::StaticStationsConfig;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(StationList, LinesTakenOrSkipped) {
    struct Case {
        const char* line;
        bool taken;
    };
    const Case cases[] = {
        {"ABCD,1,10.0.0.1,2101\r\n", true},
        {"ABCD,,,", true},
        {"<x>,1,2,3", false},
        {"ABC,1,2,3", false},
        {"ABCDE,1,2,3", false},
        {"ABCD,1,2", false},
        {"ABCD,1,2,3,4", false},
        {"", false},
    };
    for (const Case& c : cases) {
        StaticStation s;
        EXPECT_EQ(StaticStationsConfig::parseLine(QString::fromUtf8(c.line), s), c.taken) << c.line;
    }
    StaticStation s;
    ASSERT_TRUE(StaticStationsConfig::parseLine(QStringLiteral("Ärzt,ß1,1.2.3.4,80\r"), s));
    EXPECT_EQ(s.name, QStringLiteral("Ärzt"));
    EXPECT_EQ(s.port, QStringLiteral("80"));
    EXPECT_FALSE(StaticStationsConfig::isValidName("ABC"));
    EXPECT_FALSE(StaticStationsConfig::isValidName("AB,C"));
    EXPECT_FALSE(StaticStationsConfig::isValidName("<ABC"));
    EXPECT_TRUE(StaticStationsConfig::isValidName("ABCD"));
}

TEST(StationList, SaveThenLoadRoundTripsWithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("staticstations.vnk");
    StaticStationsConfig store(path);
    EXPECT_TRUE(store.stations().isEmpty());
    const QList<StaticStation> list{{"BASE", "0001", "10.0.0.1", "2101"}, {"Ärzt", "ß", "", ""}};
    ASSERT_TRUE(store.save(list));
    EXPECT_EQ(readAll(path), QByteArray("BASE,0001,10.0.0.1,2101\r\n") +
                                 QString::fromUtf8("Ärzt,ß,,\r\n").toUtf8());
    StaticStationsConfig again(path);
    ASSERT_EQ(again.stations().size(), 2);
    EXPECT_EQ(again.stations()[1].name, QStringLiteral("Ärzt"));
    EXPECT_EQ(again.stations()[0].port, QStringLiteral("2101"));
}

TEST(StationList, FailedSaveLeavesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("staticstations.vnk");
    StaticStationsConfig store(path);
    ASSERT_TRUE(store.save({{"BASE", "1", "2", "3"}}));
    const QByteArray before = readAll(path);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Files may grow to 8 bytes: the new list cannot be written.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = store.save({{"ROVR", "4444444444", "10.10.10.10", "2101"}});
        const bool replaced = store.stations().size() == 1 && store.stations()[0].name == "ROVR";
        _exit(!saved && replaced ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readAll(path), before);
}

}  // namespace
