#include "inlay_net.h"
#include "page_registry.h"
#include "register_pages.h"
#include "server_pages.h"
#include "wireless_config_widget.h"

namespace Varnok {

namespace {

template <class Page>
Widget* make(QWidget* parent) {
    return new Page(parent);
}

}  // namespace

void registerNetworkPages() {
    PageRegistry::replace("ServerConfig", PageFamily::Start, &make<ServerConfig>);
    PageRegistry::replace("Add", PageFamily::Start, &make<ServerConfig_Add>);
    PageRegistry::replace("Detail", PageFamily::Start, &make<ServerDetail>);
    PageRegistry::replace("WirelessConfig", PageFamily::NewProtocol, &make<WirelessConfigWidget>);
    PageRegistry::replace("WirelessConfig", PageFamily::OldProtocol, &InlayNet::make);
}

}  // namespace Varnok
