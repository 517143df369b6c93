#include "BVParse/Em_NewPacket.h"

#include <atomic>
#include <cstring>
#include <new>

#include "Em_NewBytes.h"
#include "Em_NewItemTable.h"
#include "BVParse/Em_NewRecords.h"

namespace Brevan2011 {
namespace BVParse {

using namespace NewBytes;

namespace {

// Shared by every session of the process: consecutive chunks carry consecutive numbers.
std::atomic<uint8_t> g_newSequence{0};

constexpr size_t kMaxItemValue = 65535;
constexpr size_t kRefused = 0;

// Value length n for a given, non-null value; kMaxItemValue + 1 when it cannot be sent.
size_t ValueLength(const NewTagInfo& info, const void* value) {
    switch (info.wire) {
        case NewWire::BaseList: {
            const auto* rec = static_cast<const BASE_POS_LIST_STRUCT*>(value);
            // The count travels in one byte: a longer list cannot be sent whole.
            if (rec->list.size() > 255) {
                return kMaxItemValue + 1;
            }
            return 10 + 20 * rec->list.size();
        }
        case NewWire::Block: {
            const auto* rec = static_cast<const QX_BLOCK_DATA_STRUCT*>(value);
            if (rec->count != 0 && rec->data == nullptr) {
                return kMaxItemValue + 1;
            }
            return 4 + static_cast<size_t>(rec->count);
        }
        default:
            return info.n;
    }
}

// Last byte of a text field that the receiver expects terminated.
uint8_t* PutTerminated(uint8_t* p, const char* text, size_t n) {
    std::memcpy(p, text, n - 1);
    p[n - 1] = 0;
    return p + n;
}

void WriteValue(uint8_t* p, NewWire wire, const void* value) {
    switch (wire) {
        case NewWire::None:
            break;
        case NewWire::U8:
            Put8(p, *static_cast<const uint8_t*>(value));
            break;
        case NewWire::U16:
            Put16(p, *static_cast<const uint16_t*>(value));
            break;
        case NewWire::U32:
            Put32(p, *static_cast<const uint32_t*>(value));
            break;
        case NewWire::Sensor: {
            const auto* r = static_cast<const QX_GSENSOR_VALID_PERIOD_STRUCT*>(value);
            p = Put8(p, r->kind);
            Put16(p, r->value);
            break;
        }
        case NewWire::Source:
            PutText(p, static_cast<const QX_CORS_DATA_SOURCE_STRUCT*>(value)->source, 20);
            break;
        case NewWire::BaseSet: {
            const auto* r = static_cast<const QX_GNSS_BASE_SET_STRUCT*>(value);
            p = Put16(p, r->mode);
            p = PutDouble(p, r->lat);
            p = PutDouble(p, r->lon);
            PutDouble(p, r->height);
            break;
        }
        case NewWire::SatEnable: {
            const auto* r = static_cast<const QX_GNSS_SATELLITE_ENABLE_STRUCT*>(value);
            for (uint32_t w : r->enable) {
                p = Put32(p, w);
            }
            break;
        }
        case NewWire::BaseList: {
            const auto* r = static_cast<const BASE_POS_LIST_STRUCT*>(value);
            p = PutDouble(p, r->value);
            p = Put8(p, r->limit);
            p = Put8(p, static_cast<uint8_t>(r->list.size()));
            for (const BASE_POS_ENTRY& e : r->list) {
                p = PutDouble(p, e.first);
                p = PutDouble(p, e.second);
                p = Put32(p, e.value);
            }
            break;
        }
        case NewWire::Transfer: {
            const auto* r = static_cast<const QX_DATA_TRANSFER_STRUCT*>(value);
            for (uint16_t v : r->value) {
                p = Put16(p, v);
            }
            break;
        }
        case NewWire::RadioProp: {
            const auto* r = static_cast<const QX_RADIO_PROPERTY_EX_STRUCT*>(value);
            p = Put32(p, r->v1);
            p = Put8(p, r->b1);
            p = Put8(p, r->b2);
            p = Put32(p, r->v2);
            PutTerminated(p, r->text, sizeof r->text);
            break;
        }
        case NewWire::Callsign: {
            const auto* r = static_cast<const QX_RADIO_CALLSIGN_STRUCT*>(value);
            p = Put8(p, r->b1);
            p = Put8(p, r->b2);
            PutTerminated(p, r->text, sizeof r->text);
            break;
        }
        case NewWire::WifiAp: {
            const auto* r = static_cast<const QX_WIFI_PARA_AP_STRUCT*>(value);
            p = PutText(p, r->ssid, 20);
            p = Put16(p, r->value);
            PutText(p, r->password, 20);
            break;
        }
        case NewWire::FileRec: {
            const auto* r = static_cast<const QX_FILE_RECORD_CONFIG_STRUCT*>(value);
            p = PutText(p, r->name, 20);
            p = Put8(p, r->b1);
            p = Put32(p, r->v1);
            p = Put32(p, r->v2);
            p = Put32(p, r->v3);
            p = Put8(p, r->b2);
            p = Put8(p, r->b3);
            p = Put8(p, r->b4);
            p = Put16(p, r->v4);
            p = Put8(p, r->b5);
            Put32(p, r->v5);
            break;
        }
        case NewWire::Block: {
            const auto* r = static_cast<const QX_BLOCK_DATA_STRUCT*>(value);
            p = Put32(p, r->count);
            if (r->count != 0) {
                std::memcpy(p, r->data, r->count);
            }
            break;
        }
        case NewWire::Ip: {
            const auto* r = static_cast<const QX_IP_ADDRESS_STRUCT*>(value);
            p = Put32(p, r->address);
            p = Put16(p, r->port);
            p = Put8(p, r->flag);
            PutText(p, r->name, 50);
            break;
        }
        case NewWire::Account: {
            const auto* r = static_cast<const QX_ACCOUNT_STRUCT*>(value);
            p = PutText(p, r->user, 50);
            PutText(p, r->password, 20);
            break;
        }
        case NewWire::Dial: {
            const auto* r = static_cast<const QX_MODEM_DIAL_PARA_STRUCT*>(value);
            for (const auto& text : r->text) {
                p = PutText(p, text, 20);
            }
            break;
        }
        case NewWire::Csd: {
            const auto* r = static_cast<const QX_MODEM_CSD_PARA_STRUCT*>(value);
            p = PutText(p, r->number, 20);
            Put8(p, r->mode);
            break;
        }
    }
}

}  // namespace

size_t Encode_NewItem(uint8_t* dest, uint16_t tag, const void* value) {
    const NewTagInfo* info = Find_NewTag(tag);
    size_t n = 0;
    if (value == nullptr) {
        // Asking for the setting; only tags whose value is required cannot ask.
        if (info != nullptr && info->required) {
            return kRefused;
        }
    } else if (info != nullptr) {
        n = ValueLength(*info, value);
        if (n > kMaxItemValue) {
            return kRefused;
        }
    }
    if (dest != nullptr) {
        uint8_t* p = Put16(dest, tag);
        p = Put16(p, static_cast<uint16_t>(n));
        if (n != 0) {
            WriteValue(p, info->wire, value);
        }
    }
    return 4 + n;
}

size_t Measure_NewItems(const std::vector<NewItem>& items) {
    size_t total = 0;
    for (const NewItem& item : items) {
        size_t size = Encode_NewItem(nullptr, item.tag, item.value);
        if (size == kRefused) {
            return 0;
        }
        total += size;
    }
    return total;
}

void Pack_NewFrame(uint8_t** frame, size_t bodyLength, uint32_t commandId) {
    if (frame == nullptr) {
        return;
    }
    uint8_t* f = new (std::nothrow) uint8_t[bodyLength + kNewFrameOverhead]();
    *frame = f;
    if (f == nullptr) {
        return;
    }
    uint8_t* p = f;
    p = Put8(p, 0x04);
    p = Put8(p, 0x11);
    p = Put8(p, 0x00);
    p = Put32(p, commandId);
    p = Put32(p, 1);
    Put16(p, static_cast<uint16_t>(bodyLength));
    f[bodyLength + 17] = 0x09;
    f[bodyLength + 18] = 0x24;
}

void Write_NewCheck(uint8_t* frame, size_t bodyLength) {
    // The receiver's rule for these bytes is not known and the reader ignores them.
    std::memset(frame + 13 + bodyLength, 0, 4);
}

void Plan_NewChunks(size_t frameLength, std::vector<size_t>& sizes) {
    sizes.clear();
    if (frameLength == 0) {
        return;
    }
    if (frameLength < kNewMaxChunk) {
        sizes.push_back(frameLength);
        return;
    }
    if (frameLength % kNewMaxChunk == 0) {
        sizes.assign(frameLength / kNewMaxChunk, kNewMaxChunk);
        return;
    }
    const size_t q = frameLength / kNewMaxChunk;
    const size_t d = frameLength / (q + 1);
    sizes.assign(q, d);
    size_t last = frameLength - q * d;
    // Spread what does not fit into the last chunk over the ones before it, one byte
    // each, starting with the last but one. At most q - 1 bytes are ever over.
    size_t i = q;
    while (last > kNewMaxChunk && i > 0) {
        --i;
        ++sizes[i];
        --last;
    }
    sizes.push_back(last);
}

uint8_t Next_NewSequence() {
    uint8_t current = g_newSequence.load(std::memory_order_relaxed);
    while (!g_newSequence.compare_exchange_weak(
        current, static_cast<uint8_t>((current + 1) % kNewSeqModulo), std::memory_order_relaxed)) {
    }
    return current;
}

void Split_NewFrame(std::vector<_STR_CMD>& commands, const uint8_t* frame, size_t frameLength) {
    if (frame == nullptr || frameLength == 0) {
        return;
    }
    std::vector<size_t> sizes;
    Plan_NewChunks(frameLength, sizes);
    size_t offset = 0;
    for (size_t k : sizes) {
        _STR_CMD cmd{};
        cmd.data[0] = '$';
        cmd.data[1] = '$';
        cmd.data[2] = 0x01;
        cmd.data[3] = Next_NewSequence();
        cmd.data[4] = static_cast<uint8_t>(k);
        std::memcpy(cmd.data + 5, frame + offset, k);
        cmd.data[5 + k] = 0x0D;
        cmd.data[6 + k] = 0x0A;
        cmd.length = static_cast<uint32_t>(k + 7);
        cmd.pause = 0;
        commands.push_back(cmd);
        offset += k;
    }
}

void Build_NewPacket(std::vector<_STR_CMD>& commands, const std::vector<NewItem>& items,
                     uint32_t commandId) {
    if (items.size() < 2) {
        return;
    }
    const size_t bodyLength = Measure_NewItems(items);
    if (bodyLength < kNewMinBody || bodyLength > kNewMaxBody) {
        return;
    }
    uint8_t* frame = nullptr;
    Pack_NewFrame(&frame, bodyLength, commandId);
    if (frame == nullptr) {
        return;
    }
    size_t offset = 13;
    for (const NewItem& item : items) {
        offset += Encode_NewItem(frame + offset, item.tag, item.value);
    }
    Write_NewCheck(frame, bodyLength);
    Split_NewFrame(commands, frame, bodyLength + kNewFrameOverhead);
    delete[] frame;
}

}  // namespace BVParse
}  // namespace Brevan2011
