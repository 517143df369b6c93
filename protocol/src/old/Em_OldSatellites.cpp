// Satellites in view (RH reply), in five layouts.
#include <algorithm>
#include <cstring>

#include "Em_OldReceiver.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr std::size_t kChunk = 55;
constexpr std::int32_t kMaxAssembled = 330 - 55;
constexpr int kGps = 0, kGlonass = 1, kBds = 2, kSbas = 3;
constexpr std::uint32_t kGroupBit[4] = {GNSS_FLAG_SAT_1, GNSS_FLAG_SAT_2, GNSS_FLAG_SAT_3,
                                        GNSS_FLAG_SAT_4};
constexpr std::uint32_t kWaitBit[3] = {0x08, 0x10, 0x20};

// Group of a PRN: layouts A and B keep 0-32 / 33-64 / 161-190, layouts C and D 1-32 / 38-61 /
// 161-197, layout E 1-32 / 38-61 / 161-190; B and E also keep SBAS 120-138.
enum class Ranges { A, B, CD, E };

int GroupOf(int prn, Ranges r) {
    const bool wide = (r == Ranges::A || r == Ranges::B);
    if (prn >= (wide ? 0 : 1) && prn <= 32) {
        return kGps;
    }
    if (wide ? (prn >= 33 && prn <= 64) : (prn >= 38 && prn <= 61)) {
        return kGlonass;
    }
    if (prn >= 161 && prn <= (r == Ranges::CD ? 197 : 190)) {
        return kBds;
    }
    if ((r == Ranges::B || r == Ranges::E) && prn >= 120 && prn <= 138) {
        return kSbas;
    }
    return -1;
}

int Stored(std::int32_t count) {
    return std::clamp<std::int32_t>(count, 0, kOldSatGroupSize);
}

// Items wholly inside the message.
std::size_t ItemsInside(std::size_t n, std::size_t b, std::size_t first, std::size_t size) {
    if (b < first) {
        return 0;
    }
    return std::min(n, (b - first) / size);
}

}  // namespace

Em_OldReport Em_OldReceiver::Decode_RH(const std::uint8_t* p, std::size_t n,
                                       const Em_OldBoardSats& board) {
    if (rhBuffer.fill > kMaxAssembled) {
        rhBuffer.Clear();
        return {};
    }
    if (n > kChunk) {
        return {};
    }
    // The last chunk adds only the bytes it carries: items past them would be read from the
    // frame buffer's zero padding as PRN-0 satellites.
    rhBuffer.Append(p, n);
    if (n == kChunk) {
        return {};
    }
    std::uint8_t m[Em_OldAssembly::kSize];
    const std::size_t b = static_cast<std::size_t>(rhBuffer.fill);
    std::memcpy(m, rhBuffer.data, b);
    rhBuffer.Clear();
    return Decode_SatMessage(m, b, board);
}

Em_OldReport Em_OldReceiver::Decode_SatMessage(const std::uint8_t* m, std::size_t b,
                                               const Em_OldBoardSats& board) {
    if (b < 2) {
        return {};
    }
    const std::size_t n = m[0];
    if (n > 64) {
        return {};
    }
    Em_OldReport r;
    switch (m[1]) {
        case 0:
            LayoutA(m, b, n);
            r = Merge(board);
            break;
        case 1:
            r = LayoutBE(m, b, n, board, false);
            break;
        case 2:
            if (b > 2 && m[2] == 0) {
                LayoutC(m, b, n, board);
            } else if (b > 2 && m[2] == 1) {
                LayoutD(m, b, n, board);
            } else {
                return {};
            }
            break;
        case 3:
            r = LayoutBE(m, b, n, board, true);
            break;
        default:
            return {};
    }
    r.category = MSG_GNSS_DATA;
    return r;
}

