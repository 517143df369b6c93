#pragma once

namespace Varnok {

class FatherWidget;

// A test tool of the install checks (VARNOK_STARTUP_PROBE=settings): opens "Connection" from
// the menu as a user would, keeps one more server and a password change as the server and
// login pages do, reads the shipped radio capabilities and logs a line, then prints where
// all of it went and what an earlier run had kept.
void runSettingsProbe(FatherWidget* frame);

}  // namespace Varnok
