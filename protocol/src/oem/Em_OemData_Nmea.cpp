// The NMEA sentence parsers of the data-parser base: position, solution, precision, time,
// speed and course, and the GPS, GLONASS and BeiDou satellite tables.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Em_Conversions.h"
#include "Em_NmeaFields.h"
#include "Em_NmeaSentenceIds.h"
#include "Em_OemData.h"
#include "Em_NmeaSentenceReaders.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kMinToRad = 0.0002908882086657216;
constexpr double kUsedSnrThreshold = 30.0;  // 30.0 itself keeps the satellite

// Sentence-seen bits.
constexpr uint32_t kSeenGgaAfterRmc = 0x1;
constexpr uint32_t kSeenRmc = 0x2;
constexpr uint32_t kSeenGst = 0x4;
constexpr uint32_t kEpochBits =
    GNSS_FLAG_EPOCH_A | GNSS_FLAG_EPOCH_GST | GNSS_FLAG_EPOCH_RMC | GNSS_FLAG_EPOCH_B;

}  // namespace

bool Nmea_Read_Time(Em_OemData& d, std::string_view f, int* day_carry) {
    if (day_carry != nullptr) {
        *day_carry = 0;
    }
    if (f.size() <= 1) {
        return false;
    }
    // The hour offset may move the time into the next (or previous) day: the hour stays a time
    // of day and the date follows through the carry.
    const int hours = Nmea_Int(f.substr(0, 2)) + d.Hour_Offset;
    const int carry = hours >= 0 ? hours / 24 : -((23 - hours) / 24);
    d.Hour = hours - carry * 24;
    d.Minute = Nmea_Int(f.substr(2, 2));
    d.Second = Nmea_Double(f.substr(std::min<std::size_t>(4, f.size()), 5));
    if (day_carry != nullptr) {
        *day_carry = carry;
    }
    return true;
}

void Nmea_Set_Date(Em_OemData& d, int day, int month, int year, int day_carry) {
    if (day_carry != 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        // Through the day count since 1970-01-01 (proleptic Gregorian).
        const int y0 = year - (month <= 2 ? 1 : 0);
        const int era = (y0 >= 0 ? y0 : y0 - 399) / 400;
        const int yoe = y0 - era * 400;
        const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
        const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        const long z = static_cast<long>(era) * 146097 + doe + day_carry;  // from 0000-03-01
        const long era2 = (z >= 0 ? z : z - 146096) / 146097;
        const long doe2 = z - era2 * 146097;
        const long yoe2 = (doe2 - doe2 / 1460 + doe2 / 36524 - doe2 / 146096) / 365;
        const long doy2 = doe2 - (365 * yoe2 + yoe2 / 4 - yoe2 / 100);
        const long mp = (5 * doy2 + 2) / 153;
        day = static_cast<int>(doy2 - (153 * mp + 2) / 5 + 1);
        month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
        year = static_cast<int>(yoe2 + era2 * 400 + (month <= 2 ? 1 : 0));
    }
    d.Day = day;
    d.Month = month;
    d.Year = year;
}

bool Nmea_Read_Date(Em_OemData& d, std::string_view ddmmyy, int day_carry) {
    if (ddmmyy.size() <= 2) {
        return false;
    }
    const int n = Nmea_Int(ddmmyy);
    const int day = n / 10000;
    Nmea_Set_Date(d, day, n / 100 - day * 100, n % 100 + 2000, day_carry);
    return true;
}

bool Nmea_Read_Angle(std::string_view f, std::size_t degree_digits, double* out) {
    if (f.size() <= 1) {
        return false;
    }
    const double deg = Nmea_Double(f.substr(0, degree_digits));
    const double min = Nmea_Double(f.substr(std::min(degree_digits, f.size())));
    *out = deg * kDegToRad + min * kMinToRad;
    return true;
}

void Nmea_Read_Gga_Fix(Em_OemData& d, const Em_NmeaFields& f) {
    Nmea_Read_Time(d, f[1]);
    Nmea_Read_Angle(f[2], 2, &d.Latitude);
    if (!f[3].empty() && f[3][0] != 'N' && f[3][0] != 'n') {
        d.Latitude = -d.Latitude;
    }
    Nmea_Read_Angle(f[4], 3, &d.Longitude);
    if (!f[5].empty() && f[5][0] != 'E' && f[5][0] != 'e') {
        d.Longitude = -d.Longitude;
    }
    d.Set_Fix_Quality(std::string(f[6]));
    if (!f[7].empty()) {
        d.Sats_Used = Nmea_Int(f[7]);
    }
}

void Nmea_Keep_Gga_Text(Em_OemData& d, std::string_view sentence) {
    const std::size_t n = std::min<std::size_t>(sentence.size(), sizeof(d.Gga_Text));
    std::memcpy(d.Gga_Text, sentence.data(), n);
    if (n < sizeof(d.Gga_Text)) {
        d.Gga_Text[n] = '\0';
    }
    d.Gga_Len = static_cast<int>(n);
    d.Update_Mask |= GNSS_FLAG_GGA_TEXT;
}

