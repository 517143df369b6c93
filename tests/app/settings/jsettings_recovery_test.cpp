// Saving safely, and surviving missing, broken and hostile files.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jsettings.h"
#include "temp_dir.h"

namespace {

TEST(JSettingsSave, FailedWriteLeavesOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("keep.vnk");
    {
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setStringValue("name", "original");
    }
    const std::string before = readBytes(path);
    ASSERT_FALSE(before.empty());

    pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The file size limit makes every write past 64 bytes fail with EFBIG.
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setStringValue("name", std::string(4096, 'x'));
        int first = s.save();
        int second = s.save();  // still unsaved, so it tries again
        ::_exit(first == 1 && second == 1 ? 0 : 10 + first);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.vnk"});
}

TEST(JSettingsSave, SaveReportsNothingToWriteAndMissingPath) {
    TempDir dir;
    const std::string path = dir.file("s.vnk");
    JSettings s(path, "root", JSettings::kOpenFile);
    EXPECT_EQ(s.save(), 0);
    EXPECT_EQ(s.save(), 1);  // nothing changed since
    s.setIntValue("v", 1);
    EXPECT_EQ(s.saveAs(dir.file("copy.vnk")), 0);
    EXPECT_NE(readBytes(dir.file("copy.vnk")).find("<v>1</v>"), std::string::npos);
    JSettings text("<root/>", "root", JSettings::kParseText);
    EXPECT_EQ(text.save(), 1001);
}

TEST(JSettingsSave, KeepsTheFileModeOfAnExistingFile) {
    TempDir dir;
    const std::string path = dir.file("mode.vnk");
    { JSettings s(path, "root", JSettings::kOpenFile); }
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    {
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setIntValue("v", 1);
    }
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

struct RecoveryCase {
    const char* name;
    const char* content;  // nullptr: no file
};

TEST(JSettingsRecovery, PathConstructorReplacesUnusableFiles) {
    const RecoveryCase cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"malformed", "<root><open></root>"},
        {"wrong root", "<other><v>1</v></other>"},
        {"no element", "<?xml version=\"1.0\"?>"},
        {"binary", "\x01\x02\xff\xfe<"},
    };
    for (const RecoveryCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("r.vnk");
        if (c.content != nullptr) {
            writeBytes(path, c.content);
        }
        {
            JSettings s(path, "root", JSettings::kOpenFile);
            EXPECT_EQ(s.status(), 0);
            EXPECT_EQ(s.intValue("v", -1), -1);
        }
        EXPECT_EQ(readBytes(path), savedHeader() + "<root/>\n");
    }
}

TEST(JSettingsRecovery, FailedOpenAfterDefaultConstructorWritesNothing) {
    TempDir dir;
    const std::string missing = dir.file("missing.vnk");
    const std::string foreign = dir.file("foreign.vnk");
    writeBytes(foreign, "<other/>");
    {
        JSettings s;
        EXPECT_EQ(s.open(missing, "root"), 1001);
        s.setIntValue("v", 1);  // no level open: ignored
        EXPECT_EQ(s.intValue("v", 2), 2);
        EXPECT_FALSE(s.endGroup());
    }
    {
        JSettings s;
        EXPECT_EQ(s.open(foreign, "root"), 1005);
        EXPECT_EQ(s.status(), 1005);
    }
    {
        JSettings s;
        EXPECT_EQ(s.open(dir.path(), "root"), 1001);  // a directory is no file
    }
    EXPECT_FALSE(fileExists(missing));
    EXPECT_EQ(readBytes(foreign), "<other/>");
}

TEST(JSettingsRecovery, HostileArraySizesAreBounded) {
    const struct {
        const char* size;
        int expected;
    } cases[] = {{"2000000000", 100000}, {"-3", 0}, {"99999999999999999999", 100000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TempDir dir;
        const std::string path = dir.file("a.vnk");
        writeBytes(path, std::string("<root><list type=\"array\"><size>") + c.size +
                             "</size><a1><v>1</v></a1></list></root>");
        JSettings s(path, "root", JSettings::kOpenFile);
        const int n = s.beginArray("list");
        EXPECT_EQ(n, c.expected);
        int sum = 0;
        for (int i = 0; i < n; ++i) {
            s.setArrayIndex(i);
            sum += s.intValue("v", 0);
        }
        s.endArray();
        EXPECT_EQ(sum, n > 0 ? 1 : 0);
    }
}

TEST(JSettingsRecovery, DeepNestingNeitherCrashesNorCorruptsTheFile) {
    TempDir dir;
    const std::string path = dir.file("deep.vnk");
    std::string deep = "<root>";
    for (int i = 0; i < 1000; ++i) {
        deep += "<g type=\"group\">";
    }
    for (int i = 0; i < 1000; ++i) {
        deep += "</g>";
    }
    deep += "</root>";
    writeBytes(path, deep);
    {
        JSettings s;
        EXPECT_EQ(s.open(path, "root"), 1001);
    }
    std::string key;
    for (int i = 0; i < 1000; ++i) {
        key += "g/";
    }
    {
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setIntValue(key + "v", 1);
        for (int i = 0; i < 1000; ++i) {
            s.beginGroup("g");
        }
        s.setIntValue("v", 2);
        for (int i = 0; i < 1000; ++i) {
            s.endGroup();
        }
        EXPECT_EQ(s.intValue(key + "v", -1), -1);
    }
    // Whatever was written, the saved file opens again.
    JSettings s;
    EXPECT_EQ(s.open(path, "root"), 0);
}

}  // namespace
