#include <gtest/gtest.h>

#include <cstdint>

#include "BluezAddress.h"

using Brevan2011::BVComm::AddressFromBytes;
using Brevan2011::BVComm::AddressToBytes;

// BlueZ keeps an address least significant byte first; "00:11:22:33:44:55" is 0x001122334455.
TEST(BluezAddress, MapsBothWays) {
    struct Case {
        std::uint64_t value;
        std::uint8_t bytes[6];
    } cases[] = {
        {0x001122334455ull, {0x55, 0x44, 0x33, 0x22, 0x11, 0x00}},
        {0x0ull, {0, 0, 0, 0, 0, 0}},
        {0xFFFFFFFFFFFFull, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {0xA0B1C2D3E4F5ull, {0xF5, 0xE4, 0xD3, 0xC2, 0xB1, 0xA0}},
        {0x800000000001ull, {0x01, 0, 0, 0, 0, 0x80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(AddressFromBytes(c.bytes), c.value);
        std::uint8_t got[6] = {9, 9, 9, 9, 9, 9};
        AddressToBytes(c.value, got);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(got[i], c.bytes[i]) << "byte " << i;
        }
    }
}

TEST(BluezAddress, BitsAboveTheAddressAreDropped) {
    std::uint8_t got[6];
    AddressToBytes(0xABCD001122334455ull, got);
    EXPECT_EQ(AddressFromBytes(got), 0x001122334455ull);
}
