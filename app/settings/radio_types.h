#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Records of the radio capability store.

struct RadioProtocol {
    int id = -1;
    std::string name;  // UTF-8
};

// Air baud rates offered for one protocol and channel step.
struct RadioBaudSet {
    int protocol = -1;
    int stepper = 0;  // tenths of a kHz
    std::vector<int> bauds;
};

struct RadioCallSign {
    bool on = false;
    int interval = 0;  // minutes
    std::string id;    // UTF-8
};

// One entry of a full channel list: frequency in MHz and the receiver's one-byte value.
struct RadioChannel {
    double frequency = 0.0;
    uint8_t value = 0;
};
