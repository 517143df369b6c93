#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "caster_answer.h"

namespace Varnok {

// Collects the caster's source table from the pieces a receiver forwards. Pieces before the
// caster's answer line (NTRIP 1's status line or NTRIP 2's HTTP status line) are dropped, but
// their last bytes are kept so that an answer line split over two pieces is still found. An
// NTRIP 2 body is taken through CasterAnswer (chunks decoded). Completion is reported once
// until reset(). Qt-free.
class SourceListCollector {
public:
    static constexpr std::size_t kPieceBytes = 4096;
    static constexpr std::size_t kMaxText = 1024 * 1024;
    static constexpr const char* kStatusLine = "SOURCETABLE 200 OK\r\n";
    static constexpr const char* kEnd = "ENDSOURCETABLE";

    // Adds one piece; true when the table has just become complete.
    bool addPiece(const char* data, std::size_t length);
    // A new request: forgets the text, the carried bytes and the completion.
    void reset();

    const std::string& text() const { return text_; }
    // What the parser left of the text; the completion stays as it was.
    void replaceText(std::string text) { text_ = std::move(text); }
    bool complete() const { return announced_; }

private:
    std::string text_;
    std::string carry_;
    bool started_ = false;
    bool http_ = false;
    CasterAnswer answer_;
    bool announced_ = false;
};

}  // namespace Varnok
