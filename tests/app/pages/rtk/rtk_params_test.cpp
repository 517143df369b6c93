// The new protocol's RTK page: per-IO outputs, checks before sending, angles with their sign and
// the warnings after a set over a serial port.
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>

#include <cmath>
#include <map>

#include "page_fixture.h"

namespace varnok_test {
namespace {

constexpr double kArcSecond = 4.84813681109536e-6;

struct Settings {
    int mode = 3;
    double lat = 0.5, lon = 1.0, height = 10.0;
    int diff = 6;
    int baudCode = 3;
    std::map<int, bool> lists = {{1, true}, {5, false}, {6, true}};  // answered IOs
};

class RtkParamsTest : public PageTest {
protected:
    void connectNew(int kind = 2) {
        dm()->setDeviceType(1);
        Varnok::SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = 5017;
        dm()->connectDevice(kind, 1, 9600, target);
        Varnok::DeviceManagerTestAccess::setWorkingStatus(*dm(), 4);
        dm()->announce(2);
        ShellHarness::deliver();
    }
    // Every answer of a query, the three lists landing before the GUI thread runs.
    void answer(const Settings& s) {
        FakeScript& script = harness->script();
        script.answer<int()>("Get_Gnss_ElevMask", [] { return 10; });
        script.answer<int()>("Get_Gnss_Pdop_Mask", [] { return 6; });
        script.answer<void(QX_GNSS_DIFF_TYPE_ENUM&)>(
            "Get_Gnss_Diff_Type",
            [s](QX_GNSS_DIFF_TYPE_ENUM& t) { t = static_cast<QX_GNSS_DIFF_TYPE_ENUM>(s.diff); });
        script.answer<void(
            QX_GNSS_BASE_SET_STRUCT&)>("Get_Gnss_Base_Position", [s](QX_GNSS_BASE_SET_STRUCT& b) {
            b = QX_GNSS_BASE_SET_STRUCT{static_cast<std::uint16_t>(s.mode), s.lat, s.lon, s.height};
        });
        script.answer<void(QX_COM_BAUD_ENUM&)>("Get_Com_Baudrate", [s](QX_COM_BAUD_ENUM& b) {
            b = static_cast<QX_COM_BAUD_ENUM>(s.baudCode);
        });
        auto order =
            std::make_shared<std::vector<std::pair<int, bool>>>(s.lists.begin(), s.lists.end());
        auto next = std::make_shared<std::size_t>(0);
        script.answer<void(QX_DATA_CONFIG_LIST&)>(
            "Get_Gnss_Data_Configlist", [order, next](QX_DATA_CONFIG_LIST& l) {
                const auto& e = (*order)[*next % order->size()];
                ++*next;
                l = QX_DATA_CONFIG_LIST{};
                l.count = static_cast<std::uint16_t>(e.first);
                l.entries[7] = e.second ? 5 : 1;
            });
        for (std::size_t i = 0; i < s.lists.size(); ++i) {
            harness->fireFromThread(3, 0x40000u);
        }
        harness->fireFromThread(3, 0x1u | 0x2u | 0x4u | 0x8u);
        harness->fireFromThread(4, 0x80u);
        ShellHarness::deliver();
    }
    Varnok::Widget* open(const Settings& s, int kind = 2) {
        connectNew(kind);
        Varnok::Widget* page = show("RTK");
        answer(s);
        return page;
    }
    QCheckBox* box(Varnok::Widget* page, const char* name) { return child<QCheckBox>(page, name); }
    QComboBox* combo(Varnok::Widget* page, const char* name) {
        return child<QComboBox>(page, name);
    }
    void captureBase() {
        harness->script().answer<void(const QX_GNSS_BASE_SET_STRUCT*)>(
            "Send_Gnss_Base_Position", [this](const QX_GNSS_BASE_SET_STRUCT* b) {
                if (b) {
                    sentBase = *b;
                    ++baseSends;
                }
            });
    }
    QX_GNSS_BASE_SET_STRUCT sentBase{};
    int baseSends = 0;
};

TEST_F(RtkParamsTest, EachOutputBoxShowsItsOwnIo) {
    Settings s;
    s.lists = {{1, false}, {5, true}, {6, false}};
    Varnok::Widget* page = open(s);
    EXPECT_FALSE(box(page, "cbSerialPort")->isChecked());
    EXPECT_TRUE(box(page, "cbRadio")->isChecked());
    EXPECT_FALSE(box(page, "cbNetwork")->isChecked());
    EXPECT_TRUE(key(page, "Set")->isEnabled());  // all six answers in
    EXPECT_EQ(combo(page, "cbFMT")->currentText(), "RTCM3");
    EXPECT_EQ(combo(page, "cbMode")->currentText(), "Manual Base");
}

TEST_F(RtkParamsTest, AnUnansweredIoIsLeftAlone) {
    Settings s;
    s.lists = {{1, true}, {5, false}};
    Varnok::Widget* page = open(s);
    Varnok::setUiScale(0.0);  // the set wait ends at once
    harness->clearCalls();
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_Data_Unlogall"),
              Strings{"Send_Gnss_Data_Unlogall(5)"});
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_IO_DiffData"),
              Strings{"Send_Gnss_IO_DiffData(1, 6)"});
    // A click puts the network back in the batch.
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
    box(page, "cbNetwork")->click();
    harness->clearCalls();
    key(page, "Set")->trigger();
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_IO_DiffData"),
              (Strings{"Send_Gnss_IO_DiffData(1, 6)", "Send_Gnss_IO_DiffData(6, 6)"}));
}

