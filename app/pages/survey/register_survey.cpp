#include "internal_record_widget.h"
#include "page_registry.h"
#include "register_pages.h"
#include "static.h"

namespace Varnok {

namespace {

Widget* makeStatic(QWidget* parent) {
    return new Static(parent);
}

Widget* makeInternalRecord(QWidget* parent) {
    return new InternalRecordWidget(parent);
}

}  // namespace

void registerSurveyPages() {
    PageRegistry::replace("Static", PageFamily::OldProtocol, &makeStatic);
    PageRegistry::replace("Static", PageFamily::NewProtocol, &makeInternalRecord);
}

}  // namespace Varnok
