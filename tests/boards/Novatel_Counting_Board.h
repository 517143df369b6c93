// A NovAtel board whose data parser records the id of every log it is handed, for framing
// tests and the capture sweep.
#pragma once

#include <map>
#include <vector>

#include "Em_OemNovatel.h"
#include "Em_OemNovatelData.h"

namespace Brevan2011 {
namespace BVParse {
namespace novatel_test {

class Counting_Data : public Em_OemNovatelData {
public:
    int Parse_Message(const unsigned char* frame, int id, int length) override {
        ids.push_back(id);
        ++per_id[id];
        return Em_OemNovatelData::Parse_Message(frame, id, length);
    }
    std::vector<int> ids;
    std::map<int, int> per_id;
};

class Counting_Board : public Em_OemNovatel {
public:
    Counting_Board() { Set_Data(new Counting_Data); }
    Counting_Data& Counter() { return *static_cast<Counting_Data*>(Data()); }

    // Feeds the bytes in slices of `slice`, running the parse step after each slice until it
    // returns 0. Returns the OR of the update masks of the steps that returned 1.
    uint32_t Feed(const unsigned char* p, size_t n, size_t slice, int* steps = nullptr) {
        uint32_t mask = 0;
        for (size_t at = 0; at < n; at += slice) {
            const size_t len = (n - at) < slice ? (n - at) : slice;
            Add_Data(p + at, static_cast<int>(len));
            int guard = 0;
            while (Parse() != 0) {
                mask |= Data()->Update_Mask;
                if (steps != nullptr) {
                    ++*steps;
                }
                if (++guard > 4096) {
                    break;  // a parse step that never stops returning 1 is a fault
                }
            }
        }
        return mask;
    }
};

}  // namespace novatel_test
}  // namespace BVParse
}  // namespace Brevan2011
