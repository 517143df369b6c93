// The old protocol's static page: what it shows of the device record and the static point,
// what "Set", "Start" and "Stop" send, and what it refuses.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstring>

#include "survey_page_fixture.h"
#include "static.h"
#include "timer_scale.h"

namespace varnok_test {
namespace {

using Varnok::Static;

class StaticTest : public SurveyPageTest {
protected:
    Static* openStatic(int deviceType = 0, int board = 0, bool statusQuery = false) {
        connect(deviceType, board, /*firmwareFlag=*/true, statusQuery);
        page = open<Static>("Static");
        EXPECT_NE(page, nullptr);
        return page;
    }
    template <class T>
    T* child(const char* name) const {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* combo(const char* name) const { return child<QComboBox>(name); }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }
    static bool isRed(QWidget* w) { return w->palette().color(QPalette::Base) == Qt::red; }
    static void setDeviceBytes(int mode, int session, int interval, int mask, int memory) {
        auto* d = reinterpret_cast<unsigned char*>(&cache().deviceInfo);
        d[76] = static_cast<unsigned char>(mode);
        d[77] = static_cast<unsigned char>(session);
        d[81] = static_cast<unsigned char>(interval);
        d[82] = static_cast<unsigned char>(mask);
        d[83] = static_cast<unsigned char>(memory);
    }
    static void choose(QComboBox* box, const QString& text) {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
    }
    void fillRecording() {
        choose(combo("comboBox_record_method"), "Auto");
        choose(combo("comboBox_record_period"), "1 week");
        choose(combo("comboBox_sample_gap"), "5 s");
        edit("leMask")->setText("10");
    }

