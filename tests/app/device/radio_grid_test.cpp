// The radio channel grid and the band maps, in 100 Hz units.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "radio_grid.h"

namespace {

using namespace RadioGrid;

TEST(RadioGrid, OffGrid) {
    const struct {
        double f, base, step;
        bool off;
    } cases[] = {
        {456.0625, 456.05, 0.0125, false},
        {456.06, 456.05, 0.0125, true},
        {456.06, 456.05, 0.0, false},
        {455.0, 0.0, 0.0, false},
        // Below the base: the remainder counts whatever its sign.
        {456.0375, 456.05, 0.0125, false},
        {456.04, 456.05, 0.0125, true},
        // Floats that are not exact in binary still land on the grid.
        {450.0125 * 3 - 900.025, 450.0, 0.0125, false},
        {std::numeric_limits<double>::quiet_NaN(), 450.0, 0.0125, false},
        {1e300, 450.0, 0.0125, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOffChannelGrid(c.f, c.base, c.step), c.off) << c.f << " " << c.step;
    }
}

TEST(RadioGrid, SnapToNearerEdgeHalfAStepGoesDown) {
    const struct {
        double f, low, high, step, expected;
    } cases[] = {
        {456.055, 456.05, 462.55, 0.0125, 456.05},
        {456.0569, 456.05, 462.55, 0.0125, 456.0625},
        {456.06, 456.05, 462.55, 0.0125, 456.0625},
        {456.05, 456.05, 462.55, 0.0125, 456.05},
        {470.0, 456.05, 462.55, 0.0125, 470.0},
        {400.00004, 456.05, 462.55, 0.0125, 400.0},
        // 410-470 MHz at 12.5 kHz.
        {450.0130, 410.0, 470.0, 0.0125, 450.0125},
        {450.0190, 410.0, 470.0, 0.0125, 450.0250},
        // From 450 MHz at 12.5 and 20 kHz: exactly half a step goes down.
        {455.0100, 450.0, 470.0, 0.0125, 455.0125},
        {455.0100, 450.0, 470.0, 0.02, 455.0000},
        {455.0300, 450.0, 470.0, 0.02, 455.0200},
        // The last interval, and its top edge.
        {462.549, 456.05, 462.55, 0.0125, 462.55},
        {462.55, 456.05, 462.55, 0.0125, 462.55},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(snapToChannel(c.f, c.low, c.high, c.step), c.expected)
            << c.f << " in " << c.low << "-" << c.high << " step " << c.step;
    }
}

TEST(RadioGrid, SnapWithoutAWholeStepIsMinusOne) {
    EXPECT_EQ(snapToChannel(456.06, 456.05, 456.06, 0.0125), -1.0);  // step larger than range
    EXPECT_EQ(snapToChannel(456.06, 456.05, 462.55, 0.0), -1.0);
    EXPECT_EQ(snapToChannel(456.06, 456.05, 462.55, 0.00004), -1.0);  // rounds to 0 units
    EXPECT_EQ(snapToChannel(456.06, 456.05, 462.55, -0.0125), -1.0);
    EXPECT_EQ(snapToChannel(456.06, 462.55, 456.05, 0.0125), -1.0);  // range upside down
    EXPECT_EQ(snapToChannel(std::nan(""), 456.05, 462.55, 0.0125), -1.0);
    EXPECT_EQ(snapToChannel(456.06, 456.05, std::numeric_limits<double>::infinity(), 0.0125), -1.0);
}

TEST(RadioGrid, SnapOverAWideRangeAtTheFinestStepNeedsNoWalk) {
    // 10^9 intervals: answered by division.
    EXPECT_DOUBLE_EQ(snapToChannel(50000.00006, 0.0, 100000.0, 0.0001), 50000.0001);
}

TEST(RadioGrid, BandMaps) {
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 420.0, 5), 3);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 430.0, 5), 3);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 440.0, 7), 2);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 450.0, 7), 2);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 460.0, 5), 1);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 405.0, 5), 1);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 440.0, 3), 2);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 420.0, 4), 1);
    EXPECT_EQ(subBandOfFrequency(410.0, 470.0, 420.0, 9), 1);
    for (double f : {405.0, 420.0, 440.0, 460.0}) {
        EXPECT_EQ(subBandOfFrequency(410.0, 470.0, f, 6), 3);
    }

    // Module type -> sub-band -> band, and the new-protocol band of each type.
    const int subBands[] = {1, 1, 1, 2, 1, 4, 3, 4, 1, 1, 1};
    const int bands[] = {0, 0, 0, 1, 0, 3, 2, 3, 0, 0, 0};
    for (int type = 0; type <= 10; ++type) {
        EXPECT_EQ(subBandOfRadioType(type), subBands[type]) << type;
        EXPECT_EQ(bandOfSubBand(subBandOfRadioType(type)), bands[type]) << type;
        EXPECT_EQ(bandOfNewProtocolType(type), bands[type]) << type;
    }
    EXPECT_EQ(bandOfSubBand(0), 0);
    EXPECT_EQ(bandOfSubBand(5), 0);
}

TEST(RadioGrid, SpacingCodes) {
    EXPECT_EQ(spaceCodeOfSpacing(12.5, 7), 0);
    EXPECT_EQ(spaceCodeOfSpacing(12.45, 7), 0);
    EXPECT_EQ(spaceCodeOfSpacing(20.04, 7), 1);
    EXPECT_EQ(spaceCodeOfSpacing(25.0, 7), 2);
    EXPECT_EQ(spaceCodeOfSpacing(22.0, 7), 7);
    EXPECT_EQ(spaceCodeOfSpacing(20.1, 7), 7);
}

}  // namespace
