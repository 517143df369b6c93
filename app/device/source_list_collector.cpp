#include "source_list_collector.h"

#include <cstring>

namespace Varnok {

namespace {

const std::size_t kStatusLength = std::strlen(SourceListCollector::kStatusLine);

}  // namespace

bool SourceListCollector::addPiece(const char* data, std::size_t length) {
    if (!data) {
        return false;
    }
    if (length > kPieceBytes) {
        length = kPieceBytes;
    }
    std::string piece(data, length);
    if (!started_) {
        // The carried bytes are the start of a status line the previous piece cut.
        const std::string joined = carry_ + piece;
        const std::size_t at = joined.find(kStatusLine);
        if (at == std::string::npos) {
            carry_ = joined.size() > kStatusLength - 1
                         ? joined.substr(joined.size() - (kStatusLength - 1))
                         : joined;
            return false;
        }
        started_ = true;
        carry_.clear();
        piece = joined.substr(at);
    }
    const std::size_t before = text_.size();
    if (before < kMaxText) {
        text_.append(piece, 0, kMaxText - before);
    }
    if (announced_) {
        return false;
    }
    // Only the new bytes, with the end of the text before them, can complete the table.
    const std::size_t endLength = std::strlen(kEnd);
    const std::size_t from = before >= endLength ? before - endLength + 1 : 0;
    if (text_.find(kEnd, from) == std::string::npos) {
        return false;
    }
    announced_ = true;
    return true;
}

void SourceListCollector::reset() {
    text_.clear();
    carry_.clear();
    started_ = false;
    announced_ = false;
}

}  // namespace Varnok
