#include "Em_OldFrames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Brevan2011::BVParse;

namespace {

std::vector<std::uint8_t> Hex(const char* hex) {
    std::vector<std::uint8_t> out;
    std::string s;
    for (const char* p = hex; *p; ++p) {
        if (*p != ' ') {
            s += *p;
        }
    }
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(s.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::vector<std::uint8_t> Render(const std::string& text, unsigned form, unsigned kind) {
    std::uint8_t out[512];
    std::memset(out, 0xEE, sizeof out);
    std::uint32_t n = 0;
    if (!Pack_OldFrame(text.c_str(), out, &n, form, kind)) {
        return {};
    }
    return std::vector<std::uint8_t>(out, out + n);
}

struct Golden {
    const char* text;
    unsigned form;
    unsigned kind;
    const char* hex;
};

TEST(Em_OldFrames, TextFramesGolden) {
    const Golden cases[] = {
        {"RG,B0", 1, 8, "24 24 52 47 18 01 00 0C 0D 0A"},
        {"RG,B200", 3, 8, "24 24 52 47 38 01 C8 E4 0D 0A"},
        {"RF,M1000,B1", 1, 8, "24 24 52 46 18 03 03 E8 01 E5 0D 0A"},
        {"RF,W1000", 1, 8, "24 24 52 46 18 02 E8 03 E5 0D 0A"},
        {"RD,L4294967295", 1, 8, "24 24 52 44 18 04 FF FF FF FF 0A 0D 0A"},
        // The blank separates fields like the comma.
        {"VS,B1 B2 B3 B4 B5 B6 ", 1, 11, "24 24 56 53 1B 06 01 02 03 04 05 06 1F 0D 0A"},
        // Field letters count in either case; command letters keep theirs.
        {"Rg,b0", 1, 8, "24 24 52 67 18 01 00 2C 0D 0A"},
        // A field letter right after a number, with no separator, is passed over.
        {"RG,B1B2", 1, 8, "24 24 52 47 18 01 01 0D 0D 0A"},
        // A field letter without a number adds nothing; the next field still counts.
        {"SJ,Bx,B5", 1, 8, "24 24 53 4A 18 01 05 05 0D 0A"},
        // An S field copies commas and blanks unchanged.
        {"VL,Sa, b", 1, 11, "24 24 56 4C 1B 04 61 2C 20 62 0A 0D 0A"},
        // Text with only the letters: an empty payload.
        {"SI", 1, 8, "24 24 53 49 18 00 02 0D 0A"},
        // Anything before the letters is passed over.
        {"  ,1SD", 3, 8, "24 24 53 44 38 00 2F 0D 0A"},
        // Negative numbers keep their low bits.
        {"SJ,B-1,M-2", 1, 8, "24 24 53 4A 18 03 FF FF FE FC 0D 0A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(c.text, c.form, c.kind), Hex(c.hex)) << c.text;
    }
}

TEST(Em_OldFrames, RefusedTexts) {
    std::uint8_t out[512] = {};
    std::uint32_t n = 77;
    EXPECT_FALSE(Pack_OldFrame("S", out, &n, 1, 8));      // one letter only
    EXPECT_FALSE(Pack_OldFrame(",B1", out, &n, 1, 8));    // B is the one letter
    EXPECT_FALSE(Pack_OldFrame("RG,B0", out, &n, 2, 8));  // no such link form
    EXPECT_FALSE(Pack_OldFrame("RG,B0", out, &n, 1, 9));  // no such kind
    EXPECT_FALSE(Pack_OldFrame(nullptr, out, &n, 1, 8));
    EXPECT_FALSE(Pack_OldFrame("RG,B0", nullptr, &n, 1, 8));
    EXPECT_EQ(n, 77u);
}

TEST(Em_OldFrames, LongTextsStopAtPosition256) {
    // A 1,000-character S text gives 250 payload bytes; the rest is cut.
    const std::string text = "VL,S" + std::string(1000, 'a');
    const auto frame = Render(text, 1, 11);
    ASSERT_EQ(frame.size(), 259u);
    EXPECT_EQ(frame[5], 250);
    EXPECT_EQ(frame[255], 'a');
    EXPECT_EQ(frame[257], 0x0D);
    EXPECT_EQ(frame[258], 0x0A);

    // A 4-byte field that begins at position 255 is written whole: L = 253, frame 262.
    std::string fields = "AB,";
    for (int i = 0; i < 249; ++i) {
        fields += "B7 ";
    }
    fields += "L16909060,B9";
    const auto wide = Render(fields, 1, 8);
    ASSERT_EQ(wide.size(), 262u);
    EXPECT_EQ(wide[5], 253);
    EXPECT_EQ(wide[255], 0x04);
    EXPECT_EQ(wide[258], 0x01);
    EXPECT_EQ(wide[260], 0x0D);
    std::uint8_t x = 0;
    for (std::size_t i = 2; i < 260; ++i) {
        x ^= wide[i];
    }
    EXPECT_EQ(x, 0);

    // A text over 1,023 characters is cut there before rendering (frame is still bounded).
    const std::string huge = "VL,S" + std::string(5000, 'z');
    EXPECT_EQ(Render(huge, 1, 11).size(), 259u);
}

TEST(Em_OldFrames, BinaryFrames) {
    std::uint8_t out[512];
    std::uint32_t n = 0;
    const std::uint8_t payload[] = {0x01, 0x02};
    ASSERT_TRUE(Pack_OldBinFrame('R', 'Z', payload, 2, out, &n, 1));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n), Hex("24 24 52 5A 18 02 01 02 11 0D 0A"));

    std::vector<std::uint8_t> big(255, 0x5A);
    ASSERT_TRUE(Pack_OldBinFrame('S', 'X', big.data(), big.size(), out, &n, 3));
    EXPECT_EQ(n, 264u);
    EXPECT_EQ(out[4], 0x38);
    EXPECT_EQ(out[5], 255);

    // 300 bytes cannot be framed: nothing is written.
    std::vector<std::uint8_t> tooBig(300, 0x11);
    std::uint8_t guard[512];
    std::memset(guard, 0xEE, sizeof guard);
    n = 5;
    EXPECT_FALSE(Pack_OldBinFrame('R', 'Z', tooBig.data(), tooBig.size(), guard, &n, 1));
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(guard[0], 0xEE);
    EXPECT_FALSE(Pack_OldBinFrame('R', 'Z', nullptr, 2, out, &n, 1));
    EXPECT_FALSE(Pack_OldBinFrame('R', 'Z', payload, 2, nullptr, &n, 1));
}

TEST(Em_OldFrames, AtFrames) {
    std::uint8_t out[512];
    std::uint32_t n = 0;
    ASSERT_TRUE(Pack_OldAtFrame(0x5F, out, &n, 0, nullptr, 1));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n),
              Hex("24 24 56 53 1B 06 40 5F A0 00 00 BF 18 0D 0A"));

