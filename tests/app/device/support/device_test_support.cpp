#include "device_test_support.h"

#include <QApplication>
#include <QMetaMethod>

#include <cstdlib>
#include <thread>

namespace varnok_test {

namespace {

// One application object for the whole test program, offscreen.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "device_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

const ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

HubRecorder::HubRecorder(QObject* hub) {
    const QMetaObject* mo = hub->metaObject();
    const int base = QObject::staticMetaObject.methodCount();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() != QMetaMethod::Signal) {
            continue;
        }
        const int slot = base + static_cast<int>(signals_.size());
        signals_.push_back(m);
        QMetaObject::connect(hub, i, this, slot, Qt::DirectConnection);
    }
}

int HubRecorder::qt_metacall(QMetaObject::Call call, int id, void** args) {
    id = QObject::qt_metacall(call, id, args);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod) {
        return id;
    }
    if (id < static_cast<int>(signals_.size())) {
        const QMetaMethod& m = signals_[static_cast<size_t>(id)];
        std::string text = m.name().toStdString() + "(";
        for (int p = 0; p < m.parameterCount(); ++p) {
            if (p) {
                text += ",";
            }
            if (m.parameterType(p) == QMetaType::Bool) {
                text += *static_cast<bool*>(args[p + 1]) ? "true" : "false";
            } else {
                text += std::to_string(*static_cast<int*>(args[p + 1]));
            }
        }
        events_.push_back(text + ")");
    }
    return -1;
}

std::vector<std::string> HubRecorder::named(const std::string& name) const {
    std::vector<std::string> out;
    for (const std::string& e : events_) {
        if (e.compare(0, name.size() + 1, name + "(") == 0) {
            out.push_back(e);
        }
    }
    return out;
}

void DeviceFixture::SetUp() {
    dm = Varnok::DeviceManager::instance();
    dm->setSessionFactory(fake.factory());
    dm->setManufacturer(2);
    hub = new HubRecorder(Varnok::DeviceObserver::instance());
}

void DeviceFixture::TearDown() {
    delete hub;
    hub = nullptr;
    Varnok::LogicContext::instance()->shutdown();
    dm = nullptr;
    // Nothing of this test may reach the next one.
    QCoreApplication::processEvents();
}

bool DeviceFixture::connectTcp(int deviceType) {
    dm->setDeviceType(deviceType);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = 5017;
    return dm->connectDevice(2, 0, 9600, target);
}

void DeviceFixture::fireFromThread(FakeSession* session, int category, std::uint32_t id) {
    std::thread t([session, category, id] { session->fireData(category, id); });
    t.join();
}

void DeviceFixture::fireStatusFromThread(FakeSession* session, bool changed) {
    std::thread t([session, changed] { session->fireStatus(changed); });
    t.join();
}

}  // namespace varnok_test
