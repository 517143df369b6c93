// The old protocol's RTK page and the auto-base support setting.
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include "app_config.h"
#include "auto_base_settings.h"
#include "config_paths.h"
#include "jsettings.h"
#include "page_fixture.h"

namespace varnok_test {
namespace {

constexpr std::uint32_t kOldDeviceInfo = 0x80000000u;

struct DeviceImage {
    std::string firmware = "8.20";
    std::uint8_t output = 1, start = 0, port = 3, format = 3, mask = 15, hz = 5;
    std::uint16_t distance = 300;
};

class RtkTest : public PageTest {
protected:
    Varnok::Widget* open(const DeviceImage& image) {
        harness->connectAs(0);
        answer(image);
        Varnok::Widget* page = show("RTK");
        return page;
    }
    void answer(const DeviceImage& i) {
        harness->script().answer<void(DEVICE_STR&)>("GetInfo_DevcInfo", [i](DEVICE_STR& d) {
            unsigned char b[sizeof(DEVICE_STR)] = {};
            std::memcpy(b + 84, i.firmware.data(), 4);
            b[74] = i.output;
            b[78] = i.hz;
            b[89] = i.mask;
            b[90] = i.port;
            b[91] = i.format;
            b[110] = i.start;
            b[111] = static_cast<unsigned char>(i.distance & 0xFF);
            b[112] = static_cast<unsigned char>(i.distance >> 8);
            std::memcpy(&d, b, sizeof d);
        });
        fire(2, kOldDeviceInfo);
    }
    QComboBox* box(Varnok::Widget* page, const char* name) { return child<QComboBox>(page, name); }
};

TEST_F(RtkTest, DeviceImageFillsTheForm) {
    DeviceImage image;
    image.mask = 255;
    Varnok::Widget* page = open(image);
    EXPECT_EQ(box(page, "comboBox_outPut")->currentText(), "Raw Data");
    EXPECT_EQ(box(page, "comboBox_sendPort")->currentText(), "GPRS And Cable");
    EXPECT_EQ(box(page, "comboBox_diffMode")->currentText(), "RTCM3");
    EXPECT_EQ(box(page, "comboBox_output_freq")->currentText(), "5 Hz");
    EXPECT_EQ(box(page, "comboBox_startWay")->currentText(), "None");
    // A mask of 255 is beyond the editor: shown as read and marked, never as 0.
    EXPECT_EQ(child(page, "lineEdit_elevMask")->text(), "255");
    EXPECT_EQ(child(page, "lineEdit_elevMask")->palette().color(QPalette::Base), Qt::red);
}

// A rate no item carries is shown as none, so "Set" asks for one instead of writing 1 Hz.
TEST_F(RtkTest, UnknownRateLeavesNoSelectionAndSetIsRefused) {
    DeviceImage image;
    image.hz = 10;
    Varnok::Widget* page = open(image);
    EXPECT_EQ(box(page, "comboBox_output_freq")->currentIndex(), -1);
    harness->clearCalls();
    EXPECT_EQ(box(page, "comboBox_output_freq")->palette().color(QPalette::Base), Qt::red);
    key(page, "Set")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"Output Freq.: the receiver reports 10 Hz, which "
                                               "no item carries. Choose one to set it."});
    EXPECT_TRUE(harness->callsStartingWith("Set_").empty());
}

// A transmit port no item carries stays unselected (Set never guesses one), marked, and the
// refusal names the field and the value the receiver reported.
TEST_F(RtkTest, UnknownTransmitPortIsMarkedAndNamedOnSet) {
    DeviceImage image;
    image.port = 7;
    Varnok::Widget* page = open(image);
    QComboBox* port = box(page, "comboBox_sendPort");
    EXPECT_EQ(port->currentIndex(), -1);
    EXPECT_EQ(port->palette().color(QPalette::Base), Qt::red);
    harness->clearCalls();
    key(page, "Set")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"Transmit Port: the receiver reports 7, which no "
                                               "item carries. Choose one to set it."});
    EXPECT_TRUE(harness->callsStartingWith("Set_").empty());
    port->setCurrentIndex(port->findData(1));
    EXPECT_NE(port->palette().color(QPalette::Base), Qt::red);
    harness->prompts.shown.clear();
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(harness->callsStartingWith("Set_DevcInfo_TrsmtPort"),
              Strings{"Set_DevcInfo_TrsmtPort(1)"});
}

