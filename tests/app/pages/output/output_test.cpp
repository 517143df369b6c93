// The NMEA output page: the codes it reads by family, what "Accept" and "Stop" write back,
// and that rates the user did not touch go back as the receiver reported them.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QScrollArea>

#include <utility>

#include "device_codes.h"
#include "output.h"
#include "survey_page_fixture.h"

namespace varnok_test {
namespace {

using Varnok::Output;
using Pairs = std::vector<std::pair<int, int>>;

class OutputTest : public SurveyPageTest {
protected:
    void SetUp() override {
        SurveyPageTest::SetUp();
        harness->script().answer<void(std::vector<_set_nmea>&, int, bool)>(
            "Set_Velta_NMEA", [this](std::vector<_set_nmea>& list, int output, bool keep) {
                oldWrites.push_back({toPairs(list), output, keep});
            });
        harness->script().answer<void(const std::vector<DataFreq>&, QX_GNSS_IO_ID_ENUM)>(
            "Send_Gnss_Data_Freq",
            [this](const std::vector<DataFreq>& list, QX_GNSS_IO_ID_ENUM io) {
                Pairs p;
                for (const DataFreq& f : list) {
                    p.push_back({f.tag, f.rate});
                }
                newWrites.push_back({p, static_cast<int>(io)});
            });
    }
    static Pairs toPairs(const std::vector<_set_nmea>& list) {
        Pairs p;
        for (const _set_nmea& e : list) {
            p.push_back({e.Nmea_Id, e.Rate_Id});
        }
        return p;
    }
    // Opens the page and lets its query run to the point where answers are taken.
    Output* openPage() {
        page = open<Output>("0183OutPut");
        EXPECT_NE(page, nullptr);
        return page;
    }
    void openAndAnswer(int code) {
        Varnok::setUiScale(0.2);
        openPage();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return page->isQuerying(); }));
        announce(code);
    }
    QCheckBox* row(const QString& name) const {
        for (QCheckBox* b : page->findChildren<QCheckBox*>()) {
            if (b->text() == name) {
                return b;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return nullptr;
    }
    QComboBox* rateOf(const QString& name) const {
        auto* layout = page->findChild<QFormLayout*>("formLayout");
        for (int r = 0; r < layout->rowCount(); ++r) {
            auto* label = layout->itemAt(r, QFormLayout::LabelRole);
            if (label && label->widget() == row(name)) {
                return qobject_cast<QComboBox*>(
                    layout->itemAt(r, QFormLayout::FieldRole)->widget());
            }
        }
        return nullptr;
    }
    QComboBox* combo(const char* name) const { return page->findChild<QComboBox*>(name); }
    QCheckBox* formatBox() const { return page->findChild<QCheckBox*>("checkBox"); }

    struct OldWrite {
        Pairs pairs;
        int output;
        bool keep;
    };
    struct NewWrite {
        Pairs pairs;
        int io;
    };
    std::vector<OldWrite> oldWrites;
    std::vector<NewWrite> newWrites;
    Output* page = nullptr;
};

TEST(OutputCodes, ListCodesAndPortCodesBecomeComboData) {
    // A code without a name is carried raw, so it goes back as read.
    const int raw = Varnok::DeviceCodes::kRawListCode;
    const int codes[] = {2, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1, 3, 4, 13};
    const int rates[] = {255, 13, 1, 2, 11, 3, 4, 5, 6, 0, 0, raw + 3, raw + 4, raw + 13};
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        EXPECT_EQ(Output::rateOfListCode(codes[i]), rates[i]) << codes[i];
    }
    const std::pair<int, int> ports[] = {{5, 19200},  {6, 38400},   {8, 57600},
                                         {9, 115200}, {10, 115200}, {7, 9600}};
    for (const auto& [code, baud] : ports) {
        EXPECT_EQ(Output::baudOfComCode(code), baud) << code;
    }
}

TEST_F(OutputTest, NewProtocolRowsWithoutAnItemGoBackAsTheyCame) {
    connect(1, 0, false, false, /*outputQuery=*/true);
    QX_DATA_CONFIG_LIST list{};
    list.entries[12] = 2;  // GPGGA: no rate of its own
    list.entries[13] = 5;  // GPGSV: 20 Hz, not offered on this receiver
    list.entries[27] = 9;  // GPRMC: 1 Hz
    cache().comBaud = 8;
    Varnok::setUiScale(0.2);
    openPage();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->isQuerying(); }));
    Varnok::DeviceManagerTestAccess::takeIoList(*dm(), list);
    announce(67);
    announce(65);
    EXPECT_EQ(combo("comboBox_baudrate")->currentData().toInt(), 57600);
    EXPECT_TRUE(row("GPGGA")->isChecked());
    // Shown by the receiver's code, so the row is not left with an empty rate.
    EXPECT_EQ(rateOf("GPGGA")->currentText(), "Code 2");
    EXPECT_TRUE(row("GPGSV")->isChecked());
    EXPECT_EQ(rateOf("GPGSV")->currentText(), "Code 5");
    EXPECT_EQ(rateOf("GPRMC")->currentText(), "1 Hz");
    EXPECT_FALSE(row("GPZDA")->isChecked());
    EXPECT_TRUE(formatBox()->isChecked());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));

    QComboBox* rmc = rateOf("GPRMC");
    rmc->setCurrentIndex(rmc->findText("5 Hz"));
    harness->clearCalls();
    press(page, "Accept");
    ASSERT_EQ(newWrites.size(), 2u);
    EXPECT_EQ(newWrites[0].io, 4);
    EXPECT_EQ(newWrites[1].io, 1);
    EXPECT_EQ(newWrites[0].pairs, newWrites[1].pairs);
    const Pairs& p = newWrites[0].pairs;
    auto rateFor = [&p](int tag) {
        for (const auto& [t, r] : p) {
            if (t == tag) {
                return r;
            }
        }
        return -1;
    };
    EXPECT_EQ(rateFor(0x408), 2);  // GPGGA as read
    EXPECT_EQ(rateFor(0x409), 5);  // GPGSV as read
    EXPECT_EQ(rateFor(0x414), 7);  // GPRMC as edited: 5 Hz
    EXPECT_EQ(calls("Set_Com_Baudrate"), std::vector<std::string>{"Set_Com_Baudrate(3)"});
}

