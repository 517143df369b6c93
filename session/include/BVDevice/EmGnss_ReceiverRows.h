// Switches for the row lists of EmGnss_Receiver (EmGnss_ReceiverOps.def and
// EmGnss_ReceiverGetters.def). A row of group C uses records every build has; N rows need the
// new-protocol enums and O rows the old-protocol records of the protocol library.
#pragma once

// Fixed for the library and its users alike: the declarations must match the definitions.
#define VARNOK_SESSION_ROWS_N 1
#define VARNOK_SESSION_ROWS_O 1

#define VARNOK_ROW_ON_C(...) __VA_ARGS__
#if VARNOK_SESSION_ROWS_N
#define VARNOK_ROW_ON_N(...) __VA_ARGS__
#else
#define VARNOK_ROW_ON_N(...)
#endif
#if VARNOK_SESSION_ROWS_O
#define VARNOK_ROW_ON_O(...) __VA_ARGS__
#else
#define VARNOK_ROW_ON_O(...)
#endif
