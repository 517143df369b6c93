#include "application.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QToolButton>
#include <QTranslator>

#include "BVComm/Logger.h"
#include "BVComm/PortPaths.h"
#include "app_config.h"
#include "close_app_dialog.h"
#include "device_manager.h"
#include "device_observer.h"
#include "father_widget.h"
#include "program_layout.h"
#include "prompts.h"
#include "sip_helper.h"
#include "timer_scale.h"

namespace Varnok {

namespace {
Application* g_app = nullptr;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

Application::~Application() {
    killExitTimer();
    removeTranslators();
    if (g_app == this) {
        g_app = nullptr;
    }
}

void Application::removeTranslators() {
    for (QTranslator* t : std::as_const(translators_)) {
        removeTranslator(t);
        delete t;
    }
    translators_.clear();
}

Application* Application::current() {
    return g_app;
}

void Application::init() {
    g_app = this;
    // Beside the program in its build folder, in the data and XDG folders once installed.
    const ProgramLayout& layout = ProgramLayout::current();
    // From the build folder the logs stay beside the program, where the loggers write anyway.
    if (layout.installed && ProgramLayout::makeDirectory(layout.logDir, 0700)) {
        // The libraries' loggers and the program's own copy of the core logger.
        Brevan2011::BVComm::SetLogDirectory(layout.logDir);
        Brevan2011::BVCore::setLogDirectory(layout.logDir);
    }
    setWindowIcon(QIcon(QString::fromStdString(layout.iconFile)));
    QFont f = font();
    if (f.pointSize() > 0) {
        f.setPointSize(f.pointSize() + 1);
    }
    f.setStyleHint(QFont::System, QFont::PreferDefault);
    setFont(f);
    QString language;
    QString locale;
    AppConfig::instance().load(language, locale);
    installTranslators(QString::fromStdString(layout.dataDir), locale);
    connectDeviceClosed();
}

void Application::connectDeviceClosed() {
    connectQueued(DeviceObserver::instance(), this, SIGNAL(deviceClosed()), SLOT(onDeviceClosed()));
}

QStringList Application::installTranslators(const QString& dir, const QString& locale) {
    QStringList installed;
    const QString names[] = {QStringLiteral("%1/translates/qt_%2.qm"),
                             QStringLiteral("%1/translates/varnok_%2.qm")};
    for (const QString& pattern : names) {
        const QString path = pattern.arg(dir, locale);
        if (!QFileInfo::exists(path)) {
            continue;
        }
        auto* translator = new QTranslator(this);
        if (translator->load(path) && installTranslator(translator)) {
            translators_.append(translator);
            installed << path;
        } else {
            delete translator;
        }
    }
    return installed;
}

void Application::exitApplication(FatherWidget* frame) {
    Application* app = g_app;
    if (!app) {
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    if (dm->workingStatus() != 4) {
        app->startExitTimer(5);
        return;
    }
    CloseAppDialog dialog(frame);
    if (execDialog(&dialog) != QDialog::Accepted) {
        return;
    }
    if (frame) {
        frame->hide();
    }
    switch (dialog.choice()) {
        case 1:
            // The port closes only once the command is on the wire (or its wait ran out).
            dm->powerOffReceiver();
            app->startExitTimer(500);
            break;
        case 2:
            app->startExitTimer(500);
            dm->sendQxMdl(true);
            break;
        default:
            app->startExitTimer(5);
            break;
    }
}

void Application::startExitTimer(int ms) {
    killExitTimer();
    lastExitTimerMs_ = ms;
    exitTimer_ = startTimer(uiMs(ms));
}

void Application::killExitTimer() {
    if (exitTimer_ >= 1) {
        killTimer(exitTimer_);
    }
    exitTimer_ = 0;
}

void Application::timerEvent(QTimerEvent* event) {
    if (exitTimer_ < 1 || event->timerId() != exitTimer_) {
        return;
    }
    end();
}

void Application::onDeviceClosed() {
    end();
}

void Application::end() {
    killExitTimer();
    if (DeviceManager* dm = DeviceManager::existingInstance()) {
        dm->closePort();
    }
    ++endCount_;
    exit(0);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && receiver->isWidgetType()) {
        auto* w = static_cast<QWidget*>(receiver);
        if (w->inputMethodHints() == Qt::ImhNone && !w->testAttribute(Qt::WA_InputMethodEnabled)) {
            if (auto* button = qobject_cast<QToolButton*>(w)) {
                QAction* a = button->defaultAction();
                if (a && a->data().toString() != QLatin1String("SIP")) {
                    SipHelper::instance()->setVisible(false);
                }
            }
        }
    }
    return QApplication::notify(receiver, event);
}

}  // namespace Varnok
