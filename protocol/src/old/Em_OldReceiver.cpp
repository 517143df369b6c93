#include "Em_OldReceiver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Em_OldRadio.h"
#include "Em_OutputInterval.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

Em_OldReport Report(std::int32_t category, std::uint32_t flags) {
    Em_OldReport r;
    r.category = category;
    r.flags = flags;
    return r;
}

constexpr std::size_t kChunk = 55;
constexpr std::size_t kDeviceBlock = 128;

struct BoardId {
    const char* id;
    std::int32_t boardType;
    std::int32_t modelClass;  // 0: unchanged
};

const BoardId kBoardIds[] = {
    {"P53D", 1, 1}, {"1904", 1, 1}, {"1914", 1, 1}, {"1934", 1, 1}, {"P62D", 1, 1},
    {"1908", 1, 2}, {"1918", 1, 2}, {"1907", 3, 0}, {"1905", 2, 2}, {"P53F", 2, 2},
    {"P62F", 2, 2}, {"1915", 2, 2}, {"6203", 4, 0}, {"P47C", 4, 0},
};

}  // namespace

void Em_OldAssembly::Clear() {
    std::memset(data, 0, static_cast<std::size_t>(fill));
    readPos = 0;
    fill = 0;
}

void Em_OldAssembly::Append(const std::uint8_t* bytes, std::size_t n) {
    if (static_cast<std::size_t>(fill) + n > kSize) {
        Clear();
        return;
    }
    if (n > 0) {
        std::memcpy(data + fill, bytes, n);
        fill += static_cast<std::int32_t>(n);
    }
}

Em_OldReceiver::Em_OldReceiver() = default;

void Em_OldReceiver::ClearAssemblies() {
    siBuffer.Clear();
    rcBuffer.Clear();
    rhBuffer.Clear();
    viBuffer.Clear();
}

Em_OldReport Em_OldReceiver::Decode_SD(const std::uint8_t* p, std::size_t n) {
    if (n < 2) {
        return {};
    }
    std::uint32_t flags = OLD_FLAG_BATTERY;
    if (n == 5) {
        const unsigned v = p[4];
        voltageClass = v < 200 ? 1 : v < 210 ? 2 : v < 220 ? 3 : v < 230 ? 4 : v < 240 ? 5 : 6;
        flags |= OLD_FLAG_BATTERY_CLASS;
    }
    const unsigned code = p[1];
    if (p[0] == 3) {
        batteryLevel = 12;
    } else if (code <= 64) {
        batteryLevel = 0;
    } else if (code >= 84) {
        batteryLevel = 10;
    } else {
        const int percent = 5 + static_cast<int>(std::trunc((code - 65) * 5.555555555555555));
        batteryLevel = std::min(100, percent) / 10;
    }
    return Report(MSG_OLD_REPLY, flags);
}

Em_OldReport Em_OldReceiver::Decode_ST(const std::uint8_t* frame, std::size_t n) {
    static const char kHead[] = "Close th";
    const std::uint8_t* p = frame + 6;
    if (n < 21 || std::memcmp(p, kHead, 8) != 0 || p[18] != '!' || p[19] != 0x0D || p[20] != 0x0A ||
        frame[6 + n] != 0x83 || frame[7 + n] != 0x0D || frame[8 + n] != 0x0A) {
        return {};
    }
    return Report(MSG_OLD_REPLY, OLD_FLAG_CLOSE_ACK);
}

Em_OldReport Em_OldReceiver::Decode_FB(const std::uint8_t* p, std::size_t n) {
    if (n < 1) {
        return {};
    }
    const std::size_t nameLength = p[0];
    // The name field holds 32 bytes and the value, byte and method must lie in the payload.
    if (nameLength > sizeof staticPoint.name || nameLength + 7 > n) {
        return {};
    }
    staticPoint.nameLength = static_cast<std::uint8_t>(nameLength);
    std::memset(staticPoint.name, 0, sizeof staticPoint.name);
    std::memcpy(staticPoint.name, p + 1, nameLength);
    staticPoint.value = Le32(p + nameLength + 1);
    staticPoint.byte = p[nameLength + 5];
    switch (p[nameLength + 6]) {
        case 1:
            staticPoint.method = 3;
            break;
        case 2:
            staticPoint.method = 2;
            break;
        case 3:
            staticPoint.method = 4;
            break;
        default:
            staticPoint.method = -1;
            break;
    }
    return Report(MSG_OLD_REPLY, OLD_FLAG_FB);
}

Em_OldReport Em_OldReceiver::Decode_FF(const std::uint8_t* p, std::size_t n) {
    if (n < 12) {
        return {};
    }
    const std::uint32_t first = Le32(p);
    bubble.words[0] = first & 0x0FFFFFFFu;
    bubble.words[1] = p[3] >> 4;
    bubble.words[2] = Le32(p + 4);
    bubble.words[3] = Le32(p + 8);
    bubble.words[4] = 0;
    bubble.words[5] = 0;
    return Report(MSG_OLD_REPLY, OLD_FLAG_BUBBLE);
}

