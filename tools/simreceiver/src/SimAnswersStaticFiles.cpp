#include "SimAnswersStaticFiles.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Em_OldFrames.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;

constexpr std::size_t kChunk = BV::kOldChunk;

SurveyBytes Frame(char a, char b, const std::uint8_t* payload, std::size_t length) {
    static const std::uint8_t kNothing = 0;
    SurveyBytes out(BV::kOldFrameMaxLength, 0);
    std::uint32_t frameLength = 0;
    if (!BV::Pack_OldBinFrame(a, b, length > 0 ? payload : &kNothing, length, out.data(),
                              &frameLength, BV::kOldFormSerial)) {
        return {};
    }
    out.resize(frameLength);
    return out;
}

// A reply in pieces of 55 bytes: a full piece means more follow, so a reply whose length is a
// multiple of 55 ends with an empty piece.
std::vector<SurveyBytes> Chunked(char a, char b, const SurveyBytes& body) {
    std::vector<SurveyBytes> frames;
    std::size_t at = 0;
    for (;;) {
        const std::size_t n = std::min(kChunk, body.size() - at);
        frames.push_back(Frame(a, b, body.data() + at, n));
        at += n;
        if (n < kChunk) {
            return frames;
        }
    }
}

// One directory entry: the marker, the GPS time (big-endian), a skipped byte, the size field
// (twice the size, 23 bits: low byte, middle byte, then the high byte), the minutes
// (little-endian), skipped bytes; then the byte the reader steps over.
void PutEntry(SurveyBytes& out, std::uint32_t gpsTime, std::uint32_t size, unsigned minutes) {
    const std::uint32_t field = (size << 1) & 0x7FFFFFu;
    const std::uint8_t entry[] = {'*',
                                  static_cast<std::uint8_t>(gpsTime >> 24),
                                  static_cast<std::uint8_t>(gpsTime >> 16),
                                  static_cast<std::uint8_t>(gpsTime >> 8),
                                  static_cast<std::uint8_t>(gpsTime),
                                  0,
                                  static_cast<std::uint8_t>(field),
                                  static_cast<std::uint8_t>(field >> 8),
                                  static_cast<std::uint8_t>(minutes),
                                  static_cast<std::uint8_t>(minutes >> 8),
                                  static_cast<std::uint8_t>(field >> 16),
                                  0,
                                  0,
                                  0,
                                  0,
                                  0};
    out.insert(out.end(), entry, entry + sizeof entry);
}

}  // namespace

std::uint8_t StaticFileByte(std::uint32_t file, std::size_t i) {
    return static_cast<std::uint8_t>((i + file) % 251);
}

std::vector<SurveyBytes> StaticFileDirectory(const SimState& s, const std::uint8_t*, std::size_t,
                                             int*) {
    // "gpsTime:size:minutes" entries separated by ','.
    SurveyBytes body;
    const std::string& list = s.text("static_files");
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t end = list.find(',', at);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string entry = list.substr(at, end - at);
        char* rest = nullptr;
        const unsigned long gpsTime = std::strtoul(entry.c_str(), &rest, 10);
        const unsigned long size = *rest == ':' ? std::strtoul(rest + 1, &rest, 10) : 0;
        const unsigned long minutes = *rest == ':' ? std::strtoul(rest + 1, &rest, 10) : 0;
        PutEntry(body, static_cast<std::uint32_t>(gpsTime), static_cast<std::uint32_t>(size),
                 static_cast<unsigned>(minutes));
        at = end + 1;
    }
    // The reader takes the last field of an entry only once two bytes follow it.
    body.push_back(0);
    return Chunked('F', 'M', body);
}

std::vector<SurveyBytes> StaticFileData(const SimState& s, const std::uint8_t* p, std::size_t n,
                                        int*) {
    std::uint32_t file = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 4); ++i) {
        file |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    }
    SurveyBytes body(static_cast<std::size_t>(s.number("static_file_size")));
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = StaticFileByte(file, i);
    }
    return Chunked('F', 'W', body);
}

}  // namespace varnok_sim
