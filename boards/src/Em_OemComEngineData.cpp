#include "Em_OemComEngineData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "BVParse/Em_GnssTime.h"
#include "Em_NovatelFields.h"

namespace Brevan2011 {
namespace BVParse {

using namespace Novatel;

namespace {

constexpr double kPi = 3.1415926535897932;
constexpr int kHeader = 28;
constexpr int kRawEphBody = 102;
constexpr int kAuxBody = 28;
constexpr int kSatListMax = 24;
constexpr int kSatListEntry = 12;
constexpr int kObsEntry = 22;

constexpr double P2_5 = 0.03125;
constexpr double P2_19 = 1.9073486328125e-06;
constexpr double P2_29 = 1.862645149230957e-09;
constexpr double P2_31 = 4.656612873077393e-10;
constexpr double P2_33 = 1.164153218269348e-10;
constexpr double P2_43 = 1.136868377216160e-13;
constexpr double P2_55 = 2.775557561562891e-17;

const uint16_t kUra[16] = {2, 3, 4, 6, 8, 12, 20, 36, 72, 150, 300, 600, 1200, 2200, 4500, 9000};

// The full week of a 10-bit broadcast week: the one nearest the log's own week.
int32_t Resolve_Week(int week10, int reference) {
    if (reference < 1024) {
        return Adjust_Gps_Week(week10);
    }
    const int k = static_cast<int>(std::lround((reference - week10) / 1024.0));
    return week10 + 1024 * k;
}

}  // namespace

Em_OemComEngineData::Em_OemComEngineData() : m_sink(new Em_OemComEngineSink) {}

Em_OemComEngineData::~Em_OemComEngineData() {
    Stop_Engine();
}

void Em_OemComEngineData::Stop_Engine() {
    if (m_engine != nullptr) {
        m_engine->Stop(0);
        m_engine->Release();
        m_engine = nullptr;
    }
    m_loader.Unload();
}

int Em_OemComEngineData::Start_Engine() {
    if (m_engine != nullptr) {
        m_engine->Restart(0, 3);
        return 0;
    }
    m_engine = m_loader.Create();
    if (m_engine == nullptr) {
        return 0;
    }
    unsigned char channels[8 * 64] = {};
    int count = 0;
    m_engine->Open(channels, 8, &count);
    if (count < 1) {
        Stop_Engine();
        return 0;
    }
    m_engine->Set_Solution_Sink(m_sink.get());
    int out = 0;
    Engine_Station base{};
    base.Mode = 0;
    std::memcpy(base.Name, "Base", 5);
    m_engine->Put_Station(base, &out);
    Engine_Station rover{};
    rover.Mode = 1;
    std::memcpy(rover.Name, "Rover", 6);
    m_engine->Put_Station(rover, &out);
    Engine_Parameters params{};
    params.Words[1] = 5;
    params.Words[2] = 1;
    params.Words[4] = 1000;
    params.Words[9] = 10;
    params.Words[11] = 1;
    params.Words[17] = 1;
    m_engine->Put_Parameters(params, &out);
    m_engine->Start();
    return 1;
}

int Em_OemComEngineData::Parse_Message(const unsigned char* frame, int id, int length) {
    if (frame == nullptr || id == 0 || length == 0) {
        return 0;
    }
    Update_Mask = 0;
    if (length < kHeader + 4 || frame[3] < kHeader) {
        return 1;
    }
    const int headerLen = frame[3];
    const int bodyLen = std::min<int>(U16(frame + 8), length - headerLen - 4);
    if (bodyLen < 0) {
        return 1;
    }
    const unsigned char* body = frame + headerLen;
    switch (id) {
        case 37:
        case 175:
            Em_OemNovatelData::Parse_Message(frame, id, length);
            if (id == 175 && bodyLen >= 41) {
                std::memcpy(Ref_Raw, frame, sizeof Ref_Raw);
            }
            break;
        case 42:
            Em_OemNovatelData::Parse_Message(frame, id, length);
            if (Update_Mask != 0) {
                Height = F64(Pos_Body + 24);  // mean sea level, as the engine works
            }
            break;
        case 174:
            Em_OemNovatelData::Parse_Message(frame, id, length);
            if (Update_Mask != 0) {
                const double cutoff = F32(Dop_Body + 20) * 180.0 / kPi;
                Status_Word = (cutoff > 0.0 && cutoff < 90.5) ? static_cast<int32_t>(cutoff) : 0;
            }
            break;
        case 41:
            Raw_Ephemeris(frame, body, bodyLen);
            break;
        case 911:
            Satellite_List(body, bodyLen);
            break;
        case 912:
            Compact_Observations(frame, body, bodyLen);
            break;
        case 913:
            Auxiliary(body, bodyLen);
            break;
        default:
            break;
    }
    return 1;
}

void Em_OemComEngineData::Raw_Ephemeris(const unsigned char* frame, const unsigned char* body,
                                        int bodyLen) {
    if (bodyLen < kRawEphBody) {
        return;
    }
    const uint32_t sat = U32(body);
    if (sat < 1 || sat > 62) {
        return;
    }
    const unsigned char* s1 = body + 12;
    const unsigned char* s2 = s1 + kSubframeBytes;
    const unsigned char* s3 = s2 + kSubframeBytes;
    Engine_Ephemeris e{};
    e.Sat = static_cast<int32_t>(sat);
    e.Week = Resolve_Week(static_cast<int>(Get_Bits_U(s1, 48, 10)), U16(frame + 14));
    e.Ura = kUra[Get_Bits_U(s1, 60, 4) & 15];
    e.Health = static_cast<int32_t>(Get_Bits_U(s1, 64, 6));
    const unsigned iodc0 = Get_Bits_U(s1, 70, 2);
    e.Iodc = static_cast<uint16_t>((iodc0 << 8) | Get_Bits_U(s1, 168, 8));
    e.Toc = Get_Bits_U(s1, 176, 16) * 16.0;
    e.Clock_Drift_Rate = Get_Bits_S(s1, 192, 8) * P2_55;
    e.Clock_Drift = Get_Bits_S(s1, 200, 16) * P2_43;
    e.Clock_Bias = Get_Bits_S(s1, 216, 22) * P2_31;

    e.Iode = static_cast<uint8_t>(Get_Bits_U(s2, 48, 8));
    e.Crs = Get_Bits_S(s2, 56, 16) * P2_5;
    e.Delta_N = Get_Bits_S(s2, 72, 16) * P2_43 * kPi;
    e.M0 = Get_Bits_S(s2, 88, 32) * P2_31 * kPi;
    e.Cuc = Get_Bits_S(s2, 120, 16) * P2_29;
    e.Eccentricity = Get_Bits_U(s2, 136, 32) * P2_33;
    e.Cus = Get_Bits_S(s2, 168, 16) * P2_29;
    e.Sqrt_A = Get_Bits_U(s2, 184, 32) * P2_19;
    e.Toe = Get_Bits_U(s2, 216, 16) * 16.0;

    e.Cic = Get_Bits_S(s3, 48, 16) * P2_29;
    e.Omega0 = Get_Bits_S(s3, 64, 32) * P2_31 * kPi;
    e.Cis = Get_Bits_S(s3, 96, 16) * P2_29;
    e.I0 = Get_Bits_S(s3, 112, 32) * P2_31 * kPi;
    e.Crc = Get_Bits_S(s3, 144, 16) * P2_5;
    e.Omega = Get_Bits_S(s3, 160, 32) * P2_31 * kPi;
    e.Omega_Dot = Get_Bits_S(s3, 192, 24) * P2_43 * kPi;
    e.I_Dot = Get_Bits_S(s3, 224, 14) * P2_43 * kPi;

    e.Zero = 0;
    e.Valid = (e.Sqrt_A < 1000.0 || e.Sqrt_A > 8000.0) ? 0 : 1;
    Last_Ephemeris = e;
    if (m_engine != nullptr) {
        int out = 0;
        m_engine->Put_Ephemeris(e, &out);
    }
}

void Em_OemComEngineData::Satellite_List(const unsigned char* body, int bodyLen) {
    if (bodyLen < 1) {
        return;
    }
    const int count = body[0];
    if (count > kSatListMax || bodyLen < 6 + kSatListEntry * count) {
        return;
    }
    int gps = 0;
    int bds = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = body + 6 + i * kSatListEntry;
        const int number = e[0];
        SATLLITE_STR* s = nullptr;
        if (number >= 1 && number <= 32) {
            s = &Sat_Gps[gps++];
            std::memset(s, 0, sizeof *s);
            s->Prn = number;
        } else if (number >= 141 && number <= 170) {
            s = &Sat_Bds[bds++];
            std::memset(s, 0, sizeof *s);
            s->Prn = number - 140;
        } else {
            continue;
        }
        s->Azimuth = static_cast<int16_t>(U16(e + 1));
        s->Elevation = e[3];
        s->Used = e[4];
        s->Snr1 = e[5];
        s->Snr2 = e[9];
    }
    Sat_Gps_Count = gps;
    Sat_Bds_Count = bds;
    Sat_Glo_Count = 0;
    if (gps > 0) {
        Update_Mask |= GNSS_FLAG_SAT_1;
    }
    if (bds > 0) {
        Update_Mask |= GNSS_FLAG_SAT_3;
    }
}

void Em_OemComEngineData::Compact_Observations(const unsigned char* frame,
                                               const unsigned char* body, int bodyLen) {
    if (bodyLen < 16) {
        return;
    }
    const int count = body[0];
    Engine_Observation& o = Last_Observation;
    if (count > Engine_Observation::kMaxSats) {
        o.Count = 0;
        return;
    }
    if (bodyLen < 16 + kObsEntry * count) {
        return;
    }
    o = Engine_Observation{};
    o.Week = U16(frame + 14);
    o.Millisecond = U32(frame + 16);
    o.Seconds = o.Millisecond * 0.001;
    std::memcpy(o.Head, body + 1, 5);
    o.Clock = I32(body + 6) * 1e-7;
    o.Word = U32(body + 12);
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = body + 16 + i * kObsEntry;
        const int sat = e[0];
        if (sat < 1 || sat > 62 || e[4] == 0) {
            continue;
        }
        Engine_Obs_Sat& s = o.Sats[o.Count++];
        s.Sat = sat;
        s.Elevation = e[1];
        s.Azimuth = U16(e + 2);
        s.Snr1 = e[5];
        s.Status1 = e[13];
        s.Snr2 = e[15];
        s.Status2 = e[21];
        const double r = I32(e + 6) * 0.125 * 0.1902936727984;
        const int f1 = static_cast<int16_t>(U16(e + 10));
        s.P1 = -r;
        s.L1 = f1 != 0 ? -(f1 / 256.0 + r * 5.255035468569757) : 0.0;
        if (e[14] != 0) {
            const int d = static_cast<int16_t>(U16(e + 16));
            const int f2 = static_cast<int16_t>(U16(e + 18));
            s.P2 = -(r + d * 0.0237867090998);
            s.L2 = f2 != 0 ? -(f2 / 256.0 + r * 4.094832832651982) : 0.0;
        }
    }
    const int n = std::min(o.Count, static_cast<int32_t>(kSatTableSize));
    for (int i = 0; i < n; ++i) {
        SATLLITE_STR& t = Sat_Gps[i];
        std::memset(&t, 0, sizeof t);
        t.Prn = o.Sats[i].Sat;
        t.Elevation = o.Sats[i].Elevation;
        t.Azimuth = static_cast<int16_t>(o.Sats[i].Azimuth);
        t.Snr1 = o.Sats[i].Snr1;
        t.Snr2 = o.Sats[i].Snr2;
    }
    Sat_Gps_Count = n;
    if (m_engine != nullptr) {
        int out = 0;
        m_engine->Put_Observation(o, &out);
    }
}

