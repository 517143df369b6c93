// varnok_screenshots <dir>: renders the shell's pages at 480 x 640 into <dir>.
// varnok_screenshots --check <dir>: every PNG there has the frame's size and is not flat.
#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <cstring>

#include "bt_bindings_config.h"
#include "channel0_enable_editor.h"
#include "close_app_dialog.h"
#include "datachain.h"
#include "datachain_radio.h"
#include "datalink_test_support.h"
#include "device_test_support.h"
#include "BVComm/Bluetooth.h"
#include "FakeBluetoothBackend.h"
#include "connect.h"
#include "connect_fixtures.h"
#include "logic_context.h"
#include "datalink_widget.h"
#include "device_test_support.h"
#include "login_dialog.h"
#include "menu_manager.h"
#include "new_datalink_support.h"
#include "password_store.h"
#include "radio_widget.h"
#include "radio_config.h"
#include "register_pages.h"
#include "select_get_source_method.h"
#include "shell_harness.h"
// Network, wireless and server pages.
#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <cstring>
#include "net_server_config.h"
#include "server_pages.h"
#include "server_widget.h"
#include "ui_server_config.h"
#include "ui_server_widget.h"
#include "ui_source_add.h"
#include "wireless_config_widget.h"
#include "wireless_rules.h"
#include "timer_scale.h"
#include "ui_channel0_enable_editor.h"
#include "ui_connect.h"
#include "wireless_widget.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

using varnok_test::ShellHarness;

