// The satellite channel page: the switches it sends, what a silent "Get" leaves, and one
// refresh per answer however often the page was shown.
#include <QCheckBox>

#include "survey_page_fixture.h"
#include "satellite_channel_control.h"

namespace varnok_test {
namespace {

using Varnok::SatelliteChannelControl;

class SatelliteChannelTest : public SurveyPageTest {
protected:
    SatelliteChannelControl* openPage() {
        page = open<SatelliteChannelControl>("SatelliteChannelControl");
        EXPECT_NE(page, nullptr);
        return page;
    }
    QCheckBox* box(const char* name) const {
        return page->findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    void setChannels(bool l2c, bool l5, bool l3) {
        cache().satelliteChannels[0] = l2c;
        cache().satelliteChannels[1] = l5;
        cache().satelliteChannels[2] = l3;
    }
    bool waiting() const { return !key(page, "Get")->isEnabled(); }

    SatelliteChannelControl* page = nullptr;
};

TEST_F(SatelliteChannelTest, SetSendsTheCheckedChannelsAsBitsAndNeverWarns) {
    connect(0);
    openPage();
    struct Case {
        bool l2c, l5, l3;
        const char* sent;
    } cases[] = {
        {false, true, false, "Set_SatelliteChannelStatus(64)"},
        {true, true, true, "Set_SatelliteChannelStatus(224)"},
        {false, false, false, "Set_SatelliteChannelStatus(0)"},
        {true, false, true, "Set_SatelliteChannelStatus(160)"},
    };
    for (const Case& c : cases) {
        box("L2CBox")->setChecked(c.l2c);
        box("L5Box")->setChecked(c.l5);
        box("L3Box")->setChecked(c.l3);
        harness->clearCalls();
        press(page, "Set");
        EXPECT_TRUE(waiting());
        EXPECT_EQ(calls("Set_SatelliteChannelStatus"), std::vector<std::string>{c.sent});
        ASSERT_TRUE(ShellHarness::waitFor([&] { return !waiting(); }));
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(SatelliteChannelTest, UnansweredGetWarnsOnceThenShowsTheKnownSwitches) {
    connect(0);
    setChannels(true, false, true);
    openPage();
    EXPECT_TRUE(box("L2CBox")->isChecked());
    EXPECT_FALSE(box("L5Box")->isChecked());
    harness->clearCalls();
    press(page, "Get");
    EXPECT_EQ(calls("Send_DeviceInfo"), std::vector<std::string>{"Send_DeviceInfo()"});
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !waiting(); }));
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Failed To Get Parameters! "});
    // The cleared boxes would read as all off: the known switches are back.
    EXPECT_TRUE(box("L2CBox")->isChecked());
    EXPECT_FALSE(box("L5Box")->isChecked());
    EXPECT_TRUE(box("L3Box")->isChecked());
    EXPECT_TRUE(box("L3Box")->isEnabled());
}

TEST_F(SatelliteChannelTest, AnsweredGetShowsTheAnswerWithoutWarning) {
    Varnok::setUiScale(0.05);
    connect(0);
    openPage();
    press(page, "Get");
    EXPECT_FALSE(box("L5Box")->isChecked());
    setChannels(false, true, false);
    announce(4);
    EXPECT_TRUE(box("L5Box")->isChecked());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !waiting(); }));
    EXPECT_TRUE(prompts.shown.empty());
}

// Each run of the answer slot flips the cached switch through the box, so every run shows.
TEST_F(SatelliteChannelTest, RepeatedVisitsRunTheAnswerSlotOnce) {
    connect(0);
    for (int visit = 0; visit < 3; ++visit) {
        openPage();
        frame->backAction()->trigger();
        ShellHarness::deliver();
    }
    openPage();
    int runs = 0;
    QObject::connect(box("L2CBox"), &QCheckBox::toggled, [this, &runs](bool on) {
        ++runs;
        cache().satelliteChannels[0] = !on;
    });
    setChannels(true, false, false);
    announce(4);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(box("L2CBox")->isChecked());
}

}  // namespace
}  // namespace varnok_test
