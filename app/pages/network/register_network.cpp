#include "inlay_net.h"
#include "page_registry.h"
#include "register_pages.h"

namespace Varnok {

void registerNetworkPages() {
    PageRegistry::replace("WirelessConfig", PageFamily::OldProtocol, &InlayNet::make);
}

}  // namespace Varnok