TEST_F(OutputTest, OldProtocolReadsBaudOutputAndKeepsRatesTheBoardListLacks) {
    connect(0, 2, false, false, /*outputQuery=*/true);
    cache().nmeaConfigs.port = 3;
    cache().nmeaConfigs.value = 2;
    cache().nmeaConfigs.messages = {{1, 3}, {64, 99}, {256, 0}};
    openAndAnswer(72);
    EXPECT_FALSE(page->isQuerying());
    EXPECT_EQ(combo("comboBox_baudrate")->currentData().toInt(), 57600);
    EXPECT_EQ(combo("cbMethods")->currentText(), "BlueTooth");
    EXPECT_TRUE(row("GPGGA")->isChecked());
    EXPECT_TRUE(row("GPGSV")->isChecked());
    EXPECT_FALSE(row("GPRMC")->isChecked());

    prompts.answers = {QMessageBox::No};
    press(page, "Accept");
    ASSERT_EQ(oldWrites.size(), 1u);
    EXPECT_EQ(oldWrites[0].pairs, (Pairs{{1, 3}, {64, 99}}));
    EXPECT_EQ(oldWrites[0].output, 2);
    EXPECT_FALSE(oldWrites[0].keep);
    EXPECT_EQ(prompts.shown.back().text, "Output selected data after reboot?");

    // "Stop" writes every checked row at 0 to both outputs.
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Stop")->isEnabled(); }));
    press(page, "Stop");
    ASSERT_EQ(oldWrites.size(), 2u);
    EXPECT_EQ(oldWrites[1].pairs, (Pairs{{1, 0}, {64, 0}}));
    EXPECT_EQ(oldWrites[1].output, 3);
}

TEST_F(OutputTest, AcceptRefusesWhatCannotBeSent) {
    connect(0, 2);
    openPage();
    EXPECT_TRUE(calls("Query_NMEA_Output_Configs").empty());
    EXPECT_FALSE(row("GPGGA")->isChecked());

    // Output off and a baud rate never read: the handheld's own rate is not the port's, so
    // nothing goes out and the user is told.
    press(page, "Accept");
    EXPECT_TRUE(oldWrites.empty());
    EXPECT_TRUE(calls("Set_Com_Baudrate").empty());
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Baudrate was not read from the receiver: "
                                                 "choose one to write it."});
    EXPECT_EQ(combo("comboBox_baudrate")->palette().color(QPalette::Base), Qt::red);

    // Output off: only the baud rate, once the user has chosen one.
    QComboBox* baud = combo("comboBox_baudrate");
    baud->setCurrentIndex(baud->findData(9600));
    emit baud->activated(baud->currentIndex());
    prompts.shown.clear();
    press(page, "Accept");
    EXPECT_TRUE(oldWrites.empty());
    EXPECT_TRUE(shownTexts().empty());
    EXPECT_EQ(calls("Set_Com_Baudrate"), std::vector<std::string>{"Set_Com_Baudrate(0)"});
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Accept")->isEnabled(); }));

    // Output on, nothing checked.
    formatBox()->setChecked(true);
    harness->clearCalls();
    press(page, "Accept");
    EXPECT_EQ(shownTexts(), std::vector<QString>{"No data selected."});
    EXPECT_TRUE(calls("Set_").empty());

    // A checked row with no rate at all.
    row("GPGGA")->click();
    rateOf("GPGGA")->setCurrentIndex(-1);
    prompts.shown.clear();
    press(page, "Accept");
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Please enter parameters."});
    EXPECT_EQ(rateOf("GPGGA")->palette().color(QPalette::Base), Qt::red);
    EXPECT_TRUE(oldWrites.empty());
}

