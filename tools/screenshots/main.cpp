// varnok_screenshots <dir>: renders the shell's pages at 480 x 640 into <dir>.
// varnok_screenshots --check <dir>: every PNG there has the frame's size and is not flat.
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

#include <cstdio>

#include "bt_bindings_config.h"
#include "channel0_enable_editor.h"
#include "close_app_dialog.h"
#include "connect.h"
#include "connect_fixtures.h"
#include "logic_context.h"
#include "login_dialog.h"
#include "menu_manager.h"
#include "password_store.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "ui_channel0_enable_editor.h"
#include "ui_connect.h"

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
    chooseData(ui->cbDeviceType, 3);
    chooseData(ui->comboBox_connect, 102);
    ui->cbServer->setEditText(QStringLiteral("BS01"));
    ui->leIP->setText(QStringLiteral("192.168.1.20"));
    ui->lePort->setText(QStringLiteral("2101"));
    ok &= save(frameShot(frame), dir, "connect-server");

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
