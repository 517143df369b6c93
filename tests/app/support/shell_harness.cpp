#include "shell_harness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <thread>

#include "config_paths.h"
#include "device_observer.h"
#include "device_test_support.h"
#include "logic_context.h"
#include "timer_scale.h"

namespace varnok_test {

QMessageBox::StandardButton RecordingPrompts::message(QWidget*, Kind kind, const QString& title,
                                                      const QString& text,
                                                      QMessageBox::StandardButtons) {
    shown.push_back({kind, title, text});
    return QMessageBox::Ok;
}

int RecordingPrompts::exec(QDialog* dialog) {
    dialogsRun.push_back(dialog->objectName());
    if (dialogAnswers_.empty()) {
        return QDialog::Rejected;
    }
    DialogAnswer answer = std::move(dialogAnswers_.front());
    dialogAnswers_.pop_front();
    return answer(dialog);
}

Varnok::Application* ShellHarness::application() {
    static Varnok::Application* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "varnok_shell_tests";
        static char* argv[] = {name, nullptr};
        return new Varnok::Application(argc, argv);
    }();
    return app;
}

ShellHarness::ShellHarness() {
    Varnok::Application* app = application();
    ConfigPaths::setDirectory(configs_.path().toStdString());
    Varnok::setUiScale(0.0);
    Varnok::Prompts::setInstance(&prompts);
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    dm->setSessionFactory(fake_.factory());
    dm->setManufacturer(2);
    Varnok::LogicContext::instance()->connectWorkingStatus();
    static bool initialised = false;
    if (!initialised) {
        initialised = true;
        app->init();
    } else {
        app->connectDeviceClosed();
    }
}

ShellHarness::~ShellHarness() {
    delete frame_;
    frame_ = nullptr;
    Varnok::Prompts::setInstance(nullptr);
    Varnok::LogicContext::instance()->shutdown();
    deliver();
    Varnok::setUiScale(1.0);
}

Varnok::FatherWidget* ShellHarness::makeFrame() {
    delete frame_;
    frame_ = new Varnok::FatherWidget();
    frame_->resize(480, 640);
    frame_->show();
    deliver();
    return frame_;
}

void ShellHarness::connectAs(int deviceType, int board, bool firmwareFlag, bool radioChannelV2) {
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    dm->setDeviceType(deviceType);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = 5017;
    dm->connectDevice(2, 0, 9600, target);
    // What the receiver's first answers would have set: capabilities, then connected.
    Varnok::DeviceManagerTestAccess::setFirmwareFlag(*dm, firmwareFlag);
    Varnok::DeviceManagerTestAccess::setRadioChannelV2(*dm, radioChannelV2);
    Varnok::DeviceManagerTestAccess::setBoardType(*dm, board);
    Varnok::DeviceManagerTestAccess::setWorkingStatus(*dm, 4);
    dm->announce(2);
    deliver();
}

void ShellHarness::disconnect() {
    Varnok::DeviceManager::instance()->closePort();
    deliver();
}

void ShellHarness::fireFromThread(int category, std::uint32_t id) {
    FakeSession* s = session();
    std::thread t([s, category, id] { s->fireData(category, id); });
    t.join();
}

bool ShellHarness::waitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < bound.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::yieldCurrentThread();
    }
    return done();
}

void ShellHarness::deliver() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace varnok_test
