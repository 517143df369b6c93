#pragma once

#include <cstddef>
#include <string>

namespace Varnok {

// Reads the head of a caster's answer to the source-table request and passes the table on. An
// NTRIP 1 answer ("SOURCETABLE 200 OK", or a table without a status line) passes as it came;
// an NTRIP 2 answer ("HTTP/1.x 200 OK" with Content-Type gnss/sourcetable) passes as its body,
// chunks decoded, behind an NTRIP 1 status line, so one parser reads both. Any other HTTP
// status ends the answer with its status line. Qt-free.
class CasterAnswer {
public:
    enum State {
        Undecided,     // the first bytes could still be an HTTP status line
        Passing,       // table bytes go out as they come
        Ended,         // an NTRIP 2 body has ended (last chunk or its length reached)
        Unauthorized,  // HTTP 401
        HttpError,     // another HTTP status, or an HTTP answer that is not a source table
        Malformed,     // a broken HTTP head or chunk
    };
    static constexpr std::size_t kMaxHead = 16 * 1024;
    static constexpr const char* kStatusLine = "SOURCETABLE 200 OK\r\n";

    // Adds bytes of the answer; appends what belongs to the table to out.
    State add(const char* data, std::size_t n, std::string& out);
    State state() const { return state_; }
    // The HTTP status line (without CR LF), once read.
    const std::string& statusLine() const { return statusLine_; }
    void reset();

private:
    void readHead(std::string& out);
    void readBody(const char* data, std::size_t n, std::string& out);

    State state_ = Undecided;
    std::string head_;
    std::string statusLine_;
    bool http_ = false;
    bool chunked_ = false;
    bool lengthKnown_ = false;
    std::size_t left_ = 0;  // body bytes still due (Content-Length) or of the current chunk
    enum Chunk { Size, Data, DataEnd, Trailer } chunk_ = Size;
    std::string line_;  // a chunk-size or trailer line being read
};

}  // namespace Varnok
