#include "output.h"
#include "page_registry.h"
#include "register_pages.h"

namespace Varnok {

namespace {

Widget* makeOutput(QWidget* parent) {
    return new Output(parent);
}

}  // namespace

void registerOutputPages() {
    PageRegistry::replace("0183OutPut", PageFamily::Start, &makeOutput);
}

}  // namespace Varnok
