// The round-trip rows of the data link and radio pages: "DataLink" on both protocols (the old
// page with its radio panel, the new page with its radio panel), the call sign page through
// both, and "RadioChannel" (the old page with the receiver's channel table and its login, the
// new page's band tables). Radios of 12.5, 20 and 25 kHz, frequencies at and outside the
// band, call signs at and over their fields, answers missing or in another order.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "callsign.h"
#include "config_paths.h"
#include "device_manager.h"
#include "father_widget.h"
#include "password_store.h"
#include "radio_channel_widget_v2.h"
#include "radio_config.h"
#include "roundtrip.h"
#include "shell_harness.h"

namespace varnok_test {
namespace {

using roundtrip::Change;
using roundtrip::Driver;
using roundtrip::Link;
using roundtrip::Protocol;
using roundtrip::RoundTripCase;

// Types into a spin box as a user does: the old text selected and replaced, then Return.
void typeSpin(Driver& d, const char* object, const QString& text) {
    auto* box = qobject_cast<QDoubleSpinBox*>(d.widget(object));
    ASSERT_NE(box, nullptr) << object << " is no spin box";
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// From the data link page's "Call Sign" button to the call sign page, a new message typed
// there and Ok: the data link page is shown again and its Set sends the edit.
void editCallSign(Driver& d, const char* button, const QString& message) {
    d.click(button);
    ShellHarness::deliver();
    auto* page = qobject_cast<Varnok::Callsign*>(d.frame()->currentPage());
    ASSERT_NE(page, nullptr) << "no call sign page";
    auto* edit = page->findChild<QLineEdit*>(QStringLiteral("lineEdit_callsign_message"));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, message);
    for (QAction* a : page->actions()) {
        if (a->text() == QStringLiteral("Ok")) {
            a->trigger();
        }
    }
    ShellHarness::deliver();
    ASSERT_EQ(d.frame()->currentPage(), d.page()) << "Ok did not return to the data link page";
}

// The module's band and lists come from the shipped capability file, which the connection's
// module-type answer could not find in the test's configs folder.
std::function<Varnok::Widget*(Driver&)> openNewLink(int module) {
    return [module](Driver& d) -> Varnok::Widget* {
        const QString path = QString::fromStdString(ConfigPaths::directory()) + "/radioconfig.vnk";
        QFile::remove(path);
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(VARNOK_SHIPPED_CONFIGS_DIR "/radioconfig.vnk"), path));
        RadioConfig::instance().loadForType(module, path.toStdString());
        d.frame()->onCommand(QStringLiteral("DataLink"));
        ShellHarness::deliver();
        return d.frame()->currentPage();
    };
}

// Reads again ("Get") until the radio panel shows a frequency (bounded): a visit's first read
// runs without the busy state, and a loaded machine may end a read before every answer. The
// frequency shows as soon as its own answer lands, so a read cut short by its timeout can
// show it with the power still unanswered: power names a check box that must be checked or a
// combo box that must hold a choice.
roundtrip::Hook readUntilShown(const char* frequency, const char* power = nullptr) {
    return [frequency, power](Driver& d) {
        auto* f = qobject_cast<QDoubleSpinBox*>(d.widget(frequency));
        ASSERT_NE(f, nullptr);
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!d.pressKey("Get")) {
                return;
            }
            QWidget* w = power ? d.widget(power) : nullptr;
            auto* on = qobject_cast<QAbstractButton*>(w);
            auto* chosen = qobject_cast<QComboBox*>(w);
            if (f->value() > 0 && (on == nullptr || on->isChecked()) &&
                (chosen == nullptr || chosen->currentIndex() >= 0)) {
                return;
            }
        }
    };
}

// The channel table can be written only when logged in.
Varnok::Widget* openChannelTableLoggedIn(Driver& d) {
    Varnok::PasswordStore::instance().write(QStringLiteral("secret"));
    Varnok::PasswordStore::instance().setLoggedIn(true);
    d.frame()->onCommand(QStringLiteral("RadioChannel"));
    ShellHarness::deliver();
    return d.frame()->currentPage();
}

