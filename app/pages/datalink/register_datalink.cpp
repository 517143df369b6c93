#include "callsign.h"
#include "datachain.h"
#include "datalink_widget.h"
#include "page_registry.h"
#include "register_pages.h"

namespace Varnok {

void registerDataLinkPages() {
    PageRegistry::replace("CallSign", PageFamily::Start, &Callsign::make);
    PageRegistry::replace("DataLink", PageFamily::OldProtocol, &DataChain::make);
    PageRegistry::replace("DataLink", PageFamily::NewProtocol, &DataLinkWidget::make);
}

}  // namespace Varnok