    Static* page = nullptr;
};

TEST_F(StaticTest, ShowsTheDeviceRecordAndSelectsNothingForUnknownCodes) {
    openStatic();
    struct Case {
        int mode, session, interval, mask, memory;
        QString modeText, sessionText, intervalText, memoryText;
    } cases[] = {
        {1, 128, 5, 10, 0, "Auto", "1 week", "5 s", "64MB"},
        {0, 0, 1, 15, 3, "Manual", "Manual", "1 Hz", "16GB"},
        {2, 24, 60, 5, 255, "Disable", "1 day", "60 s", "64MB"},
        {2, 24, 120, 5, 255, "Disable", "1 day", "2 Min", "64MB"},
        {5, 5, 121, 0, 7, "", "", "", ""},
    };
    for (const Case& c : cases) {
        setDeviceBytes(c.mode, c.session, c.interval, c.mask, c.memory);
        announce(4);
        EXPECT_EQ(combo("comboBox_record_method")->currentText(), c.modeText) << c.mode;
        EXPECT_EQ(combo("comboBox_record_period")->currentText(), c.sessionText) << c.session;
        EXPECT_EQ(combo("comboBox_sample_gap")->currentText(), c.intervalText) << c.interval;
        EXPECT_EQ(edit("lineEdit_memory")->text(), c.memoryText) << c.memory;
        EXPECT_EQ(edit("leMask")->text(), QString::number(c.mask));
    }
    // An unknown mode gives no value to write back: "Set" asks for it.
    prompts.shown.clear();
    harness->clearCalls();
    press(page, "Set");
    EXPECT_TRUE(calls("Set_").empty());
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Please enter parameters."});
    EXPECT_TRUE(isRed(combo("comboBox_record_method")));
}

TEST_F(StaticTest, IntervalListFollowsDeviceAndBoard) {
    openStatic(2);
    EXPECT_EQ(combo("comboBox_sample_gap")->itemText(0), "10 Hz");
    frame->backAction()->trigger();
    harness->disconnect();
    openStatic(0, 7);
    QComboBox* gap = combo("comboBox_sample_gap");
    EXPECT_EQ(gap->itemText(0), "2 Hz");
    EXPECT_EQ(gap->findText("5 Hz"), -1);
    EXPECT_EQ(gap->itemText(gap->count() - 1), "2 Min");
    EXPECT_EQ(gap->itemData(gap->count() - 1).toInt(), 120);
}

// A height the receiver reports beyond what the editor shows is shown in a form the editor
// takes, marked when that form is not the value, and written back bit for bit unless typed over.
TEST_F(StaticTest, HeightBeyondTheEditorGoesBackAsRead) {
    struct Case {
        std::uint32_t bits;
        QString shown;
        bool marked;
    } cases[] = {
        {0x00000751u, "0.0000", true},  // 2.62463e-42
        {0x3F9E064Bu, "1.2346", true},  // 1.234567: more decimals than the editor takes
        {0x3FC00000u, "1.5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        openStatic();
        child<QCheckBox>("checkBox_advance")->setChecked(true);
        setDeviceBytes(1, 128, 5, 10, 0);
        announce(4);
        Brevan2011::BVParse::Static_Point p{};
        p.nameLength = 4;
        std::memcpy(p.name, "PT01", 4);
        p.value = c.bits;
        p.byteField = 3;
        p.method = 4;
        cache().staticPoint = p;
        std::strcpy(cache().staticAntType, "ZORK45");
        announce(5);
        QLineEdit* height = edit("lineEdit_antenna_height");
        QString text = height->text();
        EXPECT_EQ(text, c.shown);
        int at = 0;
        EXPECT_EQ(height->validator()->validate(text, at), QValidator::Acceptable)
            << text.toStdString();
        EXPECT_EQ(isRed(height), c.marked) << text.toStdString();
        Brevan2011::BVParse::Static_Point sent{};
        harness->script().answer<void(Brevan2011::BVParse::Static_Point*)>(
            "Set_Static_Point", [&sent](Brevan2011::BVParse::Static_Point* sp) {
                if (sp) {
                    sent = *sp;
                }
            });
        prompts.shown.clear();
        harness->clearCalls();
        press(page, "Set");
        EXPECT_TRUE(shownTexts().empty());
        ASSERT_EQ(calls("Set_Static_Point").size(), 1u);
        EXPECT_EQ(sent.value, c.bits);

        // Typed over: the typed value goes out.
        ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
        height->setText("2");
        emit height->textEdited("2");
        harness->clearCalls();
        press(page, "Set");
        EXPECT_EQ(sent.value, 0x40000000u);
        frame->backAction()->trigger();
        harness->disconnect();
    }
}

TEST_F(StaticTest, ElevationMaskAboveNinetyIsRefused) {
    openStatic();
    fillRecording();
    edit("leMask")->setText("95");
    harness->clearCalls();
    press(page, "Set");
    EXPECT_TRUE(calls("Set_").empty());
    EXPECT_EQ(shownTexts(),
              std::vector<QString>{"Elevation Mask should be between 0 and 90 degrees."});
    EXPECT_TRUE(isRed(edit("leMask")));
    edit("leMask")->setText("90");
    prompts.shown.clear();
    press(page, "Set");
    EXPECT_TRUE(shownTexts().empty());
    EXPECT_EQ(calls("Set_DevcInfo_Mask"), std::vector<std::string>{"Set_DevcInfo_Mask(90)"});
}

// Without a status answer in the page's query time the status is unknown: it says so, and
// Start and Stop are both offered (each still asks first). Without a status query the page
// cannot know either.
TEST_F(StaticTest, UnansweredStatusIsShownUnknownAndOffersStartAndStop) {
    Varnok::setUiScale(0.5);
    openStatic(0, 0, /*statusQuery=*/true);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: unknown");
    EXPECT_FALSE(key(page, "Start")->isEnabled());
    EXPECT_FALSE(key(page, "Stop")->isEnabled());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Start")->isEnabled(); },
                                      std::chrono::seconds(30)));
    EXPECT_TRUE(key(page, "Stop")->isEnabled());
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: unknown");
    prompts.answers = {QMessageBox::No};
    prompts.shown.clear();
    harness->clearCalls();
    key(page, "Stop")->trigger();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(calls("Set_Static_Begin").empty());
    // A late answer still rules.
    cache().staticStatus = true;
    announce(39);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: ON");
    EXPECT_FALSE(key(page, "Start")->isEnabled());
    frame->backAction()->trigger();
    harness->disconnect();

