#include "device_codes.h"

#include <cstring>

namespace Varnok {
namespace DeviceCodes {

void splitMode(int mode, int& first, int& second) {
    switch (mode) {
        case 1:
            first = 1;
            second = 0;
            break;
        case 2:
            first = 4;
            second = 0;
            break;
        case 3:
            first = 4;
            second = 1;
            break;
        default:
            first = 0;
            second = 0;
            break;
    }
}

int indexToCode(int index) {
    return index >= 0 && index <= 8 ? index + 1 : 0;
}

char indexToLetter(int n) {
    return static_cast<char>('A' + n);
}

int sentenceDataTypeCode(int sentence) {
    static const int kCodes[][2] = {
        {12, 0x408}, {13, 0x409}, {25, 0x412}, {26, 0x413}, {27, 0x414}, {28, 0x415},
        {29, 0x416}, {30, 0x417}, {31, 0x418}, {32, 0x419}, {33, 0x41A}, {37, 0x41E},
        {38, 0x41F}, {39, 0x420}, {40, 0x421}, {41, 0x422}, {42, 0x423}, {43, 0x424},
    };
    for (const auto& row : kCodes) {
        if (row[0] == sentence) {
            return row[1];
        }
    }
    return 1;
}

int mapTypeCode(int rate) {
    if (rate > kRawListCode && rate <= kRawListCode + 0xFFFF) {
        return rate - kRawListCode;
    }
    static const int kCodes[][2] = {
        {1, 6}, {2, 7}, {3, 9}, {4, 10}, {5, 11}, {6, 12}, {11, 8}, {13, 5}, {255, 2},
    };
    for (const auto& row : kCodes) {
        if (row[0] == rate) {
            return row[1];
        }
    }
    return 1;
}

double roundChannelFrequency(float mhz) {
    // Kept in float on purpose: the receiver's values round as the pages expect only so.
    const float scaled = (mhz + 0.00005f) * 10000.0f;
    const long long whole = static_cast<long long>(scaled);
    return static_cast<double>(whole) * 0.0001;
}

double roundChannelBits(std::uint32_t bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!(value > -1.0e15f && value < 1.0e15f)) {
        return 0.0;  // NaN or out of range: no channel
    }
    return roundChannelFrequency(value);
}

namespace {

constexpr int kCommon[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int kLeap[] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

void dayNumberToYear(long long dayNumber, int& year, int& dayOfYear) {
    const long long cycle = dayNumber / 1461;
    const long long rest = dayNumber % 1461;
    const long long inCycle = rest / 365 - rest / 1460;
    year = static_cast<int>(1901 + 4 * cycle + inCycle);
    dayOfYear = static_cast<int>(rest - 365 * inCycle + 1);
}

void timeOfDay(double seconds, int& hours, int& minutes, double& secs) {
    double rest =
        seconds - 86400.0 * static_cast<double>(static_cast<long long>(seconds / 86400.0));
    if (rest < 0) {
        rest += 86400.0;
    }
    hours = static_cast<int>(rest / 3600.0);
    rest -= hours * 3600.0;
    minutes = static_cast<int>(rest / 60.0);
    secs = rest - minutes * 60.0;
}

}  // namespace

void gpsTimeToDate(int week, double seconds, int* year, int* month, int* day, int* hours,
                   int* minutes, double* secs) {
    const long long dayNumber =
        static_cast<long long>(static_cast<double>(week) * 7.0 + seconds / 86400.0 + 44244.0) -
        15385;
    int y = 0;
    int doy = 0;
    dayNumberToYear(dayNumber, y, doy);
    if (year) {
        *year = y;
    }
    if (year && (month || day)) {
        const int* table = y % 4 == 0 ? kLeap : kCommon;
        int m = static_cast<int>(doy * 0.032);
        if (m > 11) {
            m = 11;
        }
        if (m < 11 && doy > table[m + 1]) {
            ++m;
        }
        if (month) {
            *month = m + 1;
        }
        if (day) {
            *day = doy - table[m];
        }
    } else if (day) {
        *day = doy;
    }
    int h = 0;
    int mi = 0;
    double s = 0;
    timeOfDay(seconds, h, mi, s);
    if (hours) {
        *hours = h;
    }
    if (minutes) {
        *minutes = mi;
    }
    if (secs) {
        *secs = s;
    }
}

void gpsTimeToDayOfYear(int week, double seconds, int& year, int& dayOfYear, int& hours,
                        int& minutes, double& secs) {
    const double whole = static_cast<double>(static_cast<long long>(seconds));
    const long long dayNumber =
        static_cast<long long>(static_cast<double>(week) * 7.0 + whole / 86400.0 + 44244.0) - 15385;
    dayNumberToYear(dayNumber, year, dayOfYear);
    timeOfDay(seconds, hours, minutes, secs);
}

Options outputRates(const Receiver& r) {
    Options out{{"OFF", 0}};
    const Options full = {{"10 s", 6},  {"5 s", 5},  {"2 s", 4},   {"1 Hz", 3},
                          {"2 Hz", 11}, {"5 Hz", 2}, {"10 Hz", 1}, {"20 Hz", 13}};
    if (r.deviceType == 1) {
        out.insert(out.end(), full.begin() + 1, full.begin() + 7);
    } else if (r.boardType == 2 || r.boardType == 1) {
        out.insert(out.end(), full.begin(), full.end());
    } else if (r.boardType == 4 || r.boardType == 7) {
        out.insert(out.end(), full.begin(), full.begin() + 6);
    }
    return out;
}

Options nmeaSentences(const Receiver& r) {
    if (r.deviceType == 1) {
        return {{"GPGGA", 12},    {"GPGSV", 13},    {"GPGSA", 25},    {"GPGST", 26},
                {"GPRMC", 27},    {"GPGLL", 28},    {"GPVTG", 29},    {"GPZDA", 30},
                {"PTNL,PJK", 32}, {"PTNL,PJT", 33}, {"GPHDT", 37},    {"PTNL,AVR", 38},
                {"PTNL,BPQ", 39}, {"PTNL,GGK", 40}, {"PTNL,VGK", 41}, {"PTNL,VHD", 42},
                {"GPROT", 43}};
    }
    Options out = {{r.novatelExtensions ? "GPGGALONG" : "GPGGA", 1},
                   {"GPGSV", 64},
                   {"GPRMC", 256},
                   {"GPGLL", 2},
                   {"GPVTG", 512},
                   {"GPZDA", 1024},
                   {"GPGST", 32},
                   {"GPGRS", 8192},
                   {"GPGSA", 16}};
    if (r.boardType == 2) {
        out.insert(out.end(), {{"GPALM", 2048}, {"GPRMB", 4096}});
    } else if (r.boardType == 1) {
        out.insert(out.end(), {{"PTNL,PJK", 16384}, {"PTNL,PJT", 32768}});
    } else if (r.boardType == 4 || r.boardType == 7) {
        out.insert(out.end(), {{"GPGNS", 65536}, {"GPRRE", 131072}});
    }
    return out;
}

Options serverModes() {
    return {{"Ntrip Client", 2}, {"ORLO Base", 4}, {"ORLO Rover", 3}, {"TCP Direct", 5}};
}

Options rtkRates() {
    return {{"1 Hz", 3}, {"2 Hz", 11}, {"5 Hz", 2}};
}

Options diffFormats(const Receiver& r) {
    Options out;
    if (r.boardType == 7) {
        out = {{"CMR", 0}, {"CMR+", 1}, {"RTCM3", 3}, {"RTCM3.2", 6}};
    } else if (r.deviceType == 1) {
        return {{"CMR", 2}, {"CMR+", 3}, {"sCMR", 4}, {"RTCM", 5}, {"RTCM3", 6}, {"RTCM3.2", 7}};
    } else {
        out = {{"CMR", 0},  {"CMR+", 1}, {"RTCM2", 2},  {"RTCM3", 3},
               {"RTCA", 4}, {"sCMR", 5}, {"RTCM3.2", 6}};
    }
    if (r.flagI) {
        out.emplace_back("Auto", 7);
    }
    return out;
}

Options staticRates(const Receiver& r) {
    Options out;
    if (r.deviceType == 2) {
        out.emplace_back("10 Hz", 252);
    }
    if (r.boardType != 7) {
        out.emplace_back("5 Hz", 251);
    }
    out.insert(out.end(), {{"2 Hz", 250},
                           {"1 Hz", 1},
                           {"2 s", 2},
                           {"5 s", 5},
                           {"10 s", 10},
                           {"15 s", 15},
                           {"30 s", 30},
                           {"60 s", 60},
                           {"2 Min", 120}});
    return out;
}

}  // namespace DeviceCodes
}  // namespace Varnok