// The port's baud goes back only as a code the receiver reported and a write gives back; any
// other code (or none) leaves the port alone on Accept, while the rates are still written.
TEST_F(OutputTest, BaudIsWrittenOnlyWhenReadAsAKnownCode) {
    struct Case {
        bool answered;
        int code;
        int shown;  // 0: no selection
        const char* written;
    };
    const Case cases[] = {
        {true, 5, 19200, "Set_Com_Baudrate(1)"},
        {true, 3, 9600, "Set_Com_Baudrate(0)"},
        {true, 7, 0, nullptr},        // no item carries it
        {true, 10, 115200, nullptr},  // shown as 115200, but a write would send 9
        {false, 3, 0, nullptr},       // the cache's default, not an answer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        connect(1, 0, false, false, /*outputQuery=*/true);
        QX_DATA_CONFIG_LIST list{};
        list.entries[27] = 9;
        cache().comBaud = c.code;
        Varnok::setUiScale(0.5);
        openPage();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return page->isQuerying(); }));
        Varnok::DeviceManagerTestAccess::takeIoList(*dm(), list);
        announce(67);
        if (c.answered) {
            announce(65);
        }
        ASSERT_TRUE(
            ShellHarness::waitFor([&] { return !page->isQuerying(); }, std::chrono::seconds(30)));
        QComboBox* baud = combo("comboBox_baudrate");
        EXPECT_EQ(baud->currentIndex() < 0 ? 0 : baud->currentData().toInt(), c.shown);
        harness->clearCalls();
        newWrites.clear();
        press(page, "Accept");
        EXPECT_EQ(newWrites.size(), 2u);
        EXPECT_EQ(calls("Set_Com_Baudrate"),
                  c.written ? std::vector<std::string>{c.written} : std::vector<std::string>{});
        ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Accept")->isEnabled(); }));
        frame->backAction()->trigger();
        harness->disconnect();
    }
}

// A list of another IO (the RTK page's, still arriving) is not this page's.
TEST_F(OutputTest, OnlyIoZerosListFillsTheRows) {
    connect(1, 0, false, false, /*outputQuery=*/true);
    Varnok::setUiScale(1.0);  // the query outlasts the answers
    openPage();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->isQuerying(); }));
    QX_DATA_CONFIG_LIST serial{};
    serial.count = 1;
    serial.entries[27] = 6;  // IO 1's GPRMC at 10 Hz
    Varnok::DeviceManagerTestAccess::takeIoList(*dm(), serial);
    announce(67);
    EXPECT_FALSE(row("GPRMC")->isChecked());
    QX_DATA_CONFIG_LIST own{};
    own.entries[27] = 9;
    Varnok::DeviceManagerTestAccess::takeIoList(*dm(), own);
    Varnok::DeviceManagerTestAccess::takeIoList(*dm(), serial);
    announce(67);
    EXPECT_TRUE(row("GPRMC")->isChecked());
    EXPECT_EQ(rateOf("GPRMC")->currentText(), "1 Hz");
}

TEST_F(OutputTest, AllPickTwiceRestoresTheSelection) {
    connect(0, 2);
    openPage();
    formatBox()->setChecked(true);
    row("GPGSV")->click();
    press(page, "AllPick");
    EXPECT_FALSE(row("GPGSV")->isChecked());
    EXPECT_TRUE(row("GPGGA")->isChecked());
    EXPECT_TRUE(rateOf("GPGGA")->isEnabled());
    press(page, "AllPick");
    EXPECT_TRUE(row("GPGSV")->isChecked());
    EXPECT_FALSE(row("GPGGA")->isChecked());
    EXPECT_FALSE(rateOf("GPGGA")->isEnabled());
}

TEST_F(OutputTest, BaudChangeWarnsOverSerialOnly) {
    for (int kind : {2, 0}) {
        dm()->setDeviceType(0);
        Varnok::SocketTarget target{};
        dm()->connectDevice(kind, 1, 9600, target);
        Varnok::DeviceManagerTestAccess::setWorkingStatus(*dm(), 4);
        announce(2);
        openPage();
        prompts.shown.clear();
        QComboBox* baud = combo("comboBox_baudrate");
        baud->setCurrentIndex(baud->findData(38400));
        emit baud->activated(baud->currentIndex());
        press(page, "Accept");
        ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Accept")->isEnabled(); }));
        const std::vector<QString> expected =
            kind == 0 ? std::vector<QString>{"Serial port's baud rate has been changed, reconnect "
                                             "if you want to continue using it."}
                      : std::vector<QString>{};
        EXPECT_EQ(shownTexts(), expected) << kind;
        frame->backAction()->trigger();
        harness->disconnect();
    }
}

TEST_F(OutputTest, LeavingBeforeTheStartDelayAsksNothing) {
    connect(0, 2, false, false, /*outputQuery=*/true);
    // Timers run at once: a start delay left running would query on the next event pass.
    frame->onCommand("0183OutPut");
    page = qobject_cast<Output*>(frame->currentPage());
    ASSERT_NE(page, nullptr);
    frame->backAction()->trigger();
    harness->clearCalls();
    for (int i = 0; i < 10; ++i) {
        ShellHarness::deliver();
    }
    EXPECT_TRUE(calls("Query_NMEA_Output_Configs").empty());
    EXPECT_FALSE(page->isQuerying());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace varnok_test
