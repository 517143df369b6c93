#pragma once

namespace Varnok {

// Every timer of the program asks here for its length, so tests can run them fast.
int uiMs(int ms);
// Multiplies every later uiMs length (1 by default; 0 makes each timer fire at once).
void setUiScale(double scale);

}  // namespace Varnok