    openStatic(0, 0, /*statusQuery=*/false);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: unknown");
}

TEST_F(StaticTest, StaticPointSelectsTheAntennaByCodeOrByTypeNumber) {
    openStatic();
    child<QCheckBox>("checkBox_advance")->setChecked(true);
    Brevan2011::BVParse::Static_Point p{};
    p.nameLength = 4;
    std::memcpy(p.name, "PT01", 4);
    const float h = 1.5f;
    std::memcpy(&p.value, &h, sizeof h);
    p.byteField = 3;
    p.method = 4;
    cache().staticPoint = p;
    std::strcpy(cache().staticAntType, "NOT-A-KNOWN-CODE");
    announce(5);
    EXPECT_EQ(edit("lineEdit_Point")->text(), "PT01");
    EXPECT_EQ(edit("lineEdit_antenna_height")->text(), "1.5");
    // The code is unknown: the type number's code names the antenna.
    EXPECT_EQ(combo("comboBox_antenna_type")->currentText(), "P315B");
    EXPECT_EQ(combo("comboBox_survey_to")->currentText(), "Slant");

    std::strcpy(cache().staticAntType, "ZORK45");
    cache().staticPoint.method = -1;
    announce(5);
    EXPECT_EQ(combo("comboBox_antenna_type")->currentText(), "K45");
    EXPECT_EQ(combo("comboBox_survey_to")->currentIndex(), -1);
}

TEST_F(StaticTest, SetWithoutAntennaParametersSendsTheFourSettings) {
    openStatic();
    fillRecording();
    harness->clearCalls();
    press(page, "Set");
    EXPECT_EQ(calls("Set_"),
              (std::vector<std::string>{"Set_DevcInfo_RrdTp(1)", "Set_DevcInfo_RrdTime(128)",
                                        "Set_DevcInfo_RrdFrq(5)", "Set_DevcInfo_Mask(10)"}));
    EXPECT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
}

TEST_F(StaticTest, SetWithAntennaParametersSendsThePointAndItsCode) {
    openStatic();
    Brevan2011::BVParse::Static_Point sent{};
    harness->script().answer<void(Brevan2011::BVParse::Static_Point*)>(
        "Set_Static_Point", [&sent](Brevan2011::BVParse::Static_Point* p) {
            if (p) {
                sent = *p;
            }
        });
    fillRecording();
    child<QCheckBox>("checkBox_advance")->setChecked(true);
    edit("lineEdit_Point")->setText("PT01");
    choose(combo("comboBox_antenna_type"), "K45");
    edit("lineEdit_antenna_height")->setText("1.5");
    choose(combo("comboBox_survey_to"), "Slant");
    harness->clearCalls();
    press(page, "Set");
    EXPECT_EQ(calls("Set_"), (std::vector<std::string>{
                                 "Set_DevcInfo_RrdTp(1)", "Set_DevcInfo_RrdTime(128)",
                                 "Set_DevcInfo_RrdFrq(5)", "Set_DevcInfo_Mask(10)",
                                 "Set_Static_Point(&{})", "Set_Static_AntType(\"ZORK45\")"}));
    EXPECT_EQ(sent.nameLength, 4);
    EXPECT_EQ(std::string(sent.name, 4), "PT01");
    EXPECT_EQ(sent.value, 0x3FC00000u);
    EXPECT_EQ(sent.byteField, 28);
    EXPECT_EQ(sent.method, 4);
}

TEST_F(StaticTest, SetRefusesMissingOrUnreadableAntennaParameters) {
    openStatic();
    fillRecording();
    child<QCheckBox>("checkBox_advance")->setChecked(true);
    struct Case {
        QString name, height;
        bool surveyTo;
        const char* red;
    } cases[] = {
        {"", "1.5", true, "lineEdit_Point"},
        {"PT01", "abc", true, "lineEdit_antenna_height"},
        {"PT01", "", true, "lineEdit_antenna_height"},
        {"PT01", "1.5", false, "comboBox_survey_to"},
    };
    for (const Case& c : cases) {
        edit("lineEdit_Point")->setText(c.name);
        edit("lineEdit_antenna_height")->setText(c.height);
        choose(combo("comboBox_antenna_type"), "K45");
        if (c.surveyTo) {
            choose(combo("comboBox_survey_to"), "Vertical");
        } else {
            combo("comboBox_survey_to")->setCurrentIndex(-1);
        }
        prompts.shown.clear();
        harness->clearCalls();
        press(page, "Set");
        EXPECT_TRUE(calls("Set_").empty()) << c.red;
        EXPECT_EQ(shownTexts(), std::vector<QString>{"Please enter parameters."});
        EXPECT_TRUE(isRed(child<QWidget>(c.red))) << c.red;
    }
}

TEST_F(StaticTest, PointNameTakesAtMostThirtyTwoLatin1Characters) {
    openStatic();
    child<QCheckBox>("checkBox_advance")->setChecked(true);
    QLineEdit* name = edit("lineEdit_Point");
    name->setFocus();
    QTest::keyClicks(name, QString(40, QLatin1Char('P')));
    EXPECT_EQ(name->text(), QString(32, QLatin1Char('P')));
    name->clear();
    for (const QString& ch : {QStringLiteral("A"), QString(QChar(0x4E2D)), QStringLiteral("B")}) {
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, ch, Qt::NoModifier);
    }
    EXPECT_EQ(name->text(), "AB");
}