TEST_F(RtkParamsTest, MissingOrUnacceptedInputIsRefused) {
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"leElevMask", "", "Please enter parameters."},
        {"lePdopMask", "", "Please enter parameters."},
        {"leH", "-", "Please enter parameters."},
        {"leBD", "", "Please enter parameters."},
        {"leElevMask", "300", "Parameters out of range."},
        {"lePdopMask", "256", "Parameters out of range."},
        {"leBM", "60", "Parameters out of range."},
    };
    Varnok::Widget* page = open(Settings{});
    for (const auto& c : cases) {
        key(page, "Get")->trigger();
        answer(Settings{});
        harness->prompts.shown.clear();
        harness->clearCalls();
        child(page, c.field)->setText(c.text);
        key(page, "Set")->trigger();
        EXPECT_EQ(messages(), std::vector<QString>{c.message}) << c.field << "=" << c.text;
        EXPECT_TRUE(harness->callsStartingWith("Send_").empty()) << c.field;
    }
    // No mode reported.
    harness->prompts.shown.clear();
    combo(page, "cbMode")->setCurrentIndex(-1);
    key(page, "Set")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"Please enter parameters."});
}

TEST_F(RtkParamsTest, AutoRoverSendsModeOneWithTheCachedCoordinates) {
    Settings s;
    s.lat = -0.25;
    s.lon = 2.0;
    Varnok::Widget* page = open(s);
    combo(page, "cbMode")->setCurrentIndex(combo(page, "cbMode")->findData(1));
    EXPECT_FALSE(combo(page, "cbFMT")->isVisibleTo(page));
    EXPECT_FALSE(child(page, "leBD")->isVisibleTo(page));
    captureBase();
    key(page, "Set")->trigger();
    ASSERT_EQ(baseSends, 1);
    EXPECT_EQ(sentBase.mode, 1);
    EXPECT_EQ(sentBase.lat, -0.25);
    EXPECT_EQ(sentBase.lon, 2.0);
}

// Outputs known to be on need a format: an answer that never came cannot turn into format 0.
TEST_F(RtkParamsTest, AutoRoverWithACheckedOutputAndNoFormatIsRefused) {
    Settings s;
    s.mode = 1;
    s.diff = 99;  // no item carries it
    Varnok::Widget* page = open(s);
    EXPECT_EQ(combo(page, "cbFMT")->currentIndex(), -1);
    harness->clearCalls();
    key(page, "Set")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"Please enter parameters."});
    EXPECT_TRUE(harness->callsStartingWith("Send_").empty());
}

TEST_F(RtkParamsTest, AnglesKeepTheirSignBothWays) {
    const struct {
        const char *d, *m, *s;
        double radians;
    } cases[] = {
        {"-30", "15", "0", -(30 * 3600 + 15 * 60) * kArcSecond},
        {"-0", "30", "0", -(30 * 60) * kArcSecond},
    };
    for (const auto& c : cases) {
        Settings s;
        s.lat = c.radians;
        Varnok::Widget* page = open(s);
        EXPECT_EQ(child(page, "leBD")->text(), c.d);
        EXPECT_EQ(child(page, "leBF")->text(), c.m);
        EXPECT_EQ(child(page, "leBM")->text(), "0.0000");
        captureBase();
        child(page, "leBD")->setText(c.d);
        key(page, "Set")->trigger();
        ASSERT_EQ(baseSends, 1) << c.d;
        EXPECT_EQ(sentBase.mode, 3);
        EXPECT_NEAR(sentBase.lat, c.radians, 1e-15) << c.d;
        baseSends = 0;
        goBack();
        harness->disconnect();
    }
}