TEST_F(RtkTest, CapabilitiesFollowTheFirmware) {
    const struct {
        const char* firmware;
        bool distance, more, gpgga;
    } cases[] = {
        {"8.14", true, false, false}, {"8.20", false, true, false}, {"7.30", false, false, true}};
    for (const auto& c : cases) {
        DeviceImage image;
        image.firmware = c.firmware;
        image.start = 1;  // Auto Base
        Varnok::Widget* page = open(image);
        EXPECT_EQ(child(page, "leDis")->isVisibleTo(page), c.distance) << c.firmware;
        EXPECT_EQ(child<QToolButton>(page, "tbMore")->isVisibleTo(page), c.more) << c.firmware;
        EXPECT_EQ(box(page, "comboBox_outPut")->findText("GPGGA") >= 0, c.gpgga) << c.firmware;
        goBack();
        harness->disconnect();
    }
}

TEST_F(RtkTest, SetSendsInOrderAndTheDistanceWhole) {
    DeviceImage image;
    image.firmware = "8.14";
    image.start = 1;
    Varnok::Widget* page = open(image);
    const struct {
        const char* distance;
        const char* message;
    } refused[] = {{"", "Please enter parameters."}, {"70000", "Parameters out of range."}};
    for (const auto& r : refused) {
        harness->prompts.shown.clear();
        harness->clearCalls();
        child(page, "leDis")->setText(r.distance);
        key(page, "Set")->trigger();
        EXPECT_EQ(messages(), std::vector<QString>{r.message}) << r.distance;
        EXPECT_TRUE(harness->callsStartingWith("Set_").empty());
    }
    harness->prompts.shown.clear();
    harness->clearCalls();
    child(page, "leDis")->setText("300");
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(harness->calls(), (Strings{"Set_Gnss_ElevMask(15)", "Set_DevcInfo_OutPut(1)",
                                         "Set_DevcInfo_StrtTp(1)", "Set_DevcInfo_TrsmtPort(3)",
                                         "Set_DevcInfo_TrsmtFmat(3)", "Set_Position_Frq(2)",
                                         "Set_Gnss_PosFrq(2)", "Set_DevcInfo_AutoBaseDist(300)"}));
    EXPECT_FALSE(key(page, "Get")->isEnabled());
}

TEST_F(RtkTest, RadioModuleOffForLanguageTypeOneOnGprsAndCable) {
    {
        JSettings s(ConfigPaths::filePath("config"), "global", JSettings::kOpenFile);
        s.beginGroup("Language");
        s.setIntValue("CurrentType", 1);
        s.endGroup();
    }
    QString name, suffix;
    AppConfig::instance().load(name, suffix);
    if (AppConfig::instance().currentType() != 1) {
        GTEST_SKIP() << "the settings store was opened in an earlier test's directory";
    }
    Varnok::Widget* page = open(DeviceImage{});
    harness->clearCalls();
    key(page, "Set")->trigger();
    const Strings calls = harness->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "Set_Radio_Mdl(0)");
}

TEST_F(RtkTest, NoAnswerWarnsAndLeavesTheFormCleared) {
    Varnok::Widget* page = open(DeviceImage{});
    Varnok::setUiScale(0.0);
    key(page, "Get")->trigger();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Get")->isEnabled(); }));
    EXPECT_EQ(messages(), std::vector<QString>{"Failed to get parameters!"});
    EXPECT_EQ(box(page, "comboBox_outPut")->currentIndex(), -1);
}

TEST(AutoBaseSettings, MissingHoldingOneAndCorrupt) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("rtksettings.vnk").toStdString();
    EXPECT_FALSE(Varnok::AutoBaseSettings(path).isSupported());
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    {
        JSettings s(path, "rtk");
        EXPECT_EQ(s.intValue("autobasesupported", -1), 0);
        s.setIntValue("autobasesupported", 1);
    }
    EXPECT_TRUE(Varnok::AutoBaseSettings(path).isSupported());
    {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<rtk><autobasesupported>1</autobase");
    }
    EXPECT_FALSE(Varnok::AutoBaseSettings(path).isSupported());
    JSettings s(path, "rtk");
    EXPECT_EQ(s.intValue("autobasesupported", -1), 0);
}

}  // namespace
}  // namespace varnok_test
