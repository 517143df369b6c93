// The radio capability store: loading types from the capability file and answering pages.
#include <gtest/gtest.h>

#include "radio_channels_config.h"
#include "radio_config.h"
#include "radio_config_fixture.h"
#include "temp_dir.h"

namespace {

class RadioConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("radioconfig.vnk");
        writeBytes(path_, radioConfigFixture());
    }
    TempDir dir_;
    std::string path_;
    RadioConfig radio_;
};

TEST_F(RadioConfigTest, FreshStoreHasItsInitialValues) {
    EXPECT_FALSE(radio_.loaded());
    EXPECT_EQ(radio_.received(), 0u);
    EXPECT_EQ(radio_.protocol(), -1);
    EXPECT_EQ(radio_.power(), -1);
    EXPECT_EQ(radio_.stepper(), -1);
    EXPECT_EQ(radio_.baud(), -1);
    EXPECT_EQ(radio_.capability(0), 2);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(radio_.capability(i), 1) << i;
    }
    EXPECT_EQ(radio_.minStepper(), 125);
    EXPECT_EQ(radio_.maxStepper(), 250);
}

TEST_F(RadioConfigTest, StatesFollowTheNumberOfListEntries) {
    const struct {
        int type;
        int state;
        size_t powers;
    } cases[] = {{5, 1, 0}, {3, 1, 1}, {7, 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        RadioConfig radio;
        ASSERT_EQ(radio.loadForType(c.type, path_), 0);
        EXPECT_TRUE(radio.loaded());
        EXPECT_EQ(radio.radioType(), c.type);
        EXPECT_EQ(radio.powers().size(), c.powers);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(radio.capability(i), c.state) << i;
        }
        EXPECT_EQ(radio.capability(0), 2);
    }
}

TEST_F(RadioConfigTest, ReadsListsAndOptionalFeatures) {
    ASSERT_EQ(radio_.loadForType(7, path_), 0);
    EXPECT_EQ(radio_.name(), "Double");
    EXPECT_EQ(radio_.minFrequency(), 410.0);
    EXPECT_EQ(radio_.maxFrequency(), 430.0);
    EXPECT_EQ(radio_.powers(), (std::vector<int>{10, 35}));
    std::vector<int> ids;
    radio_.protocols(ids);
    EXPECT_EQ(ids, (std::vector<int>{0, 2}));
    EXPECT_EQ(radio_.protocolName(2), "Satel");
    EXPECT_EQ(radio_.protocolName(9), "");
    EXPECT_EQ(radio_.minStepper(), 125);
    EXPECT_EQ(radio_.maxStepper(), 250);
    EXPECT_EQ(radio_.defaultStepper(), 250);
    EXPECT_EQ(radio_.capability(4), 2);
    EXPECT_EQ(radio_.capability(9), 0);
    EXPECT_EQ(radio_.capability(-1), 0);

    ASSERT_EQ(radio_.loadForType(3, path_), 0);
    EXPECT_EQ(radio_.minStepper(), 250);
    EXPECT_EQ(radio_.maxStepper(), 250);
    EXPECT_EQ(radio_.minFrequency(), 450.5);
    EXPECT_EQ(radio_.capability(6), 1);
    EXPECT_TRUE(radio_.fecOn());
    EXPECT_EQ(radio_.sensitivity(), 1);
    EXPECT_TRUE(radio_.callSignOn());
    EXPECT_EQ(radio_.callSignInterval(), 15);
    EXPECT_EQ(radio_.callSignId(), "VK2XYZ");
}

