#include "base_position_list_widget.h"
#include "base_position_widget.h"
#include "page_registry.h"
#include "rtk.h"
#include "rtk_params_widget.h"
#include "register_pages.h"

namespace Varnok {

namespace {

template <class Page>
Widget* make(QWidget* parent) {
    return new Page(parent);
}

}  // namespace

void registerRtkPages() {
    PageRegistry::replace("BasePosition", PageFamily::Start, &make<BasePositionWidget>);
    PageRegistry::replace("BasePositionList", PageFamily::Start, &make<BasePositionListWidget>);
    PageRegistry::replace("RTK", PageFamily::NewProtocol, &make<RTKParamsWidget>);
    PageRegistry::replace("RTK", PageFamily::OldProtocol, &make<RTK>);
}

}  // namespace Varnok
