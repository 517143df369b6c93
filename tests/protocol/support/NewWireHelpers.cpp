#include "NewWireHelpers.h"

#include <cstdio>
#include <cstring>

using Brevan2011::BVParse::_STR_CMD;

namespace NewWire {

namespace {
uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
uint32_t Be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}
}  // namespace

uint16_t Frame::Operation() const {
    if (items.empty() || items[0].tag != 1 || items[0].value.size() != 2) {
        return 0xFFFF;
    }
    return Be16(items[0].value.data());
}

bool ReadChunks(const std::vector<_STR_CMD>& commands, std::vector<Chunk>& chunks,
                std::string* error) {
    chunks.clear();
    for (size_t i = 0; i < commands.size(); ++i) {
        const _STR_CMD& c = commands[i];
        const std::string at = "chunk " + std::to_string(i) + ": ";
        if (c.pause != 0) {
            return Fail(error, at + "pause not 0");
        }
        if (c.length < 8 || c.length > 257) {
            return Fail(error, at + "length " + std::to_string(c.length));
        }
        if (c.data[0] != '$' || c.data[1] != '$' || c.data[2] != 0x01) {
            return Fail(error, at + "bad envelope start");
        }
        size_t k = c.data[4];
        if (k < 1 || k > 250 || c.length != k + 7) {
            return Fail(error, at + "k " + std::to_string(k));
        }
        if (c.data[5 + k] != 0x0D || c.data[6 + k] != 0x0A) {
            return Fail(error, at + "no CR LF");
        }
        Chunk chunk;
        chunk.type = c.data[2];
        chunk.sequence = c.data[3];
        chunk.data.assign(c.data + 5, c.data + 5 + k);
        chunks.push_back(std::move(chunk));
    }
    return true;
}

bool ReadFrames(const std::vector<_STR_CMD>& commands, std::vector<Frame>& frames,
                std::string* error) {
    frames.clear();
    std::vector<Chunk> chunks;
    if (!ReadChunks(commands, chunks, error)) {
        return false;
    }
    std::vector<uint8_t> all;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (i > 0 && chunks[i].sequence != (chunks[i - 1].sequence + 1) % 251) {
            return Fail(error, "sequence gap at chunk " + std::to_string(i));
        }
        all.insert(all.end(), chunks[i].data.begin(), chunks[i].data.end());
    }
    size_t pos = 0;
    while (pos < all.size()) {
        if (all.size() - pos < 19) {
            return Fail(error, "short frame");
        }
        const uint8_t* f = all.data() + pos;
        if (f[0] != 0x04 || f[1] != 0x11 || f[2] != 0x00) {
            return Fail(error, "bad frame header");
        }
        size_t bodyLength = Be16(f + 11);
        if (all.size() - pos < bodyLength + 19) {
            return Fail(error, "frame longer than the chunks");
        }
        if (f[17 + bodyLength] != 0x09 || f[18 + bodyLength] != 0x24) {
            return Fail(error, "bad trailer");
        }
        Frame frame;
        frame.commandId = Be32(f + 3);
        frame.word = Be32(f + 7);
        frame.bytes.assign(f, f + bodyLength + 19);
        size_t at = 13;
        while (at < 13 + bodyLength) {
            if (at + 4 > 13 + bodyLength) {
                return Fail(error, "item header past the body");
            }
            Item item;
            item.tag = Be16(f + at);
            size_t n = Be16(f + at + 2);
            if (at + 4 + n > 13 + bodyLength) {
                return Fail(error, "item value past the body");
            }
            item.value.assign(f + at + 4, f + at + 4 + n);
            frame.items.push_back(std::move(item));
            at += 4 + n;
        }
        frames.push_back(std::move(frame));
        pos += bodyLength + 19;
    }
    return true;
}

std::vector<uint8_t> U8(uint8_t v) {
    return {v};
}
std::vector<uint8_t> U16(uint16_t v) {
    return {uint8_t(v >> 8), uint8_t(v)};
}
std::vector<uint8_t> U32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}
std::vector<uint8_t> F64(double v) {
    uint64_t b;
    std::memcpy(&b, &v, 8);
    return Cat({U32(uint32_t(b >> 32)), U32(uint32_t(b))});
}
std::vector<uint8_t> F32(float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    return U32(b);
}
std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::vector<uint8_t> MakeFrameFromBody(const std::vector<uint8_t>& body, uint32_t commandId) {
    std::vector<uint8_t> f = Cat({{0x04, 0x11, 0x00},
                                  U32(commandId),
                                  U32(1),
                                  U16(static_cast<uint16_t>(body.size())),
                                  body});
    f.insert(f.end(), {0, 0, 0, 0, 0x09, 0x24});
    return f;
}

std::vector<uint8_t> MakeFrame(uint16_t operation, const std::vector<Item>& items,
                               uint32_t commandId) {
    std::vector<uint8_t> body = Cat({U16(1), U16(2), U16(operation)});
    for (const Item& item : items) {
        std::vector<uint8_t> head =
            Cat({U16(item.tag), U16(static_cast<uint16_t>(item.value.size()))});
        body.insert(body.end(), head.begin(), head.end());
        body.insert(body.end(), item.value.begin(), item.value.end());
    }
    return MakeFrameFromBody(body, commandId);
}

std::vector<uint8_t> Envelope(uint8_t type, uint8_t sequence, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {'$', '$', type, sequence, static_cast<uint8_t>(data.size())};
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0x0D);
    out.push_back(0x0A);
    return out;
}

std::vector<uint8_t> ChunkFrame(const std::vector<uint8_t>& frame, uint8_t* sequence,
                                size_t chunkSize, uint8_t type) {
    std::vector<uint8_t> out;
    for (size_t at = 0; at < frame.size(); at += chunkSize) {
        size_t k = std::min(chunkSize, frame.size() - at);
        std::vector<uint8_t> part(frame.begin() + at, frame.begin() + at + k);
        std::vector<uint8_t> env = Envelope(type, *sequence, part);
        *sequence = static_cast<uint8_t>((*sequence + 1) % 251);
        out.insert(out.end(), env.begin(), env.end());
    }
    return out;
}

std::string Hex(const uint8_t* p, size_t n) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", p[i]);
        s += buf;
    }
    return s;
}
std::string Hex(const std::vector<uint8_t>& v) {
    return Hex(v.data(), v.size());
}
std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> out;
    int hi = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else {
            continue;
        }
        if (hi < 0) {
            hi = v;
        } else {
            out.push_back(static_cast<uint8_t>(hi * 16 + v));
            hi = -1;
        }
    }
    return out;
}

}  // namespace NewWire