void Nmea_Parse_GSA(Em_OemData& d, std::string_view s) {
    const Em_NmeaFields f(s);
    if (!f[1].empty()) {
        d.Gsa_Mode = f[1][0];
    }
    if (!f[2].empty()) {
        d.Fix_Type = Nmea_Int(f[2]);
    }
    for (int i = 0; i < 12; ++i) {
        d.Gsa_Prn[i] = Nmea_Int(f[3 + i]);
    }
    if (!f[15].empty()) {
        d.Pdop = Nmea_Double(f[15]);
    }
    if (!f[16].empty()) {
        d.Hdop = Nmea_Double(f[16]);
    }
    if (!f[17].empty()) {
        d.Vdop = Nmea_Double(f[17]);
    }
    d.Tdop = 0.0;
    d.Gdop = 0.0;
    if (d.Combined_Epoch) {
        d.Update_Mask |= GNSS_FLAG_DOPS;
    }
}

void Nmea_Parse_ZDA(Em_OemData& d, std::string_view s) {
    const Em_NmeaFields f(s);
    int carry = 0;
    Nmea_Read_Time(d, f[1], &carry);
    const int day = f[2].empty() ? d.Day : Nmea_Int(f[2]);
    const int month = f[3].empty() ? d.Month : Nmea_Int(f[3]);
    const int year = f[4].empty() ? d.Year : Nmea_Int(f[4]);
    Nmea_Set_Date(d, day, month, year, carry);
}

bool Nmea_Parse_GSV(Em_OemData& d, std::string_view s, Nmea_Constellation c) {
    SATLLITE_STR* table = d.Sat_Gps;
    int* count = &d.Sat_Gps_Count;
    if (c == Nmea_Constellation::Glonass) {
        table = d.Sat_Glo;
        count = &d.Sat_Glo_Count;
    } else if (c == Nmea_Constellation::Beidou) {
        table = d.Sat_Bds;
        count = &d.Sat_Bds_Count;
    }
    const int commas = Nmea_Count_Commas(s);
    if (commas < 3) {
        return false;
    }
    const Em_NmeaFields f(s);
    const int total = Nmea_Int(f[1]);
    const int number = Nmea_Int(f[2]);
    const int in_view = std::max(0, Nmea_Int(f[3]));
    // A message without satellite groups is accepted only when none are due ("1,1,00").
    if (total < 1 || number < 1 || (commas < 7 && in_view > 0)) {
        return false;
    }
    const int size = Em_OemData::kSatTableSize;
    if (number == 1) {
        std::memset(static_cast<void*>(table), 0, sizeof(SATLLITE_STR) * std::size_t(size));
        *count = 0;
    }
    *count = in_view;
    const bool last = number >= total;
    if (total >= number) {
        // Messages past the eighth cannot reach the table; no index arithmetic overflows.
        const int first = std::min(number - 1, size / 4) * 4;
        int end = std::min(number, size / 4 + 1) * 4;
        if (last) {
            end = std::min(end, in_view);
        }
        for (int entry = first, field = 4; entry < end; ++entry, field += 4) {
            if (entry >= size) {
                break;
            }
            SATLLITE_STR& sat = table[entry];
            if (!f[field].empty()) {
                sat.Prn = Nmea_Int(f[field]);
            }
            if (!f[field + 1].empty()) {
                sat.Elevation = Nmea_Int(f[field + 1]);
            }
            if (!f[field + 2].empty()) {
                sat.Azimuth = static_cast<int16_t>(Nmea_Int(f[field + 2]));
            }
            if (!f[field + 3].empty()) {
                sat.Snr1 = static_cast<float>(Nmea_Double(f[field + 3]));
            }
        }
    }
    if (!last) {
        return true;
    }
    switch (c) {
        case Nmea_Constellation::Gps:
            if (d.Defer_Gps) {
                d.Deferred_Gps |= 0x8;
            } else {
                d.Mark_Sats_Used();
                d.Update_Mask |= GNSS_FLAG_SAT_1;
            }
            break;
        case Nmea_Constellation::Glonass:
            // GLONASS slots 65-96 become 38-69.
            for (int i = 0; i < std::min(*count, size); ++i) {
                table[i].Prn -= 27;
            }
            if (d.Defer_Glo) {
                d.Deferred_Glo |= 0x10;
            } else {
                d.Update_Mask |= GNSS_FLAG_SAT_2;
            }
            break;
        case Nmea_Constellation::Beidou:
            d.Update_Mask |= GNSS_FLAG_SAT_3;
            break;
    }
    return true;
}

