// The hub: each event code emits exactly its signal, with its argument read at emission.
#include <map>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;
using Varnok::DeviceObserver;

class Hub : public DeviceFixture {};

TEST_F(Hub, EveryCodeFromZeroToEightyEmitsExactlyItsSignal) {
    auto& cache = DeviceManagerTestAccess::cache(*dm);
    cache.batteryGrade = 6;
    cache.staticFileLength = 4096;
    cache.responseCommandId = 0x305;
    cache.responseStatus = 2;
    cache.fileRecordAutoOpen = 1;
    cache.pdopMask = 9;
    cache.wifiAutoOpen = true;
    cache.modemAutoPower = true;
    cache.modemAutoDial = false;
    cache.radioModuleType = 5;
    cache.radioAutoPower = true;
    DeviceManagerTestAccess::setWorkingStatus(*dm, 3);

    const std::map<int, std::string> expected = {
        {1, "batteryLife(6)"},
        {2, "workingStatus(3)"},
        {4, "deviceInfo()"},
        {5, "staticPointInfo()"},
        {6, "gprsVersion()"},
        {7, "wirelessParamters()"},
        {8, "wirelessStatus()"},
        {9, "wirelessError()"},
        {10, "loginMode()"},
        {11, "corsInfo()"},
        {12, "sourceTable()"},
        {13, "radioProtocol()"},
        {14, "radioFreq()"},
        {15, "radioPower()"},
        {16, "radioInfo()"},
        {17, "radioFreqRange()"},
        {18, "radioBaudrate()"},
        {19, "radioSensitive()"},
        {20, "radioFreqStep()"},
        {21, "radioFEC()"},
        {22, "radioCallsign()"},
        {23, "elevMask()"},
        {27, "oemTypeChanged(true)"},
        {28, "oemTypeChanged(false)"},
        {29, "deviceClosed()"},
        {30, "connectionFailed()"},
        {31, "staticFileDir()"},
        {32, "staticFileData()"},
        {33, "staticFileLength(4096)"},
        {34, "position()"},
        {35, "deviceResponse(773,2)"},
        {36, "firmwareInfo()"},
        {37, "hardwareInfo()"},
        {39, "fileRecordStatus()"},
        {40, "fileRecordAutoOpen(true)"},
        {41, "fileRecordParam()"},
        {42, "diffType()"},
        {43, "basePos()"},
        {44, "pdopMask(9)"},
        {45, "wifiMode()"},
        {46, "wifiParams()"},
        {47, "wifiStatus()"},
        {48, "wifiAutoPower(true)"},
        {49, "dialParams()"},
        {50, "modemPowerStatus()"},
        {51, "modemAutoPower(true)"},
        {52, "modemDialStatus()"},
        {53, "modemAutoDial(false)"},
        {54, "modemBandMode()"},
        {55, "radioType(5)"},
        {56, "radioAutoPower(true)"},
        {57, "radioPowerStatus()"},
        {58, "radioChannelList()"},
        {59, "radioChannelListAll()"},
        {60, "serverType()"},
        {61, "serverAddress()"},
        {62, "serverDataSource()"},
        {63, "serverAccount()"},
        {64, "dataLinkMode()"},
        {65, "comBaud()"},
        {67, "ioConfigs()"},
        {68, "basePosList()"},
        {69, "basePosDifference()"},
        {70, "channelTypes()"},
        {71, "channelFreqs()"},
        {72, "nmeaConfigs()"},
        {73, "wifiShare()"},
        {74, "wifiAutoShare()"},
        {75, "modemWorkMode()"},
        {76, "csdStatus()"},
        {77, "csdParams()"},
        {78, "linkLost()"},
    };
    EXPECT_EQ(expected.size(), 72u);
    for (int code = -1; code <= 80; ++code) {
        SCOPED_TRACE(code);
        hub->clear();
        DeviceObserver::instance()->notifyEvent(code);
        auto it = expected.find(code);
        if (it == expected.end()) {
            EXPECT_TRUE(hub->events().empty());
        } else {
            EXPECT_EQ(hub->events(), std::vector<std::string>{it->second});
        }
    }
}

TEST_F(Hub, AnnounceStoresTheCodeAndAnnounceCurrentEventRepeatsIt) {
    dm->announce(1);
    dm->announce(66);
    EXPECT_EQ(dm->eventCode(), 66);
    EXPECT_EQ(hub->events(), std::vector<std::string>{"batteryLife(0)"});
    dm->announce(29);
    dm->announceCurrentEvent();
    EXPECT_EQ(hub->named("deviceClosed").size(), 2u);
}

TEST_F(Hub, TheHubDeclaresTheSignalsNoCodeEmits) {
    const QMetaObject* mo = DeviceObserver::instance()->metaObject();
    for (const char* s :
         {"radioType()", "serverStatus()", "initRadioChannelList()", "radioType(int)"}) {
        EXPECT_GE(mo->indexOfSignal(s), 0) << s;
    }
    int count = 0;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        count += mo->method(i).methodType() == QMetaMethod::Signal ? 1 : 0;
    }
    EXPECT_EQ(count, 74);
}

// A page: counts the hub's signals in its slots.
class Listener : public QObject {
    Q_OBJECT
public:
    int battery = 0;
    int closed = 0;
    Qt::HANDLE thread = nullptr;
public slots:
    void onBattery(int) {
        ++battery;
        thread = QThread::currentThreadId();
    }
    void onClosed() { ++closed; }
};

TEST_F(Hub, QueuedConnectionsRunInTheReceiversThreadAndDisconnectCutsOneSignal) {
    Listener page;
    DeviceObserver* o = DeviceObserver::instance();
    ASSERT_TRUE(Varnok::connectQueued(o, &page, SIGNAL(batteryLife(int)), SLOT(onBattery(int))));
    ASSERT_TRUE(Varnok::connectQueued(o, &page, SIGNAL(deviceClosed()), SLOT(onClosed())));
    ASSERT_TRUE(Varnok::connectQueued(o, &page, SIGNAL(deviceClosed()), SLOT(onClosed())));
    EXPECT_FALSE(Varnok::connectQueued(o, &page, SIGNAL(noSuchSignal()), SLOT(onClosed())));
    dm->announce(1);
    EXPECT_EQ(page.battery, 0);  // queued, not direct
    deliver();
    EXPECT_EQ(page.battery, 1);
    EXPECT_EQ(page.thread, QThread::currentThreadId());

    EXPECT_TRUE(Varnok::disconnectSignal(o, SIGNAL(deviceClosed()), &page));
    dm->announce(29);
    dm->announce(1);
    deliver();
    EXPECT_EQ(page.closed, 0);
    EXPECT_EQ(page.battery, 2);
}

}  // namespace
}  // namespace varnok_test

#include "device_observer_test.moc"
