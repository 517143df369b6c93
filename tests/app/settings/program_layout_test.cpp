// Where the program's files live: beside a program in its build folder, in the data and XDG
// folders for an installed one; shipped files are never written, credentials stay private.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "atomic_file.h"
#include "config_paths.h"
#include "jsettings.h"
#include "program_layout.h"
#include "radio_config.h"
#include "radio_config_fixture.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") {
                names.push_back(n);
            }
        }
        ::closedir(d);
    }
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// A prefix with <prefix>/bin and, when asked, the data folder an install creates.
struct Prefix {
    explicit Prefix(bool withData) {
        ::mkdir((dir.path() + "/bin").c_str(), 0755);
        if (withData) {
            ::mkdir((dir.path() + "/share").c_str(), 0755);
            ::mkdir((dir.path() + "/share/varnok").c_str(), 0755);
            ::mkdir((dir.path() + "/share/varnok/configs").c_str(), 0755);
        }
    }
    std::string bin() const { return dir.path() + "/bin"; }
    std::string data() const { return dir.path() + "/share/varnok"; }
    TempDir dir;
};

TEST(ProgramLayoutDecide, AnInstalledProgramUsesItsDataFolderAndTheXdgFolders) {
    Prefix prefix(true);
    const struct {
        const char* home;
        const char* config;
        const char* state;
        const char* configDir;
        const char* logDir;
    } cases[] = {
        {"/home/u", "", "", "/home/u/.config/varnok/configs", "/home/u/.local/state/varnok"},
        {"/home/u/", "/cfg", "/st/", "/cfg/varnok/configs", "/st/varnok"},
        // Relative XDG folders are invalid and ignored.
        {"/home/u", "cfg", "st", "/home/u/.config/varnok/configs", "/home/u/.local/state/varnok"},
        {"/", "", "", "/.config/varnok/configs", "/.local/state/varnok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.home) + " " + c.config + " " + c.state);
        for (const std::string& exeDir : {prefix.bin(), prefix.bin() + "/"}) {
            const ProgramLayout l = ProgramLayout::decide(exeDir, {c.home, c.config, c.state});
            EXPECT_TRUE(l.installed);
            EXPECT_EQ(l.configDir, c.configDir);
            EXPECT_EQ(l.logDir, c.logDir);
            EXPECT_EQ(l.dataDir, prefix.data());
            EXPECT_EQ(l.iconFile, prefix.dir.path() + "/share/icons/hicolor/64x64/apps/varnok.png");
        }
    }
}

TEST(ProgramLayoutDecide, AnythingElseKeepsEverythingBesideTheProgram) {
    Prefix noData(false);  // a binary copied into some bin/ folder
    TempDir build;
    for (const std::string& exeDir : {noData.bin(), build.path(), build.path() + "/"}) {
        SCOPED_TRACE(exeDir);
        const ProgramLayout l = ProgramLayout::decide(exeDir, {"/home/u", "/cfg", "/st"});
        std::string dir = exeDir;
        if (dir.back() == '/') {
            dir.pop_back();
        }
        EXPECT_FALSE(l.installed);
        EXPECT_EQ(l.configDir, dir + "/configs");
        EXPECT_EQ(l.dataDir, dir);
        EXPECT_EQ(l.logDir, dir);
        EXPECT_EQ(l.iconFile, dir + "/Resources/Images/varnok.png");
    }
    // The tests themselves run from the build folder.
    EXPECT_FALSE(ProgramLayout::current().installed);
    EXPECT_EQ(ProgramLayout::current().configDir,
              ProgramLayout::executableDirectory() + "/configs");
}

TEST(ProgramLayoutDecide, MissingFoldersAreCreatedForTheUserAlone) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string deep = dir.path() + "/a/b/c";
    ASSERT_TRUE(ProgramLayout::makeDirectory(deep, 0700));
    for (const std::string& d : {dir.path() + "/a", dir.path() + "/a/b", deep}) {
        EXPECT_EQ(modeOf(d), 0700u) << d;
    }
    EXPECT_EQ(modeOf(dir.path()), 0755u) << "an existing folder keeps its mode";
    EXPECT_TRUE(ProgramLayout::makeDirectory(deep, 0700));
    writeBytes(dir.file("file"), "x");
    EXPECT_FALSE(ProgramLayout::makeDirectory(dir.file("file") + "/sub", 0700));
}