bool save(const QPixmap& pixmap, const QString& dir, const char* name) {
    const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QPixmap frameShot(Varnok::FatherWidget* frame) {
    ShellHarness::deliver();
    return frame->grab();
}

// A dialog as it stands over the frame: centred, on the frame's picture.
QPixmap dialogShot(Varnok::FatherWidget* frame, QDialog* dialog) {
    QPixmap shot = frameShot(frame);
    dialog->adjustSize();
    dialog->resize(qMin(dialog->width(), kWidth - 20), dialog->height());
    dialog->show();
    ShellHarness::deliver();
    const QPixmap over = dialog->grab();
    QPainter p(&shot);
    p.fillRect(shot.rect(), QColor(0, 0, 0, 90));
    const QPoint at((shot.width() - over.width()) / 2, (shot.height() - over.height()) / 3);
    p.setPen(Qt::black);
    p.drawRect(QRect(at, over.size()).adjusted(-1, -1, 0, 0));
    p.drawPixmap(at, over);
    p.end();
    dialog->hide();
    return shot;
}

// ---- Network, wireless and server pages.

NetServer storedServer(const char* name, int protocol, const char* address, uint32_t port,
                       QStringList sources = {}) {
    NetServer s;
    s.name = QString::fromLatin1(name);
    s.protocol = protocol;
    s.address = QString::fromLatin1(address);
    s.port = port;
    s.sources = std::move(sources);
    s.user = QStringLiteral("surveyor");
    return s;
}

bool serverScenes(Varnok::FatherWidget* frame, const QString& dir) {
    bool ok = true;
    NetServerConfig& store = NetServerConfig::instance();
    store.addServer(storedServer("Regional CORS", 1, "caster.example.org", 2101,
                                 {QStringLiteral("RTCM3_NEAR"), QStringLiteral("CMRX_NEAR")}));
    store.addServer(storedServer("Site base", 0, "10.20.0.5", 9901));
    store.addServer(storedServer("Office relay", 3, "192.168.1.50", 5017));
    frame->onCommand(QStringLiteral("ServerConfig"));
    auto* list = qobject_cast<Varnok::ServerConfig*>(frame->page(QStringLiteral("ServerConfig")));
    list->form()->tableWidget_serverConfig->selectRow(0);
    ok &= save(frameShot(frame), dir, "server-list");

    list->newAction()->trigger();
    auto* add = qobject_cast<Varnok::ServerConfig_Add*>(frame->page(QStringLiteral("Add")));
    Ui::ServerWidget* f = add->serverWidget()->form();
    f->lineEdit_name->setText(QStringLiteral("New caster"));
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    f->lineEdit_address->setText(QStringLiteral("ntrip.example.net"));
    f->lineEdit_port->setText(QStringLiteral("2101"));
    f->listWidget_source->addItems({QStringLiteral("VRS_RTCM3"), QStringLiteral("NEAREST")});
    f->lineEdit_guestName->setText(QStringLiteral("surveyor"));
    f->lineEdit_psw->setText(QStringLiteral("password"));
    ok &= save(frameShot(frame), dir, "server-add-ntrip");
    {
        Varnok::Source_Add dialog(add->serverWidget());
        dialog.setSources({QStringLiteral("VRS_RTCM3")});
        dialog.form()->lineEdit->setText(QStringLiteral("VRS_RTCM3"));
        dialog.form()->okButton->click();
        ok &= save(dialogShot(frame, &dialog), dir, "server-source-add");
    }
    frame->backAction()->trigger();
    list->form()->tableWidget_serverConfig->selectRow(1);
    list->detailAction()->trigger();
    ok &= save(frameShot(frame), dir, "server-detail");
    frame->backAction()->trigger();
    frame->backAction()->trigger();
    return ok;
}

bool wirelessScenes(ShellHarness& harness, Varnok::FatherWidget* frame, const QString& dir) {
    namespace R = Varnok::WirelessRules;
    bool ok = true;
    // Real timer lengths: the scenes answer before any time-out.
    Varnok::setUiScale(1.0);
    harness.connectAs(1);
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    Varnok::DeviceCache& c = Varnok::DeviceManagerTestAccess::cache(*dm);
    c.hardwareInfo.word[1] = 2;
    std::strcpy(c.firmwareInfo.text1, "1.2.3");
    dm->parseFirmwareVersion();
    c.wifiParams = R::apRecord("RTK-BASE-0042", 2, QStringLiteral("fieldwork"));
    c.wifiStatus = 2;
    c.wifiMode = 1;
    c.wifiAutoOpen = true;
    frame->onCommand(QStringLiteral("WirelessConfig"));
    for (int code : {47, 46, 45, 48}) {
        dm->announce(code);
        ShellHarness::deliver();
    }
    ok &= save(frameShot(frame), dir, "wireless-wifi");

    auto* window =
        qobject_cast<Varnok::WirelessConfigWidget*>(frame->page(QStringLiteral("WirelessConfig")));
    c.modemPowerStatus = 2;
    c.modemAutoPower = true;
    c.modemBandMode = 3;
    c.modemWorkMode = 2;
    c.dialParams =
        R::dialRecord(QStringLiteral("*99#"), QString(), QString(), QStringLiteral("internet"));
    c.csdParams = R::csdRecord(QStringLiteral("+4930123456"), 0);
    c.csdStatus.status = 6;
    window->tabs()->setCurrentIndex(1);
    ShellHarness::deliver();
    for (int code : {50, 49, 51, 53, 54, 75, 77, 76}) {
        dm->announce(code);
        ShellHarness::deliver();
    }
    ok &= save(frameShot(frame), dir, "wireless-modem-csd");
    // The same tab on packet data, dialled.
    c.modemWorkMode = 1;
    c.modemDialStatus.status = 1;
    window->onQueryInfo();
    for (int code : {50, 52, 49, 51, 53, 54, 75, 77}) {
        dm->announce(code);
        ShellHarness::deliver();
    }
    ok &= save(frameShot(frame), dir, "wireless-modem-gprs");
    frame->backAction()->trigger();
    harness.disconnect();
    Varnok::setUiScale(0.0);
    return ok;
}

// ---- Data link pages of old-protocol receivers: radio panel, GPRS panel, call sign, APN.
bool renderDataLinkPages(ShellHarness& harness, Varnok::FatherWidget* frame, const QString& dir) {
    using namespace Varnok;
    bool ok = true;
    Varnok::setUiScale(1.0);  // the pages' time-outs must not end the scripted queries
    varnok_test::OldReceiver rx(harness);
    rx.deviceInfo(2);
    rx.radioInfo((1u << 25) | (1u << 28) | (1u << 29) | (1u << 30),
                 (1u << 16) | (1u << 17) | (1u << 20) | (1u << 23) | (1u << 24) | (1u << 27), 0xF,
                 410, 470, 12.5, 8);
    frame->onCommand(QStringLiteral("DataLink"));
    rx.mode(1, 455.05);
    rx.spacing(0);
    rx.power(4);
    harness.script().answer<void(Rdo_Sensitv&)>(
        "Get_Radio_Sensitivity", [](Rdo_Sensitv& s) { s = static_cast<Rdo_Sensitv>(1); });
    rx.fire(0x800u);
    Radio_Callsign c{};
    c.on = 1;
    c.interval = 10;
    std::memcpy(c.text, "VARNOK1", 7);
    c.length = 7;
    rx.callsign(c);
    ok &= save(frameShot(frame), dir, "datalink-radio");

    auto* page = qobject_cast<Varnok::DataChain*>(frame->page(QStringLiteral("DataLink")));
    if (page) {
        page->radioPanel()->callsignButton()->click();
        ok &= save(frameShot(frame), dir, "callsign");
        frame->close();
        ShellHarness::deliver();
    }

    WirelessInfo w{};
    std::memcpy(w.server.name, "caster.example", 14);
    w.server.count = 14;
    w.port = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    const std::uint32_t caps = (1u << 16) | (1u << 23);
    const std::uint32_t protocols = 7u << 16;
    std::memcpy(w.capability, &caps, 4);
    std::memcpy(w.capability + 4, &protocols, 4);
    std::strcpy(w.loginText1, "surveyor");
    std::strcpy(w.loginText2, "secret");
    std::strcpy(w.textB, "internet");
    std::strcpy(w.textA, "*99#");
    cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    std::memcpy(cors.userName, "surveyor", 8);
    std::memcpy(cors.password, "secret", 6);
    rx.mode(0, 0);
    rx.wireless(w);
    rx.cors(cors);
    rx.loginMode(1);
    ok &= save(frameShot(frame), dir, "datalink-gprs");
    frame->close();
    ShellHarness::deliver();

    frame->onCommand(QStringLiteral("WirelessConfig"));
    rx.fire(0x20000000u);
    ok &= save(frameShot(frame), dir, "wireless-config-old");
    frame->close();
    ShellHarness::deliver();
    Varnok::setUiScale(0.0);
    return ok;
}

// ---- Data link page of new-protocol receivers: the UHF radio panel of a module spanning
// the three bands, and the network panel as an NTRIP client.
bool renderNewDataLinkPages(ShellHarness& harness, Varnok::FatherWidget* frame,
                            const QString& dir) {
    bool ok = true;
    harness.connectAs(1);
    Varnok::setUiScale(1.0);  // the scenes end the panels' queries themselves
    ok &= varnok_test::loadRadio(harness, 5);
    RadioConfig::instance().setChannelTable({{455.05, 1}, {456.05, 1}, {457.05, 1}}, 0);
    varnok_test::NewReceiver rx(harness);
    frame->onCommand(QStringLiteral("DataLink"));
    auto* page = qobject_cast<Varnok::DataLinkWidget*>(frame->page(QStringLiteral("DataLink")));
    if (!page) {
        return false;
    }
    rx.mode(1);
    rx.powerStatus(2);
    rx.protocol(1);
    rx.frequency(455.05f);
    rx.power(20);
    rx.stepper(125);
    rx.airBaud(9600);
    varnok_test::fireTimer(page->radioPanel(), page->radioPanel()->queryTimerId());
    ShellHarness::deliver();
    ok &= save(frameShot(frame), dir, "datalink-new-radio");

    page->onQueryInfo();
    rx.mode(3);
    rx.serverType(2);
    Brevan2011::BVParse::QX_IP_ADDRESS_STRUCT address{};
    address.address = 0xC0A80114u;
    address.port = 2101;
    rx.address(address);
    Brevan2011::BVParse::QX_CORS_DATA_SOURCE_STRUCT source{};
    std::memcpy(source.source, "RTCM32", 6);
    rx.source(source);
    Brevan2011::BVParse::QX_ACCOUNT_STRUCT account{};
    std::memcpy(account.user, "surveyor", 8);
    std::memcpy(account.password, "secret", 6);
    rx.account(account);
    rx.autoOpen(1);
    ok &= save(frameShot(frame), dir, "datalink-new-ntrip");
    frame->close();
    ShellHarness::deliver();
    varnok_test::resetRadio();
    Varnok::setUiScale(0.0);
    harness.disconnect();
    return ok;
}

// ---- Radio channel pages: the channel file's three bands (old protocol), the new-protocol
// receiver's band tables, and the sixteen-channel table after login with its answers in.
bool renderRadioChannelPages(ShellHarness& harness, Varnok::FatherWidget* frame,
                             const QString& dir) {
    bool ok = true;
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    harness.connectAs(2);
    Varnok::DeviceManagerTestAccess::cache(*dm).radioInfo.radioType = 8;
    frame->onCommand(QStringLiteral("RadioChannel"));
    ok &= save(frameShot(frame), dir, "radio-channel-file");
    harness.disconnect();

    harness.connectAs(1);
    for (int band = 0; band < 3; ++band) {
        std::vector<RadioChannel> table;
        for (int i = 0; i < 10; ++i) {
            table.push_back({(band == 0 ? 456.05 : band == 1 ? 430.0 : 415.05) + 0.5 * i, 0});
        }
        RadioConfig::instance().setChannelTable(table, band);
    }
    frame->onCommand(QStringLiteral("RadioChannel"));
    ok &= save(frameShot(frame), dir, "radio-channel-k45");
    for (int band = 0; band < 3; ++band) {
        RadioConfig::instance().setChannelTable({}, band);
    }
    harness.disconnect();

    // The read waits for its answers here, not for its timer.
    Varnok::setUiScale(1.0);
    Varnok::PasswordStore::instance().write(QStringLiteral("secret1"));
    Varnok::PasswordStore::instance().setLoggedIn(true);
    harness.connectAs(2, 0, true, true);
    Varnok::DeviceCache& cache = Varnok::DeviceManagerTestAccess::cache(*dm);
    Varnok::DeviceManagerTestAccess::setRadioChannelTypes(*dm, true);
    cache.radioInfo.lower = 450.0;
    cache.radioInfo.upper = 470.0;
    cache.radioInfo.spacing = 12.5;
    cache.radioInfo.radioType = 6;
    frame->onCommand(QStringLiteral("RadioChannel"));
    // The page opens and asks first; its answers come after, as from the receiver.
    ShellHarness::deliver();
    cache.channelFreqs.clear();
    cache.channelTypes.clear();
    for (int i = 0; i < 16; ++i) {
        cache.channelFreqs.push_back(i == 0 ? 0.0 : 36404.0 + 40.0 * i);
        cache.channelTypes.push_back(i % 3 == 2 ? 1 : 0);
    }
    dm->announce(71);
    dm->announce(70);
    // A radio with a spacing setting (the earlier scenes' record) answers it too: 12.5 kHz.
    cache.channelSpace = 0;
    dm->announce(20);
    ok &= save(frameShot(frame), dir, "radio-channel-v2");
    Varnok::setUiScale(0.0);
    harness.disconnect();
    return ok;
}

// ---- Recording, satellite channel and NMEA output pages.

void setRecordBytes(Varnok::DeviceCache& c) {
    auto* d = reinterpret_cast<unsigned char*>(&c.deviceInfo);
    d[76] = 1;    // Auto
    d[77] = 128;  // 1 week
    d[81] = 5;    // 5 s
    d[82] = 10;   // mask
    d[83] = 3;    // 16GB
}

bool surveyScenes(ShellHarness& harness, Varnok::FatherWidget* frame, const QString& dir) {
    bool ok = true;
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    Varnok::DeviceCache& cache = Varnok::DeviceManagerTestAccess::cache(*dm);
    auto announce = [dm](int code) {
        dm->announce(code);
        ShellHarness::deliver();
    };

    harness.disconnect();
    harness.connectAs(0, 2, true);
    Varnok::DeviceManagerTestAccess::setStaticStatusQuery(*dm, true);
    setRecordBytes(cache);
    cache.staticPoint = {};
    cache.staticPoint.nameLength = 5;
    std::memcpy(cache.staticPoint.name, "PT001", 5);
    const float height = 1.5f;
    std::memcpy(&cache.staticPoint.value, &height, sizeof height);
    cache.staticPoint.byteField = 28;
    cache.staticPoint.method = 4;
    std::strcpy(cache.staticAntType, "ZORK45");
    cache.staticStatus = true;
    frame->onCommand(QStringLiteral("Static"));
    if (auto* box =
            frame->currentPage()->findChild<QCheckBox*>(QStringLiteral("checkBox_advance"))) {
        box->setChecked(true);
    }
    announce(5);
    announce(39);
    ok &= save(frameShot(frame), dir, "static-antenna");

    cache.satelliteChannels[0] = true;
    cache.satelliteChannels[2] = true;
    frame->onCommand(QStringLiteral("SatelliteChannelControl"));
    ok &= save(frameShot(frame), dir, "satellite-channels");

    Varnok::DeviceManagerTestAccess::setOutputExtensions(*dm, true);
    cache.nmeaConfigs.port = 3;
    cache.nmeaConfigs.value = 3;
    cache.nmeaConfigs.messages = {{1, 3}, {64, 4}, {256, 3}, {32, 11}};
    Varnok::setUiScale(0.02);
    frame->onCommand(QStringLiteral("0183OutPut"));
    ShellHarness::waitFor([frame] { return frame->currentPage()->isQuerying(); });
    announce(72);
    ok &= save(frameShot(frame), dir, "nmea-output-board2");
    harness.disconnect();

    harness.connectAs(1);
    Varnok::DeviceManagerTestAccess::setOutputExtensions(*dm, true);
    cache.ioConfigs = {};
    cache.ioConfigs.entries[12] = 9;
    cache.ioConfigs.entries[13] = 10;
    cache.ioConfigs.entries[27] = 8;
    cache.ioConfigs.entries[30] = 2;
    cache.comBaud = 9;
    frame->onCommand(QStringLiteral("0183OutPut"));
    ShellHarness::waitFor([frame] { return frame->currentPage()->isQuerying(); });
    announce(67);
    announce(65);
    ShellHarness::waitFor([frame] { return !frame->currentPage()->isQuerying(); });
    ok &= save(frameShot(frame), dir, "nmea-output-type1");

    Varnok::setUiScale(1.0);
    cache.fileRecordStatus = 1;
    cache.fileRecordAutoOpen = 1;
    cache.elevMask = 10;
    const std::uint32_t minutes = 60;
    const std::uint16_t interval = 12;
    std::memcpy(reinterpret_cast<unsigned char*>(&cache.fileRecordParam) + 32, &minutes, 4);
    std::memcpy(reinterpret_cast<unsigned char*>(&cache.fileRecordParam) + 40, &interval, 2);
    frame->onCommand(QStringLiteral("Static"));
    for (int code : {39, 40, 41, 23}) {
        announce(code);
    }
    ok &= save(frameShot(frame), dir, "static-recording-new");
    frame->backAction()->trigger();
    Varnok::setUiScale(0.0);
    harness.disconnect();
    cache = Varnok::DeviceCache{};
    return ok;
}

// ---- The identity and RTK pages, filled by answers from another thread.

void scriptOldDevice(ShellHarness& h, const char* firmware, std::uint8_t start) {
    const std::string fw = firmware;
    h.script().answer<void(Varnok::DEVICE_STR&)>(
        "GetInfo_DevcInfo", [fw, start](Varnok::DEVICE_STR& d) {
            unsigned char b[sizeof(Varnok::DEVICE_STR)] = {};
            std::memcpy(b, "5802147", 7);
            std::memcpy(b + 22, "1905", 4);
            std::memcpy(b + 44, "2025-11-18", 10);
            std::memcpy(b + 84, fw.data(), 4);
            std::memcpy(b + 92, "G9-PN-2207", 10);
            b[74] = 1;
            b[78] = 5;
            b[89] = 15;
            b[90] = 3;
            b[91] = 3;
            b[110] = start;
            b[111] = 44;
            b[112] = 1;
            std::memcpy(&d, b, sizeof d);
        });
    h.script().answer<int()>("Get_Battery_Grd", [] { return 8; });
    h.script().answer<double()>("GetInfo_Gprs_Version", [] { return 3.6; });
}

void scriptNewReceiver(ShellHarness& h, int mode) {
    h.script().answer<void(Varnok::QX_SYSTEM_HARDWARE_INFO_STRUCT&)>(
        "Get_System_Hardware_Info", [](Varnok::QX_SYSTEM_HARDWARE_INFO_STRUCT& hw) {
            std::memcpy(hw.text1, "PG2604170033", 13);
            std::memcpy(hw.text2, "PN-9301-A", 10);
        });
    h.script().answer<void(Varnok::QX_SYSTEM_FIRMWARE_VERSION_STRUCT&)>(
        "Get_System_Firmware_Info",
        [](Varnok::QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f) { std::memcpy(f.text1, "2.4.17", 7); });
    h.script().answer<int()>("Get_Battery_Grd", [] { return 11; });
    h.script().answer<int()>("Get_Gnss_ElevMask", [] { return 10; });
    h.script().answer<int()>("Get_Gnss_Pdop_Mask", [] { return 6; });
    h.script().answer<void(Varnok::QX_GNSS_DIFF_TYPE_ENUM&)>(
        "Get_Gnss_Diff_Type", [](Varnok::QX_GNSS_DIFF_TYPE_ENUM& t) {
            t = static_cast<Varnok::QX_GNSS_DIFF_TYPE_ENUM>(6);
        });
    h.script().answer<void(Varnok::QX_GNSS_BASE_SET_STRUCT&)>(
        "Get_Gnss_Base_Position", [mode](Varnok::QX_GNSS_BASE_SET_STRUCT& b) {
            b = {static_cast<std::uint16_t>(mode), -0.0087266462599716, 2.0943951023931953, 48.6};
        });
    h.script().answer<void(Varnok::QX_COM_BAUD_ENUM&)>(
        "Get_Com_Baudrate",
        [](Varnok::QX_COM_BAUD_ENUM& b) { b = static_cast<Varnok::QX_COM_BAUD_ENUM>(9); });
    int next = 0;
    h.script().answer<void(Varnok::QX_DATA_CONFIG_LIST&)>(
        "Get_Gnss_Data_Configlist", [next](Varnok::QX_DATA_CONFIG_LIST& l) mutable {
            const std::uint16_t ids[] = {5, 6, 1};
            l = Varnok::QX_DATA_CONFIG_LIST{};
            l.count = ids[next++ % 3];
            l.entries[3] = l.count == 6 ? 0 : 5;
        });
    h.script().answer<void(Varnok::BASE_POS_LIST_STRUCT&)>(
        "Get_Gnss_Base_Position_list", [](Varnok::BASE_POS_LIST_STRUCT& l) {
            const double rad = 0.017453292519943295;
            l.value = 10;
            l.limit = 10;
            l.list.clear();
            const double rows[][3] = {
                {31.0833333333, 121.5, 12.5}, {-0.5, -0.25, 3.0}, {-33.8688, 151.2093, 58.25}};
            for (const auto& r : rows) {
                Varnok::BASE_POS_ENTRY e{r[0] * rad, r[1] * rad, 0};
                const float height = static_cast<float>(r[2]);
                std::memcpy(&e.value, &height, sizeof height);
                l.list.push_back(e);
            }
        });
}

bool renderRtkPages(ShellHarness& h, Varnok::FatherWidget* frame, const QString& dir) {
    bool ok = true;
    Varnok::setUiScale(1.0);  // the answers, not the timers, end each wait
    auto answer = [&h](int category, std::uint32_t id) {
        h.fireFromThread(category, id);
        ShellHarness::deliver();
    };

    h.connectAs(0);
    scriptOldDevice(h, "8.22", 1);
    answer(2, 0x80000000u);
    answer(2, 0x1000000u);
    frame->onCommand(QStringLiteral("Info"));
    answer(2, 0x40000000u);
    ok &= save(frameShot(frame), dir, "info-old-protocol");
    frame->onCommand(QStringLiteral("RTK"));
    ok &= save(frameShot(frame), dir, "rtk-old-protocol");
    h.disconnect();

    h.connectAs(0);
    scriptOldDevice(h, "8.14", 1);
    answer(2, 0x80000000u);
    frame->onCommand(QStringLiteral("RTK"));
    ok &= save(frameShot(frame), dir, "rtk-old-protocol-distance");
    h.disconnect();

    h.connectAs(1);
    scriptNewReceiver(h, 3);
    frame->onCommand(QStringLiteral("Info"));
    answer(4, 0x1u | 0x2u | 0x4u);
    ok &= save(frameShot(frame), dir, "info-new-protocol");
    frame->onCommand(QStringLiteral("RTK"));
    for (int i = 0; i < 3; ++i) {
        h.fireFromThread(3, 0x40000u);
    }
    answer(3, 0x1u | 0x2u | 0x4u | 0x8u);
    answer(4, 0x80u);
    ok &= save(frameShot(frame), dir, "rtk-new-protocol-manual-base");

    frame->onCommand(QStringLiteral("BasePosition"));
    answer(3, 0x80000u);
    ok &= save(frameShot(frame), dir, "base-position-distance");
    Varnok::Widget* base = frame->page(QStringLiteral("BasePosition"));
    base->findChild<QRadioButton*>(QStringLiteral("rbFixPos"))->click();
    const char* texts[][2] = {{"leBD", "-33"},    {"leBF", "52"}, {"leBM", "7.68000"},
                              {"leLD", "151"},    {"leLF", "12"}, {"leLM", "33.48000"},
                              {"leH", "58.25000"}};
    for (const auto& t : texts) {
        base->findChild<QLineEdit*>(QLatin1String(t[0]))->setText(QLatin1String(t[1]));
    }
    ok &= save(frameShot(frame), dir, "base-position-fixed");
    frame->onCommand(QStringLiteral("BasePositionList"));
    answer(3, 0x80000u);
    ok &= save(frameShot(frame), dir, "base-position-list");
    h.disconnect();
    Varnok::setUiScale(0.0);
    return ok;
}

// ---- The connection page and the channel 0 tool window.
void chooseData(QComboBox* box, const QVariant& data) {
    const int i = box->findData(data);
    if (i >= 0) {
        box->setCurrentIndex(i);
    }
}

bool renderConnectPages(ShellHarness& harness, const QString& dir) {
    bool ok = true;
    harness.disconnect();
    // Remembered receivers, and a methods file that offers "Server" to a station device.
    BtBindingsConfig(Varnok::LogicContext::btBindingsPath())
        .save({QStringLiteral("1234"), QStringLiteral("R2-0917")},
              {0x25b0a1c2dULL, 0x00a0c3f01122ULL});
    varnok_test::writeConnectMethods(
        Varnok::LogicContext::connectMethodsPath(),
        {{"Pocket GNSS", 1, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"WIFI", 2}}},
         {"D38K Series", 3, {{"Port", 0}, {"ZOR BT", 1}, {"Server", 102}}},
         {"Survey RTK", 0, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}}}});
    // Bluetooth as BlueZ would answer: two paired receivers and a phone; pairing asks a PIN.
    auto bluetooth = std::make_shared<varnok_test::FakeBluetoothBackend::State>();
    varnok_test::FakeBluetoothBackend::Result paired;
    paired.name = "GNSS-1234";
    paired.address = 0x25b0a1c2dULL;
    bluetooth->paired.push_back(paired);
    paired.name = "Phone";
    paired.address = 0x112233445566ULL;
    bluetooth->paired.push_back(paired);
    paired.name = "GNSS-R2-0917";
    paired.address = 0x00a0c3f01122ULL;
    bluetooth->paired.push_back(paired);
    bluetooth->pairAsksPin = true;
    bluetooth->pinName = "GNSS-1234";
    Varnok::Connect::setBluetoothFactory([bluetooth] {
        return std::make_unique<Brevan2011::BVComm::Bluetooth>(
            std::make_unique<varnok_test::FakeBluetoothBackend>(bluetooth));
    });
    Varnok::FatherWidget* frame = harness.makeFrame();
    frame->resize(kWidth, kHeight);
    frame->onCommand(QStringLiteral("Connection"));
    auto* page = qobject_cast<Varnok::Connect*>(frame->page(QStringLiteral("Connection")));
    if (page == nullptr) {
        return false;
    }
    Ui::Connect* ui = page->form();
    chooseData(ui->cbDeviceType, 0);
    chooseData(ui->comboBox_connect, 0);
    ok &= save(frameShot(frame), dir, "connect-port");
    chooseData(ui->comboBox_connect, 1);
    page->activate();
    ok &= save(frameShot(frame), dir, "connect-zor-bt");
    // The receiver asks for its PIN while it is paired.
    ui->listWidget->setCurrentRow(1);
    harness.prompts.answerNextDialog([&](QDialog* d) {
        ok &= save(dialogShot(frame, d), dir, "connect-bt-pin");
        return int(QDialog::Rejected);
    });
    page->connectAction()->trigger();
    chooseData(ui->comboBox_connect, 101);
    page->activate();
    ok &= save(frameShot(frame), dir, "connect-sys-bt");
    chooseData(ui->cbDeviceType, 3);
    chooseData(ui->comboBox_connect, 102);
    ui->cbServer->setEditText(QStringLiteral("BS01"));
    ui->leIP->setText(QStringLiteral("192.168.1.20"));
    ui->lePort->setText(QStringLiteral("2101"));
    ok &= save(frameShot(frame), dir, "connect-server");
    Varnok::Connect::setBluetoothFactory({});

    Varnok::Channel0EnableEditor editor;
    editor.resize(kWidth, kHeight);
    editor.show();
    Ui::Channel0EnableEditorClass* e = editor.form();
    e->lblSN->setText(QStringLiteral("1905R21234"));
    e->lblPN->setText(QStringLiteral("PN-0042"));
    e->lblFWVersion->setText(QStringLiteral("8.20"));
    e->lblChannel0Editable->setText(QStringLiteral("Yes"));
    e->gbChannel0->setEnabled(true);
    e->rbDisable->setChecked(true);
    ShellHarness::deliver();
    ok &= save(editor.grab(), dir, "channel0-editor");
    return ok;
}

