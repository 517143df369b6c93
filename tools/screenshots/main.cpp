// varnok_screenshots <dir>: renders the shell's pages at 480 x 640 into <dir>.
// varnok_screenshots --check <dir>: every PNG there has the frame's size and is not flat.
#include <QCheckBox>
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
#include "device_test_support.h"
#include "login_dialog.h"
#include "menu_manager.h"
#include "password_store.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "timer_scale.h"

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
    ok &= surveyScenes(harness, frame, dir);
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
