// Arbitrary bytes through the NovAtel board in slices whose sizes come from the input, then
// the same bytes as the body of a log of each known id, with a good CRC, so the decoders see
// bodies of every length and content.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Em_OemNovatel.h"
#include "Em_OemNovatelData.h"

using namespace Brevan2011::BVParse;

namespace {

uint32_t Crc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

std::vector<uint8_t> Wrap(uint16_t id, const uint8_t* body, size_t n) {
    std::vector<uint8_t> log(28 + n + 4, 0);
    log[0] = 0xAA;
    log[1] = 0x44;
    log[2] = 0x12;
    log[3] = 28;
    log[4] = static_cast<uint8_t>(id);
    log[5] = static_cast<uint8_t>(id >> 8);
    log[8] = static_cast<uint8_t>(n);
    log[9] = static_cast<uint8_t>(n >> 8);
    log[14] = 0xD0;
    log[15] = 0x07;
    for (size_t i = 0; i < n; ++i) {
        log[28 + i] = body[i];
    }
    const uint32_t crc = Crc32(log.data(), 28 + n);
    for (int i = 0; i < 4; ++i) {
        log[28 + n + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
    return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t slice = data[0];
    ++data;
    --size;

    Em_OemNovatel board;
    board.Novatel_Data()->Sat_Switch_Gps = slice & 1;
    for (size_t at = 0; at < size;) {
        size_t n = 1 + (slice + at) % 255;
        if (n > size - at) {
            n = size - at;
        }
        board.Add_Data(data + at, static_cast<int>(n));
        int guard = 0;
        while (board.Parse() != 0 && ++guard < 4096) {
        }
        at += n;
    }

    if (size <= 2048 - 32) {
        static const uint16_t kIds[] = {7, 37, 41, 42, 43, 48, 140, 174, 175, 241, 726, 1047};
        for (uint16_t id : kIds) {
            const std::vector<uint8_t> log = Wrap(id, data, size);
            board.Add_Data(log.data(), static_cast<int>(log.size()));
            while (board.Parse() != 0) {
            }
        }
    }
    return 0;
}
