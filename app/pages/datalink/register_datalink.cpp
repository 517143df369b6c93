#include "page_registry.h"
#include "register_pages.h"

namespace Varnok {

void registerDataLinkPages() {}

}  // namespace Varnok
