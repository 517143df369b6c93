#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "BVComm/Exception.h"
#include "BVComm/Logger.h"
#include "TempDir.h"

using Brevan2011::BVCore::Exception;
using Brevan2011::BVCore::Logger;
using varnok_test::readFile;
using varnok_test::TempDir;

namespace {

std::time_t utc(int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return ::timegm(&t);
}

// A logger registered under a spare id for one test.
class LoggerFile : public ::testing::Test {
protected:
    static constexpr int kId = 42;
    void SetUp() override {
        path_ = dir_.file("test.log");
        ASSERT_EQ(Logger::create(kId, path_, 2), 1);
        logger_ = Logger::find(kId);
        ASSERT_TRUE(logger_);
    }
    void TearDown() override {
        Logger::remove(kId);
        Logger::setClock({});
    }
    TempDir dir_;
    std::string path_;
    std::shared_ptr<Logger> logger_;
};

}  // namespace

TEST(LoggerTimeStamp, UtcPlusEightCarriesIntoTheDate) {
    struct Case {
        std::time_t at;
        const char* stamp;
    } cases[] = {
        {utc(2016, 3, 1, 17, 5, 9), "2016-03-02 01:05:09"},
        {utc(2016, 12, 31, 16, 0, 0), "2017-01-01 00:00:00"},
        {utc(2016, 2, 28, 23, 59, 59), "2016-02-29 07:59:59"},
        {utc(2016, 3, 1, 15, 59, 59), "2016-03-01 23:59:59"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Logger::timeStamp(c.at), c.stamp);
    }
}

TEST_F(LoggerFile, ThresholdDecidesWhatIsWritten) {
    Logger::setClock([] { return utc(2016, 3, 1, 17, 5, 9); });
    struct Case {
        int level;
        bool written;
    } cases[] = {{0, false}, {1, false}, {2, true}, {5, true}};
    std::string expected;
    for (const Case& c : cases) {
        Logger::log(logger_, c.level, "message %d", c.level);
        if (c.written) {
            expected += "2016-03-02 01:05:09 message " + std::to_string(c.level) + " [" +
                        std::to_string(c.level) + "]\n";
        }
        EXPECT_EQ(readFile(path_), expected) << "level " << c.level;
    }
    logger_->setLevel(0);
    Logger::log(logger_, 0, "now %s", "seen");
    EXPECT_NE(readFile(path_).find("now seen [0]\n"), std::string::npos);
}

TEST_F(LoggerFile, LongMessageIsCutToTheBuffer) {
    const std::string longText(1500, 'x');
    Logger::log(logger_, 3, "%s", longText.c_str());
    const std::string line = readFile(path_);
    const std::string expectedText(1023, 'x');
    EXPECT_NE(line.find(" " + expectedText + " [3]\n"), std::string::npos);
    EXPECT_EQ(line.find(std::string(1024, 'x')), std::string::npos);
}

TEST_F(LoggerFile, WideTextBecomesUtf8) {
    Logger::logW(logger_, 2, L"%ls=%d", L"h\u00e9\u20ac\U0001F600", 5);
    EXPECT_NE(readFile(path_).find(" h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80=5 [2]\n"),
              std::string::npos);
    const std::wstring longWide(1500, L'w');
    Logger::logW(logger_, 2, L"%ls", longWide.c_str());
    // glibc reports truncation with -1: the text still ends inside the buffer.
    const std::string text = readFile(path_);
    EXPECT_EQ(text.find(std::string(1024, 'w')), std::string::npos);
}

TEST_F(LoggerFile, CreateWithATakenIdKeepsTheFirst) {
    TempDir other;
    EXPECT_EQ(Logger::create(kId, other.file("second.log"), 0), 0);
    EXPECT_EQ(Logger::find(kId), logger_);
    logger_->writeSeparator();
    EXPECT_EQ(readFile(path_), "\n--------------------\n");
    EXPECT_EQ(logger_->fileName(), path_);
}

TEST(Logger, UnopenableFileThrowsByValue) {
    EXPECT_THROW(Logger::create(43, "/nonexistent-dir/x/y.log", 0), Exception);
    EXPECT_EQ(Logger::find(43), nullptr);
    try {
        Logger::create(43, "/nonexistent-dir/x/y.log", 0);
    } catch (const Exception& e) {
        EXPECT_EQ(e.text(0), "fail to open log file");
    }
    Logger::log(nullptr, 9, "no logger: nothing happens");
}

TEST(Logger, BaseNamesGoToTheLogDirectory) {
    TempDir dir;
    const std::string before = Brevan2011::BVCore::logDirectory();
    Brevan2011::BVCore::setLogDirectory(dir.path());
    EXPECT_EQ(Brevan2011::BVCore::logPath("socket.log"), dir.path() + "/socket.log");
    EXPECT_EQ(Brevan2011::BVCore::logPath("/abs/x.log"), "/abs/x.log");
    Brevan2011::BVCore::setLogDirectory(before);
}

TEST(LoggerDeathTest, UnwritableLogDirectoryLeavesNoDefaultLogger) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process: the default logger is made on its first lookup there.
    EXPECT_EXIT(
        {
            Brevan2011::BVCore::setLogDirectory("/proc/no-such-dir");
            auto logger = Logger::defaultLogger();
            Logger::log(logger, 5, "lost");
            std::exit(logger == nullptr && Logger::socketOrDefault() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