void Em_OldReceiver::LayoutA(const std::uint8_t* m, std::size_t b, std::size_t n) {
    groupCount = 0;
    for (int g = 0; g < 3; ++g) {
        ownGroups[g] = Em_OldSatGroup{};
    }
    bool bdsPending = false;
    const std::size_t items = ItemsInside(n, b, 2, 3);
    for (std::size_t i = 0; i < items; ++i) {
        const std::uint8_t* item = m + 2 + 3 * i;
        const int prn = item[0];
        const std::uint8_t s = item[1];
        const float snr = item[2];
        const int code = s & 0x1F;
        const int g = GroupOf(prn, Ranges::A);
        if (g < 0 || g == kSbas) {
            continue;
        }
        Em_OldSatGroup& group = ownGroups[g];
        const bool room = group.count < kOldSatGroupSize;
        SATLLITE_STR* current = room ? &group.sats[group.count] : nullptr;
        auto writeFirst = [&]() {
            if (current != nullptr) {
                *current = SATLLITE_STR{};
                current->Prn = prn;
                current->Snr1 = snr;
                current->Signal = static_cast<std::uint8_t>(code);
                current->Status = (s & 0x40) ? 0x40 : 0;
            }
        };
        auto close = [&]() {
            if (current != nullptr) {
                current->Snr2 = snr;
            }
            ++group.count;
        };
        if (g == kBds) {
            if (!bdsPending) {
                writeFirst();
                bdsPending = true;
            } else if (current == nullptr || current->Prn == prn) {
                close();
                bdsPending = false;
            }
            continue;
        }
        if (code <= 7) {
            writeFirst();
        } else if (current == nullptr || current->Prn == prn) {
            close();
        }
    }
}

Em_OldReport Em_OldReceiver::Merge(const Em_OldBoardSats& board) {
    Em_OldReport r;
    for (int g = 0; g < 3; ++g) {
        if (board.counts[g] == nullptr || board.sats[g] == nullptr || *board.counts[g] <= 0) {
            continue;
        }
        const bool switchOn = board.satSwitch[g] != nullptr && *board.satSwitch[g] != 0;
        if (!switchOn) {
            ++groupCount;
            r.flags |= kGroupBit[g];
            continue;
        }
        if (board.waitMask[g] == nullptr || (*board.waitMask[g] & kWaitBit[g]) == 0) {
            continue;
        }
        const Em_OldSatGroup& own = ownGroups[g];
        SATLLITE_STR* sats = board.sats[g];
        int found = 0;
        const int boardStored = Stored(*board.counts[g]);
        for (int j = 0; j < boardStored; ++j) {
            for (int k = 0; k < Stored(own.count); ++k) {
                if (own.sats[k].Prn != sats[j].Prn) {
                    continue;
                }
                SATLLITE_STR rec = sats[j];
                rec.Snr1 = own.sats[k].Snr1;
                rec.Snr2 = own.sats[k].Snr2;
                rec.Snr3 = own.sats[k].Snr3;
                rec.Signal = own.sats[k].Signal;
                rec.Used = own.sats[k].Used;
                rec.Spare = own.sats[k].Spare;
                rec.Status = own.sats[k].Status;
                sats[found++] = rec;
                break;
            }
        }
        *board.counts[g] = found;
        *board.waitMask[g] = 0;
        ++groupCount;
        r.flags |= kGroupBit[g];
    }
    if (board.counts[kSbas] != nullptr && *board.counts[kSbas] >= 1 &&
        *board.counts[kSbas] <= kOldSatGroupSize) {
        ++groupCount;
        r.flags |= kGroupBit[kSbas];
    }
    if (board.msgCounter != nullptr) {
        *board.msgCounter = groupCount;
    }
    r.flags |= GNSS_FLAG_OWN_SATS_LOW;
    return r;
}

