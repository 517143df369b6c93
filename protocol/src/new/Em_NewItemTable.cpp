#include "Em_NewItemTable.h"

#include <algorithm>
#include <iterator>

namespace Brevan2011 {
namespace BVParse {

namespace {

using W = NewWire;
using R = NewLen;

// Sorted by tag.
constexpr NewTagInfo kTags[] = {
    {0x0001, W::U16, 2, true, R::NotDecoded, 0, 0},
    {0x0002, W::None, 0, false, R::Exact, 2, 0x80000000u},
    {0x0103, W::U16, 2, false, R::Exact, 2, 0x80},
    {0x0104, W::U16, 2, false, R::Exact, 2, 0x100},
    {0x0108, W::U16, 2, true, R::NotDecoded, 0, 0},
    {0x0304, W::None, 0, false, R::Exact, 12, 0x1},
    {0x0306, W::None, 0, false, R::Counted, 36, 0x2},
    {0x0307, W::None, 0, false, R::Exact, 100, 0x4},
    {0x0308, W::U16, 2, true, R::Any, 0, 0x8},
    {0x0309, W::Sensor, 3, true, R::Exact, 3, 0x800},
    {0x030C, W::None, 0, false, R::Exact, 38, 0x1000},
    {0x030D, W::None, 0, false, R::Exact, 20, 0x2000},
    {0x030E, W::None, 0, false, R::Exact, 20, 0x4000},
    {0x0403, W::U16, 2, true, R::NotDecoded, 0, 0},
    {0x0404, W::U16, 2, true, R::NotDecoded, 0, 0},
    {0x0405, W::U16, 2, false, R::Exact, 2, 0x1},
    {0x0406, W::U16, 2, false, R::AtLeast, 5, 0x10},
    {0x0407, W::U16, 2, false, R::AtLeast, 5, 0x20},
    {0x0408, W::U16, 2, false, R::AtLeast, 5, 0x10000},
    {0x0409, W::U16, 2, false, R::AtLeast, 5, 0x20000},
    {0x040A, W::U16, 2, false, R::Exact, 28, 0x40},
    {0x040B, W::U16, 2, false, R::Exact, 8, 0x80},
    {0x040C, W::U16, 2, false, R::Exact, 16, 0x400},
    {0x040D, W::U16, 2, false, R::Counted, 5, 0x800},
    {0x040E, W::U16, 2, false, R::Exact, 24, 0x100},
    {0x040F, W::U16, 2, false, R::Exact, 24, 0x1000},
    {0x0410, W::U16, 2, false, R::Exact, 64, 0x200},
    {0x0411, W::U16, 2, true, R::Exact, 27, 0x2000},
    {0x0412, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0413, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0414, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0415, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0416, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0417, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0418, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0419, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x041A, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x041B, W::U16, 2, true, R::Exact, 14, 0x4000},
    {0x041C, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x041D, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x041E, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x041F, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0420, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0421, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0422, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0423, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0424, W::U16, 2, false, R::NotDecoded, 0, 0},
    {0x0425, W::U16, 2, true, R::Exact, 13, 0x100000},
    {0x0426, W::U16, 2, true, R::Exact, 4, 0x200000},
    {0x0450, W::U8, 1, false, R::Exact, 1, 0x2},
    {0x0451, W::U8, 1, false, R::Exact, 1, 0x4},
    {0x0452, W::BaseSet, 26, false, R::Exact, 26, 0x8},
    {0x0455, W::SatEnable, 20, false, R::Exact, 20, 0x8000},
    {0x0456, W::None, 0, false, R::Exact, 90, 0x40000},
    {0x0457, W::BaseList, 0, false, R::Counted, 10, 0x80000},
    {0x0458, W::Transfer, 6, false, R::NotDecoded, 0, 0},
    {0x0459, W::None, 0, false, R::Counted, 2, 0x400000},
    {0x045A, W::None, 0, false, R::Counted, 4, 0x40000},
    {0x0703, W::U32, 4, false, R::Exact, 4, 0x1},
    {0x0704, W::U32, 4, false, R::Exact, 4, 0x2},
    {0x0709, W::U32, 4, false, R::Exact, 4, 0x4},
    {0x070B, W::U32, 4, false, R::Exact, 4, 0x8},
    {0x070C, W::U16, 2, false, R::Exact, 2, 0x10},
    {0x070D, W::None, 0, false, R::Exact, 26, 0x20},
    {0x0710, W::U8, 1, false, R::Exact, 1, 0x40},
    {0x0711, W::None, 0, false, R::Exact, 2, 0x80},
    {0x0712, W::None, 0, false, R::Exact, 2, 0x100},
    {0x0713, W::None, 0, false, R::Exact, 40, 0x40000},
    {0x0714, W::RadioProp, 26, false, R::Exact, 26, 0x100000},
    {0x0715, W::None, 0, false, R::Counted, 12, 0x80000},
    {0x0716, W::U8, 1, false, R::Exact, 1, 0x200000},
    {0x0717, W::U8, 1, false, R::Exact, 1, 0x400000},
    {0x0718, W::Callsign, 19, false, R::Exact, 19, 0x800000},
    {0x0A03, W::WifiAp, 42, false, R::Exact, 42, 0x4},
    {0x0A04, W::U16, 2, false, R::Exact, 2, 0x2},
    {0x0A07, W::U8, 1, false, R::Exact, 1, 0x1},
    {0x0A08, W::None, 0, false, R::Exact, 2, 0x8},
    {0x0A09, W::U8, 1, false, R::Exact, 1, 0x800},
    {0x0A0A, W::U8, 1, false, R::Exact, 1, 0x1000},
    {0x0B05, W::U8, 1, false, R::Exact, 1, 0x20},
    {0x0B06, W::FileRec, 43, false, R::Exact, 43, 0x10},
    {0x0B07, W::None, 0, false, R::Exact, 2, 0x40},
    {0x0B08, W::Block, 0, false, R::NotDecoded, 0, 0},
    {0x0B09, W::U16, 2, true, R::NotDecoded, 0, 0},
    {0x1102, W::U32, 4, true, R::Exact, 4, 0x200},
    {0x1103, W::Ip, 57, false, R::Exact, 57, 0x400},
    {0x1104, W::U16, 2, false, R::Exact, 2, 0x800},
    {0x1105, W::None, 0, false, R::Exact, 8, 0x1000},
    {0x1106, W::None, 0, false, R::AtLeast, 5, 0x2000},
    {0x1109, W::U8, 1, false, R::Exact, 1, 0x4000},
    {0x110A, W::Source, 20, false, R::Exact, 20, 0x8000},
    {0x110B, W::Account, 70, false, R::Exact, 70, 0x10000},
    {0x1403, W::Dial, 100, false, R::Exact, 100, 0x10},
    {0x1404, W::None, 0, false, R::Exact, 8, 0x20},
    {0x1409, W::U8, 1, false, R::Exact, 1, 0x40},
    {0x140A, W::U8, 1, false, R::Exact, 1, 0x80},
    {0x140B, W::None, 0, false, R::Exact, 2, 0x100},
    {0x140C, W::None, 0, false, R::Exact, 5, 0x200},
    {0x140D, W::U16, 2, false, R::Exact, 2, 0x400},
    {0x140E, W::U16, 2, false, R::Exact, 2, 0x2000},
    {0x140F, W::Csd, 21, false, R::Exact, 21, 0x4000},
    {0x1410, W::None, 0, false, R::Exact, 8, 0x8000},
    {0x1503, W::U16, 2, false, R::Exact, 2, 0x20000},
    {0x1504, W::Block, 0, false, R::Any, 0, 0},
};

constexpr bool SortedByTag() {
    for (size_t i = 1; i < sizeof(kTags) / sizeof(kTags[0]); ++i) {
        if (kTags[i - 1].tag >= kTags[i].tag) {
            return false;
        }
    }
    return true;
}
static_assert(SortedByTag(), "the tag table is searched by bisection");

}  // namespace

const NewTagInfo* Find_NewTag(uint16_t tag) {
    const NewTagInfo* end = std::end(kTags);
    const NewTagInfo* it = std::lower_bound(
        std::begin(kTags), end, tag, [](const NewTagInfo& e, uint16_t t) { return e.tag < t; });
    return (it != end && it->tag == tag) ? it : nullptr;
}

const NewTagInfo* NewTag_Table(size_t* count) {
    if (count) {
        *count = std::size(kTags);
    }
    return kTags;
}

}  // namespace BVParse
}  // namespace Brevan2011
