// varnok_screenshots <dir>: renders the shell's pages at 480 x 640 into <dir>.
// varnok_screenshots --check <dir>: every PNG there has the frame's size and is not flat.
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>
#include <cstring>

#include "close_app_dialog.h"
#include "datachain.h"
#include "datachain_radio.h"
#include "datalink_test_support.h"
#include "datalink_widget.h"
#include "device_test_support.h"
#include "login_dialog.h"
#include "menu_manager.h"
#include "new_datalink_support.h"
#include "password_store.h"
#include "radio_widget.h"
#include "radio_config.h"
#include "register_pages.h"
#include "shell_harness.h"
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
    cache.channelFreqs.clear();
    cache.channelTypes.clear();
    for (int i = 0; i < 16; ++i) {
        cache.channelFreqs.push_back(i == 0 ? 0.0 : 36404.0 + 40.0 * i);
        cache.channelTypes.push_back(i % 3 == 2 ? 1 : 0);
    }
    dm->announce(71);
    dm->announce(70);
    ok &= save(frameShot(frame), dir, "radio-channel-v2");
    Varnok::setUiScale(0.0);
    harness.disconnect();
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
    ok &= renderNewDataLinkPages(harness, frame, dir);
    ok &= renderRadioChannelPages(harness, frame, dir);
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