    const std::uint8_t data[] = {40, 0};
    ASSERT_TRUE(Pack_OldAtFrame('a', out, &n, 2, data, 3));
    // '@' frame 40 61 9E 02 00 28 00 check, carried whole as the payload.
    EXPECT_EQ(out[4], 0x3B);
    EXPECT_EQ(out[5], 8);
    const auto at = Hex("40 61 9E 02 00 28 00");
    std::uint8_t check = 0;
    for (auto b : at) {
        check ^= b;
    }
    EXPECT_EQ(std::vector<std::uint8_t>(out + 6, out + 13), at);
    EXPECT_EQ(out[13], check);

    std::vector<std::uint8_t> d198(198, 0xFF);
    ASSERT_TRUE(Pack_OldAtFrame(0x80, out, &n, d198.size(), d198.data(), 1));
    EXPECT_EQ(out[5], 204);
    EXPECT_EQ(n, 213u);
    EXPECT_EQ(out[6 + 3], 198);
    EXPECT_EQ(out[6 + 4], 0);

    std::vector<std::uint8_t> d199(199, 0xFF);
    n = 3;
    EXPECT_FALSE(Pack_OldAtFrame(0x80, out, &n, d199.size(), d199.data(), 1));
    EXPECT_EQ(n, 3u);
}

TEST(Em_OldFrames, WrapInPlace) {
    std::uint8_t data[512] = {};
    std::uint32_t length = 2;
    data[0] = 0x01;
    data[1] = 0x02;
    ASSERT_TRUE(Wrap_OldBytes(data, &length, 'R', 'Z', 1));
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + length),
              Hex("24 24 52 5A 18 02 01 02 11 0D 0A"));

    length = 256;
    EXPECT_FALSE(Wrap_OldBytes(data, &length, 'R', 'Z', 1));
    EXPECT_EQ(length, 256u);

    std::uint8_t text[512];
    std::memset(text, 0xEE, sizeof text);
    std::memcpy(text, "a, b", 4);
    length = 4;
    ASSERT_TRUE(Wrap_OldText(text, &length, 1));
    EXPECT_EQ(std::vector<std::uint8_t>(text, text + length),
              Hex("24 24 56 4C 1B 04 61 2C 20 62 0A 0D 0A"));
    EXPECT_EQ(text[length], 0);

    length = 56;
    EXPECT_FALSE(Wrap_OldText(text, &length, 1));
}

TEST(Em_OldFrames, LinkForm) {
    EXPECT_EQ(Old_LinkForm(1), 1u);
    EXPECT_EQ(Old_LinkForm(2), 3u);
    EXPECT_EQ(Old_LinkForm(0), 0u);
    EXPECT_EQ(Old_LinkForm(3), 0u);
}

}  // namespace
