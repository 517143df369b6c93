#include "page_registry.h"
#include "radio_channel_widget.h"
#include "radio_channel_widget_k45.h"
#include "radio_channel_widget_v2.h"
#include "register_pages.h"

namespace Varnok {

namespace {

template <class Page>
Widget* make(QWidget* parent) {
    return new Page(parent);
}

}  // namespace

void registerRadioPages() {
    PageRegistry::replace("RadioChannel", PageFamily::NewProtocol, &make<RadioChannelWidgetK45>);
    PageRegistry::replace("RadioChannel", PageFamily::OldRadioV2, &make<RadioChannelWidget_V2>);
    PageRegistry::replace("RadioChannel", PageFamily::OldRadioV1, &make<RadioChannelWidget>);
}

}  // namespace Varnok