Em_OldReport Em_OldReceiver::Decode_FH(const std::uint8_t* p, std::size_t) {
    // Reads 8 bytes as the reply defines them; p lies in the zeroed frame buffer.
    staticTime[0] = Le32(p);
    staticTime[1] = Le32(p + 4);
    return Report(MSG_OLD_REPLY, OLD_FLAG_STATIC_TIME);
}

Em_OldReport Em_OldReceiver::Decode_RX(const std::uint8_t* p, std::size_t n) {
    const std::size_t kept = std::min(n, sizeof rxData);
    std::memset(rxData, 0, sizeof rxData);
    std::memcpy(rxData, p, kept);
    rxLength = static_cast<std::int32_t>(kept);
    return Report(MSG_OLD_REPLY, OLD_FLAG_GPRS_DIFF);
}

Em_OldReport Em_OldReceiver::Decode_VY(const std::uint8_t* p, std::size_t n) {
    auto& block = firmwareDb[256];
    block.fill(0);
    std::memcpy(block.data(), p, std::min(n, block.size()));
    return Report(MSG_OLD_REPLY, OLD_FLAG_FIRMWARE_DB);
}

Em_OldReport Em_OldReceiver::Decode_VM(const std::uint8_t* p, std::size_t n) {
    const std::size_t kept = std::min<std::size_t>(n, Em_OldWirelessRecord::kSourceListSize);
    std::memcpy(wireless.sourceList, p, kept);
    wireless.sourceListLength = static_cast<std::int32_t>(kept);
    return Report(MSG_OLD_REPLY, OLD_FLAG_GPRS_LIST);
}

Em_OldReport Em_OldReceiver::Chunk(const std::uint8_t* p, std::size_t n, Em_OldBlock& block,
                                   std::uint32_t lastBit, std::uint32_t moreBit) {
    if (n > kChunk) {
        return {};
    }
    std::memset(block.data, 0, sizeof block.data);
    std::memcpy(block.data, p, n);
    block.length = static_cast<std::int32_t>(n);
    return Report(MSG_OLD_REPLY_EX, n < kChunk ? lastBit : moreBit);
}

Em_OldReport Em_OldReceiver::Decode_FM(const std::uint8_t* p, std::size_t n) {
    return Chunk(p, n, staticFileDir, OLD_EX_FLAG_FM, OLD_EX_FLAG_FM_FULL);
}

Em_OldReport Em_OldReceiver::Decode_FW(const std::uint8_t* p, std::size_t n) {
    return Chunk(p, n, staticFileData, OLD_EX_FLAG_FW, OLD_EX_FLAG_FW_FULL);
}

Em_OldReport Em_OldReceiver::Decode_FJ(const std::uint8_t* p, std::size_t n) {
    return Chunk(p, n, basePosList, OLD_EX_FLAG_FJ, OLD_EX_FLAG_FJ_FULL);
}

Em_OldReport Em_OldReceiver::Decode_FT(const std::uint8_t* p, std::size_t n) {
    // The field holds 20 characters and the terminator; the text ends at its first zero.
    std::size_t kept = std::min<std::size_t>(n, sizeof antennaType - 1);
    const void* zero = std::memchr(p, 0, kept);
    if (zero != nullptr) {
        kept = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - p);
    }
    std::memset(antennaType, 0, sizeof antennaType);
    std::memcpy(antennaType, p, kept);
    return Report(MSG_OLD_REPLY_EX, OLD_EX_FLAG_FT);
}

Em_OldReport Em_OldReceiver::Decode_FK(const std::uint8_t* p, std::size_t n) {
    if (n < 8) {
        return {};
    }
    std::memcpy(&basePosDifference, p, sizeof basePosDifference);
    return Report(MSG_OLD_REPLY_EX, OLD_EX_FLAG_FK);
}

Em_OldReport Em_OldReceiver::Decode_FC(const std::uint8_t* p, std::size_t n) {
    if (n == 0) {
        return {};
    }
    staticStatus = p[0];
    return Report(MSG_OLD_REPLY_EX, OLD_EX_FLAG_FC);
}

