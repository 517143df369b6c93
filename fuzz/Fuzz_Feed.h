// Feeds the fuzz input to a receiver cut into chunks whose sizes the input itself chooses.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_Gnss.h"

inline void Feed_In_Chunks(Brevan2011::BVParse::Em_Gnss& gnss, const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0) {
        // A port read brings at most 2,048 bytes.
        const size_t chunk = input.ConsumeIntegralInRange<size_t>(1, 2048);
        const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(chunk);
        gnss.RcvData(bytes.data(), static_cast<unsigned>(bytes.size()));
        gnss.ParseData();
    }
}