TEST_F(StaticTest, StartAndStopAskFirstAndFollowTheKnownStatus) {
    struct Case {
        bool statusQuery;
        bool statusKnown;
        bool recording;
        const char* action;
        QMessageBox::StandardButton answer;
        std::vector<std::string> sent;
        bool startAfter, stopAfter;
    } cases[] = {
        // No status answer yet: the actions toggle at once.
        {false, false, false, "Start", QMessageBox::Yes, {"Set_Static_Begin(true)"}, false, true},
        {false, false, false, "Stop", QMessageBox::Yes, {"Set_Static_Begin(false)"}, true, false},
        {false, false, false, "Start", QMessageBox::No, {}, true, true},
        // A known status leaves the actions to the next status answer.
        {true,
         true,
         false,
         "Start",
         QMessageBox::Yes,
         {"Set_Static_Begin(true)", "QueryStaticStatus()"},
         true,
         false},
        {true,
         true,
         true,
         "Stop",
         QMessageBox::Yes,
         {"Set_Static_Begin(false)", "QueryStaticStatus()"},
         false,
         true},
        {true, true, true, "Stop", QMessageBox::No, {}, false, true},
    };
    for (const Case& c : cases) {
        Varnok::setUiScale(1.0);  // no status poll in between
        openStatic(0, 0, c.statusQuery);
        if (c.statusKnown) {
            cache().staticStatus = c.recording;
            announce(39);
            EXPECT_EQ(child<QLabel>("lblStatus")->text(),
                      c.recording ? "Status: ON" : "Status: OFF");
        }
        prompts.answers = {c.answer};
        prompts.shown.clear();
        harness->clearCalls();
        key(page, c.action)->trigger();
        std::vector<std::string> sent = calls("Set_Static_Begin");
        for (const std::string& q : calls("QueryStaticStatus")) {
            sent.push_back(q);
        }
        EXPECT_EQ(sent, c.sent) << c.action;
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].title,
                  std::string(c.action) == "Start" ? "Begin Collect" : "End Collect");
        EXPECT_EQ(key(page, "Start")->isEnabled(), c.startAfter) << c.action;
        EXPECT_EQ(key(page, "Stop")->isEnabled(), c.stopAfter) << c.action;
        frame->backAction()->trigger();
        harness->disconnect();
        Varnok::setUiScale(0.0);
    }
}

