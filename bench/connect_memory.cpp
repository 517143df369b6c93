// bench_connect_memory: builds the program's frame and pages offscreen, connects through the
// connection page to varnok-simreceiver (old protocol, COM1 on its pty) with the page's
// defaults, and prints the resident memory before and after connecting.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "application.h"
#include "config_paths.h"
#include "connect.h"
#include "device_manager.h"
#include "father_widget.h"
#include "logic_context.h"
#include "prompts.h"
#include "register_pages.h"

namespace {

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

// Message boxes answer themselves; the progress dialog runs for real.
class QuietPrompts : public Varnok::Prompts {
public:
    QMessageBox::StandardButton message(QWidget*, Kind, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons) override {
        std::printf("message: %s: %s\n", qPrintable(title), qPrintable(text));
        return QMessageBox::Ok;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir configs;
    QTemporaryDir logs;
    ConfigPaths::setDirectory(configs.path().toStdString());
    Brevan2011::BVComm::SetLogDirectory(logs.path().toStdString());
    Varnok::Application app(argc, argv);
    QuietPrompts prompts;
    Varnok::Prompts::setInstance(&prompts);

    varnok_sim::SimProcess sim;
    std::string error;
    if (!sim.start({"protocol=old"}, &error)) {
        std::fprintf(stderr, "simulated receiver: %s\n", error.c_str());
        return 1;
    }
    Brevan2011::BVComm::SetComPortPath(1, sim.ptyPath());

    Varnok::LogicContext::instance()->connectWorkingStatus();
    app.init();
    Varnok::registerPages();
    auto* frame = new Varnok::FatherWidget();
    frame->resize(480, 640);
    frame->show();
    QCoreApplication::processEvents();
    const long before = residentKiB();

    frame->onCommand(QStringLiteral("Connection"));
    auto* page = qobject_cast<Varnok::Connect*>(frame->page(QStringLiteral("Connection")));
    if (page == nullptr) {
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    page->connectAction()->trigger();  // returns when the progress dialog ends
    const qint64 connectMs = clock.elapsed();
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    // Let the connected menu and the receiver's first answers settle.
    clock.restart();
    while (dm->workingStatus() == 4 && clock.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const bool connected = dm->workingStatus() == 4;
    std::printf("connected %s in %lld ms\n", connected ? "yes" : "no",
                static_cast<long long>(connectMs));
    std::printf("rss-before-connect-kib %ld\nrss-after-connect-kib %ld (aim <= 61440)\n", before,
                residentKiB());
    dm->closePort();
    delete frame;
    Varnok::Prompts::setInstance(nullptr);
    Varnok::LogicContext::instance()->shutdown();
    sim.stop();
    return connected ? 0 : 1;
}