Em_OldReport Em_OldReceiver::Decode_RC(const std::uint8_t* p, std::size_t n,
                                       std::int32_t boardType) {
    rcBuffer.Append(p, n);
    if (rcBuffer.fill < 16) {
        return {};
    }
    std::uint8_t m[kChunk] = {};
    std::memcpy(m, rcBuffer.data, std::min<std::size_t>(kChunk, rcBuffer.fill));
    rcBuffer.Clear();

    switch (m[0]) {
        case 220:
            nmeaConfig.port = 0;
            break;
        case 238:
            nmeaConfig.port = 1;
            break;
        case 247:
            nmeaConfig.port = 2;
            break;
        case 250:
            nmeaConfig.port = 3;
            break;
        case 253:
            nmeaConfig.port = 4;
            break;
        default:
            // Not 9600: a port byte no code carries is reported as unknown.
            nmeaConfig.port = -1;
            break;
    }
    nmeaConfig.keepAfterRestart = (m[1] == 1) ? 1 : 0;
    nmeaConfig.messages.clear();
    for (std::uint32_t bit : {1u, 64u, 16u, 32u, 256u, 2u, 512u, 1024u, 8192u}) {
        nmeaConfig.messages.push_back({static_cast<std::int32_t>(bit), 0});
    }
    if (boardType == 1) {
        nmeaConfig.messages.push_back({0x4000, 0});
        nmeaConfig.messages.push_back({0x8000, 0});
    } else if (boardType == 2) {
        nmeaConfig.messages.push_back({2048, 0});
        nmeaConfig.messages.push_back({4096, 0});
    } else if (boardType == 4 || boardType == 7) {
        nmeaConfig.messages.push_back({0x10000, 0});
        nmeaConfig.messages.push_back({0x20000, 0});
    }
    nmeaConfig.value = m[4];
    nmeaConfig.count = static_cast<std::int32_t>(nmeaConfig.messages.size());
    for (std::size_t i = 0; i < nmeaConfig.messages.size(); ++i) {
        const std::uint8_t code = m[5 + i];
        switch (code) {
            case 0:
            case 1:
            case 2:
            case 4:
            case 5:
            case 6:
            case 11:
            case 13:
                nmeaConfig.messages[i].Rate_Id = code;
                break;
            default:
                nmeaConfig.messages[i].Rate_Id = 3;
                break;
        }
    }
    return Report(MSG_OLD_REPLY_EX, OLD_EX_FLAG_RC);
}

Em_OldReport Em_OldReceiver::Decode_SI(const std::uint8_t* p, std::size_t n) {
    // The receiver cuts the block into equal pieces and a shorter last one. A lost or cut
    // piece must cost only the block it belonged to: counting bytes alone would stay out of
    // step with every block after it.
    const bool shorter = siBuffer.fill > 0 && n < siFirstPiece;
    if (static_cast<std::size_t>(siBuffer.fill) + n > kDeviceBlock) {
        siBuffer.Clear();
        if (shorter || n > kDeviceBlock) {
            return {};  // the tail of a block that lost a piece
        }
    }
    if (siBuffer.fill == 0) {
        siFirstPiece = n;
    }
    siBuffer.Append(p, n);
    if (siBuffer.fill < static_cast<std::int32_t>(kDeviceBlock)) {
        if (shorter) {
            siBuffer.Clear();  // the last piece came, but the block lost one
        }
        return {};
    }
    std::uint8_t block[kDeviceBlock];
    std::memcpy(block, siBuffer.data, kDeviceBlock);
    siBuffer.Clear();
    bool known = false;
    DecodeDeviceBlock(block, &known);
    if (!known) {
        return {};
    }
    return Report(MSG_OLD_REPLY, OLD_FLAG_DEVICE_INFO);
}

void Em_OldReceiver::DecodeDeviceBlock(const std::uint8_t* b, bool* known) {
    deviceBlockSeen = 1;
    device = DEVICE_STR{};
    auto copy = [](void* to, const std::uint8_t* from, std::size_t n) { std::memcpy(to, from, n); };
    copy(device.receiverId, b + 5, 6);
    copy(device.model, b + 0, 4);
    copy(device.text44, b + 12, 10);
    copy(device.text66, b + 32, 13);
    device.satChannels = b[46];
    device.byte80 = b[48];
    device.outputInterval = b[49];
    device.byte82 = b[50];
    device.byte83 = b[58];
    copy(device.firmwareVersion, b + 52, 4);
    device.byte89 = b[56];
    device.byte90 = b[62];
    device.byte91 = b[63];
    copy(device.text92, b + 112, 10);
    device.byte109 = b[94];
    device.byte110 = b[96];
    device.byte111 = b[97];
    device.byte112 = b[98];
    device.byte113 = b[124];

    radio.radioType = (b[59] == 3) ? 4 : (b[59] == 4) ? 5 : 3;
    Radio_ApplyBand(radio);
    switch (b[126]) {
        case 3:
            radio.radioType = 7;
            break;
        case 4:
            radio.radioType = 6;
            break;
        case 5:
            radio.radioType = 8;
            break;
        case 6:
            radio.radioType = 10;
            break;
        case 7:
            radio.radioType = 9;
            break;
        default:
            break;
    }
    Radio_ApplyBand(radio);

    std::int32_t boardType = 0;
    if (b[90] == 4) {
        boardType = 7;
        modelClass = 2;
    } else {
        for (const auto& entry : kBoardIds) {
            bool found = false;
            for (std::size_t at = 0; at + 4 <= 5 && !found; ++at) {
                found = std::memcmp(b + at, entry.id, 4) == 0;
            }
            if (found) {
                boardType = entry.boardType;
                if (entry.modelClass != 0) {
                    modelClass = entry.modelClass;
                }
                break;
            }
        }
    }
    *known = boardType != 0;
    if (!*known) {
        return;
    }
    Set_Device_BoardType(device, boardType);
    text1.clear();
    text2.clear();
    Set_Output_Interval(device.outputInterval);
}

}  // namespace BVParse
}  // namespace Brevan2011
