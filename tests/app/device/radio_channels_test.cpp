// LogicContext's radio channel part: the default-channel check after connecting over a fake
// session, the default tables and the questions about the radio record.
#include <QFile>
#include <QTemporaryDir>

#include "config_paths.h"
#include "device_test_support.h"
#include "radio_channels_config.h"
#include "radio_config.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;
using Varnok::LogicContext;
using Strings = std::vector<std::string>;

constexpr std::uint32_t kSpacingBit = 0x10000;

class ChannelCheck : public DeviceFixture {
protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
        savedDirectory_ = ConfigPaths::directory();
        ConfigPaths::setDirectory(dir_.path().toStdString());
        ASSERT_TRUE(connectTcp(2));
        DeviceManagerTestAccess::setWorkingStatusExtension(*dm, true);
        setRadio(1, 0, 12.5);
        fake.script->clear();
    }

    void TearDown() override {
        DeviceFixture::TearDown();
        ConfigPaths::setDirectory(savedDirectory_);
    }

    void setRadio(int type, std::uint32_t word, double spacingKHz) {
        Radio_Info& r = DeviceManagerTestAccess::cache(*dm).radioInfo;
        r.radioType = type;
        r.wordC = word;
        r.spacing = spacingKHz;
    }

    // The receiver's channel frequency list arrives.
    void answerChannels(const std::vector<double>& freqs) {
        DeviceManagerTestAccess::cache(*dm).channelFreqs = freqs;
        dm->announce(71);
        deliver();
    }
    void answerSpacing(int code) {
        DeviceManagerTestAccess::cache(*dm).channelSpace = code;
        dm->announce(20);
        deliver();
    }
    void connected() {
        LogicContext::instance()->onWorkingStatus(4);
        deliver();
    }

    Strings writes() const { return fake.script->linesStartingWith("Set_Radio_Channel_Freq"); }

    QTemporaryDir dir_;
    std::string savedDirectory_;
};

Strings highBandWrites(int space) {
    const char* mhz[] = {"0",      "456.05", "456.55", "457.05", "458.05",
                         "459.05", "460.05", "461.05", "462.05", "462.55"};
    Strings out;
    for (int i = 0; i < 10; ++i) {
        out.push_back("Set_Radio_Channel_Freq(" + std::to_string(i) + ", " + mhz[i] + ", " +
                      std::to_string(space) + ")");
    }
    return out;
}

TEST_F(ChannelCheck, UnsetTableOfAHighBandModuleGetsTheTenDefaultRows) {
    setRadio(1, 0, 20.0);
    connected();
    EXPECT_EQ(fake.script->lines(), (Strings{"Query_Radio_ChannelList_Freq()"}));
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_EQ(writes(), highBandWrites(1));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(ConfigPaths::filePath("radiochannels"))));
}

