// Cuts what a session writes into requests: old-protocol "$$" frames and new-protocol frames,
// which travel in "$$" chunks (type 1). Bytes that belong to neither are skipped one by one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "SimAnswers.h"

namespace varnok_sim {

struct WireMessage {
    bool isNew = false;
    NewRequest request;                 // isNew
    char letters[2] = {0, 0};           // old protocol
    std::vector<std::uint8_t> payload;  // old protocol
};

class WireReader {
public:
    void append(const std::uint8_t* data, std::size_t n);
    // The next whole request; false when the bytes at hand hold none.
    bool next(WireMessage* message);

    // Input kept while a frame is incomplete; beyond it the oldest bytes are dropped.
    static constexpr std::size_t kMaxKept = 1 << 16;

private:
    bool nextNewFrame(WireMessage* message);

    Bytes in_;      // bytes from the link
    Bytes frames_;  // joined chunk data of new-protocol frames
};

}  // namespace varnok_sim
