#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "receiver_session.h"

namespace Varnok {

class DeviceManager;

using CopiedBytes = std::vector<unsigned char>;

// One value of a category: the bit that says the message updated it, the getter that copies
// it out on the session's thread, the cache write on the GUI thread, the event announced
// after it and what follows the event.
struct AnswerRow {
    std::uint32_t bit;
    void (*copyOut)(ReceiverSession& session, CopiedBytes& out);
    // Writes the cache; false when the event is not to be announced.
    bool (*apply)(DeviceManager& manager, const CopiedBytes& in);
    int event;
    void (*then)(DeviceManager& manager);
};

struct AnswerTable {
    const AnswerRow* rows;
    std::size_t count;
};

// The status callback's rows: the flag, the event, what follows.
struct ConnectionRow {
    bool changed;
    int event;
    void (*then)(DeviceManager& manager);
};

struct DeviceAnswers {
    // The category's rows in the order they are tested; null for categories not handled.
    static const AnswerTable* table(int category);
    static const ConnectionRow& connectionRow(bool changed);
};

}  // namespace Varnok