int Em_OemData::Parse_Text_Msg(int id, const unsigned char* bytes, int count) {
    if (bytes == nullptr || count <= 0) {
        return 0;
    }
    Update_Mask = 0;
    const std::string_view view(reinterpret_cast<const char*>(bytes),
                                static_cast<std::size_t>(count));
    // The readers that take a view read the bytes in place.
    switch (id) {
        case NMEA_GPGLL:
        case NMEA_GNGLL:
            return 1;
        case NMEA_GPGSA:
        case NMEA_GNGSA:
            Nmea_Parse_GSA(*this, view);
            return 1;
        case NMEA_GPZDA:
        case NMEA_ZDA_SPARE:
            Nmea_Parse_ZDA(*this, view);
            return 1;
        default:
            break;
    }
    // One scratch text per thread keeps its capacity between sentences.
    thread_local std::string text;
    text.assign(view.data(), view.size());
    switch (id) {
        case NMEA_GPGGA:
        case NMEA_GNGGA:
            Parse_GGA(text);
            return 1;
        case NMEA_GPGST:
            Parse_GST(text);
            return 1;
        case NMEA_GPGSV:
            Parse_GPGSV(text);
            return 1;
        case NMEA_GPRMC:
        case NMEA_GNRMC:
            Parse_RMC(text);
            return 1;
        case NMEA_GLGSV:
            Parse_GLGSV(text);
            return 1;
        case NMEA_BDGSV:
            Parse_BDGSV(text);
            return 1;
        default:
            return 0;
    }
}

int Em_OemData::Parse_GGA(const std::string& sentence) {
    const Em_NmeaFields f(sentence);
    Nmea_Read_Gga_Fix(*this, f);
    if (!f[9].empty()) {
        Height = Nmea_Double(f[9]);
    }
    if (!f[11].empty()) {
        Height += Nmea_Double(f[11]);
    }
    Diff_Age = f[13].empty() ? -1.0 : Nmea_Double(f[13]);

    if (Sentence_Seen & kSeenRmc) {
        Sentence_Seen |= kSeenGgaAfterRmc;
    }
    if ((Sentence_Seen & kSeenGst) && Combined_Epoch) {
        Update_Mask |= GNSS_FLAG_EPOCH_GST;
    }
    if ((Sentence_Seen & (kSeenRmc | kSeenGgaAfterRmc)) == (kSeenRmc | kSeenGgaAfterRmc)) {
        Sentence_Seen = 0;
        if (Combined_Epoch) {
            Update_Mask |= GNSS_FLAG_EPOCH_RMC;
        }
    }
    if (Combined_Epoch) {
        Update_Mask |= GNSS_FLAG_EPOCH_A | GNSS_FLAG_EPOCH_B;
    }
    if ((Update_Mask & kEpochBits) == kEpochBits) {
        Update_Mask |= GNSS_FLAG_POSITION;
    }

    Nmea_Keep_Gga_Text(*this, sentence);
    return 1;
}

int Em_OemData::Set_Fix_Quality(const std::string& field) {
    if (field.empty()) {
        return 0;
    }
    Sol_Code = Solution_Code_Of_Quality(field[0]);
    return 1;
}

int Em_OemData::Parse_GPGSV(const std::string& sentence) {
    return Nmea_Parse_GSV(*this, sentence, Nmea_Constellation::Gps) ? 1 : 0;
}

int Em_OemData::Parse_GLGSV(const std::string& sentence) {
    return Nmea_Parse_GSV(*this, sentence, Nmea_Constellation::Glonass) ? 1 : 0;
}

int Em_OemData::Parse_BDGSV(const std::string& sentence) {
    return Nmea_Parse_GSV(*this, sentence, Nmea_Constellation::Beidou) ? 1 : 0;
}

int Em_OemData::Parse_GST(const std::string& sentence) {
    if (sentence.size() <= 6) {
        return 0;
    }
    const Em_NmeaFields f(sentence);
    if (!f[2].empty()) {
        Err_Rms = Nmea_Double(f[2]);
    }
    if (!f[6].empty()) {
        Err_Lat = Nmea_Double(f[6]);
    }
    if (!f[7].empty()) {
        Err_Lon = Nmea_Double(f[7]);
    }
    if (!f[8].empty()) {
        Err_Vert = Nmea_Double(f[8]);
    }
    Err_Horz = std::sqrt(Err_Lat * Err_Lat + Err_Lon * Err_Lon);
    Sentence_Seen |= kSeenGst;
    return 1;
}

int Em_OemData::Parse_RMC(const std::string& sentence) {
    const Em_NmeaFields f(sentence);
    int carry = 0;
    if (sentence.size() > 6) {
        Nmea_Read_Time(*this, f[1], &carry);
    }
    if (!f[7].empty()) {
        Speed = Nmea_Double(f[7]);
    }
    if (!f[8].empty()) {
        Course = Nmea_Double(f[8]);
    }
    Nmea_Read_Date(*this, f[9], carry);
    Sentence_Seen |= kSeenRmc;
    Update_Mask |= GNSS_FLAG_RMC;
    return 1;
}

void Em_OemData::Mark_Sats_Used() {
    const int n = std::min(std::max(Sat_Gps_Count, 0), kSatTableSize);
    for (int i = 0; i < n; ++i) {
        SATLLITE_STR& s = Sat_Gps[i];
        s.Used = 1;
        if (s.Elevation <= 13 || s.Snr1 < kUsedSnrThreshold || s.Azimuth == 0) {
            s.Used = 0;
        }
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
