// The new protocol's internal recording page: the session check and conversion, the interval
// codes, the status and the actions while recording.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <cstring>

#include "internal_record_widget.h"
#include "survey_page_fixture.h"

namespace varnok_test {
namespace {

using Varnok::InternalRecordWidget;

class InternalRecordTest : public SurveyPageTest {
protected:
    InternalRecordWidget* openPage() {
        connect(1);
        page = open<InternalRecordWidget>("Static");
        EXPECT_NE(page, nullptr);
        return page;
    }
    template <class T>
    T* child(const char* name) const {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static std::uint32_t paramWord(std::size_t offset) {
        std::uint32_t v = 0;
        std::memcpy(&v, reinterpret_cast<const unsigned char*>(&cache().fileRecordParam) + offset,
                    sizeof v);
        return v;
    }
    static void setParam(std::uint32_t minutes, std::uint16_t code) {
        auto* b = reinterpret_cast<unsigned char*>(&cache().fileRecordParam);
        std::memcpy(b + 32, &minutes, sizeof minutes);
        std::memcpy(b + 40, &code, sizeof code);
    }
    void fill(const QString& session, const QString& interval, const QString& mask) {
        child<QLineEdit>("leDataLogSession")->setText(session);
        QComboBox* box = child<QComboBox>("cbInterval");
        box->setCurrentIndex(box->findText(interval));
        child<QLineEdit>("leMask")->setText(mask);
    }

    InternalRecordWidget* page = nullptr;
};

TEST_F(InternalRecordTest, SessionIsCheckedAsDecimalAndSentInWholeMinutes) {
    Varnok::setUiScale(1.0);
    openPage();
    for (int code : {39, 40, 41, 23}) {
        announce(code);
    }
    ASSERT_FALSE(page->isQuerying());
    Varnok::setUiScale(0.0);
    struct Case {
        QString session;
        QString interval;
        QString message;  // empty: sent
        std::uint32_t minutes;
        std::uint32_t code;
    } cases[] = {
        {"10", "2 Hz", "", 10, 8},
        {"10.5", "60 s", "", 11, 15},
        {"1440", "5 s", "", 1440, 11},
        {"9.99", "1 Hz", "Data log session should be between 10 and 1440 minutes.", 0, 0},
        {"1440.01", "1 Hz", "Data log session should be between 10 and 1440 minutes.", 0, 0},
        {"", "1 Hz", "Please enter parameters.", 0, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Set")->isEnabled(); }));
        fill(c.session, c.interval, "15");
        child<QCheckBox>("cbAuto")->setChecked(true);
        cache().fileRecordParam = {};
        prompts.shown.clear();
        harness->clearCalls();
        press(page, "Set");
        if (c.message.isEmpty()) {
            EXPECT_TRUE(shownTexts().empty()) << c.session.toStdString();
            EXPECT_EQ(calls("Send_File_Record_Param").size(), 1u);
            EXPECT_EQ(calls("Send_File_Record_Auto_Open"),
                      std::vector<std::string>{"Send_File_Record_Auto_Open(&1, 1)"});
            EXPECT_EQ(calls("Send_Gnss_ElevMask"),
                      std::vector<std::string>{"Send_Gnss_ElevMask(&15)"});
            EXPECT_EQ(paramWord(32), c.minutes) << c.session.toStdString();
            EXPECT_EQ(paramWord(40) & 0xFFFF, c.code);
        } else {
            EXPECT_EQ(shownTexts(), std::vector<QString>{c.message});
            EXPECT_TRUE(calls("Send_File_Record").empty());
            EXPECT_EQ(child<QLineEdit>("leDataLogSession")->palette().color(QPalette::Base),
                      Qt::red);
        }
    }
}

// Set writes the receiver's whole parameter record and its auto-open flag back: before both
// were read it refuses, and what the page does not edit in the record goes back as read.
TEST_F(InternalRecordTest, SetNeedsTheReadRecordAndKeepsWhatItDoesNotEdit) {
    Varnok::setUiScale(0.5);
    openPage();
    ASSERT_TRUE(
        ShellHarness::waitFor([&] { return !page->isQuerying(); }, std::chrono::seconds(30)));
    fill("30", "1 Hz", "10");
    prompts.shown.clear();  // the silent query's warning
    harness->clearCalls();
    press(page, "Set");
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Recording parameters were not read from the "
                                                 "receiver: press Get and try again."});
    EXPECT_TRUE(calls("Send_").empty());