TEST_F(RadioConfigTest, BaudsByProtocolAndStep) {
    const struct {
        int type;
        int protocol;
        int stepper;
        std::vector<int> expected;
    } cases[] = {
        {3, 1, 125, {4800, 19200}},  // "applyall" 0, first matching set
        {3, 1, 250, {9600}},         // no set matches: universal
        {3, 0, 125, {9600}},
        {5, 1, 125, {9600, 19200}},  // "applyall" missing: universal, sets ignored
        {7, 0, 250, {4800, 9600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.protocol << " " << c.stepper);
        ASSERT_EQ(radio_.loadForType(c.type, path_), 0);
        EXPECT_EQ(radio_.bauds(c.protocol, c.stepper), c.expected);
        std::vector<int> out{1, 2, 3};
        radio_.bauds(c.protocol, c.stepper, out);
        EXPECT_EQ(out, c.expected);
    }
}

TEST_F(RadioConfigTest, CompletenessNeedsTheBitsOfSupportedFeatures) {
    ASSERT_EQ(radio_.loadForType(7, path_), 0);
    radio_.setProtocol(0);
    radio_.setFrequency(420.5);
    radio_.setPower(10);
    radio_.setStepper(250);
    EXPECT_FALSE(radio_.isComplete());
    radio_.setBaud(9600);
    EXPECT_TRUE(radio_.isComplete());
    EXPECT_EQ(radio_.received(), 0x3Fu);

    ASSERT_EQ(radio_.loadForType(3, path_), 0);  // FEC supported
    EXPECT_FALSE(radio_.isComplete());
    radio_.setFecOn(false);
    EXPECT_TRUE(radio_.isComplete());
    EXPECT_EQ(radio_.frequency(), 420.5);  // current values survive a load
    EXPECT_EQ(radio_.baud(), 9600);

    radio_.clearReceived();
    EXPECT_EQ(radio_.received(), 1u);
}

TEST_F(RadioConfigTest, FailedLoadsKeepTheEarlierCapabilities) {
    ASSERT_EQ(radio_.loadForType(7, path_), 0);
    EXPECT_EQ(radio_.loadForType(42, path_), RadioConfig::kTypeNotFound);
    EXPECT_TRUE(radio_.loaded());
    EXPECT_EQ(radio_.radioType(), 42);
    EXPECT_EQ(radio_.powers(), (std::vector<int>{10, 35}));
    EXPECT_EQ(radio_.capability(1), 2);

    const std::string missing = dir_.file("none.vnk");
    RadioConfig fresh;
    EXPECT_EQ(fresh.loadForType(7, missing), 1001);
    EXPECT_FALSE(fresh.loaded());
    EXPECT_EQ(fresh.received(), 1u);
    EXPECT_FALSE(fileExists(missing));

    writeBytes(missing, "<radio/>");
    EXPECT_EQ(fresh.loadForType(7, missing), 1005);
    EXPECT_EQ(readBytes(missing), "<radio/>");
}

TEST_F(RadioConfigTest, ChannelTablesAndLists) {
    radio_.setChannelTable({{456.05, 1}, {457.05, 2}}, 0);
    radio_.setChannelTable({{430.0, 3}}, 1);
    radio_.setChannelTable({{415.05, 4}, {416.05, 5}, {417.05, 6}}, 2);
    EXPECT_EQ(radio_.channelCount(0), 2);
    EXPECT_EQ(radio_.channelCount(1), 1);
    EXPECT_EQ(radio_.channelTable(5).size(), 3u);
    EXPECT_EQ(radio_.channelTable(5)[2].value, 6);
    std::vector<double> band;
    radio_.bandChannels(1, band);
    EXPECT_EQ(band, std::vector<double>{430.0});

    const double list[] = {0.0, 430.5, 431.5};
    radio_.setChannelFrequencies(list, 2);
    std::vector<double> single;
    radio_.singleBandChannels(single);
    EXPECT_EQ(single, (std::vector<double>{0.0, 430.5}));
    radio_.setChannelFrequencies(nullptr, 5);
    EXPECT_TRUE(radio_.channelFrequencies().empty());

    radio_.setCallSign({true, 30, "CALL"});
    EXPECT_EQ(radio_.callSignId(), "CALL");
    EXPECT_EQ(radio_.received() & RadioConfig::kCallSignKnown, RadioConfig::kCallSignKnown);
}

TEST(RadioConfigSensitivity, CodingBetweenReceiverAndPage) {
    EXPECT_EQ(RadioConfig::sensitivityChoice(1), 2);
    EXPECT_EQ(RadioConfig::sensitivityChoice(2), 1);
    EXPECT_EQ(RadioConfig::sensitivityChoice(3), 0);
    EXPECT_EQ(RadioConfig::sensitivityCode(0), 3);
    EXPECT_EQ(RadioConfig::sensitivityCode(1), 2);
    EXPECT_EQ(RadioConfig::sensitivityCode(2), 1);
}

// The capability file shipped beside the program lists types 1 to 8, each with a range that
// holds the built-in channels of its band.
TEST(RadioConfigShipped, EveryListedTypeLoads) {
    TempDir dir;
    const std::string shipped = readBytes(VARNOK_SHIPPED_RADIOCONFIG);
    ASSERT_FALSE(shipped.empty()) << VARNOK_SHIPPED_RADIOCONFIG;
    const std::string path = dir.file("radioconfig.vnk");
    writeBytes(path, shipped);
    RadioChannelsConfig channels(dir.file("radiochannels.vnk"));
    bool someParticular = false;
    for (int type = 1; type <= 8; ++type) {
        SCOPED_TRACE(type);
        RadioConfig radio;
        ASSERT_EQ(radio.loadForType(type, path), 0);
        EXPECT_FALSE(radio.name().empty());
        EXPECT_LT(radio.minFrequency(), radio.maxFrequency());
        EXPECT_FALSE(radio.powers().empty());
        EXPECT_FALSE(radio.protocols().empty());
        someParticular = someParticular || !radio.applyAll();
        const int band = RadioChannelsConfig::bandOfType(type);
        for (int b = 0; b < 3; ++b) {
            if (band != 3 && band != b) {
                continue;
            }
            std::vector<double> list;
            channels.load(b, list);
            for (size_t i = 1; i < list.size(); ++i) {
                EXPECT_GE(list[i], radio.minFrequency());
                EXPECT_LE(list[i], radio.maxFrequency());
            }
        }
    }
    EXPECT_TRUE(someParticular);
    // The shipped file is already in the form a load writes back.
    EXPECT_EQ(readBytes(path), shipped);
}

}  // namespace
