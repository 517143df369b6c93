#include "caster_answer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace Varnok {

namespace {

constexpr const char* kHttp = "HTTP/";
constexpr std::size_t kHttpLength = 5;
constexpr std::size_t kMaxLine = 1024;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The value of the named header (name in lower case), empty when absent.
std::string header(const std::string& head, const std::string& name) {
    std::size_t at = head.find("\r\n");
    while (at != std::string::npos) {
        const std::size_t start = at + 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string line =
            head.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && lower(line.substr(0, colon)) == name) {
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(" \t"));
            return value;
        }
        at = end;
    }
    return std::string();
}

}  // namespace

void CasterAnswer::reset() {
    *this = CasterAnswer();
}

CasterAnswer::State CasterAnswer::add(const char* data, std::size_t n, std::string& out) {
    if (data == nullptr || n == 0) {
        return state_;
    }
    switch (state_) {
        case Passing:
            if (http_) {
                readBody(data, n, out);
            } else {
                out.append(data, n);
            }
            return state_;
        case Undecided:
            break;
        default:
            return state_;
    }
    head_.append(data, n);
    const std::size_t compared = std::min(head_.size(), kHttpLength);
    if (head_.compare(0, compared, kHttp, compared) != 0) {
        // An NTRIP 1 answer, or a table without a status line: it passes as it stands.
        state_ = Passing;
        out += head_;
        head_.clear();
        return state_;
    }
    if (head_.size() >= kHttpLength) {
        readHead(out);
    }
    return state_;
}

void CasterAnswer::readHead(std::string& out) {
    const std::size_t end = head_.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (head_.size() > kMaxHead) {
            state_ = Malformed;
        }
        return;
    }
    const std::string head = head_.substr(0, end);
    const std::string rest = head_.substr(end + 4);
    head_.clear();
    statusLine_ = head.substr(0, head.find("\r\n"));
    const std::size_t space = statusLine_.find(' ');
    const int code = space == std::string::npos ? 0 : std::atoi(statusLine_.c_str() + space + 1);
    if (code == 401) {
        state_ = Unauthorized;
        return;
    }
    if (code != 200 ||
        lower(header(head, "content-type")).find("gnss/sourcetable") == std::string::npos) {
        state_ = HttpError;
        return;
    }
    http_ = true;
    chunked_ = lower(header(head, "transfer-encoding")).find("chunked") != std::string::npos;
    const std::string length = header(head, "content-length");
    if (!chunked_ && !length.empty()) {
        lengthKnown_ = true;
        left_ = static_cast<std::size_t>(std::strtoull(length.c_str(), nullptr, 10));
    }
    state_ = Passing;
    out += kStatusLine;
    if (lengthKnown_ && left_ == 0) {
        state_ = Ended;
        return;
    }
    readBody(rest.data(), rest.size(), out);
}

void CasterAnswer::readBody(const char* data, std::size_t n, std::string& out) {
    if (!chunked_) {
        if (!lengthKnown_) {
            out.append(data, n);
            return;
        }
        const std::size_t take = std::min(n, left_);
        out.append(data, take);
        left_ -= take;
        if (left_ == 0) {
            state_ = Ended;
        }
        return;
    }
    for (std::size_t i = 0; i < n && state_ == Passing;) {
        const char c = data[i];
        switch (chunk_) {
            case Data: {
                const std::size_t take = std::min(n - i, left_);
                out.append(data + i, take);
                i += take;
                left_ -= take;
                if (left_ == 0) {
                    chunk_ = DataEnd;
                }
                continue;
            }
            case DataEnd:
                ++i;
                if (c == '\n') {
                    chunk_ = Size;
                } else if (c != '\r') {
                    state_ = Malformed;
                }
                continue;
            case Size:
            case Trailer:
                ++i;
                if (c != '\n') {
                    line_ += c;
                    if (line_.size() > kMaxLine) {
                        state_ = Malformed;
                    }
                    continue;
                }
                break;
        }
        // A whole line: a chunk's size (extensions after ';' ignored) or a trailer line.
        std::string line = line_.substr(0, line_.find_first_of(";\r"));
        line_.clear();
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t") + 1);
        if (chunk_ == Trailer) {
            if (line.empty()) {
                state_ = Ended;
            }
            continue;
        }
        char* stop = nullptr;
        const unsigned long long size = std::strtoull(line.c_str(), &stop, 16);
        if (line.empty() || stop != line.c_str() + line.size() ||
            !std::isxdigit(static_cast<unsigned char>(line[0]))) {
            state_ = Malformed;
            continue;
        }
        if (size == 0) {
            chunk_ = Trailer;
        } else {
            left_ = static_cast<std::size_t>(size);
            chunk_ = Data;
        }
    }
}

}  // namespace Varnok