// ---- Source-table fetch: the method dialog over the GPRS panel of a receiver that can fetch.
bool renderSourceFetch(ShellHarness& harness, Varnok::FatherWidget* frame, const QString& dir) {
    using namespace Varnok;
    Varnok::setUiScale(1.0);
    varnok_test::OldReceiver rx(harness);
    frame->onCommand(QStringLiteral("DataLink"));
    WirelessInfo w{};
    const unsigned char address[] = {192, 168, 1, 20};
    std::memcpy(&w.server.address, address, 4);
    w.port = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    const std::uint32_t caps = (1u << 16) | (1u << 17);
    const std::uint32_t protocols = 7u << 16;
    std::memcpy(w.capability, &caps, 4);
    std::memcpy(w.capability + 4, &protocols, 4);
    cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    rx.mode(0, 0);
    rx.wireless(w);
    rx.cors(cors);
    rx.loginMode(1);
    bool ok = true;
    {
        Varnok::SelectGetSourceMethod dialog(frame);
        ok &= save(dialogShot(frame, &dialog), dir, "get-source-method");
    }
    frame->close();
    ShellHarness::deliver();
    Varnok::setUiScale(0.0);
    return ok;
}

int render(const QString& dir) {
    QDir().mkpath(dir);
    bool ok = true;
    ShellHarness harness;
    Varnok::FatherWidget* frame = harness.makeFrame();
    frame->resize(kWidth, kHeight);
    ok &= save(frameShot(frame), dir, "menu-disconnected");

    for (int type : {1, 2}) {
        harness.connectAs(type);
        frame->menu()->activate();
        ok &= save(frameShot(frame), dir, type == 1 ? "menu-type1" : "menu-type2");
        harness.disconnect();
    }

    harness.connectAs(5);
    {
        Varnok::CloseAppDialog dialog(frame);
        ok &= save(dialogShot(frame, &dialog), dir, "exit-dialog");
    }
    {
        Varnok::LoginDialog dialog(frame);
        ok &= save(dialogShot(frame, &dialog), dir, "login-mode0");
    }
    {
        Varnok::PasswordStore::instance().write(QStringLiteral("secret1"));
        Varnok::PasswordStore::instance().setLoggedIn(true);
        Varnok::LoginDialog dialog(frame);
        dialog.findChild<QPushButton*>(QStringLiteral("pbLogin"))->click();
        ok &= save(dialogShot(frame, &dialog), dir, "login-mode2");
    }
    frame->onCommand(QStringLiteral("DataMonitor"));
    ok &= save(frameShot(frame), dir, "data-monitor");
    frame->close();
    ShellHarness::deliver();
    ok &= renderDataLinkPages(harness, frame, dir);
    harness.disconnect();
    ok &= serverScenes(frame, dir);
    ok &= wirelessScenes(harness, frame, dir);
    ok &= renderRadioChannelPages(harness, frame, dir);
    ok &= surveyScenes(harness, frame, dir);
    harness.disconnect();
    ok &= renderRtkPages(harness, frame, dir);
    ok &= renderSourceFetch(harness, frame, dir);
    ok &= renderNewDataLinkPages(harness, frame, dir);
    // Last: the connection scenes make a frame of their own, which deletes this one.
    ok &= renderConnectPages(harness, dir);
    return ok ? 0 : 1;
}

