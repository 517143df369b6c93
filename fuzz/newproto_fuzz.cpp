// Feeds the new protocol's receive side. The first byte picks the shape of the input:
// raw bytes in slices, or frame bodies that are wrapped into frames and "$$" chunks here
// (so that the item decoders are reached), with fuzzer-chosen chunk sizes, sequence gaps,
// chunk types and GGA lines in between.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_Gnss.h"

namespace {

using namespace Brevan2011::BVParse;

// A new-protocol receiver: maker 2 with board 8.
struct Fuzz_NewTarget {
    Em_Gnss gnss{GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL};
    Fuzz_NewTarget() {
        static const _CALLBACKS_RECEIVER callbacks = {[](Msg_Type, uint32_t, const void*) {},
                                                      nullptr};
        gnss.Reg_Callbacks(&callbacks, nullptr);
    }
    void Feed(const uint8_t* bytes, size_t n) {
        if (n == 0) {
            return;
        }
        gnss.RcvData(bytes, static_cast<unsigned>(n));
        gnss.ParseData();
    }
};

void Put16(std::vector<uint8_t>& out, size_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

struct Reader {
    const uint8_t* p;
    size_t n;
    uint8_t Byte() {
        if (n == 0) {
            return 0;
        }
        --n;
        return *p++;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    Fuzz_NewTarget target;
    Reader in{data + 1, size - 1};
    if ((data[0] & 1) == 0) {
        // Raw bytes in slices of fuzzer-chosen sizes.
        while (in.n > 0) {
            size_t k = 1 + in.Byte();
            k = k < in.n ? k : in.n;
            target.Feed(in.p, k);
            in.p += k;
            in.n -= k;
        }
        return 0;
    }
    uint8_t sequence = in.Byte() % 251;
    std::vector<uint8_t> stream;
    while (in.n > 0) {
        const uint8_t control = in.Byte();
        size_t bodyLength = (static_cast<size_t>(in.Byte()) << 8) | in.Byte();
        bodyLength = bodyLength < in.n ? bodyLength : in.n;
        std::vector<uint8_t> frame = {0x04, 0x11, 0x00, 0, 0, 0, 0, 0, 0, 0, 1};
        Put16(frame, bodyLength);
        frame.insert(frame.end(), in.p, in.p + bodyLength);
        in.p += bodyLength;
        in.n -= bodyLength;
        frame.insert(frame.end(), {0, 0, 0, 0, 0x09, 0x24});
        const size_t chunk = 1 + (control & 0x3F) * 4;
        const uint8_t type = (control & 0x80) ? 2 : 1;
        for (size_t at = 0; at < frame.size(); at += chunk) {
            const size_t k = (frame.size() - at < chunk) ? frame.size() - at : chunk;
            if (k > 250) {
                break;
            }
            stream.insert(stream.end(), {'$', '$', type, sequence, static_cast<uint8_t>(k)});
            stream.insert(stream.end(), frame.begin() + at, frame.begin() + at + k);
            stream.insert(stream.end(), {0x0D, 0x0A});
            // Now and then a chunk goes missing.
            sequence =
                static_cast<uint8_t>((sequence + ((control & 0x40) && at == 0 ? 2 : 1)) % 251);
        }
        if (control & 0x40) {
            static const char kGga[] = "$GPGGA,1,2,3*00\r\n";
            stream.insert(stream.end(), kGga, kGga + sizeof kGga - 1);
        }
        if (stream.size() > 4096) {
            target.Feed(stream.data(), stream.size());
            stream.clear();
        }
    }
    target.Feed(stream.data(), stream.size());
    return 0;
}
