// Builds "$$" frames with valid checks from the input (letters from the reply table, payload
// length and bytes chosen by the input), mixed with raw bytes, and feeds them to the old
// protocol object in port-sized reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Em_OldProtocol.h"

using namespace Brevan2011::BVParse;

namespace {

const char kLetters[][3] = {"RG", "VQ", "RX", "RC", "ST", "VD", "VL", "VI", "RH",
                            "SD", "SI", "SC", "SX", "VY", "FB", "FF", "FH", "FM",
                            "FW", "FT", "FJ", "FK", "FC", "VM", "AB"};

void Frame(std::vector<std::uint8_t>& out, const char* letters,
           const std::vector<std::uint8_t>& payload) {
    const std::size_t start = out.size();
    out.push_back(0x24);
    out.push_back(0x24);
    out.push_back(static_cast<std::uint8_t>(letters[0]));
    out.push_back(static_cast<std::uint8_t>(letters[1]));
    out.push_back(0x18);
    out.push_back(static_cast<std::uint8_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    std::uint8_t x = 0;
    for (std::size_t i = start + 2; i < out.size(); ++i) {
        x ^= out[i];
    }
    out.push_back(x);
    out.push_back(0x0D);
    out.push_back(0x0A);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Em_OldProtocol proto;
    const int boardType = input.ConsumeIntegralInRange<int>(0, 8);
    proto.Create_Board(static_cast<MAINBD_OEM_TYPE>(boardType));
    proto.Receiver().wireless.layoutFlag = input.ConsumeBool() ? 1 : 0;
    proto.Receiver().radio.radioType = input.ConsumeIntegralInRange<int>(0, 11);

    std::vector<std::uint8_t> stream;
    while (input.remaining_bytes() > 0) {
        const int kind = input.ConsumeIntegralInRange<int>(0, 3);
        if (kind == 0) {
            const std::vector<std::uint8_t> raw =
                input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
            stream.insert(stream.end(), raw.begin(), raw.end());
        } else {
            const char* letters =
                kLetters[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kLetters) - 1)];
            const std::vector<std::uint8_t> payload =
                input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 255));
            Frame(stream, letters, payload);
        }
    }
    for (std::size_t at = 0; at < stream.size(); at += 2048) {
        const std::size_t n = std::min<std::size_t>(2048, stream.size() - at);
        proto.Ring()->Append(stream.data() + at, static_cast<int>(n));
        for (int guard = 0; guard < 100000 && proto.Parse_Step() != 0; ++guard) {
        }
    }
    return 0;
}