int check(const QString& dir) {
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.png")}, QDir::Files);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no screenshots in %s\n", qPrintable(dir));
        return 1;
    }
    int bad = 0;
    for (const QString& f : files) {
        const QImage image(dir + QLatin1Char('/') + f);
        if (image.size() != QSize(kWidth, kHeight)) {
            std::fprintf(stderr, "%s: %dx%d, not %dx%d\n", qPrintable(f), image.width(),
                         image.height(), kWidth, kHeight);
            ++bad;
            continue;
        }
        const QRgb first = image.pixel(0, 0);
        bool flat = true;
        for (int y = 0; y < image.height() && flat; ++y) {
            for (int x = 0; x < image.width() && flat; ++x) {
                flat = image.pixel(x, y) == first;
            }
        }
        if (flat) {
            std::fprintf(stderr, "%s: one flat colour\n", qPrintable(f));
            ++bad;
        }
    }
    std::printf("%d screenshots checked, %d bad\n", static_cast<int>(files.size()), bad);
    return bad == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Varnok::Application* app = ShellHarness::application();
    (void)app;
    Varnok::registerPages();
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--check")) {
        return check(QString::fromLocal8Bit(argv[2]));
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnok_screenshots <dir> | --check <dir>\n");
        return 2;
    }
    return render(QString::fromLocal8Bit(argv[1]));
}