// A type-8 radio (403-473 MHz, spacing, sensitivity, FEC, call sign, three powers) on the
// transparent protocol, 0.5 W, call sign on every 10 minutes.
std::vector<std::string> type8(std::vector<std::string> more) {
    std::vector<std::string> s = {"firmware=8.10", "radio_type=8",        "transmit_mode=5",
                                  "radio_power=3", "radio_sensitivity=2", "radio_fec=0",
                                  "callsign_on=1", "callsign_interval=10"};
    s.insert(s.end(), more.begin(), more.end());
    return s;
}

// An empty call sign as the receiver answers it: the record of zeros.
const char* const kNoCallSign = "radio_callsign=00000000000000000000000000000000000000";

const std::vector<RoundTripCase>& RadioCases() {
    static const std::vector<RoundTripCase> rows = [] {
        std::vector<RoundTripCase> r;

        // ---- Old protocol: "DataLink" with the radio panel.
        RoundTripCase old;
        old.name = "OldRadio12k5FreeFrequency";
        old.page = "DataLink";
        old.protocol = Protocol::Old;
        old.deviceType = 5;
        old.sim = type8({"radio_frequency=463.0000", "channel_spacing=0", "callsign=ABC"});
        old.query = "Send_Radio_Power";
        old.prepare = readUntilShown("doubleSpinBox_currentFrq_RX", "comboBox_sendPower");
        old.shows = {{"doubleSpinBox_currentFrq_RX", "463.0000"},
                     {"comboBox_signalChannel_RX", "0"},
                     {"comboBox_sendPower", "0.5 w"}};
        old.edit = [](Driver& d) { d.choose("comboBox_signalChannel_RX", 3); };
        old.edited = {{"radio_frequency", "457.0500", "channel 3 of the radio's band"}};
        r.push_back(old);

        RoundTripCase oldChannel = old;
        oldChannel.name = "OldRadioOnAFixedChannel";
        oldChannel.sim = type8({"radio_frequency=457.0500", "channel_spacing=0", "callsign=ABC"});
        oldChannel.shows = {{"doubleSpinBox_currentFrq_RX", "457.0500"},
                            {"comboBox_signalChannel_RX", "3"}};
        oldChannel.edit = [](Driver& d) { d.choose("comboBox_signalChannel_RX", 0); };
        // Channel 0 is the free frequency: the radio's own, the one it was read on.
        oldChannel.edited = {};
        oldChannel.editMessages = {};
        r.push_back(oldChannel);

        // 20 kHz: the frequency code is read again once the spacing is known.
        RoundTripCase old20 = old;
        old20.name = "OldRadio20kModeBeforeSpacing";
        old20.sim = type8({"radio_frequency=463.0000", "channel_spacing=1", "callsign=ABC"});
        old20.shows = {{"doubleSpinBox_currentFrq_RX", "463.0000"}};
        old20.edit = [](Driver& d) { typeSpin(d, "doubleSpinBox_currentFrq_RX", "463.52"); };
        old20.edited = {{"radio_frequency", "463.5200", "the typed frequency, 20 kHz grid"}};
        r.push_back(old20);

        RoundTripCase old20first = old20;
        old20first.name = "OldRadio20kSpacingFirstCallSignUnanswered";
        old20first.sim = type8({"radio_frequency=463.0000", "channel_spacing=1", "callsign=ABC",
                                "late=Send_Radio_Sensitivity:1500", "silent_at=145"});
        r.push_back(old20first);

        // The band's edges, and a typed value past them refused with the band named.
        RoundTripCase oldLow = old;
        oldLow.name = "OldRadioAtTheLowerEdgeTypedPastTheUpper";
        oldLow.sim = type8({"radio_frequency=403.0000", "channel_spacing=0", "callsign=ABC"});
        oldLow.shows = {{"doubleSpinBox_currentFrq_RX", "403.0000"}};
        oldLow.edit = [](Driver& d) { typeSpin(d, "doubleSpinBox_currentFrq_RX", "480"); };
        oldLow.edited = {};
        oldLow.editMessages = {"Radio frq is out of 403 - 473!"};
        r.push_back(oldLow);

        RoundTripCase oldHigh = oldLow;
        oldHigh.name = "OldRadioAtTheUpperEdgeTypedPastTheLower";
        oldHigh.sim = type8({"radio_frequency=473.0000", "channel_spacing=0", "callsign=ABC"});
        oldHigh.shows = {{"doubleSpinBox_currentFrq_RX", "473.0000"}};
        oldHigh.edit = [](Driver& d) { typeSpin(d, "doubleSpinBox_currentFrq_RX", "402.9875"); };
        r.push_back(oldHigh);

        // Call signs: 14 characters fill the old field and go back whole; a fifteenth
        // cannot be typed.
        RoundTripCase oldSign = old;
        oldSign.name = "OldCallSign14Then15Typed";
        oldSign.sim =
            type8({"radio_frequency=463.0000", "channel_spacing=0", "callsign=ABCDEFGHIJKLMN"});
        oldSign.shows = {{"doubleSpinBox_currentFrq_RX", "463.0000"}};
        oldSign.edit = [](Driver& d) {
            editCallSign(d, "pushButton_callsign", QStringLiteral("ZYXWVUTSRQPONML"));
        };
        oldSign.edited = {{"callsign", "ZYXWVUTSRQPONM", "the edited call sign, 14 kept"}};
        r.push_back(oldSign);

        // Fifteen characters are more than the field: the untouched Set leaves the call sign
        // alone, and only one the user typed goes out.
        RoundTripCase oldSign15 = oldSign;
        oldSign15.name = "OldCallSign15ReadNotWrittenBack";
        oldSign15.sim =
            type8({"radio_frequency=463.0000", "channel_spacing=0", "callsign=ABCDEFGHIJKLMNO"});
        oldSign15.edit = [](Driver& d) {
            editCallSign(d, "pushButton_callsign", QStringLiteral("BX7ABC"));
        };
        oldSign15.edited = {{"callsign", "BX7ABC", "the call sign typed over the cut one"}};
        r.push_back(oldSign15);

        // Past the band's upper edge: shown as read, and Set refuses it rather than send the
        // edge; a typed frequency inside goes out.
        RoundTripCase oldPast = old;
        oldPast.name = "OldRadioReportedPastTheUpperEdge";
        oldPast.sim = type8({"radio_frequency=474.0000", "channel_spacing=0", "callsign=ABC"});
        oldPast.shows = {{"doubleSpinBox_currentFrq_RX", "474.0000"}};
        oldPast.prepare = [](Driver& d) {
            readUntilShown("doubleSpinBox_currentFrq_RX")(d);
            const QWidget* f = d.widget("doubleSpinBox_currentFrq_RX");
            EXPECT_EQ(f->palette().color(QPalette::Base), QColor(Qt::red)) << "not marked";
        };
        oldPast.messages = {"Radio frq is out of 403 - 473!"};
        oldPast.edit = [](Driver& d) { typeSpin(d, "doubleSpinBox_currentFrq_RX", "463"); };
        oldPast.edited = {{"radio_frequency", "463.0000", "the typed frequency inside the band"}};
        r.push_back(oldPast);

        // Answers missing: the power never answers, so none is chosen and Set refuses.
        RoundTripCase oldNoPower = old;
        oldNoPower.name = "OldRadioPowerUnanswered";
        oldNoPower.sim = type8(
            {"radio_frequency=463.0000", "channel_spacing=0", "callsign=ABC", "silent_at=118"});
        oldNoPower.prepare = readUntilShown("doubleSpinBox_currentFrq_RX");
        oldNoPower.shows = {{"comboBox_sendPower", ""}};
        oldNoPower.messages = {"Please enter parameters!"};
        oldNoPower.edit = [](Driver& d) { d.choose("comboBox_sendPower", 3); };
        oldNoPower.edited = {};
        r.push_back(oldNoPower);

        // ---- New protocol: "DataLink" with the radio panel.
        RoundTripCase nw;
        nw.name = "NewRadioFreeFrequency";
        nw.page = "DataLink";
        nw.protocol = Protocol::New;
        nw.sim = {"radio_module=1",   "datalink_mode=1",   "radio_frequency=463",
                  "radio_protocol=1", "radio_stepper=125", "radio_air_baud=9600",
                  "radio_power=10",   kNoCallSign};
        nw.open = openNewLink(1);
        nw.query = "Send_Radio_Frequency";
        nw.prepare = readUntilShown("sbFreq", "cbPowerOn");
        nw.polls = {"Send_Radio_Power_Status_Query"};
        nw.shows = {{"sbFreq", "463.0000"}, {"cbChannel", "0"}, {"cbProtocol", "ZOR"}};
        nw.edit = [](Driver& d) { d.choose("cbChannel", 3); };
        nw.edited = {{"radio_frequency", "457.049988", "channel 3 of the module's band"}};
        r.push_back(nw);

        // 463.125 MHz lies outside module 2's 410-430 MHz: shown and written back as read.
        RoundTripCase nwOutside = nw;
        nwOutside.name = "NewRadioReportedOutsideTheBand";
        nwOutside.sim = {"radio_module=2",   "datalink_mode=1",   "radio_frequency=463.125",
                         "radio_protocol=1", "radio_stepper=125", "radio_air_baud=4800",
                         "radio_power=10",   kNoCallSign};
        nwOutside.open = openNewLink(2);
        nwOutside.shows = {{"sbFreq", "463.1250"}};
        nwOutside.edit = [](Driver& d) { typeSpin(d, "sbFreq", "440"); };
        nwOutside.edited = {};
        nwOutside.editMessages = {"Radio frq is out of 410 - 430!"};
        r.push_back(nwOutside);

        RoundTripCase nwEdge = nwOutside;
        nwEdge.name = "NewRadioAtTheUpperEdge";
        nwEdge.sim = {"radio_module=2",   "datalink_mode=1",   "radio_frequency=430",
                      "radio_protocol=1", "radio_stepper=125", "radio_air_baud=4800",
                      "radio_power=10",   kNoCallSign};
        nwEdge.shows = {{"sbFreq", "430.0000"}};
        nwEdge.edit = [](Driver& d) { typeSpin(d, "sbFreq", "410"); };
        nwEdge.edited = {{"radio_frequency", "410", "the typed lower edge"}};
        nwEdge.editMessages = {};
        r.push_back(nwEdge);

        // The spacing row rebuilds the baud list after the baud is chosen: 19200 stays.
        RoundTripCase nwSpacing = nw;
        nwSpacing.name = "NewRadio25kSpacingRowKeepsTheBaud";
        nwSpacing.sim = {"radio_module=1",
                         "datalink_mode=1",
                         "radio_frequency=463",
                         "radio_protocol=1",
                         "radio_stepper=250",
                         "radio_air_baud=19200",
                         "radio_power=10",
                         "late=Send_Radio_Stepper:700",
                         kNoCallSign};
        nwSpacing.shows = {
            {"sbFreq", "463.0000"}, {"cbBaud", "19200 b/s"}, {"cbSpacing", "25 KHz"}};
        nwSpacing.edit = [](Driver& d) { d.choose("cbBaud", 9600); };
        nwSpacing.edited = {{"radio_air_baud", "9600", "the chosen air baud"}};
        r.push_back(nwSpacing);

        // Call signs: 16 characters fill the new field and go back whole; a seventeenth
        // cannot be typed.
        RoundTripCase nwSign = nw;
        nwSign.name = "NewCallSign16Then17Typed";
        nwSign.sim = {
            "radio_module=2",      "datalink_mode=1",
            "radio_frequency=420", "radio_protocol=1",
            "radio_stepper=125",   "radio_air_baud=4800",
            "radio_power=10",      "radio_callsign=010A4142434445464748494A4B4C4D4E4F5000"};
        nwSign.open = openNewLink(2);
        nwSign.shows = {{"sbFreq", "420.0000"}};
        nwSign.edit = [](Driver& d) {
            editCallSign(d, "pbCallSign", QStringLiteral("ZYXWVUTSRQPONMLKJ"));
        };
        nwSign.edited = {{"radio_callsign", "010A5A595857565554535251504F4E4D4C4B00",
                          "the edited call sign, 16 kept"}};
        r.push_back(nwSign);

        // Seventeen characters are more than the field: the untouched Set leaves the call
        // sign alone, and only one the user typed goes out.
        RoundTripCase nwSign17 = nwSign;
        nwSign17.name = "NewCallSign17ReadNotWrittenBack";
        nwSign17.sim = {
            "radio_module=2",      "datalink_mode=1",
            "radio_frequency=420", "radio_protocol=1",
            "radio_stepper=125",   "radio_air_baud=4800",
            "radio_power=10",      "radio_callsign=010A4142434445464748494A4B4C4D4E4F5051"};
        nwSign17.edit = [](Driver& d) { editCallSign(d, "pbCallSign", QStringLiteral("BX7")); };
        nwSign17.edited = {{"radio_callsign", "010A4258370000000000000000000000000000",
                            "the call sign typed over the cut one"}};
        r.push_back(nwSign17);

        // The protocol 0 has no name in the shipped file: none shown, none written.
        RoundTripCase nwProtocol = nwSign;
        nwProtocol.name = "NewRadioProtocolWithoutAnItem";
        nwProtocol.sim = {"radio_module=2",   "datalink_mode=1",   "radio_frequency=420",
                          "radio_protocol=0", "radio_stepper=125", "radio_air_baud=4800",
                          "radio_power=10",   kNoCallSign};
        nwProtocol.shows = {{"sbFreq", "420.0000"}, {"cbProtocol", ""}};
        nwProtocol.edit = [](Driver& d) { typeSpin(d, "sbFreq", "415.05"); };
        nwProtocol.edited = {{"radio_frequency", "415.049988", "the typed frequency"}};
        r.push_back(nwProtocol);

        // ---- Old protocol: the receiver's channel table, logged in.
        RoundTripCase table;
        table.name = "OldChannelTable12k5";
        table.page = "RadioChannel";
        table.protocol = Protocol::Old;
        table.deviceType = 2;
        // The default radio (type 3) cannot transmit: its channels are receive only.
        table.sim = {"firmware=8.20", "channel_spacing=0",
                     "channel_types=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"};
        table.open = openChannelTableLoggedIn;
        table.query = "Query_Radio_ChannelList_Freq";
        table.edit = [](Driver& d) {
            auto* page = qobject_cast<Varnok::RadioChannelWidget_V2*>(d.page());
            ASSERT_NE(page, nullptr);
            QDoubleSpinBox* box = page->frequencyEditor(5);
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("457.0125"));
            QTest::keyClick(box, Qt::Key_Return);
        };
        // 457.0125 MHz is 36561 steps of 12.5 kHz.
        table.edited = {{"channel_counts",
                         "0,36404,36444,36484,36524,36561,36604,36644,36684,36724,36764,36804,"
                         "36844,36884,36924,36964",
                         "channel 5 typed"}};
        r.push_back(table);

        // A radio that cannot transmit shows no TX column: an untouched Set leaves every use as
        // read, and a cleared RX box keeps the transmit bit it hides.
        RoundTripCase tableUses = table;
        tableUses.name = "OldChannelTableNoTxKeepsUsesAsRead";
        tableUses.sim = {"firmware=8.20", "channel_spacing=0",
                         "channel_types=0,1,2,3,0,1,2,3,0,1,2,3,0,1,2,3"};
        tableUses.edit = [](Driver& d) {
            auto* page = qobject_cast<Varnok::RadioChannelWidget_V2*>(d.page());
            ASSERT_NE(page, nullptr);
            ASSERT_FALSE(page->txBox(0)->isVisibleTo(page));
            page->rxBox(0)->setChecked(false);
            page->rxBox(3)->setChecked(true);
        };
        tableUses.edited = {{"channel_types", "2,1,2,1,0,1,2,3,0,1,2,3,0,1,2,3",
                             "channel 0 loses receive, channel 3 gains it"}};
        r.push_back(tableUses);

        // A 20 kHz radio's table goes back as it was read.
        RoundTripCase table20 = table;
        table20.name = "OldChannelTable20k";
        table20.sim = {"firmware=8.20", "radio_type=8", "channel_spacing=1",
                       "channel_counts=0,23150,0,0,0,0,0,0,0,0,0,0,0,0,0,0"};
        table20.edit = nullptr;
        table20.edited = {};
        r.push_back(table20);

        // An edited channel of a 20 kHz radio goes out in 20 kHz steps too: 463.02 MHz is
        // 23151.
        RoundTripCase table20edit = table20;
        table20edit.name = "OldChannelTable20kEdited";
        table20edit.edit = [](Driver& d) {
            auto* page = qobject_cast<Varnok::RadioChannelWidget_V2*>(d.page());
            ASSERT_NE(page, nullptr);
            QDoubleSpinBox* box = page->frequencyEditor(1);
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("463.02"));
            QTest::keyClick(box, Qt::Key_Return);
        };
        table20edit.edited = {{"channel_counts", "0,23151,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
                               "channel 1 typed, one 20 kHz channel up"}};
        r.push_back(table20edit);

        // Channel 2 (at 0 MHz) is outside the band and shown kept as read; typed over, it goes
        // out as typed.
        RoundTripCase table20kept = table20;
        table20kept.name = "OldChannelTable20kKeptAsReadTypedOver";
        table20kept.edit = [](Driver& d) {
            auto* page = qobject_cast<Varnok::RadioChannelWidget_V2*>(d.page());
            ASSERT_NE(page, nullptr);
            ASSERT_TRUE(page->isOutsideRange(2));
            QDoubleSpinBox* box = page->frequencyEditor(2);
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("463.02"));
        };
        table20kept.edited = {{"channel_counts", "0,23150,23151,0,0,0,0,0,0,0,0,0,0,0,0,0",
                               "channel 2 typed over the value kept as read"}};
        r.push_back(table20kept);

        // A 25 kHz radio's channels are counted, and written, in 12.5 kHz steps: 460.0 MHz is
        // 36800, 460.025 MHz 36802.
        RoundTripCase table25 = table20;
        table25.name = "OldChannelTable25kCountsIn12k5Steps";
        table25.sim = {"firmware=8.20", "radio_type=7",
                       "channel_counts=0,36800,0,0,0,0,0,0,0,0,0,0,0,0,0,0"};
        table25.edit = [](Driver& d) {
            auto* page = qobject_cast<Varnok::RadioChannelWidget_V2*>(d.page());
            ASSERT_NE(page, nullptr);
            QDoubleSpinBox* box = page->frequencyEditor(1);
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, QStringLiteral("460.025"));
            QTest::keyClick(box, Qt::Key_Return);
        };
        table25.edited = {{"channel_counts", "0,36802,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
                           "channel 1 typed, one 25 kHz channel up"}};
        r.push_back(table25);

        // ---- New protocol: the band tables, read only ("Get" reads again).
        RoundTripCase k45;
        k45.name = "NewChannelTablesThreeBands";
        k45.page = "RadioChannel";
        k45.protocol = Protocol::New;
        k45.sim = {"radio_module=7",
                   "radio_channel_tables=415.05,416.05/430.0125,432.5,435/456.05,456.55,457.05"};
        k45.query = "Send_Radio_Channel_List_All_Query";
        k45.press = "Get";
        k45.prepare = [](Driver& d) {
            auto* t = d.page()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->columnCount(), 3);
            EXPECT_EQ(t->horizontalHeaderItem(0)->text(), "High Frequency( MHz )");
            ASSERT_NE(t->item(0, 0), nullptr);
            EXPECT_EQ(t->item(0, 0)->text(), "456.05");
        };
        r.push_back(k45);

        // One list (counts 16, 0, 0): the receiver's first list is its low band.
        RoundTripCase k45one = k45;
        k45one.name = "NewChannelTableOneList";
        k45one.sim = {"radio_module=1",
                      "radio_channel_tables=450.0125,450.5,451,451.5,452,452.5,453,453.5,454,"
                      "454.5,455,455.5,456,456.5,457,457.5"};
        k45one.prepare = [](Driver& d) {
            auto* t = d.page()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->columnCount(), 1);
            EXPECT_EQ(t->rowCount(), 16);
            ASSERT_NE(t->horizontalHeaderItem(0), nullptr);
            EXPECT_EQ(t->horizontalHeaderItem(0)->text(), "Low Frequency( MHz )");
        };
        r.push_back(k45one);

        return r;
    }();
    return rows;
}

}  // namespace

VARNOK_ROUNDTRIP_ROWS(Radio, RadioCases);

}  // namespace varnok_test
