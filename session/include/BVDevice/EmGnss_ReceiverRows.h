// Row helpers for the row lists of EmGnss_Receiver (EmGnss_ReceiverOps.def and
// EmGnss_ReceiverGetters.def). A row's group letter says which records of the protocol library
// it uses: C the common ones, N the new-protocol enums and records, O the old-protocol records.
#pragma once

#define VARNOK_ROW_ON_C(...) __VA_ARGS__
#define VARNOK_ROW_ON_N(...) __VA_ARGS__
#define VARNOK_ROW_ON_O(...) __VA_ARGS__