TEST_F(ChannelCheck, ASetTableAnEmptyAnswerOrAnUnknownModuleWriteNothing) {
    const struct {
        const char* name;
        int type;
        std::vector<double> freqs;
        std::size_t written;
    } cases[] = {
        {"two frequencies", 1, {455.0, 455.0, 456.0}, 0},
        {"empty answer", 1, {}, 0},
        {"one channel counts as unset", 1, {455.0}, 10},
        {"module of no known band", 9, std::vector<double>(16, 455.0), 0},
        {"low band", 2, std::vector<double>(16, 0.0), 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRadio(c.type, 0, 12.5);
        fake.script->clear();
        connected();
        answerChannels(c.freqs);
        EXPECT_EQ(writes().size(), c.written);
    }
}

TEST_F(ChannelCheck, ASpanningModuleWritesTenHighThenSixMiddleChannels) {
    setRadio(8, 0, 25.0);
    connected();
    answerChannels(std::vector<double>(16, 455.0));
    const Strings w = writes();
    ASSERT_EQ(w.size(), 16u);
    EXPECT_EQ(Strings(w.begin(), w.begin() + 10), highBandWrites(2));
    EXPECT_EQ(w[10], "Set_Radio_Channel_Freq(10, 0, 2)");
    EXPECT_EQ(w[11], "Set_Radio_Channel_Freq(11, 430, 2)");
    EXPECT_EQ(w[15], "Set_Radio_Channel_Freq(15, 440, 2)");
}

TEST_F(ChannelCheck, ASettableSpacingWaitsForBothAnswersAndSendsTheReceiversCode) {
    setRadio(1, kSpacingBit, 12.5);
    connected();
    EXPECT_EQ(fake.script->lines(),
              (Strings{"Send_Radio_ChannelSpace()", "Query_Radio_ChannelList_Freq()"}));
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_TRUE(writes().empty());
    answerSpacing(2);
    EXPECT_EQ(writes(), highBandWrites(2));

    // The next receiver's module has no spacing bit: the list alone completes its check.
    setRadio(1, 0, 12.5);
    fake.script->clear();
    connected();
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_EQ(writes(), highBandWrites(0));
}

TEST_F(ChannelCheck, ASecondConnectedStatusMidCheckWritesOnce) {
    connected();
    connected();
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_EQ(writes().size(), 10u);
    // The check is over: later answers change nothing.
    fake.script->clear();
    answerChannels(std::vector<double>(16, 455.0));
    answerSpacing(0);
    EXPECT_TRUE(writes().empty());
}

TEST_F(ChannelCheck, ASpacingAnswerAnotherPageAskedForDoesNotStallTheCheck) {
    connected();
    answerSpacing(1);
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_EQ(writes().size(), 10u);
}

TEST_F(ChannelCheck, OnlyConnectedStatusOfAReceiverWithTheExtensionStartsACheck) {
    for (int status : {0, 1, 2, 3, 5}) {
        LogicContext::instance()->onWorkingStatus(status);
    }
    DeviceManagerTestAccess::setWorkingStatusExtension(*dm, false);
    connected();
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_TRUE(fake.script->lines().empty());
}

TEST_F(ChannelCheck, ThroughTheHubsWorkingStatus) {
    LogicContext::instance()->connectWorkingStatus();
    Varnok::DeviceObserver::instance()->workingStatus(4);
    deliver();
    answerChannels(std::vector<double>(16, 455.0));
    EXPECT_EQ(writes().size(), 10u);
}

TEST_F(ChannelCheck, SpacingCodeFromTheRecordUnlessSettable) {
    DeviceManagerTestAccess::cache(*dm).channelSpace = 2;
    setRadio(1, 0, 20.04);
    EXPECT_EQ(LogicContext::channelSpaceCode(), 1);
    setRadio(1, 0, 22.0);
    EXPECT_EQ(LogicContext::channelSpaceCode(), 2);
    setRadio(1, kSpacingBit, 12.5);
    EXPECT_EQ(LogicContext::channelSpaceCode(), 2);
    EXPECT_TRUE(LogicContext::isChannelSpaceSettable());
    EXPECT_TRUE(LogicContext::radioHasChannelSpacing());
    setRadio(1, 0, 12.5);
    EXPECT_FALSE(LogicContext::isChannelSpaceSettable());
}

TEST_F(ChannelCheck, TransmittingModuleTypes) {
    for (int type = -1; type <= 11; ++type) {
        setRadio(type, 0, 12.5);
        EXPECT_EQ(LogicContext::isExtendedRadioType(), type < 1 || type > 5) << type;
        EXPECT_EQ(LogicContext::radioCanTransmit(), type < 1 || type > 5) << type;
    }
}

TEST_F(ChannelCheck, DefaultTablesByProtocolAndModule) {
    const std::vector<double> seed{1.0};
    struct Lists {
        std::vector<double> single, high, middle, low;
    };
    auto load = [&] {
        Lists l{seed, seed, seed, seed};
        LogicContext::defaultChannelTables(l.single, l.high, l.middle, l.low);
        return l;
    };
    RadioChannelsConfig file;
    std::vector<double> high, middle, low;
    file.load(0, high);
    file.load(1, middle);
    file.load(2, low);

    // New protocol, module 7: the three bands, the single list as passed.
    dm->setDeviceType(1);
    RadioConfig::instance().loadForType(7);
    Lists l = load();
    EXPECT_EQ(l.single, seed);
    EXPECT_EQ(l.high, high);
    EXPECT_EQ(l.middle, middle);
    EXPECT_EQ(l.low, low);
    // Module 3 is the middle band, 6 the low, 4 the high.
    RadioConfig::instance().loadForType(3);
    EXPECT_EQ(load().single, middle);
    RadioConfig::instance().loadForType(6);
    EXPECT_EQ(load().single, low);
    RadioConfig::instance().loadForType(4);
    l = load();
    EXPECT_EQ(l.single, high);
    EXPECT_EQ(l.high, seed);

    // Old protocol: the channel file's band of the record's module type.
    dm->setDeviceType(2);
    setRadio(5, 0, 12.5);
    EXPECT_EQ(load().single, middle);
    setRadio(8, 0, 12.5);
    l = load();
    EXPECT_EQ(l.low, low);
    EXPECT_EQ(l.single, seed);
    setRadio(9, 0, 12.5);
    l = load();
    EXPECT_EQ(l.single, seed);
    EXPECT_EQ(l.high, seed);
}

}  // namespace
}  // namespace varnok_test