// ConfigPaths as an installed program decides, on a staged prefix and a fresh home.
class InstalledPaths : public ::testing::Test {
protected:
    void SetUp() override {
        layout_ = ProgramLayout::decide(prefix_.bin(), {home_.path(), "", ""});
        ASSERT_TRUE(layout_.installed);
        ConfigPaths::setLayout(layout_);
        shipped_ = prefix_.data() + "/configs/radioconfig.vnk";
        // Not in saved form (no byte-order mark): a write-back would show in the bytes.
        writeBytes(shipped_, radioConfigFixture());
        ::chmod(shipped_.c_str(), 0644);
    }
    void TearDown() override {
        ConfigPaths::setLayout(ProgramLayout::current());
        ConfigPaths::setDirectory(std::string());
    }
    Prefix prefix_{true};
    TempDir home_;
    ProgramLayout layout_;
    std::string shipped_;
};

TEST_F(InstalledPaths, SettingsGoUnderTheUsersConfigFolder) {
    const std::string configs = home_.path() + "/.config/varnok/configs";
    EXPECT_FALSE(fileExists(configs));
    EXPECT_EQ(ConfigPaths::filePath("netserver"), configs + "/netserver.vnk");
    EXPECT_EQ(modeOf(configs), 0700u);
    EXPECT_EQ(modeOf(home_.path() + "/.config/varnok"), 0700u);
    EXPECT_EQ(ConfigPaths::shippedFilePath("radioconfig"), shipped_);
    EXPECT_TRUE(ConfigPaths::isShipped(shipped_));
    EXPECT_FALSE(ConfigPaths::isShipped(configs + "/radioconfig.vnk"));

    ConfigPaths::setLayout(ProgramLayout::decide(home_.path(), {}));
    EXPECT_FALSE(ConfigPaths::isShipped(shipped_));
    EXPECT_EQ(ConfigPaths::shippedFilePath("radioconfig"), ConfigPaths::filePath("radioconfig"))
        << "in a build folder the shipped files stand among the settings";
}

TEST_F(InstalledPaths, TheShippedCapabilityFileIsReadAndNeverWrittenBack) {
    struct stat before;
    ASSERT_EQ(::stat(shipped_.c_str(), &before), 0);
    const std::string bytes = readBytes(shipped_);

    RadioConfig radio;
    ASSERT_EQ(radio.loadForType(7), 0);
    EXPECT_TRUE(radio.loaded());
    EXPECT_FALSE(radio.name().empty());
    {
        // Even a changed document stays unsaved.
        JSettings s(shipped_, "radioconfig", JSettings::kOpenFile);
        s.setIntValue("changed", 1);
        EXPECT_NE(s.save(), 0);
    }
    struct stat after;
    ASSERT_EQ(::stat(shipped_.c_str(), &after), 0);
    EXPECT_EQ(readBytes(shipped_), bytes);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(entriesOf(prefix_.data() + "/configs"), std::vector<std::string>{"radioconfig.vnk"});
    EXPECT_FALSE(fileExists(ConfigPaths::directory() + "/radioconfig.vnk"));
}

TEST(FileModes, AFixedModeHoldsAcrossAtomicSaves) {
    TempDir dir;
    const mode_t oldMask = ::umask(022);
    const std::string secret = dir.file("netserver.vnk");
    const std::string plain = dir.file("config.vnk");
    {
        JSettings s(secret, "netserver", JSettings::kOpenFile);
        s.setFileMode(0600);
        s.setStringValue("password", "x");
    }
    { JSettings s(plain, "global", JSettings::kOpenFile); }
    EXPECT_EQ(modeOf(secret), 0600u);
    EXPECT_EQ(modeOf(plain), 0644u);

    // A copy made readable by others is closed again by the next save; other files keep theirs.
    ::chmod(secret.c_str(), 0644);
    ::chmod(plain.c_str(), 0640);
    {
        JSettings s(secret, "netserver", JSettings::kOpenFile);
        s.setFileMode(0600);
        s.setStringValue("password", "y");
    }
    { JSettings s(plain, "global", JSettings::kOpenFile); }
    EXPECT_EQ(modeOf(secret), 0600u);
    EXPECT_EQ(modeOf(plain), 0640u);

    ASSERT_TRUE(AtomicFile::write(dir.file("raw"), "bytes", 0600));
    EXPECT_EQ(modeOf(dir.file("raw")), 0600u);
    ::umask(oldMask);
}

}  // namespace
