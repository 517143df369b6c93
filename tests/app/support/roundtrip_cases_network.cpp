// The round-trip rows of the network pages: the network panel of the data link page on both
// protocols, the old receivers' APN page, and the new receivers' wireless window with its
// Wi-Fi and modem tabs.
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cstdio>

#include "SimReceiver/SimProcess.h"
#include "device_manager.h"
#include "father_widget.h"
#include "roundtrip.h"
#include "shell_harness.h"
#include "wireless_config_widget.h"

namespace varnok_test {
namespace {

using roundtrip::Change;
using roundtrip::Driver;
using roundtrip::Protocol;
using roundtrip::RoundTripCase;

// A record's bytes as the simulator keeps them: the text, zero-filled to the field, in hex.
std::string Hex(const std::string& bytes, std::size_t size) {
    std::string out;
    char pair[3];
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char b = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(b));
        out += pair;
    }
    return out;
}

// The new protocol's server address record: the address high byte first, the port, a zero
// flag and an empty name.
std::string AddressRecord(unsigned a, unsigned b, unsigned c, unsigned d, unsigned port) {
    const std::string bytes = {static_cast<char>(a),         static_cast<char>(b),
                               static_cast<char>(c),         static_cast<char>(d),
                               static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)};
    return Hex(bytes, 57);
}

std::string AccountRecord(const std::string& user, const std::string& password) {
    std::string bytes = user;
    bytes.resize(50, '\0');
    bytes += password;
    return Hex(bytes, 70);
}

// The modem's dial record: an empty first text, then number, user, password and APN, 20 bytes
// each.
std::string DialRecord(const std::string& number, const std::string& user,
                       const std::string& password, const std::string& apn) {
    return Hex("", 20) + Hex(number, 20) + Hex(user, 20) + Hex(password, 20) + Hex(apn, 20);
}

// The old receivers' network panel fills as its answers come, with no wait of its own: the
// case waits for the fields it shows.
roundtrip::Hook WaitForShown(std::vector<roundtrip::Shown> shown) {
    return [shown](Driver& d) {
        const bool filled = Driver::waitFor([&] {
            for (const roundtrip::Shown& s : shown) {
                auto* edit = qobject_cast<QLineEdit*>(d.page()->findChild<QWidget*>(s.object));
                auto* box = qobject_cast<QComboBox*>(d.page()->findChild<QWidget*>(s.object));
                if ((edit && edit->text() != s.text) || (box && box->currentText() != s.text)) {
                    return false;
                }
            }
            return true;
        });
        EXPECT_TRUE(filled) << "the answers did not fill the panel";
    };
}

