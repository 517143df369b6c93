// Feeds the input to the STX/ETX, both Hemisphere and the engine boards directly, cut into
// slices whose sizes the input chooses; every parse step must end, and the input buffer must
// never hold more than it can.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Em_OemComEngine.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemStxEtx.h"

using namespace Brevan2011::BVParse;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<Em_OemBoard> boards[] = {
        std::unique_ptr<Em_OemBoard>(new Em_OemStxEtx),
        std::unique_ptr<Em_OemBoard>(new Em_OemHemisphere),
        std::unique_ptr<Em_OemBoard>(new Em_OemHemisphere2),
        std::unique_ptr<Em_OemBoard>(new Em_OemComEngine),
    };
    for (auto& board : boards) {
        FuzzedDataProvider input(data, size);
        while (input.remaining_bytes() > 0) {
            const size_t chunk = input.ConsumeIntegralInRange<size_t>(1, 600);
            const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(chunk);
            board->Add_Data(bytes.data(), static_cast<int>(bytes.size()));
            int steps = 0;
            while (board->Parse() != 0) {
                if (++steps > 4096) {
                    std::abort();  // a parse step that never stops reporting
                }
            }
            if (board->Input()->Fill > OEM_INPUT_BUFFER::kSize) {
                std::abort();
            }
        }
    }
    return 0;
}
