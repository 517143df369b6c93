#pragma once

#include <QSignalSpy>

#include <cstring>
#include <string>

#include "apn_config_widget.h"
#include "device_test_support.h"
#include "network_test_support.h"
#include "wifi_config_widget.h"
#include "wireless_config_widget.h"

namespace varnok_test {

// A new-protocol receiver on the fake session with the wireless window open. Timers run at
// their real lengths unless a test shortens them before starting an operation.
class WirelessTest : public NetworkPageTest {
protected:
    void SetUp() override {
        NetworkPageTest::SetUp();
        Varnok::setUiScale(1.0);
    }

    Varnok::DeviceManager* dm() const { return Varnok::DeviceManager::instance(); }
    Varnok::DeviceCache& cache() const { return Varnok::DeviceManagerTestAccess::cache(*dm()); }

    // Connected as device type 1; csd makes the modem one that offers CSD.
    void connect(bool csd = false) {
        harness->connectAs(1);
        if (csd) {
            cache().hardwareInfo.word[1] = 2;
            std::strcpy(cache().firmwareInfo.text1, "1.2.3");
            dm()->parseFirmwareVersion();
            ASSERT_TRUE(dm()->isCsdSupported());
        }
    }
    Varnok::WirelessConfigWidget* window() const {
        return qobject_cast<Varnok::WirelessConfigWidget*>(frame->page("WirelessConfig"));
    }
    Varnok::WIFIConfigWidget* wifi() const { return window()->wifiTab(); }
    Varnok::APNConfigWidget* apn() const { return window()->apnTab(); }
    void open() {
        harness->clearCalls();
        frame->onCommand("WirelessConfig");
        ShellHarness::deliver();
    }
    // Announces an answer as the device manager does after storing it.
    void answer(int code) {
        dm()->announce(code);
        ShellHarness::deliver();
    }
    std::vector<std::string> calls() const { return harness->calls(); }
    int count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls()) {
            n += c == call ? 1 : 0;
        }
        return n;
    }
    static bool holdsCursor(Varnok::Widget* w) { return w->holdsWaitCursor(); }
};

}  // namespace varnok_test
