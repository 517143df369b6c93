#include "page_registry.h"
#include "register_pages.h"
#include "satellite_channel_control.h"

namespace Varnok {

namespace {

Widget* makeSatelliteChannelControl(QWidget* parent) {
    return new SatelliteChannelControl(parent);
}

}  // namespace

void registerIdentityPages() {
    PageRegistry::replace("SatelliteChannelControl", PageFamily::OldProtocol,
                          &makeSatelliteChannelControl);
}

}  // namespace Varnok