// The editors show seconds to 1e-4 (about 3 mm) and the height to 1e-4 m: a reported base
// finer than that goes back exactly while untouched, and a typed field is sent as typed.
TEST_F(RtkParamsTest, AnUntouchedManualBaseGoesBackExactly) {
    Settings s;
    s.lat = 0.5 + 3.3e-11;
    s.lon = 1.0 - 4.7e-11;
    s.height = 10.00004321;
    Varnok::Widget* page = open(s);
    captureBase();
    Varnok::setUiScale(0.0);  // the set wait ends at once
    key(page, "Set")->trigger();
    ASSERT_EQ(baseSends, 1);
    EXPECT_EQ(sentBase.mode, 3);
    EXPECT_EQ(sentBase.lat, s.lat);
    EXPECT_EQ(sentBase.lon, s.lon);
    EXPECT_EQ(sentBase.height, s.height);
    // Typing the seconds or the height over: those go out as typed, the rest as read.
    child(page, "leBM")->setText("1.0000");
    child(page, "leH")->setText("12.5");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
    baseSends = 0;
    key(page, "Set")->trigger();
    ASSERT_EQ(baseSends, 1);
    const double d = std::trunc(s.lat * 180 / M_PI);
    const double m = std::trunc((s.lat * 180 / M_PI - d) * 60);
    EXPECT_NEAR(sentBase.lat, (d + m / 60 + 1.0 / 3600) * M_PI / 180, 1e-12);
    EXPECT_EQ(sentBase.lon, s.lon);
    EXPECT_EQ(sentBase.height, 12.5);
}

TEST_F(RtkParamsTest, CoordinatesOutOfRangeAreRefused) {
    Varnok::Widget* page = open(Settings{});
    const struct { const char *field, *text; } cases[] = {{"leBD", "90"}, {"leLD", "180"}};
    for (const auto& c : cases) {
        key(page, "Get")->trigger();
        answer(Settings{});
        harness->prompts.shown.clear();
        child(page, c.field)->setText(c.text);
        child(page, std::string(c.field) == "leBD" ? "leBF" : "leLM")
            ->setText(std::string(c.field) == "leBD" ? "1" : "0.5");
        key(page, "Set")->trigger();
        EXPECT_EQ(messages(), std::vector<QString>{"Parameters out of range."}) << c.field;
    }
}

TEST_F(RtkParamsTest, SerialPortWarningsAfterTheSet) {
    const struct {
        int kind;  // 0 serial, 1 Bluetooth
        const char* baud;
        bool portOn;
        const char* warning;
        bool serialListAnswered = true;
    } cases[] = {
        {0, "19200", true,
         "Serial port's baud rate has been changed, reconnect if you want to continue using it."},
        {0, "9600", true, nullptr},
        {0, "9600", false,
         "Serial port's output has been stopped, reconnect if you want to continue using it."},
        {1, "19200", true, nullptr},
        // The port's list never came, but its rate went out all the same.
        {0, "19200", true,
         "Serial port's baud rate has been changed, reconnect if you want to continue using it.",
         false},
    };
    for (const auto& c : cases) {
        Settings s;
        s.lists = {{c.serialListAnswered ? 1 : 5, true}};
        Varnok::Widget* page = open(s, c.kind);
        ASSERT_EQ(dm()->isSerialConnection(), c.kind == 0);
        ASSERT_EQ(dm()->baudRate(), 9600);
        combo(page, "cbBaud")->setCurrentIndex(combo(page, "cbBaud")->findText(c.baud));
        if (!c.portOn) {
            box(page, "cbSerialPort")->click();
        }
        harness->prompts.shown.clear();
        Varnok::setUiScale(0.0);
        key(page, "Set")->trigger();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
        ShellHarness::deliver();
        if (c.warning) {
            EXPECT_EQ(messages(), std::vector<QString>{c.warning}) << c.baud;
        } else {
            EXPECT_TRUE(messages().empty()) << c.kind << " " << c.baud;
        }
        Varnok::setUiScale(1.0);
        goBack();
        harness->disconnect();
    }
}

TEST_F(RtkParamsTest, MoreShowsOnlyForAutoBaseWithAListAnswer) {
    Settings s;
    s.mode = 2;
    Varnok::Widget* page = open(s);
    EXPECT_FALSE(child<QToolButton>(page, "tbMore")->isVisibleTo(page));
    harness->fireFromThread(3, 0x80000u);  // the base position list record
    ShellHarness::deliver();
    key(page, "Get")->trigger();
    answer(s);
    EXPECT_TRUE(child<QToolButton>(page, "tbMore")->isVisibleTo(page));
    child<QToolButton>(page, "tbMore")->click();
    ShellHarness::deliver();
    EXPECT_EQ(frame->currentPage(), frame->page("BasePosition"));
}

}  // namespace
}  // namespace varnok_test