    // Read: the interval word's upper half and the other words stay as the receiver sent them.
    auto* b = reinterpret_cast<unsigned char*>(&cache().fileRecordParam);
    std::memset(b, 0x5A, sizeof cache().fileRecordParam);
    setParam(60, 12);
    const std::uint32_t upper = paramWord(40) & 0xFFFF0000u;
    const QX_FILE_RECORD_CONFIG_STRUCT before = cache().fileRecordParam;
    cache().fileRecordAutoOpen = 1;
    press(page, "Get");
    for (int code : {39, 40, 41, 23}) {
        announce(code);
    }
    ASSERT_FALSE(page->isQuerying());
    QComboBox* interval = child<QComboBox>("cbInterval");
    interval->setCurrentIndex(interval->findText("2 Hz"));
    prompts.shown.clear();
    harness->clearCalls();
    press(page, "Set");
    EXPECT_TRUE(shownTexts().empty());
    EXPECT_EQ(calls("Send_File_Record_Param").size(), 1u);
    EXPECT_EQ(paramWord(40), upper | 8u);
    EXPECT_EQ(paramWord(32), 60u);
    EXPECT_EQ(std::memcmp(b, &before, 32), 0);
    EXPECT_EQ(std::memcmp(b + 36, reinterpret_cast<const unsigned char*>(&before) + 36, 4), 0);
    EXPECT_EQ(std::memcmp(b + 44, reinterpret_cast<const unsigned char*>(&before) + 44,
                          sizeof before - 44),
              0);
}

TEST_F(InternalRecordTest, QueryFillsTheFormFromTheFourAnswers) {
    Varnok::setUiScale(1.0);
    setParam(30, 12);
    cache().elevMask = 12;
    cache().fileRecordAutoOpen = 1;
    cache().fileRecordStatus = 2;
    openPage();
    EXPECT_EQ(calls("Send_File_Record_Status_Query").size(), 1u);
    EXPECT_TRUE(page->isQuerying());
    for (int code : {39, 40, 41}) {
        announce(code);
    }
    EXPECT_TRUE(page->isQuerying());
    announce(23);
    EXPECT_FALSE(page->isQuerying());
    EXPECT_EQ(child<QLineEdit>("leDataLogSession")->text(), "30");
    EXPECT_EQ(child<QComboBox>("cbInterval")->currentText(), "10 s");
    EXPECT_EQ(child<QLineEdit>("leMask")->text(), "12");
    EXPECT_TRUE(child<QCheckBox>("cbAuto")->isChecked());
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Status: OFF");
    EXPECT_TRUE(key(page, "Set")->isEnabled());
}

TEST_F(InternalRecordTest, StatusTextsAndOnlyStopWhileRecording) {
    openPage();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    const QString texts[] = {"Status: Running...", "Status: OFF", "Status: Error", "Status: "};
    for (int status = 1; status <= 4; ++status) {
        cache().fileRecordStatus = status;
        announce(39);
        EXPECT_EQ(child<QLabel>("lblStatus")->text(), texts[status - 1]);
        const bool recording = status == 1;
        for (const char* k : {"Get", "Set", "Start"}) {
            EXPECT_EQ(key(page, k)->isEnabled(), !recording) << k << status;
        }
        EXPECT_EQ(key(page, "Stop")->isEnabled(), recording);
        EXPECT_EQ(child<QLineEdit>("leDataLogSession")->isEnabled(), !recording);
        EXPECT_TRUE(frame->backAction()->isEnabled());
    }
}

TEST_F(InternalRecordTest, StartAsksThenOpensTheFileAndAsksTheStatus) {
    openPage();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    prompts.answers = {QMessageBox::No, QMessageBox::Yes};
    prompts.shown.clear();
    harness->clearCalls();
    press(page, "Start");
    EXPECT_TRUE(calls("Send_File_Record_Open").empty());
    press(page, "Start");
    EXPECT_EQ(calls("Send_File_Record_Open"),
              std::vector<std::string>{"Send_File_Record_Open(true, 1)"});
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text, "Start collecting ?");
}

TEST_F(InternalRecordTest, LeftPageAsksNothingMore) {
    openPage();
    EXPECT_TRUE(
        ShellHarness::waitFor([&] { return calls("Send_File_Record_Status_Query").size() >= 3; }));
    frame->backAction()->trigger();
    ShellHarness::deliver();
    harness->clearCalls();
    for (int i = 0; i < 20; ++i) {
        ShellHarness::deliver();
    }
    EXPECT_TRUE(calls("Send_File_Record_Status_Query").empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace varnok_test
