#include "page_registry.h"

#include <cstring>

#include "connect/connect.h"
#include "data_monitor_widget.h"

namespace Varnok {

PlaceholderPage::PlaceholderPage(const QString& className, QWidget* parent) : Widget(parent) {
    setObjectName(className);
}

namespace {

template <const char* ClassName>
Widget* placeholder(QWidget* parent) {
    return new PlaceholderPage(QString::fromLatin1(ClassName), parent);
}

Widget* dataMonitor(QWidget* parent) {
    return new DataMonitorWidget(parent);
}

Widget* connection(QWidget* parent) {
    return new Connect(parent);
}

constexpr char kServerConfig[] = "ServerConfig";
constexpr char kServerConfigAdd[] = "ServerConfig_Add";
constexpr char kServerDetail[] = "ServerDetail";
constexpr char kOutput[] = "Output";
constexpr char kCallsign[] = "Callsign";
constexpr char kBasePosition[] = "BasePositionWidget";
constexpr char kBasePositionList[] = "BasePositionListWidget";
constexpr char kDeviceInfo[] = "DeviceInfoWidget";
constexpr char kInfo[] = "Info";
constexpr char kSatellite[] = "SatelliteChannelControl";
constexpr char kInternalRecord[] = "InternalRecordWidget";
constexpr char kStatic[] = "Static";
constexpr char kRtkParams[] = "RTKParamsWidget";
constexpr char kRtk[] = "RTK";
constexpr char kDataLinkWidget[] = "DataLinkWidget";
constexpr char kDataChain[] = "DataChain";
constexpr char kWirelessConfig[] = "WirelessConfigWidget";
constexpr char kInlayNet[] = "InlayNet";
constexpr char kRadioK45[] = "RadioChannelWidgetK45";
constexpr char kRadioV2[] = "RadioChannelWidget_V2";
constexpr char kRadio[] = "RadioChannelWidget";

using F = PageFamily;

// One table: page name and family to constructor, in building order. Pages built in the
// pages library take their rows' places through PageRegistry::replace.
PageRow kRows[] = {
    {"Connection", F::Start, connection, false},
    {"ServerConfig", F::Start, placeholder<kServerConfig>, true},
    {"Add", F::Start, placeholder<kServerConfigAdd>, false},
    {"Detail", F::Start, placeholder<kServerDetail>, false},
    {"0183OutPut", F::Start, placeholder<kOutput>, false},
    {"CallSign", F::Start, placeholder<kCallsign>, false},
    {"BasePosition", F::Start, placeholder<kBasePosition>, true},
    {"BasePositionList", F::Start, placeholder<kBasePositionList>, false},

    {"Info", F::NewProtocol, placeholder<kDeviceInfo>, false},
    {"Info", F::OldProtocol, placeholder<kInfo>, true},
    {"SatelliteChannelControl", F::OldProtocol, placeholder<kSatellite>, false},
    {"Static", F::NewProtocol, placeholder<kInternalRecord>, false},
    {"Static", F::OldProtocol, placeholder<kStatic>, true},
    {"RTK", F::NewProtocol, placeholder<kRtkParams>, true},
    {"RTK", F::OldProtocol, placeholder<kRtk>, true},
    {"DataLink", F::NewProtocol, placeholder<kDataLinkWidget>, true},
    {"DataLink", F::OldProtocol, placeholder<kDataChain>, true},
    {"WirelessConfig", F::NewProtocol, placeholder<kWirelessConfig>, false},
    {"WirelessConfig", F::OldProtocol, placeholder<kInlayNet>, false},

    {"DataMonitor", F::Type5, dataMonitor, false},
    {"RadioChannel", F::NewProtocol, placeholder<kRadioK45>, false},
    {"RadioChannel", F::OldRadioV2, placeholder<kRadioV2>, false},
    {"RadioChannel", F::OldRadioV1, placeholder<kRadio>, false},
};

bool belongs(PageFamily family, int deviceType, bool radioV2) {
    switch (family) {
        case F::Start:
            return false;
        case F::NewProtocol:
            return deviceType == 1;
        case F::OldProtocol:
            return deviceType != 1;
        case F::Type5:
            return deviceType == 5;
        case F::OldRadioV2:
            return deviceType != 1 && deviceType != 5 && radioV2;
        case F::OldRadioV1:
            return deviceType != 1 && deviceType != 5 && !radioV2;
    }
    return false;
}

}  // namespace

bool PageRegistry::replace(const char* name, PageFamily family, Widget* (*make)(QWidget*)) {
    bool found = false;
    for (PageRow& r : kRows) {
        if (r.family == family && std::strcmp(r.name, name) == 0) {
            r.make = make;
            found = true;
        }
    }
    return found;
}

std::vector<const PageRow*> PageRegistry::startRows() {
    std::vector<const PageRow*> rows;
    for (const PageRow& r : kRows) {
        if (r.family == F::Start) {
            rows.push_back(&r);
        }
    }
    return rows;
}

std::vector<const PageRow*> PageRegistry::deviceRows(int deviceType, bool radioChannelV2) {
    std::vector<const PageRow*> rows;
    for (const PageRow& r : kRows) {
        if (belongs(r.family, deviceType, radioChannelV2)) {
            rows.push_back(&r);
        }
    }
    return rows;
}

}  // namespace Varnok
