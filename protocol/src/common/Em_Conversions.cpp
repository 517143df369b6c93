#include "Em_Conversions.h"

#include <cmath>

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {
const int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};
}  // namespace

void GpsWeekSec_To_Date(std::int32_t week, double seconds, std::int32_t* year, std::int32_t* month,
                        std::int32_t* day, std::int32_t* hour, std::int32_t* minute, double* sec) {
    if (year == nullptr) {
        return;
    }
    const double secOfDay = std::fmod(seconds, 86400.0);
    // The factor is multiplied, not divided, so results match the receivers' own rounding.
    const double mjd = static_cast<double>(week) * 7.0 + seconds * 1.1574074074074073e-05 + 44244.0;
    const long n = static_cast<long>(std::floor(mjd)) - 15385;
    const long r = ((n % 1461) + 1461) % 1461;
    const long y = r / 365 - r / 1460;
    const long yr = y + (n - r) / 1461 * 4 + 1901;
    const long d = r + 1 - y * 365;
    *year = static_cast<std::int32_t>(yr);

    if (hour != nullptr) {
        const int h = static_cast<int>(secOfDay * (1.0 / 3600.0));
        *hour = h;
        if (minute != nullptr) {
            const int m = static_cast<int>(secOfDay * (1.0 / 60.0) - h * 60.0);
            *minute = m;
            if (sec != nullptr) {
                *sec = secOfDay - h * 3600.0 - m * 60.0;
            }
        }
    }
    if (month != nullptr || day != nullptr) {
        const int* table = kDaysBeforeMonth[(yr % 4) == 0 ? 1 : 0];
        int m = static_cast<int>(static_cast<double>(d) * 0.032);
        if (m > 11) {
            m = 11;
        }
        const int k = (d - table[m + 1] > 0) ? 1 : 0;
        if (month != nullptr) {
            *month = m + k + 1;
        }
        if (day != nullptr) {
            *day = static_cast<std::int32_t>(d - table[m + k]);
        }
    }
}

Em_Xyz Blh_To_Xyz(double longitude, double latitude, double height) {
    const double a = 6378137.0;
    const double e2 = 0.0066943799901413165;
    const double sinLat = std::sin(latitude);
    const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
    Em_Xyz out;
    out.x = (n + height) * std::cos(longitude) * std::cos(latitude);
    out.y = (n + height) * std::sin(longitude) * std::cos(latitude);
    out.z = (n * 0.9933056200098587 + height) * sinLat;
    return out;
}

std::int32_t Frq_To_RateCode(std::int32_t frq) {
    switch (frq) {
        case 0:
            return 1;
        case 1:
            return 6;
        case 2:
            return 7;
        case 3:
            return 9;
        case 4:
            return 10;
        case 5:
            return 11;
        case 6:
            return 12;
        case 11:
            return 8;
        case 255:
            return 2;
        default:
            return 9;
    }
}

std::int32_t Baud_To_Code(std::uint32_t baud) {
    switch (baud) {
        case 2400:
            return 1;
        case 4800:
            return 2;
        case 14400:
            return 4;
        case 19200:
            return 5;
        case 38400:
            return 6;
        case 56000:
            return 7;
        case 57600:
            return 8;
        case 115200:
            return 9;
        case 128000:
            return 10;
        case 256000:
            return 11;
        case 512000:
            return 12;
        default:
            return 3;
    }
}

int Solution_Code_Of_Quality(char quality) {
    switch (quality) {
        case '0':
            return 3;  // no fix
        case '1':
            return 4;
        case '2':
            return 10;
        case '3':
        case '4':
            return 11;
        case '5':
            return 6;
        case '7':
            return 1;
        case '9':
            return 7;
        default:
            return 0;
    }
}

void Set_Solution_Type(Em_OemData* data, const std::string& quality) {
    if (data == nullptr || quality.empty() || quality[0] == '\0') {
        return;
    }
    data->Sol_Code = Solution_Code_Of_Quality(quality[0]);
    constexpr std::uint32_t kSolutionBit = 0x20000000u;
    data->Sentence_Seen |= kSolutionBit;
    if (data->Switch[4] != 0) {
        data->Update_Mask |= kSolutionBit;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
