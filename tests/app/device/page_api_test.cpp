// The names the shell and the pages call on the device manager, the hub and the logic
// context, as they call them. Compiling is most of the test; the calls run on a fake session.
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using namespace Varnok;

class PageApi : public DeviceFixture {};

TEST_F(PageApi, DeviceManagerNames) {
    DeviceManager* m = DeviceManager::instance();
    m->setManufacturer(2);
    m->setDeviceType(1);
    m->setReceiverId(QStringLiteral("R1"));
    m->setConnectOptions(false, QList<int>{9600, 115200});
    SocketTarget target{};
    EXPECT_TRUE(m->connectDevice(2, static_cast<unsigned char>(0), 9600, target));
    SocketBlock block{};
    EXPECT_FALSE(m->connectDevice(2, 0, 9600, block, 5017));

    int mask = 0;
    m->supportedPages(&mask);
    QX_SYSTEM_FIRMWARE_VERSION_STRUCT fw{};
    QX_SYSTEM_HARDWARE_INFO_STRUCT hw{};
    QX_FILE_RECORD_CONFIG_STRUCT rec{};
    QX_WIFI_PARA_AP_STRUCT ap{};
    QX_MODEM_DIAL_PARA_STRUCT dial{};
    QX_MODEM_DIAL_STATUS_STRUCT dialStatus{};
    QX_MODEM_CSD_STATUS_STRUCT csd{};
    QX_MODEM_CSD_PARA_STRUCT csdParams{};
    POS_INFO pos{};
    m->firmwareInfo(fw);
    m->hardwareInfo(hw);
    m->fileRecordParam(rec);
    m->wifiParams(ap);
    m->dialParams(dial);
    m->modemDialStatus(dialStatus);
    m->csdStatus(csd);
    m->csdParams(csdParams);
    m->position(pos);
    const bool flags[] = {m->hasBasePositionList(),
                          m->hasNmeaOutputQuery(),
                          m->hasRadioChannelTypes(),
                          m->hasSatelliteChannelControl(),
                          m->hasStaticStatusQuery(),
                          m->isCsdSupported(),
                          m->isDeviceTypeZero(),
                          m->isNewProtocolReceiver(),
                          m->isOldProtocolReceiver(),
                          m->isFirmwareBelow8(),
                          m->isFirmwareMinor14(),
                          m->isFirmwareMinor20(),
                          m->isRadioChannelV2(),
                          m->isSerialConnection(),
                          m->isStaticFileDownloadable(),
                          m->isStaticRecordingConfigurable(),
                          m->isWifiShareSupported(),
                          m->fileRecordAutoOpen(),
                          m->modemAutoPower(),
                          m->modemAutoDial(),
                          m->wifiAutoOpen()};
    const int values[] = {m->baudRate(),         m->deviceType(),    m->workingStatus(),
                          m->fileRecordStatus(), m->wifiMode(),      m->wifiStatus(),
                          m->wifiShare(),        m->wifiAutoShare(), m->modemPowerStatus(),
                          m->modemBandMode(),    m->modemWorkMode(), m->elevMask(),
                          m->radioAutoPower(),   m->comBaudrate(),   m->batteryGrade()};
    EXPECT_EQ(sizeof flags / sizeof flags[0], 21u);
    EXPECT_EQ(values[0], 9600);
    EXPECT_EQ(mask, 255);
    const DEVICE_STR* info = m->deviceInfo();
    const bool* channels = m->satelliteChannelStatus();
    EXPECT_NE(info, nullptr);
    EXPECT_NE(channels, nullptr);
    m->setComBaudrate(115200);
    EXPECT_TRUE(m->closePort());
}

TEST_F(PageApi, HubAndHelperNames) {
    QLineEdit edit;
    DeviceObserver* o = DeviceObserver::instance();
    EXPECT_TRUE(connectQueued(o, &edit, SIGNAL(deviceClosed()), SLOT(clear())));
    EXPECT_TRUE(disconnectSignal(o, SIGNAL(deviceClosed()), &edit));

    LogicContext* c = LogicContext::instance();
    c->connectWorkingStatus();
    edit.setValidator(LogicContext::validator(3, -1, -1, &edit));
    EXPECT_TRUE(LogicContext::isValidIpAddress(QStringLiteral("10.1.1.1")));
    LogicContext::setWidgetBrush(1, &edit);
    int d = 0, mi = 0;
    double s = 0;
    LogicContext::radianToDms(0.1, d, mi, s);
    EXPECT_FALSE(LogicContext::formatDms(LogicContext::dmsToDegrees(d, mi, s), 1).isEmpty());
    EXPECT_FALSE(LogicContext::authorityPath().empty());
    EXPECT_FALSE(LogicContext::rtkSettingsPath().empty());
    EXPECT_FALSE(LogicContext::staticStationsPath().empty());
    EXPECT_EQ(LogicContext::translate(9), "2w");
}

}  // namespace
}  // namespace varnok_test
