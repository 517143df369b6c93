#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device_manager.h"
#include "device_observer.h"
#include "fake_session.h"
#include "logic_context.h"

namespace Varnok {

// The device manager's private state, for tests.
class DeviceManagerTestAccess {
public:
    static DeviceCache& cache(DeviceManager& m) { return m.cache_; }
    static void setWorkingStatus(DeviceManager& m, int status) { m.workingStatus_ = status; }
    static void setFirmwareFlag(DeviceManager& m, bool on) { m.firmwareFlag_ = on; }
    static void setRadioChannelV2(DeviceManager& m, bool on) { m.flags_.b = on; }
    static void setRadioChannelTypes(DeviceManager& m, bool on) { m.flags_.c = on; }
    static void setWorkingStatusExtension(DeviceManager& m, bool on) { m.flags_.g = on; }
    static void setBoardType(DeviceManager& m, int board) { m.boardType_ = board; }
    static void connectTimeOut(DeviceManager& m) { m.onTryToConnectTimeOut(); }
    static void setStaticStatusQuery(DeviceManager& m, bool on) { m.flags_.i = on; }
    static void setOutputExtensions(DeviceManager& m, bool on) { m.flags_.h = on; }
    // An IO's data configuration list, as its answer would keep it.
    static void takeIoList(DeviceManager& m, const QX_DATA_CONFIG_LIST& list) {
        m.cache_.ioConfigs = list;
        m.takeIoList(list);
    }
};

}  // namespace Varnok

namespace varnok_test {

// Every signal of the hub, in emission order, as "name(arguments)".
class HubRecorder : public QObject {
public:
    explicit HubRecorder(QObject* hub);
    int qt_metacall(QMetaObject::Call call, int id, void** args) override;

    std::vector<std::string> events() const { return events_; }
    // The events whose name is name.
    std::vector<std::string> named(const std::string& name) const;
    void clear() { events_.clear(); }

private:
    std::vector<QMetaMethod> signals_;
    std::vector<std::string> events_;
};

// A device manager over fake sessions, with the hub's signals recorded. The singletons are
// deleted after each test.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Applies what the session's threads handed over so far.
    static void deliver() { QCoreApplication::processEvents(); }
    // Connects maker 2 over TCP with the given device type; true when the attempt started.
    bool connectTcp(int deviceType);
    // Fires a data callback from a worker thread and waits until the thread has handed over.
    static void fireFromThread(FakeSession* session, int category, std::uint32_t id);
    static void fireStatusFromThread(FakeSession* session, bool changed);

    FakeFactory fake;
    Varnok::DeviceManager* dm = nullptr;
    HubRecorder* hub = nullptr;
};

}  // namespace varnok_test
