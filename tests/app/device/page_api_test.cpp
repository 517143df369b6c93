// The names the shell and the pages call on the device manager, the hub and the logic
// context, as they call them. Compiling is most of the test; the calls run on a fake session.
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "client.h"
#include "device_test_support.h"
#include "str2str_caster.h"

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

TEST_F(PageApi, RequestAndAnswerNames) {
    DeviceManager* m = DeviceManager::instance();
    m->setManufacturer(2);
    m->setDeviceType(1);
    ASSERT_TRUE(m->connectDevice(2, static_cast<unsigned char>(0), 9600, SocketTarget{}));

    // Requests.
    m->sendGprsEroinfo();
    m->sendCloseReceiver();
    m->sendGnssReset();
    m->sendBattery();
    m->sendRadioPower();
    m->sendRadioSensitivity();
    m->sendRadioCallsign();
    m->sendRadioFec();
    m->sendGprsInfo();
    m->sendRadioAutoPowerQuery();
    m->sendRadioFrequencyQuery();
    m->sendWifiPowerStatusQuery();
    m->sendModemPowerStatusQuery();
    m->sendRadioPowerStatusQuery();
    m->sendModemWorkModeQuery();
    m->queryCsdStatus();
    m->queryStaticPoint();
    m->connectNetLink();
    m->sendFileRecordStatusQuery();
    m->setDevcInfoAutoBaseDist(100);
    m->setGprsSvcInfo(SvcInfo{});
    m->setGprsModel(static_cast<Gprs_Modle>(1));
    m->setGprsIp(IP_ADRES{}, 2101, static_cast<Protocol_Net>(1));
    m->setGnssNmea(1, GNSS_FRQ_1);
    m->send200Data(false);
    m->setRadioMdl(static_cast<Rdo_Mdl>(1));
    m->sendWifiOpen(true);
    m->sendModemPower(true);
    m->sendModemDial(true);
    QX_IP_ADDRESS_STRUCT address{};
    m->sendNetLinkAddress(&address);
    m->setComDataMonitor(false);
    m->deleteStaticFile(1);
    m->setRadioChannelFreq(1, 438.0, static_cast<Channel_Space>(0));
    m->setRadioChannelType(1, static_cast<Rdo_Channel_Type>(0));
    m->setRadioChannel0Enabled(true);
    m->sendRadioPowerOn(true);
    m->sendModemWorkMode(1);
    QX_MODEM_CSD_PARA_STRUCT csd{};
    m->sendCsdParams(&csd);
    m->sendQxMdl(false);
    m->setSatelliteChannelStatus(SatelliteChannelBytes{1, 0, 1});
    m->queryModemDialStatus();
    m->queryStaticStatus();
    m->queryRadioModuleType();
    m->queryRadioProtocol();
    const Base_Config base = m->baseConfig();
    m->startBase(base);
    m->setConnectionParams(2, 0, 9600, SocketTarget{});
    m->disconnectNetLink();
    m->queryBasePosDifference();
    m->setBasePosDifference(1.0);
    m->queryDataLinkMode();
    m->queryNetLinkStatus();
    m->queryRadioBaudrates();
    m->queryRadioChannelSpacing();
    m->startStaticRecord();
    m->stopStaticRecord();
    m->queryNmeaOutputConfigs();
    m->queryDeviceInfo();
    m->queryFileRecordSettings();
    m->queryRtkSettings();
    m->queryModemSettings();
    m->queryNetLinkSettings();
    m->queryRadioSettings();
    m->setRtkSettings(0, 1, 1, 3, 10, GNSS_FRQ_1);
    m->setFileRecordSettings(1, 60, 1, 10, true);
    Static_Point point{};
    m->setStaticSettings(1, 60, 1, 10, &point);
    const StaticPointSettings settings = m->staticPointSettings();
    m->setStaticSettings(1, 60, 1, 10, settings);
    m->setGprsSettings(1, 4, WirelessInfo{}, 0, cors_info{});
    m->setRadioSettings(static_cast<Rdo_Mdl>(1), 438.0, static_cast<Radio_Power>(1),
                        static_cast<Radio_Baudrate>(1), static_cast<Rdo_Sensitv>(1),
                        static_cast<Channel_Space>(1), false, Radio_Callsign{});
    QX_WIFI_PARA_AP_STRUCT ap{};
    m->setWifiSettings(1, &ap, true, true, false, false);
    m->queryWifiSettings();
    QX_MODEM_DIAL_PARA_STRUCT dial{};
    m->setModemSettings(&dial, true, true, 1);
    const unsigned short serverType = 2;
    QX_CORS_DATA_SOURCE_STRUCT source{};
    QX_ACCOUNT_STRUCT account{};
    m->setNetLinkSettings(&serverType, &address, &source, &account, true);
    QX_RADIO_CALLSIGN_STRUCT sign{};
    m->setRadioLinkSettings(1, 438.0, true, 125, 9600, 10, false, 1, &sign);
    m->sendRtkSettings(3, static_cast<QX_GNSS_DIFF_TYPE_ENUM>(6), 4, 10, 3, 0.9, 2.0, 100.0,
                       std::map<int, bool>{{1, true}});
    m->queryBasePositionList();
    m->clearBasePositionList();
    m->removeBasePosition(-1);
    m->addBasePosition(30.0, 120.0, 10.0);
    std::vector<BasePosition> positions;
    m->basePositionList(positions);
    EXPECT_TRUE(m->basePositionList().empty());
    std::vector<_set_nmea> nmea = {{12, 3}};
    m->setNmeaOutput(nmea, true, 1);
    m->startPositionOutput();
    m->stopPositionOutput();
    NMEAConfigList configs;
    m->nmeaOutputConfigs(configs);
    m->queryRadioChannelList(true, true);
    std::vector<int> types;
    std::vector<double> freqs;
    m->channelTypes(types);
    m->channelFreqs(freqs);

    // Static data files (the manager's side; no page lists them yet).
    m->queryStaticFileDir();
    std::vector<StaticFileRecord> files;
    m->staticFileList(files);
    EXPECT_TRUE(m->staticFileList().empty());
    EXPECT_FALSE(m->openStaticFileDownload(1u, nullptr, "2020-09-15"));
    EXPECT_FALSE(m->staticFileState().isOpen());
    m->writeStaticFile("x", 1);
    m->closeStaticFile();
    EXPECT_TRUE(m->staticAntennaType().isEmpty());
    EXPECT_EQ(m->staticFileLength(), 0);

    // Option lists and code tables.
    QStringList names;
    QList<int> codes;
    m->outputRateNames(names, codes);
    m->nmeaSentenceNames(names, codes);
    m->rtkRateNames(names, codes);
    m->diffFormatNames(names, codes);
    m->staticRateNames(names, codes);
    m->serverModeNames(names, codes);
    EXPECT_EQ(names.size(), codes.size());
    int first = 0, second = 0;
    DeviceManager::splitMode(3, first, second);
    EXPECT_EQ(DeviceManager::indexToCode(0), 1);
    EXPECT_EQ(DeviceManager::indexToLetter(1), 'B');
    EXPECT_EQ(DeviceManager::sentenceDataTypeCode(12), 0x408);
    EXPECT_EQ(DeviceManager::mapTypeCode(255), 2);
    int year = 0, month = 0, day = 0, hours = 0, minutes = 0, doy = 0;
    double secs = 0;
    DeviceManager::gpsTimeToDate(1024, 0, &year, &month, &day, &hours, &minutes, &secs);
    DeviceManager::gpsTimeToDayOfYear(1024, 0, year, doy, hours, minutes, secs);

    // Getters, with the defaults before any answer.
    EXPECT_EQ(m->fileRecordStatus(), 2);
    EXPECT_EQ(m->diffType(), 1);
    EXPECT_EQ(m->wifiMode(), 1);
    EXPECT_EQ(m->wifiStatus(), 3);
    EXPECT_EQ(m->radioType(), 1);
    EXPECT_EQ(m->comBaudrate(), 3);
    double lower = 0, upper = 0, step = 0;
    m->radioFreqRange(lower, upper, step);
    const RadioFreqRange range = m->radioFreqRange();
    EXPECT_EQ(range.stepMHz, step);
    WirelessInfo wireless{};
    cors_info cors{};
    Radio_Info radio{};
    QX_GNSS_BASE_SET_STRUCT baseSet{};
    QX_NETLINK_STATUS_STRUCT link{};
    QX_DATA_CONFIG_LIST io{};
    m->wirelessInfo(wireless);
    m->corsInfo(cors);
    m->radioInfo(radio);
    m->basePos(baseSet);
    m->netLinkStatus(link);
    m->serverAddress(address);
    m->serverDataSource(source);
    m->serverAccount(account);
    m->ioConfigs(io);
    EXPECT_FALSE(m->ioConfigs(5, io));  // no list of IO 5 since the connect
    m->radioCallsignV2(sign);
    m->radioCallsignRecord(sign);
    int mode = 0;
    double mhz = 0;
    m->radioModelAndFrequency(mode, mhz);
    const double values[] = {m->gprsVersion(), m->radioFrequency(), m->basePosDifference()};
    const int ints[] = {
        m->loginMode(),         m->wirelessStatus(), m->wirelessError(),    m->manufacturer(),
        m->radioProtocol(),     m->radioPower(),     m->radioBaudrate(),    m->radioSensitivity(),
        m->radioChannelSpace(), m->radioFec(),       m->radioPowerStatus(), m->serverType(),
        m->dataLinkMode(),      m->pdopMask(),       m->staticStatus(),     m->wifiAutoPower()};
    EXPECT_EQ(values[0], 0.0);
    EXPECT_EQ(ints[3], 2);
    EXPECT_NE(m->radioCallsign(), nullptr);
    EXPECT_NE(m->staticPointInfo(), nullptr);
    EXPECT_TRUE(m->receiverIdText().isEmpty());
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

TEST_F(PageApi, SourceTableNames) {
    DeviceManager* m = DeviceManager::instance();
    m->querySourceTable();
    EXPECT_FALSE(m->hasSourceTableHeader());
    EXPECT_FALSE(m->hasSourceTableEnd());
    QList<QString> names = m->sourceTableRecords();
    QString piece = QStringLiteral("SOURCETABLE 200 OK\r\nSTR;MP;x\r\nENDSOURCETABLE");
    m->parseSourceTable(piece, names);
    EXPECT_EQ(names, QList<QString>{QStringLiteral("MP")});

    QLineEdit page;
    Client* client = new Client(&page);
    // Both panels join the signal by name, with a non-const reference.
    EXPECT_TRUE(QObject::connect(client, SIGNAL(message(QString&)), &page, SLOT(clear())));
    client->write(sourceTableRequest());
    client->disconnectFromServer();
    bool failed = false;
    QObject::connect(client, &Client::connectFailed, [&failed] { failed = true; });
    client->connectToServer(QStringLiteral("127.0.0.1"), freeLoopbackPort(), 1000);
    EXPECT_TRUE(QTest::qWaitFor([&failed] { return failed; }, 5000));
}

TEST_F(PageApi, RadioChannelHelperNames) {
    std::vector<double> single, high, middle, low;
    LogicContext::defaultChannelTables(single, high, middle, low);
    EXPECT_TRUE(LogicContext::isOffGrid(456.06, 456.05, 0.0125));
    EXPECT_DOUBLE_EQ(LogicContext::snapToGrid(456.06, 456.05, 462.55, 0.0125), 456.0625);
    EXPECT_TRUE(LogicContext::radioCanTransmit());
    EXPECT_FALSE(LogicContext::radioHasChannelSpacing());
    EXPECT_EQ(LogicContext::bandOfGroup(LogicContext::radioTypeGroup(5)), 3);
    EXPECT_EQ(LogicContext::typeBandOfFrequency(410.0, 470.0, 440.0, 7), 2);
    EXPECT_EQ(LogicContext::channelSpaceCode(), 0);
    LogicContext::instance()->connectRadioSignals(LogicContext::instance(), true);
    LogicContext::instance()->connectRadioSignals(LogicContext::instance(), false);
}

}  // namespace
}  // namespace varnok_test