Em_OldReport Em_OldReceiver::LayoutBE(const std::uint8_t* m, std::size_t b, std::size_t n,
                                      const Em_OldBoardSats& board, bool layoutE) {
    std::int32_t counts[4] = {};
    for (int g = 0; g < 4; ++g) {
        if (board.sats[g] != nullptr) {
            std::memset(static_cast<void*>(board.sats[g]), 0,
                        sizeof(SATLLITE_STR) * kOldSatGroupSize);
        }
    }
    const std::size_t first = layoutE ? 12 : 10;
    const std::size_t size = layoutE ? 7 : 8;
    const std::size_t items = ItemsInside(n, b, first, size);
    for (std::size_t i = 0; i < items; ++i) {
        const std::uint8_t* item = m + first + size * i;
        const int g = GroupOf(item[0], layoutE ? Ranges::E : Ranges::B);
        if (g < 0 || board.sats[g] == nullptr || board.counts[g] == nullptr) {
            continue;
        }
        if (counts[g] < kOldSatGroupSize) {
            SATLLITE_STR& rec = board.sats[g][counts[g]];
            rec.Prn = item[0];
            rec.Elevation = item[1];
            if (layoutE) {
                rec.Azimuth = static_cast<std::int16_t>(item[2] + 256 * (item[3] & 0x7F));
                rec.Used = (item[3] & 0x80) ? 0x80 : 0;
                rec.Snr1 = item[4];
                rec.Snr2 = item[5];
            } else {
                rec.Azimuth = static_cast<std::int16_t>((item[2] << 8) | item[3]);
                rec.Snr1 = item[4] / 4.0f;
                rec.Snr2 = item[5] / 4.0f;
                rec.Signal = (item[4] != 0 || item[5] != 0) ? 1 : 0;
            }
        }
        ++counts[g];
    }
    Em_OldReport r;
    std::int32_t total = 0;
    groupCount = 0;
    for (int g = 0; g < 4; ++g) {
        if (board.counts[g] != nullptr) {
            *board.counts[g] = counts[g];
        }
        total += counts[g];
        if (counts[g] > 0) {
            ++groupCount;
            r.flags |= kGroupBit[g];
        }
    }
    if (board.total != nullptr) {
        *board.total = total;
    }
    if (total > 0) {
        r.flags |= GNSS_FLAG_OWN_SATS | GNSS_FLAG_OWN_SATS_LOW;
        if (board.msgCounter != nullptr) {
            *board.msgCounter = groupCount;
        }
    }
    return r;
}

void Em_OldReceiver::LayoutC(const std::uint8_t* m, std::size_t b, std::size_t n,
                             const Em_OldBoardSats& board) {
    auto boardHas = [&board](int g) {
        return board.counts[g] != nullptr && board.sats[g] != nullptr && *board.counts[g] > 0;
    };
    const std::size_t items = ItemsInside(n, b, 3, 3);
    for (std::size_t i = 0; i < items; ++i) {
        const std::uint8_t* item = m + 3 + 3 * i;
        const int g = GroupOf(item[0], Ranges::CD);
        if (g < 0 || g == kSbas || !boardHas(g)) {
            continue;
        }
        Em_OldSatGroup& own = ownGroups[g];
        for (int k = 0; k < Stored(own.count); ++k) {
            if (own.sats[k].Prn == item[0]) {
                (item[2] == 16 ? own.sats[k].Snr1 : own.sats[k].Snr2) = item[1];
                break;
            }
        }
    }
    for (int g = 0; g < 3; ++g) {
        if (!boardHas(g)) {
            continue;
        }
        const int stored = Stored(*board.counts[g]);
        for (int j = 0; j < stored; ++j) {
            board.sats[g][j] = ownGroups[g].sats[j];
        }
    }
}

void Em_OldReceiver::LayoutD(const std::uint8_t* m, std::size_t b, std::size_t n,
                             const Em_OldBoardSats& board) {
    for (int g = 0; g < 3; ++g) {
        ownGroups[g] = Em_OldSatGroup{};
    }
    const std::size_t items = ItemsInside(n, b, 3, 4);
    for (std::size_t i = 0; i < items; ++i) {
        const std::uint8_t* item = m + 3 + 4 * i;
        const int g = GroupOf(item[0], Ranges::CD);
        if (g < 0 || g == kSbas) {
            continue;
        }
        Em_OldSatGroup& own = ownGroups[g];
        if (own.count < kOldSatGroupSize) {
            SATLLITE_STR& rec = own.sats[own.count];
            rec.Prn = item[0];
            rec.Elevation = item[1];
            rec.Azimuth = static_cast<std::int16_t>(item[2] | (item[3] << 8));
        }
        ++own.count;
    }
    for (int g = 0; g < 3; ++g) {
        if (board.counts[g] != nullptr) {
            *board.counts[g] = ownGroups[g].count;
        }
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