TEST_F(StaticTest, StatusAnswerSwitchesTheActions) {
    Varnok::setUiScale(1.0);  // the answer comes within the status wait
    openStatic(0, 0, /*statusQuery=*/true);
    EXPECT_FALSE(key(page, "Start")->isEnabled());
    EXPECT_FALSE(key(page, "Stop")->isEnabled());
    cache().staticStatus = true;
    announce(39);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: ON");
    EXPECT_FALSE(key(page, "Start")->isEnabled());
    EXPECT_TRUE(key(page, "Stop")->isEnabled());
    // The status is polled, and keeps being polled after the page is left.
    harness->clearCalls();
    EXPECT_TRUE(ShellHarness::waitFor([&] { return !calls("QueryStaticStatus").empty(); }));
    frame->backAction()->trigger();
    harness->clearCalls();
    EXPECT_TRUE(ShellHarness::waitFor([&] { return !calls("QueryStaticStatus").empty(); }));
}

// The harness runs every timer at length 0, so each one expires once per pass of the event
// loop: a probe of the status period sees one status query per expiry, and a second status
// timer left by a second visit would show as two.
TEST_F(StaticTest, TwoActivationsPollTheStatusOncePerPeriod) {
    openStatic(0, 0, /*statusQuery=*/true);
    frame->backAction()->trigger();
    page = open<Static>("Static");
    ASSERT_NE(page, nullptr);
    harness->clearCalls();
    std::vector<std::size_t> seen;
    QTimer probe;
    probe.setInterval(Varnok::uiMs(2000));
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { seen.push_back(calls("QueryStaticStatus").size()); });
    probe.start();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return seen.size() >= 6; }));
    probe.stop();
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i] - seen[i - 1], 1u) << "between expiries " << i - 1 << " and " << i;
    }
}

TEST_F(StaticTest, GetAsksForThePointOnlyWithAntennaParametersAndWarnsOnSilence) {
    openStatic();
    harness->clearCalls();
    prompts.shown.clear();
    press(page, "Get");
    EXPECT_EQ(calls("Send_"), std::vector<std::string>{"Send_DeviceInfo()"});
    EXPECT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Failed to get parameters!"});
    EXPECT_TRUE(key(page, "Get")->isEnabled());

    Varnok::setUiScale(1.0);
    child<QCheckBox>("checkBox_advance")->setChecked(true);
    harness->clearCalls();
    press(page, "Get");
    EXPECT_EQ(calls("Send_"),
              (std::vector<std::string>{"Send_DeviceInfo()", "Send_Static_AntType()",
                                        "Send_Static_Point()"}));
    EXPECT_FALSE(key(page, "Set")->isEnabled());
    announce(4);
    EXPECT_TRUE(page->isQuerying());
    announce(5);
    EXPECT_FALSE(page->isQuerying());
    EXPECT_TRUE(key(page, "Set")->isEnabled());
}

TEST_F(StaticTest, EachReceiverKindGetsItsRealPages) {
    struct Case {
        int deviceType;
        const char* name;
        const char* className;
    } cases[] = {
        {1, "Static", "Varnok::InternalRecordWidget"},
        {1, "0183OutPut", "Varnok::Output"},
        {2, "Static", "Varnok::Static"},
        {2, "SatelliteChannelControl", "Varnok::SatelliteChannelControl"},
        {2, "0183OutPut", "Varnok::Output"},
        {5, "Static", "Varnok::Static"},
        {5, "SatelliteChannelControl", "Varnok::SatelliteChannelControl"},
    };
    for (const Case& c : cases) {
        connect(c.deviceType);
        Varnok::Widget* shown = open<Varnok::Widget>(c.name);
        ASSERT_NE(shown, nullptr) << c.name;
        EXPECT_STREQ(shown->metaObject()->className(), c.className) << c.deviceType;
        frame->backAction()->trigger();
        harness->disconnect();
    }
}

}  // namespace
}  // namespace varnok_test