const std::vector<RoundTripCase>& NetworkCases() {
    static const std::vector<RoundTripCase> rows = [] {
        std::vector<RoundTripCase> r;

        // ---- APN page of old receivers.

        // The Get shows what came; an untouched Set writes the same four texts.
        RoundTripCase apn;
        apn.name = "ApnOld";
        apn.page = "WirelessConfig";
        apn.protocol = Protocol::Old;
        apn.sim = {"apn=internet", "dial=*99#", "gprs_user=user", "gprs_password=secret"};
        apn.query = "Send_Gprs_Info";
        apn.prepare = [](Driver& d) { d.pressKey("Get"); };
        apn.shows = {{"lineEdit_APN", "internet"},
                     {"lineEdit_serverNum", "*99#"},
                     {"lineEdit_guestName", "user"},
                     {"lineEdit_psw", "secret"}};
        apn.edit = [](Driver& d) { d.typeText("lineEdit_APN", "apn.example"); };
        apn.edited = {Change("apn", "apn.example", "the edited APN")};
        r.push_back(apn);

        // Texts one over their editors (dial number 14, user 32, password 16, together over
        // 48) show whole and go back exactly as read while only the APN is edited.
        RoundTripCase apnLong = apn;
        apnLong.name = "ApnOldTextsOneOverTheirEditors";
        apnLong.sim = {"apn=" + std::string(31, 'a'), "dial=123456789012345",
                       "gprs_user=" + std::string(33, 'u'), "gprs_password=ABCDEFGHIJKLMNOPQ"};
        apnLong.shows = {{"lineEdit_APN", QString(31, 'a')},
                         {"lineEdit_serverNum", "123456789012345"},
                         {"lineEdit_guestName", QString(33, 'u')},
                         {"lineEdit_psw", "ABCDEFGHIJKLMNOPQ"}};
        r.push_back(apnLong);

        // No answer: the editors stay empty and Set is refused with a message.
        RoundTripCase apnSilent = apn;
        apnSilent.name = "ApnOldUnanswered";
        apnSilent.sim = {"drop=Send_Gprs_Info"};
        apnSilent.shows = {{"lineEdit_APN", ""}, {"lineEdit_psw", ""}};
        apnSilent.messages = {"Please enter parameters."};
        apnSilent.edit = nullptr;
        apnSilent.edited.clear();
        r.push_back(apnSilent);

        // ---- Network panel of the old protocol's data link page.

        // Set logs on: the status the log-on ends with is the one change, and "Logged On!".
        RoundTripCase gprs;
        gprs.name = "NetworkOldNtripRover";
        gprs.page = "DataLink";
        gprs.protocol = Protocol::Old;
        gprs.sim = {"transmit_mode=0",  "gprs_address=10.0.0.7", "gprs_port=2101",
                    "gprs_protocol=1",  "gprs_work_mode=1",      "cors_source=MP0",
                    "cors_user=rover1", "cors_password=secret1", "login_mode=1"};
        gprs.query = "Send_Cors_Info_Auto";
        gprs.shows = {{"lineEdit_address", "10.0.0.7"},      {"lineEdit_port", "2101"},
                      {"comboBox_protocol", "Ntrip Client"}, {"comboBox_sourceList", "MP0"},
                      {"lineEdit_guestName", "rover1"},      {"lineEdit_psw", "secret1"},
                      {"checkBox_autoLog", "checked"}};
        gprs.expected = {Change("gprs_status", "4", "a Set logs on and waits for it")};
        gprs.messages = {"Logged On!"};
        gprs.polls = {"Send_Gprs_Status", "Send_Gprs_Eroinfo"};
        gprs.edit = [](Driver& d) { d.typeText("lineEdit_psw", "secret2"); };
        gprs.edited = {Change("cors_password", "secret2", "the edited password")};
        gprs.editMessages = {"Logged On!"};
        gprs.prepare = WaitForShown(gprs.shows);
        r.push_back(gprs);

        // Source and password at their 19-character fields, the user name at 49: all go back
        // whole.
        RoundTripCase gprsLimit = gprs;
        gprsLimit.name = "NetworkOldTextsAtTheirFields";
        gprsLimit.sim = {"transmit_mode=0",
                         "gprs_address=10.0.0.7",
                         "gprs_port=2101",
                         "gprs_protocol=1",
                         "gprs_work_mode=1",
                         "cors_source=" + std::string(19, 's'),
                         "cors_user=" + std::string(10, 'u'),
                         "cors_password=" + std::string(19, 'p'),
                         "login_mode=1"};
        gprsLimit.shows = {{"comboBox_sourceList", QString(19, 's')},
                           {"lineEdit_psw", QString(19, 'p')}};
        gprsLimit.edit = [](Driver& d) { d.typeText("lineEdit_psw", QString(20, 'p')); };
        gprsLimit.edited.clear();
        gprsLimit.editMessages = {"Password is too long: at most 19 characters."};
        gprsLimit.prepare = WaitForShown(gprsLimit.shows);
        r.push_back(gprsLimit);

        // A source the receiver sends longer than its 19-character field arrives cut: marked,
        // and an untouched Set is refused instead of writing it back cut. A typed source goes.
        RoundTripCase gprsOver = gprs;
        gprsOver.name = "NetworkOldSourceOverItsField";
        gprsOver.sim = {
            "transmit_mode=0",  "gprs_address=10.0.0.7", "gprs_port=2101",
            "gprs_protocol=1",  "gprs_work_mode=1",      "cors_source=" + std::string(25, 's'),
            "cors_user=rover1", "cors_password=secret1", "login_mode=1"};
        gprsOver.shows = {{"comboBox_sourceList", QString(19, 's')}};
        gprsOver.expected.clear();
        gprsOver.messages = {"Source is too long: at most 19 characters."};
        gprsOver.edit = [](Driver& d) {
            auto* box = qobject_cast<QComboBox*>(d.widget("comboBox_sourceList"));
            ASSERT_NE(box, nullptr);
            box->lineEdit()->setFocus();
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), "MP2");
            ASSERT_EQ(box->currentText(), "MP2");
        };
        gprsOver.edited = {Change("cors_source", "MP2", "the typed source"),
                           Change("gprs_status", "4", "a Set logs on and waits for it")};
        gprsOver.editMessages = {"Logged On!"};
        gprsOver.prepare = WaitForShown(gprsOver.shows);
        r.push_back(gprsOver);

        // A user name of 35 fits its 50-byte field (and the total of 49) but not the editor's
        // 31: shown whole, it goes back whole; a typed one keeps the editor's length.
        RoundTripCase longUser = gprs;
        longUser.name = "NetworkOldUserPastItsEditor";
        for (std::string& setting : longUser.sim) {
            if (setting.rfind("cors_user=", 0) == 0) {
                setting = "cors_user=" + std::string(35, 'u');
            }
        }
        longUser.shows = {{"lineEdit_guestName", QString(35, 'u')}};
        longUser.edit = [](Driver& d) { d.typeText("lineEdit_guestName", QString(32, 'v')); };
        longUser.edited.clear();
        longUser.editMessages = {"User Name is too long: at most 31 characters."};
        longUser.prepare = WaitForShown(longUser.shows);
        r.push_back(longUser);

        // A user name or password the receiver sends longer than its field arrives cut:
        // marked, the untouched Set refused naming it, a typed one goes.
        const struct {
            const char* name;
            const char* key;
            const char* editor;
            int sent, shown;
            const char* message;
            const char* typed;
        } cutLogin[] = {
            {"NetworkOldUserOverItsField", "cors_user", "lineEdit_guestName", 55, 49,
             "User Name is too long: at most 49 characters.", "rover2"},
            {"NetworkOldPasswordOverItsField", "cors_password", "lineEdit_psw", 25, 19,
             "Password is too long: at most 19 characters.", "secret2"},
        };
        for (const auto& c : cutLogin) {
            RoundTripCase cut = gprs;
            cut.name = c.name;
            for (std::string& setting : cut.sim) {
                if (setting.rfind(std::string(c.key) + "=", 0) == 0) {
                    setting = std::string(c.key) + "=" + std::string(c.sent, 'x');
                }
            }
            cut.shows = {{c.editor, QString(c.shown, 'x')}};
            cut.expected.clear();
            cut.messages = {c.message};
            const std::string editor = c.editor;
            const QString typed = c.typed;
            cut.edit = [editor, typed](Driver& d) { d.typeText(editor.c_str(), typed); };
            cut.edited = {Change(c.key, c.typed, "the typed text"),
                          Change("gprs_status", "4", "a Set logs on and waits for it")};
            cut.editMessages = {"Logged On!"};
            cut.prepare = WaitForShown(cut.shows);
            r.push_back(cut);
        }

        // A base ID longer than its field arrives cut; an Ntrip rover hides its editor, so
        // nothing can refuse it: it stays out of the Set and the receiver keeps it whole.
        RoundTripCase hiddenBaseId = gprs;
        hiddenBaseId.name = "NetworkOldHiddenBaseIdOverItsField";
        hiddenBaseId.sim.push_back("base_id=" + std::string(25, 'B'));
        r.push_back(hiddenBaseId);

        // An ORLO rover's base ID at its field.
        RoundTripCase orlo = gprs;
        orlo.name = "NetworkOldOrloRover";
        orlo.sim = {"transmit_mode=0", "gprs_address=10.0.0.8", "gprs_port=9901",
                    "gprs_protocol=0", "gprs_work_mode=1",      "base_id=" + std::string(19, 'B')};
        orlo.shows = {{"comboBox_protocol", "ORLO"}, {"lineEdit_BaseID", QString(19, 'B')}};
        orlo.edit = [](Driver& d) { d.typeText("lineEdit_BaseID", "0042"); };
        orlo.edited = {Change("base_id", "0042", "the edited base ID")};
        orlo.prepare = WaitForShown(orlo.shows);
        r.push_back(orlo);

        // An ORLO rover's base ID longer than its field arrives cut: shown cut and marked,
        // the untouched Set refused naming it, a typed one goes.
        RoundTripCase orloOver = orlo;
        orloOver.name = "NetworkOldOrloBaseIdOverItsField";
        orloOver.sim.back() = "base_id=" + std::string(25, 'B');
        orloOver.shows = {{"lineEdit_BaseID", QString(19, 'B')}};
        orloOver.expected.clear();
        orloOver.messages = {"BaseID is too long: at most 19 characters."};
        orloOver.edited = {Change("base_id", "0042", "the edited base ID"),
                           Change("gprs_status", "4", "a Set logs on and waits for it")};
        orloOver.prepare = WaitForShown(orloOver.shows);
        r.push_back(orloOver);

        // Neither the source and login record nor the login mode answers: an ORLO rover's
        // Set leaves both out, so the receiver keeps its own.
        RoundTripCase orloPartial = orlo;
        orloPartial.name = "NetworkOldOrloLoginRecordUnanswered";
        orloPartial.sim = {"transmit_mode=0",
                           "gprs_address=10.0.0.8",
                           "gprs_port=9901",
                           "gprs_protocol=0",
                           "gprs_work_mode=1",
                           "base_id=0007",
                           "cors_source=MP9",
                           "cors_user=kept-user",
                           "cors_password=kept-pw",
                           "login_mode=1",
                           "drop=Send_Cors_Info_Auto,Send_Gprs_CosMdl"};
        orloPartial.query = "Send_Gprs_Info";
        orloPartial.shows = {{"lineEdit_BaseID", "0007"}, {"lineEdit_psw", ""}};
        orloPartial.prepare = WaitForShown(orloPartial.shows);
        r.push_back(orloPartial);

        // The source and login record never answers: the source is not known, and Set asks
        // for it instead of sending an empty one.
        RoundTripCase gprsPartial = gprs;
        gprsPartial.name = "NetworkOldSourceUnanswered";
        gprsPartial.sim = {"transmit_mode=0",         "gprs_address=10.0.0.7", "gprs_port=2101",
                           "gprs_protocol=1",         "gprs_work_mode=1",      "cors_source=MP0",
                           "drop=Send_Cors_Info_Auto"};
        gprsPartial.query = "Send_Gprs_Info";
        gprsPartial.shows = {{"lineEdit_address", "10.0.0.7"}, {"comboBox_sourceList", ""}};
        gprsPartial.expected.clear();
        gprsPartial.messages = {"Please enter parameters!"};
        gprsPartial.edit = nullptr;
        gprsPartial.edited.clear();
        gprsPartial.prepare = WaitForShown(gprsPartial.shows);
        r.push_back(gprsPartial);

        // ---- Network panel of the new protocol's data link page.

        RoundTripCase net;
        net.name = "NetworkNewNtrip";
        net.page = "DataLink";
        net.protocol = Protocol::New;
        net.sim = {"datalink_mode=3",
                   "server_type=2",
                   "server_address=" + AddressRecord(192, 168, 1, 20, 2101),
                   "server_source=" + Hex("MP1", 20),
                   "server_account=" + AccountRecord("rover1", "secret1"),
                   "net_auto_open=1"};
        net.query = "Send_NetLink_Auto_Open";
        // (The radio panel beside it has a cbProtocol of its own.)
        net.shows = {{"lblSource", "Source:"},  {"leAddress", "192.168.1.20"}, {"lePort", "2101"},
                     {"cbSource", "MP1"},       {"leUserName", "rover1"},      {"lePsw", "secret1"},
                     {"cbAutoLogin", "checked"}};
        net.edit = [](Driver& d) { d.typeText("lePsw", "secret2"); };
        net.edited = {
            Change("server_account", AccountRecord("rover1", "secret2"), "the edited password")};
        r.push_back(net);

        // Texts at their 19 characters go back whole; the source filling all 20 bytes of its
        // field has no room for its terminator and is refused, never sent cut.
        RoundTripCase netLimit = net;
        netLimit.name = "NetworkNewTextsAtAndOverTheirFields";
        netLimit.sim = {
            "datalink_mode=3", "server_type=2",
            "server_address=" + AddressRecord(192, 168, 1, 20, 2101),
            "server_source=" + Hex(std::string(20, 'M'), 20),
            "server_account=" + AccountRecord(std::string(19, 'u'), std::string(19, 'p'))};
        netLimit.shows = {{"cbSource", QString(20, 'M')},
                          {"leUserName", QString(19, 'u')},
                          {"lePsw", QString(19, 'p')}};
        netLimit.messages = {"Source is too long: at most 19 characters."};
        netLimit.edit = [](Driver& d) {
            auto* box = qobject_cast<QComboBox*>(d.widget("cbSource"));
            ASSERT_NE(box, nullptr);
            box->setEditText(QString(19, 'M'));
        };
        netLimit.edited = {
            Change("server_source", Hex(std::string(19, 'M'), 20), "the edited source")};
        netLimit.editMessages.clear();
        r.push_back(netLimit);

        // An ORLO rover's base ID.
        RoundTripCase netOrlo = net;
        netOrlo.name = "NetworkNewOrloRover";
        netOrlo.sim = {"datalink_mode=3", "server_type=3",
                       "server_address=" + AddressRecord(10, 0, 0, 8, 9901),
                       "server_source=" + Hex("BASE7", 20),
                       "server_account=" + AccountRecord("", "")};
        netOrlo.shows = {{"lblSource", "BaseID:"}, {"leBaseID", "BASE7"}};
        netOrlo.edit = [](Driver& d) { d.typeText("leBaseID", "0042"); };
        netOrlo.edited = {Change("server_source", Hex("0042", 20), "the edited base ID")};
        r.push_back(netOrlo);

        // The login mode never answers: the query ends silently with the rest shown, and the
        // auto-open flag, not read, is left out of the Set (the box shows it unchecked).
        RoundTripCase netPartial = net;
        netPartial.name = "NetworkNewLoginModeUnanswered";
        netPartial.sim = {"datalink_mode=3",
                          "server_type=2",
                          "server_address=" + AddressRecord(192, 168, 1, 20, 2101),
                          "server_source=" + Hex("MP1", 20),
                          "server_account=" + AccountRecord("rover1", "secret1"),
                          "net_auto_open=1",
                          "drop=Send_NetLink_Auto_Open",
                          "late=Send_NetLink_Address:500"};
        netPartial.query = "Send_NetLink_Auto_Open";
        netPartial.shows = {{"leAddress", "192.168.1.20"}, {"cbSource", "MP1"}};
        r.push_back(netPartial);

        // ---- Wireless window of new receivers: the Wi-Fi tab.

        RoundTripCase wifi;
        wifi.name = "WifiNew";
        wifi.page = "WirelessConfig";
        wifi.protocol = Protocol::New;
        wifi.sim = {
            "wifi_power=2", "wifi_mode=1", "wifi_ssid=FIELD-AP", "wifi_channel=2",
            "wifi_password=12345678", "wifi_auto_open=1", "modem_power=3",
            // The record as the keys above give it: a Set of the same bytes changes nothing.
            "wifi_ap_raw=" + Hex("FIELD-AP", 20) + "0002" + Hex("12345678", 20)};
        wifi.query = "Send_WIFI_Auto_Open";
        wifi.shows = {{"leSSID", "FIELD-AP"}};
        // The dial poll: the dial status alone, never a power-on of the modem read as off.
        wifi.polls = {"Send_Modem_Dial_Status_Query"};
        wifi.edit = [](Driver& d) { d.click("cbWifiAuto"); };
        wifi.edited = {Change("wifi_auto_open", "0", "the edited auto open")};
        r.push_back(wifi);

        // The modem tab read the modem as off; back on the Wi-Fi tab, its dial poll keeps
        // asking for the dial status only, and the modem stays off.
        RoundTripCase wifiAfterModem = wifi;
        wifiAfterModem.name = "WifiNewAfterTheModemTabReadItOff";
        wifiAfterModem.open = [](Driver& d) -> Varnok::Widget* {
            d.frame()->onCommand(QStringLiteral("WirelessConfig"));
            ShellHarness::deliver();
            auto* window = qobject_cast<Varnok::WirelessConfigWidget*>(d.frame()->currentPage());
            if (window == nullptr) {
                return nullptr;
            }
            window->tabs()->setCurrentIndex(1);
            ShellHarness::deliver();
            const bool read = Driver::waitFor(
                [&] { return Varnok::DeviceManager::instance()->modemPowerStatus() == 3; });
            EXPECT_TRUE(read) << "the modem tab did not read the modem";
            window->tabs()->setCurrentIndex(0);
            ShellHarness::deliver();
            return window;
        };
        wifiAfterModem.prepare = [](Driver& d) {
            // Two polls go out while the tab is open.
            auto polls = [&d] {
                const std::vector<std::string> n = d.sim().requestNames();
                return std::count(n.begin(), n.end(), "Send_Modem_Dial_Status_Query");
            };
            const auto before = polls();
            EXPECT_TRUE(Driver::waitFor([&] { return polls() >= before + 2; }));
        };
        r.push_back(wifiAfterModem);

        // The access point never answers: its password and type are not known, and Set is
        // refused rather than writing an empty record.
        RoundTripCase wifiPartial = wifi;
        wifiPartial.name = "WifiNewAccessPointUnanswered";
        wifiPartial.sim.push_back("drop=Send_WIFI_Param_AP");
        wifiPartial.shows = {{"leSSID", ""}};
        wifiPartial.messages = {"Parameters invalid!"};
        wifiPartial.edit = nullptr;
        wifiPartial.edited.clear();
        r.push_back(wifiPartial);

        // ---- The modem tab.

        RoundTripCase modem;
        modem.name = "ModemNew";
        modem.page = "WirelessConfig";
        modem.protocol = Protocol::New;
        modem.sim = {"modem_power=2",
                     "modem_apn=internet",
                     "modem_number=*99#",
                     "modem_user=rover",
                     "modem_password=pw",
                     "modem_auto_power=1",
                     "modem_auto_dial=0",
                     "modem_band=3",
                     "modem_dial_raw=" + DialRecord("*99#", "rover", "pw", "internet")};
        modem.open = [](Driver& d) -> Varnok::Widget* {
            d.frame()->onCommand(QStringLiteral("WirelessConfig"));
            ShellHarness::deliver();
            auto* window = qobject_cast<Varnok::WirelessConfigWidget*>(d.frame()->currentPage());
            if (window == nullptr) {
                return nullptr;
            }
            window->tabs()->setCurrentIndex(1);
            ShellHarness::deliver();
            return window;
        };
        modem.query = "Send_Modem_CSD_Status_Query";
        modem.shows = {{"leAPN", "internet"}, {"leDialNum", "*99#"}, {"leName", "rover"}};
        modem.answers = {QMessageBox::No};
        modem.messages = {"Dial on now ?"};
        modem.edit = [](Driver& d) { d.typeText("leAPN", "apn.example"); };
        modem.edited = {Change("modem_dial_raw", DialRecord("*99#", "rover", "pw", "apn.example"),
                               "the edited APN")};
        modem.editAnswers = {QMessageBox::No};
        modem.editMessages = {"Dial on now ?"};
        r.push_back(modem);

        // Texts at their 19-character fields go back whole.
        RoundTripCase modemLimit = modem;
        modemLimit.name = "ModemNewTextsAtTheirFields";
        const std::string apn19(19, 'a'), user19(19, 'u'), pw19(19, 'p'), number19(19, '9');
        modemLimit.sim = {"modem_power=2",
                          "modem_apn=" + apn19,
                          "modem_number=" + number19,
                          "modem_user=" + user19,
                          "modem_password=" + pw19,
                          "modem_band=2",
                          "modem_dial_raw=" + DialRecord(number19, user19, pw19, apn19)};
        modemLimit.shows = {{"leAPN", QString::fromStdString(apn19)},
                            {"leDialNum", QString::fromStdString(number19)},
                            {"leName", QString::fromStdString(user19)}};
        modemLimit.edited = {Change(
            "modem_dial_raw", DialRecord(number19, user19, pw19, "apn.example"), "the edited APN")};
        r.push_back(modemLimit);

        // A band code no item carries: the box stays blank and Set is refused, nothing sent.
        RoundTripCase modemBand = modem;
        modemBand.name = "ModemNewBandNoItemCarries";
        modemBand.sim = {"modem_power=2", "modem_band=0",
                         "modem_dial_raw=" + DialRecord("*99#", "", "", "internet")};
        modemBand.shows = {{"cbMode", ""}};
        modemBand.answers.clear();
        modemBand.messages = {"Please enter parameters."};
        modemBand.edit = nullptr;
        modemBand.edited.clear();
        r.push_back(modemBand);

        return r;
    }();
    return rows;
}

}  // namespace

VARNOK_ROUNDTRIP_ROWS(Network, NetworkCases);

}  // namespace varnok_test