void Em_OemComEngineData::Auxiliary(const unsigned char* body, int bodyLen) {
    if (bodyLen < kAuxBody) {
        return;
    }
    Last_Auxiliary.Value = U32(body);
    std::memcpy(Last_Auxiliary.Bytes, body + 4, sizeof Last_Auxiliary.Bytes);
    if (m_engine != nullptr) {
        int out = 0;
        m_engine->Put_Auxiliary(Last_Auxiliary, &out);
    }
}

bool Em_OemComEngineData::Apply_Pending_Solution() {
    Engine_Solution s;
    if (!m_sink->Take(&s)) {
        return false;
    }
    Apply_Solution(s);
    return true;
}

void Em_OemComEngineData::Apply_Solution(const Engine_Solution& s) {
    std::memcpy(Solution_Store, reinterpret_cast<const unsigned char*>(&s) + 88,
                sizeof Solution_Store);
    auto root = [](double v) { return (std::isfinite(v) && v > 0.0) ? std::sqrt(v) : 0.0; };
    if (std::isfinite(s.Latitude) && std::isfinite(s.Longitude) && std::isfinite(s.Height)) {
        const double undulation = F32(Pos_Body + 32);
        Latitude = s.Latitude;
        Longitude = s.Longitude;
        Height = s.Height - undulation;
        // The position store keeps degrees and the height above mean sea level.
        const double deg[3] = {s.Latitude * 180.0 / kPi, s.Longitude * 180.0 / kPi, Height};
        for (int i = 0; i < 3; ++i) {
            uint64_t u;
            std::memcpy(&u, &deg[i], sizeof u);
            for (int k = 0; k < 8; ++k) {
                Pos_Body[8 + 8 * i + k] = static_cast<unsigned char>(u >> (8 * k));
            }
        }
    }
    Err_Lat = static_cast<float>(root(s.Var_Lat));
    Err_Lon = static_cast<float>(root(s.Var_Lon));
    Err_Vert = static_cast<float>(root(s.Var_Height));
    if (std::isfinite(s.Seconds) && s.Seconds >= 0.0 && s.Seconds < 604800.0) {
        const uint32_t ms = static_cast<uint32_t>(s.Seconds * 1000.0);
        const unsigned char le[4] = {
            static_cast<unsigned char>(ms), static_cast<unsigned char>(ms >> 8),
            static_cast<unsigned char>(ms >> 16), static_cast<unsigned char>(ms >> 24)};
        std::memcpy(Pos_Header + 16, le, sizeof le);
        Gps_Seconds = std::floor(s.Seconds);
    }
    Horz_Accuracy = s.Horz_Accuracy;
    auto set_type = [this](uint32_t type) {
        const unsigned char le[4] = {static_cast<unsigned char>(type), 0, 0, 0};
        std::memcpy(Pos_Body + 4, le, sizeof le);
    };
    switch (s.Type) {
        case 0:
            break;
        case 1:
            set_type(16);
            Sol_Code = 4;
            break;
        case 2:
            set_type(16);
            break;
        case 3:
            set_type(4);
            Sol_Code = 6;
            break;
        case 4:
            set_type(50);
            Sol_Code = 11;
            break;
        case 5:
            set_type(50);
            break;
        default:
            set_type(0);
            Sol_Code = 0;
            break;
    }
    Update_Mask |= ENGINE_FLAG_SOLUTION;
}

}  // namespace BVParse
}  // namespace Brevan2011
