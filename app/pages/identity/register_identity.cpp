#include "device_info_widget.h"
#include "info.h"
#include "page_registry.h"
#include "register_pages.h"
#include "satellite_channel_control.h"

namespace Varnok {

namespace {

template <class Page>
Widget* make(QWidget* parent) {
    return new Page(parent);
}

}  // namespace

void registerIdentityPages() {
    PageRegistry::replace("Info", PageFamily::OldProtocol, &make<Info>);
    PageRegistry::replace("Info", PageFamily::NewProtocol, &make<DeviceInfoWidget>);
    PageRegistry::replace("SatelliteChannelControl", PageFamily::OldProtocol,
                          &make<SatelliteChannelControl>);
}

}  // namespace Varnok
