#include "register_pages.h"

namespace Varnok {

void registerPages() {
    registerIdentityPages();
    registerRtkPages();
    registerSurveyPages();
    registerOutputPages();
    registerDataLinkPages();
    registerRadioPages();
    registerNetworkPages();
}

}  // namespace Varnok
