#pragma once

namespace Varnok {

// Puts every receiver page in the page registry in place of its placeholder. Call once,
// before the frame is made.
void registerPages();

// One per area folder.
void registerIdentityPages();
void registerRtkPages();
void registerSurveyPages();
void registerOutputPages();
void registerDataLinkPages();
void registerRadioPages();
void registerNetworkPages();

}  // namespace Varnok
