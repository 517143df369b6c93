#include "source_list_collector.h"

#include <algorithm>
#include <cstring>

namespace Varnok {

namespace {

const std::size_t kStatusLength = std::strlen(SourceListCollector::kStatusLine);
// An NTRIP 2 caster's answer line.
constexpr const char* kHttpStatus = "HTTP/1.";

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
        const std::size_t table = joined.find(kStatusLine);
        // At a line's start only: a modem may echo the request's "GET / HTTP/1.0".
        std::size_t http = joined.find(kHttpStatus);
        while (http != std::string::npos && http > 0 && joined[http - 1] != '\n') {
            http = joined.find(kHttpStatus, http + 1);
        }
        const std::size_t at = std::min(table, http);
        if (at == std::string::npos) {
            carry_ = joined.size() > kStatusLength - 1
                         ? joined.substr(joined.size() - (kStatusLength - 1))
                         : joined;
            return false;
        }
        started_ = true;
        http_ = at == http;
        carry_.clear();
        piece = joined.substr(at);
    }
    if (http_) {
        std::string body;
        answer_.add(piece.data(), piece.size(), body);
        piece = std::move(body);
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
    http_ = false;
    answer_.reset();
    announced_ = false;
}

}  // namespace Varnok
