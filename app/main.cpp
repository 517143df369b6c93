// The program: wiring only.
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

#include "application.h"
#include "channel0_enable_editor.h"
#include "com_port_map.h"
#include "father_widget.h"
#include "logic_context.h"
#include "menu_manager.h"
#include "register_pages.h"
#include "settings_probe.h"
#include "single_instance.h"
#include "sip_helper.h"

namespace {

// Screens no larger than this run the frame full screen; larger ones get a handheld window.
constexpr int kFullScreenLimit = 800;
constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 640;

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// A test tool. VARNOK_STARTUP_PROBE set: at the first painted frame, print the time since
// start, the resident memory and the menu's buttons, then end; "exit" ends through the
// menu's Exit button as a user would; "settings" first writes and reports the settings.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(const QElapsedTimer& clock, Varnok::FatherWidget* frame)
        : clock_(clock), frame_(frame) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint) {
            done_ = true;
            const qint64 ms = clock_.elapsed();
            QTimer::singleShot(0, this, [this, ms] { report(ms); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report(qint64 ms) {
        std::printf("first-paint-ms %lld\nrss-kib %ld\nmenu %s\n", static_cast<long long>(ms),
                    residentKiB(),
                    qPrintable(frame_->menu()->buttonLabels().join(QLatin1Char('|'))));
        std::fflush(stdout);
        if (qgetenv("VARNOK_STARTUP_PROBE") == "settings") {
            Varnok::runSettingsProbe(frame_);
        }
        if (qgetenv("VARNOK_STARTUP_PROBE") != "exit") {
            QCoreApplication::exit(0);
            return;
        }
        for (QToolButton* b : frame_->menu()->findChildren<QToolButton*>()) {
            if (b->text() == QLatin1String("Exit")) {
                b->click();
            }
        }
    }

    const QElapsedTimer& clock_;
    Varnok::FatherWidget* frame_;
    bool done_ = false;
};

// A second start brings the window to the front as it is: full screen stays full screen, only a
// minimised window is restored.
void bringToFront(QWidget* window) {
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    window->show();
    window->raise();
    window->activateWindow();
    std::fprintf(stderr, "Varnok: brought to the front%s\n",
                 window->isFullScreen() ? ", full screen" : "");
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    Varnok::Application app(argc, argv);

    Varnok::SingleInstance guard(QCoreApplication::applicationFilePath());
    const Varnok::SingleInstance::Result held = guard.acquire();
    if (held == Varnok::SingleInstance::AlreadyRunning) {
        return 0;
    }
    // Later starts are answered from the moment the lock is ours; one that comes before the
    // window is shown raises it once it is.
    QPointer<QWidget> front;
    bool raiseWanted = false;
    const auto show = [&front, &raiseWanted](QWidget* window) {
        front = window;
        if (raiseWanted) {
            raiseWanted = false;
            bringToFront(window);
        }
    };
    if (held == Varnok::SingleInstance::First) {
        QObject::connect(&guard, &Varnok::SingleInstance::raiseRequested, &app,
                         [&front, &raiseWanted] {
                             std::fprintf(stderr, "Varnok: raise requested\n");
                             if (front) {
                                 bringToFront(front);
                             } else {
                                 raiseWanted = true;
                             }
                         });
        guard.listen();
    }

    // Where COM numbers lead on this machine (a simulated receiver's pty, a USB adapter).
    Varnok::applyComPortMap(qEnvironmentVariable("VARNOK_COM_MAP"));
    Varnok::LogicContext::instance()->connectWorkingStatus();
    app.init();

    // The service window in place of the frame, under the same single-instance guard.
    if (QCoreApplication::arguments().contains(QStringLiteral("--channel0-editor"))) {
        auto* editor = new Varnok::Channel0EnableEditor();
        editor->show();
        show(editor);
        const int result = app.exec();
        delete editor;
        Varnok::LogicContext::instance()->shutdown();
        return result;
    }
    Varnok::registerPages();

    auto* frame = new Varnok::FatherWidget();
    FirstPaintProbe probe(clock, frame);
    if (qEnvironmentVariableIsSet("VARNOK_STARTUP_PROBE")) {
        frame->installEventFilter(&probe);
    }

    Varnok::SipHelper::instance()->hideButtons();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize();
    if (available.isValid() && available.width() <= kFullScreenLimit &&
        available.height() <= kFullScreenLimit) {
        frame->setMinimumSize(available);
        frame->showFullScreen();
    } else {
        frame->resize(kWindowWidth, kWindowHeight);
        frame->show();
    }
    show(frame);

    const int result = app.exec();
    delete frame;
    Varnok::LogicContext::instance()->shutdown();
    return result;
}
