#include "Em_OemHemisphere2Data.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "Em_ByteFields.h"
#include "Em_Conversions.h"
#include "Em_HemisphereFrames.h"
#include "Em_NmeaFields.h"
#include "Em_NmeaSentenceReaders.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr int kBlock3Data = 92;
constexpr uint32_t kEpoch = HEMI2_FLAG_GGA | HEMI2_FLAG_QUALITY | HEMI2_FLAG_TIME;

// A decimal field of a reply; false when it is empty or not a number.
bool Reply_Number(std::string_view s, double* out) {
    s = Nmea_Number_Text(s);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
    return r.ec == std::errc() && r.ptr != s.data() && std::isfinite(*out);
}

}  // namespace

Em_OemHemisphere2Data::Em_OemHemisphere2Data() = default;

int Em_OemHemisphere2Data::Parse_Message(const unsigned char* frame, int id, int length) {
    if (frame == nullptr || id == 0 || length == 0) {
        return 0;
    }
    Update_Mask = 0;
    if (id != 3 || length < 12) {
        return 1;
    }
    const int len = Le_U16(frame + 6);
    if (len > length - 12 || len < kBlock3Data) {
        return 1;
    }
    const unsigned char* d = frame + 8;
    const double tow = Le_F64(d);
    Gps_Seconds = (std::isfinite(tow) && std::fabs(tow) < 1e9) ? std::trunc(tow) : 0.0;
    Gps_Week = Le_U16(d + 8);
    Hdop = Le_F32(d + 80);
    Vdop = Le_F32(d + 84);
    Tdop = Le_F32(d + 88);
    Pdop = std::sqrt(Hdop * Hdop + Vdop * Vdop);
    Gdop = std::sqrt(Pdop * Pdop + Tdop * Tdop);
    Update_Mask |= GNSS_FLAG_DOPS;
    return 1;
}

int Em_OemHemisphere2Data::Parse_GGA(const std::string& sentence) {
    const Em_NmeaFields f(sentence);
    Nmea_Read_Gga_Fix(*this, f);
    double height = 0.0;
    if (!f[9].empty()) {
        height += Nmea_Double(f[9]);
    }
    if (!f[11].empty()) {
        height += Nmea_Double(f[11]);
    }
    Height = height;
    Diff_Age = f[13].empty() ? -1.0 : Nmea_Double(f[13]);
    Pending |= HEMI2_FLAG_GGA;
    if (Parse_Nmea) {
        Update_Mask |= HEMI2_FLAG_GGA;
    }
    Nmea_Keep_Gga_Text(*this, sentence);
    return 1;
}

int Em_OemHemisphere2Data::Set_Fix_Quality(const std::string& field) {
    if (field.empty()) {
        return 0;
    }
    Sol_Code = Solution_Code_Of_Quality(field[0]);
    Pending |= HEMI2_FLAG_QUALITY;
    if (Parse_Nmea) {
        Update_Mask |= HEMI2_FLAG_QUALITY;
    }
    return 1;
}

int Em_OemHemisphere2Data::Parse_RMC(const std::string& sentence) {
    const Em_NmeaFields f(sentence);
    int carry = 0;
    const bool timeValid = Nmea_Read_Time(*this, f[1], &carry);
    if (!f[7].empty()) {
        Speed = Nmea_Double(f[7]);
    }
    if (!f[8].empty()) {
        Course = Nmea_Double(f[8]) * kDegToRad;
    }
    const bool date = Nmea_Read_Date(*this, f[9], carry);
    if (Parse_Nmea && timeValid && date) {
        Pending |= HEMI2_FLAG_TIME;
        Update_Mask |= HEMI2_FLAG_TIME;
    }
    return 1;
}

int Em_OemHemisphere2Data::Parse_GST(const std::string& sentence) {
    if (sentence.size() <= 6) {
        return 0;
    }
    const Em_NmeaFields f(sentence);
    Err_Rms = Nmea_Double(f[2]);
    Err_Lat = Nmea_Double(f[6]);
    Err_Lon = Nmea_Double(f[7]);
    Err_Vert = Nmea_Double(f[8]);
    Err_Horz = std::sqrt(Err_Lat * Err_Lat + Err_Lon * Err_Lon);
    if (Sol_Code == 11) {
        Err_Horz *= 0.3;
        Err_Vert *= 0.3;
        Err_Rms *= 0.3;
    }
    if (Parse_Nmea) {
        Update_Mask |= GNSS_FLAG_EPOCH_GST;
        if ((Pending & kEpoch) == kEpoch) {
            Update_Mask |= GNSS_FLAG_POSITION;
            Pending = 0;
        }
    }
    return 1;
}

bool Em_OemHemisphere2Data::Parse_Reply(std::string_view line) {
    const std::size_t cr = line.find('\r');
    if (cr != std::string_view::npos) {
        line = line.substr(0, cr);
    }
    Update_Mask = 0;
    if (line.find("JRTK") != std::string_view::npos) {
        std::vector<std::string_view> fields;
        for (std::size_t at = line.find(','); at != std::string_view::npos;) {
            const std::size_t next = line.find(',', at + 1);
            fields.push_back(line.substr(
                at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1));
            at = next;
        }
        double code = 0, lat = 0, lon = 0, h = 0;
        if (fields.size() < 4 || !Reply_Number(fields[0], &code) || code != 17.0 ||
            !Reply_Number(fields[1], &lat) || !Reply_Number(fields[2], &lon) ||
            !Reply_Number(fields[3], &h)) {
            return false;
        }
        if (lat < -90.0 || lat > 90.0 || lon < -180.0 || lon > 180.0) {
            return false;
        }
        const Em_Xyz xyz = Blh_To_Xyz(lon * kDegToRad, lat * kDegToRad, h);
        Ref_X = xyz.x;
        Ref_Y = xyz.y;
        Ref_Z = xyz.z;
        Update_Mask |= HEMI2_FLAG_BASE;
        return true;
    }
    if (line.find("JSHOW") != std::string_view::npos &&
        line.find("MASK") != std::string_view::npos) {
        const std::size_t comma = line.rfind(',');
        double v = 0;
        if (comma == std::string_view::npos || !Reply_Number(line.substr(comma + 1), &v) || v < 0 ||
            v > 90) {
            return false;
        }
        Status_Word = static_cast<int32_t>(v);
        Update_Mask |= GNSS_FLAG_ELEV_MASK;
        return true;
    }
    return false;
}

}  // namespace BVParse
}  // namespace Brevan2011
