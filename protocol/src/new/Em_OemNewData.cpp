#include "Em_OemNewData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Em_Conversions.h"
#include "Em_NewBytes.h"
#include "Em_NewItemTable.h"

namespace Brevan2011 {
namespace BVParse {

using namespace NewBytes;

namespace {

constexpr uint32_t kSolutionScaled = 11;  // errors of this solution are reported 5 times too big
constexpr double kErrorScale = 0.2;
constexpr size_t kSatTables = 5;
constexpr int kSatsPerTable = Em_OemData::kSatTableSize;
constexpr size_t kDataBlockMax = Em_OemData::kGgaTextSize;
constexpr uint32_t kSourceListMax = 4096;

// Text of n bytes into a field of size bytes, zero-filled after it.
void CopyText(char* field, size_t size, const uint8_t* src, size_t n) {
    std::memset(field, 0, size);
    std::memcpy(field, src, std::min(n, size));
}

}  // namespace

Em_OemNewData::Em_OemNewData() = default;
Em_OemNewData::~Em_OemNewData() = default;

int Em_OemNewData::Parse_Message(const unsigned char* frame, int id, int length) {
    if (length < 0 || id < 0 || id > 0xFFFF) {
        Update_Mask = 0;
        return 0;
    }
    return Decode_NewItem(frame, static_cast<uint16_t>(id), static_cast<uint32_t>(length));
}

int Em_OemNewData::Decode_NewItem(const uint8_t* value, uint16_t tag, uint32_t length) {
    Update_Mask = 0;
    if (value == nullptr) {
        return 0;
    }
    const NewTagInfo* info = Find_NewTag(tag);
    if (info == nullptr) {
        return 0;
    }
    switch (info->rule) {
        case NewLen::NotDecoded:
            return 0;
        case NewLen::Exact:
            if (length != info->len) {
                return 0;
            }
            break;
        case NewLen::AtLeast:
        case NewLen::Counted:
            // Counted items read their counts inside this minimum before trusting them.
            if (length < info->len) {
                return 0;
            }
            break;
        case NewLen::Any:
            break;
    }
    bool decoded = false;
    switch (tag >> 8) {
        case 0x03:
            decoded = Decode_Device(value, tag, length);
            break;
        case 0x04:
            decoded = Decode_Gnss(value, tag, length);
            break;
        case 0x07:
            decoded = Decode_Radio(value, tag, length);
            break;
        default:
            decoded = Decode_Other(value, tag, length);
            break;
    }
    if (!decoded) {
        Update_Mask = 0;
        return 0;
    }
    Update_Mask = info->bit;
    return 1;
}

bool Em_OemNewData::Decode_Device(const uint8_t* v, uint16_t tag, uint32_t length) {
    NewReceiverState& s = state;
    switch (tag) {
        case 0x0304:
            for (int i = 0; i < 3; ++i) {
                s.powerStatus.value[i] = Get32(v + 4 * i);
            }
            return true;
        case 0x0306: {
            QX_SYSTEM_HARDWARE_INFO_STRUCT& h = s.hardwareInfo;
            if (length == 36) {
                h = QX_SYSTEM_HARDWARE_INFO_STRUCT{};
                h.id = Get32(v);
                std::memcpy(h.text1, v + 4, 7);  // 8-byte text: 7 bytes and the 0
                std::memcpy(h.text2, v + 11, 13);
                for (int i = 0; i < 3; ++i) {
                    h.word[i] = Get32(v + 24 + 4 * i);
                }
                return true;
            }
            if (length == 64 || length == 68) {
                h.id = Get32(v);
                CopyText(h.text1, sizeof h.text1, v + 4, 24);
                h.text1[23] = 0;
                CopyText(h.text2, sizeof h.text2, v + 28, 24);
                h.text2[23] = 0;
                for (int i = 0; i < 3; ++i) {
                    h.word[i] = Get32(v + 52 + 4 * i);
                }
                h.word[3] = (length == 68) ? Get32(v + 64) : 0;
                return true;
            }
            return false;
        }
        case 0x0307:
            CopyText(s.firmwareInfo.text1, 50, v, 50);
            CopyText(s.firmwareInfo.text2, 50, v + 50, 50);
            return true;
        case 0x0308:
            return true;
        case 0x0309:
            std::memcpy(s.calibrationResult.quality, v, 3);
            return true;
        case 0x030C: {
            QX_GPSBOARD_INFO_STRUCT& b = s.gpsBoardInfo;
            b.v1 = Get16(v);
            b.v2 = Get16(v + 2);
            CopyText(b.text1, sizeof b.text1, v + 4, 12);
            b.v3 = Get16(v + 16);
            CopyText(b.text2, sizeof b.text2, v + 18, 20);
            return true;
        }
        case 0x030D:
            CopyText(s.btMac.mac, 20, v, 20);
            return true;
        case 0x030E:
            CopyText(s.wifiMac.mac, 20, v, 20);
            return true;
        default:
            return false;
    }
}

void Em_OemNewData::Store_DataBlock(const uint8_t* v, uint32_t length) {
    const uint32_t announced = Get32(v);
    if (announced == 0) {
        return;
    }
    const size_t n = std::min<size_t>({announced, kDataBlockMax, length - 4});
    std::memcpy(Gga_Text, v + 4, n);
    // The area has no byte beyond its 2,048: a full block is known by its length.
    if (n < kDataBlockMax) {
        Gga_Text[n] = 0;
    }
    Gga_Len = static_cast<int>(n);
}

void Em_OemNewData::Store_GpsTime(uint32_t week, double seconds) {
    state.gpsWeek = static_cast<uint16_t>(week);
    GpsWeekSec_To_Date(static_cast<int32_t>(week), seconds, &Year, &Month, &Day, &Hour, &Minute,
                       &Second);
}

void Em_OemNewData::Store_BaseInfo() {
    // The base information area holds the base position as three native doubles.
    const double position[3] = {state.baseSet.lat, state.baseSet.lon, state.baseSet.height};
    static_assert(sizeof position == sizeof Base_Info.Data, "three doubles fill the area");
    std::memcpy(Base_Info.Data, position, sizeof position);
}

void Em_OemNewData::Scale_Errors() {
    if (static_cast<uint32_t>(Sol_Code) == kSolutionScaled) {
        Err_Vert *= kErrorScale;
        Err_Horz *= kErrorScale;
        Err_Rms *= kErrorScale;
    }
}

bool Em_OemNewData::Store_Satellites(const uint8_t* v, uint32_t length) {
    uint32_t n = 0;
    for (int i = 0; i < 5; ++i) {
        n += v[i];
    }
    if (n == 0 || length != 8 + 9 * n) {
        return false;
    }
    state.satTotal = n;
    state.satUsed = 0;
    SATLLITE_STR* tables[kSatTables] = {Sat_Gps, Sat_Glo, Sat_Bds, Sat_Tab4, Sat_Tab5};
    int* counts[kSatTables] = {&Sat_Gps_Count, &Sat_Glo_Count, &Sat_Bds_Count, &Sat_Tab4_Count,
                               &Sat_Tab5_Count};
    for (size_t t = 0; t < kSatTables; ++t) {
        std::memset(tables[t], 0, sizeof(SATLLITE_STR) * kSatsPerTable);
        *counts[t] = 0;
    }
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* e = v + 8 + 9 * i;
        const uint8_t system = e[1];
        if (e[8] != 0) {
            ++state.satUsed;
        }
        if (system >= kSatTables || *counts[system] >= kSatsPerTable) {
            continue;
        }
        SATLLITE_STR& sat = tables[system][(*counts[system])++];
        sat.Prn = e[0];
        sat.Elevation = e[2];
        sat.Azimuth = static_cast<int16_t>(Get16(e + 3));
        sat.Snr1 = static_cast<float>(e[5]);
        sat.Snr2 = static_cast<float>(e[6]);
        sat.Snr3 = static_cast<float>(e[7]);
        sat.Used = e[8];
    }
    Sats_Used = static_cast<int32_t>(state.satUsed);
    state.systemsInView = 0;
    for (size_t t = 0; t < kSatTables; ++t) {
        if (*counts[t] != 0) {
            ++state.systemsInView;
        }
    }
    return true;
}

bool Em_OemNewData::Decode_Gnss(const uint8_t* v, uint16_t tag, uint32_t length) {
    NewReceiverState& s = state;
    switch (tag) {
        case 0x0405:
            s.diffType = Get16(v);
            return true;
        case 0x0406:
        case 0x0407:
        case 0x0408:
        case 0x0409:
            Store_DataBlock(v, length);
            return true;
        case 0x040A:
            Latitude = GetDouble(v);
            Longitude = GetDouble(v + 8);
            Height = GetDouble(v + 16);
            Sol_Code = static_cast<int32_t>(Get32(v + 24));
            return true;
        case 0x040B:
            Store_GpsTime(Get32(v), Get32(v + 4));
            return true;
        case 0x040C:
            Pdop = GetFloat(v);
            Hdop = GetFloat(v + 4);
            Vdop = GetFloat(v + 8);
            Tdop = GetFloat(v + 12);
            Gdop = std::sqrt(Pdop * Pdop + Tdop * Tdop);
            return true;
        case 0x040D:
            return Store_Satellites(v, length);
        case 0x040E:
            Err_Vert = GetDouble(v);
            Err_Horz = GetDouble(v + 8);
            Err_Rms = GetDouble(v + 16);
            Scale_Errors();
            return true;
        case 0x040F:
            s.baseSet.lat = GetDouble(v);
            s.baseSet.lon = GetDouble(v + 8);
            s.baseSet.height = GetDouble(v + 16);
            Store_BaseInfo();
            return true;
        case 0x0410:
            Latitude = GetDouble(v);
            Longitude = GetDouble(v + 8);
            Height = GetDouble(v + 16);
            Sol_Code = static_cast<int32_t>(Get32(v + 24));
            Store_GpsTime(Get32(v + 28), Get32(v + 32));
            Err_Vert = GetDouble(v + 36);
            Err_Horz = GetDouble(v + 44);
            Err_Rms = GetDouble(v + 52);
            Scale_Errors();
            Diff_Age = static_cast<double>(Get32(v + 60));
            return true;
        case 0x0411: {
            QX_GNSS_EBUBBLE_STRUCT& b = s.eBubble;
            b.state = v[0];
            b.v1 = Get32(v + 1);
            b.v2 = Get16(v + 5);
            b.v3 = Get16(v + 7);
            b.v4 = Get16(v + 9);
            b.v5 = Get32(v + 11);
            b.v6 = Get32(v + 15);
            b.v7 = static_cast<int32_t>(Get32(v + 19));
            b.v8 = static_cast<int32_t>(Get32(v + 23));
            return true;
        }
        case 0x041B:
            s.magnetic.state = v[0];
            for (int i = 0; i < 6; ++i) {
                s.magnetic.axis[i] = static_cast<int16_t>(Get16(v + 1 + 2 * i));
            }
            s.magnetic.quality = v[13];
            return true;
        case 0x0425: {
            QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT& c = s.headingCalibration;
            c.state = v[0];
            c.s1 = static_cast<int8_t>(v[1]);
            c.s2 = static_cast<int8_t>(v[2]);
            c.s3 = static_cast<int8_t>(v[3]);
            c.s4 = static_cast<int8_t>(v[4]);
            c.count = Get16(v + 5);
            c.s5 = static_cast<int8_t>(v[7]);
            c.s6 = static_cast<int8_t>(v[8]);
            c.s7 = static_cast<int8_t>(v[9]);
            c.b1 = v[10];
            c.b2 = v[11];
            c.b3 = v[12];
            return true;
        }
        case 0x0426:
            s.tiltCalibration.state = v[0];
            s.tiltCalibration.x = static_cast<int8_t>(v[1]);
            s.tiltCalibration.y = static_cast<int8_t>(v[2]);
            s.tiltCalibration.quality = v[3];
            return true;
        case 0x0450:
            s.pdopMask = v[0];
            return true;
        case 0x0451:
            Status_Word = v[0];
            return true;
        case 0x0452:
            s.baseSet.mode = Get16(v);
            s.baseSet.lat = GetDouble(v + 2);
            s.baseSet.lon = GetDouble(v + 10);
            s.baseSet.height = GetDouble(v + 18);
            Store_BaseInfo();
            return true;
        case 0x0455:
            for (int i = 0; i < 5; ++i) {
                s.satEnable.enable[i] = Get32(v + 4 * i);
            }
            return true;
        case 0x0456:
            s.configList.count = Get16(v);
            for (int i = 0; i < 44; ++i) {
                s.configList.entries[i] = Get16(v + 2 + 2 * i);
            }
            return true;
        case 0x0457: {
            const uint8_t limit = v[8];
            const uint8_t c = v[9];
            if (limit < c || length != 10u + 20u * c) {
                return false;
            }
            BASE_POS_LIST_STRUCT& list = s.basePositions;
            list.list.clear();
            list.value = GetDouble(v);
            list.limit = limit;
            for (uint32_t i = 0; i < c; ++i) {
                const uint8_t* e = v + 10 + 20 * i;
                list.list.push_back({GetDouble(e), GetDouble(e + 8), Get32(e + 16)});
            }
            return true;
        }
        case 0x0459: {
            const size_t n = Get16(v);
            if (length != 2 + 6 * n) {
                return false;
            }
            s.subscriptions.clear();
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* e = v + 2 + 6 * i;
                s.subscriptions.push_back({Get16(e), Get32(e + 2)});
            }
            return true;
        }
        case 0x045A: {
            const size_t n = Get16(v + 2);
            if (length != 4 * (n + 1)) {
                return false;
            }
            s.configListEx.first = Get16(v);
            s.configListEx.list.clear();
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* e = v + 4 + 4 * i;
                s.configListEx.list.push_back({Get16(e), Get16(e + 2)});
            }
            return true;
        }
        default:
            return false;
    }
}

bool Em_OemNewData::Decode_Radio(const uint8_t* v, uint16_t tag, uint32_t length) {
    NewReceiverState& s = state;
    switch (tag) {
        case 0x0703:
            s.radioFrequency = Get32(v);
            return true;
        case 0x0704:
            s.radioPower = Get32(v);
            return true;
        case 0x0709:
            s.radioStepper = Get32(v);
            return true;
        case 0x070B:
            s.radioAirBaud = Get32(v);
            return true;
        case 0x070C:
            s.radioProtocol = Get16(v);
            return true;
        case 0x070D: {
            QX_RADIO_INFOLIST_STRUCT& r = s.radioInfo;
            r.v1 = Get16(v);
            r.v2 = Get16(v + 2);
            r.v3 = Get32(v + 4);
            r.v4 = Get32(v + 8);
            r.v5 = Get16(v + 12);
            r.v6 = Get32(v + 14);
            r.v7 = Get32(v + 18);
            r.v8 = Get32(v + 22);
            return true;
        }
        case 0x0710:
            s.radioAutoPowerOn = v[0];
            return true;
        case 0x0711:
            s.radioModuleType = Get16(v);
            return true;
        case 0x0712:
            s.radioPowerStatus = Get16(v);
            return true;
        case 0x0713:
            for (int i = 0; i < 10; ++i) {
                s.radioChannels.channel[i] = Get32(v + 4 * i);
            }
            return true;
        case 0x0714: {
            QX_RADIO_PROPERTY_EX_STRUCT& p = s.radioProperty;
            p.v1 = Get32(v);
            p.b1 = v[4];
            p.b2 = v[5];
            p.v2 = Get32(v + 6);
            std::memcpy(p.text, v + 10, 16);
            return true;
        }
        case 0x0715: {
            const uint64_t a = Get32(v);
            const uint64_t b = Get32(v + 4);
            const uint64_t c = Get32(v + 8);
            // In 64 bits: three 32-bit counts times 5 cannot wrap here.
            if (length != 12 + 5 * (a + b + c)) {
                return false;
            }
            std::vector<QX_RADIO_CHANNEL_ENTRY>* lists[3] = {
                &s.radioChannelsEx.list1, &s.radioChannelsEx.list2, &s.radioChannelsEx.list3};
            const uint64_t counts[3] = {a, b, c};
            const uint8_t* e = v + 12;
            for (int l = 0; l < 3; ++l) {
                lists[l]->clear();
                for (uint64_t i = 0; i < counts[l]; ++i, e += 5) {
                    // Kept with the second 16-bit value in the low half.
                    const uint32_t value = (static_cast<uint32_t>(Get16(e)) << 16) | Get16(e + 2);
                    lists[l]->push_back({value, e[4]});
                }
            }
            return true;
        }
        case 0x0716:
            s.radioSensitivity = v[0];
            return true;
        case 0x0717:
            s.radioFec = v[0];
            return true;
        case 0x0718:
            s.radioCallsign.b1 = v[0];
            s.radioCallsign.b2 = v[1];
            std::memcpy(s.radioCallsign.text, v + 2, 17);
            s.radioCallsignLength = static_cast<uint8_t>(std::find(v + 2, v + 19, 0) - (v + 2));
            return true;
        default:
            return false;
    }
}

bool Em_OemNewData::Decode_Other(const uint8_t* v, uint16_t tag, uint32_t length) {
    NewReceiverState& s = state;
    switch (tag) {
        case 0x0002:
            s.responseStatus = Get16(v);
            return true;
        case 0x0103:
            s.baudCode = Get16(v);
            return true;
        case 0x0104:
            s.baudCompanion = Get16(v);
            return true;
        case 0x0A03:
            CopyText(s.wifiAp.ssid, 20, v, 20);
            s.wifiAp.value = Get16(v + 20);
            CopyText(s.wifiAp.password, 20, v + 22, 20);
            return true;
        case 0x0A04:
            s.wifiMode = Get16(v);
            return true;
        case 0x0A07:
            s.wifiAutoOpen = v[0];
            return true;
        case 0x0A08:
            s.wifiPowerStatus = Get16(v);
            return true;
        case 0x0A09:
            s.wifiShare = v[0];
            return true;
        case 0x0A0A:
            s.wifiShareAuto = v[0];
            return true;
        case 0x0B05:
            s.recordAutoOpen = v[0];
            return true;
        case 0x0B06: {
            QX_FILE_RECORD_CONFIG_STRUCT& r = s.recordConfig;
            CopyText(r.name, 20, v, 20);
            r.b1 = v[20];
            r.v1 = Get32(v + 21);
            r.v2 = Get32(v + 25);
            r.v3 = Get32(v + 29);
            r.b2 = v[33];
            r.b3 = v[34];
            r.b4 = v[35];
            r.v4 = Get16(v + 36);
            r.b5 = v[38];
            r.v5 = Get32(v + 39);
            return true;
        }
        case 0x0B07:
            s.recordStatus = Get16(v);
            return true;
        case 0x1102:
            s.netValue = Get32(v);
            return true;
        case 0x1103:
            s.netAddress.address = Get32(v);
            s.netAddress.port = Get16(v + 4);
            s.netAddress.flag = v[6];
            CopyText(s.netAddress.name, 50, v + 7, 50);
            return true;
        case 0x1104:
            s.netServerType = Get16(v);
            return true;
        case 0x1105:
            s.netStatus.status = Get16(v);
            s.netStatus.value = Get32(v + 2);
            s.netStatus.code = Get16(v + 6);
            return true;
        case 0x1106: {
            const uint32_t n = std::min({Get32(v), kSourceListMax, length - 4});
            s.netSourceCount = n;
            std::memcpy(s.netSourceList, v + 4, n);
            return true;
        }
        case 0x1109:
            s.netAutoOpen = v[0];
            return true;
        case 0x110A:
            CopyText(s.netDataSource.source, 20, v, 20);
            return true;
        case 0x110B:
            CopyText(s.netAccount.user, 50, v, 50);
            CopyText(s.netAccount.password, 20, v + 50, 20);
            return true;
        case 0x1403:
            for (int i = 0; i < 5; ++i) {
                CopyText(s.modemDial.text[i], 20, v + 20 * i, 20);
            }
            return true;
        case 0x1404:
            s.modemDialStatus.status = Get16(v);
            s.modemDialStatus.value = Get32(v + 2);
            s.modemDialStatus.code = Get16(v + 6);
            return true;
        case 0x1409:
            s.modemAutoDial = v[0];
            return true;
        case 0x140A:
            s.modemAutoPowerOn = v[0];
            return true;
        case 0x140B:
            s.modemPowerStatus = Get16(v);
            return true;
        case 0x140C:
            s.modemSignal.intensity = Get32(v);
            s.modemSignal.level = v[4];
            return true;
        case 0x140D:
            s.modemBandMode = Get16(v);
            return true;
        case 0x140E:
            s.modemWorkMode = Get16(v);
            return true;
        case 0x140F:
            CopyText(s.modemCsd.number, 20, v, 20);
            s.modemCsd.number[19] = 0;
            s.modemCsd.mode = v[20];
            return true;
        case 0x1410:
            s.modemCsdStatus.status = Get16(v);
            s.modemCsdStatus.value = Get32(v + 2);
            s.modemCsdStatus.code = Get16(v + 6);
            return true;
        case 0x1503:
            s.dataLinkMode = Get16(v);
            return true;
        case 0x1504:
            return true;  // accepted; the bytes are not kept
        default:
            return false;
    }
}

int Em_OemNewData::Store_NewGgaText(const char* text, uint16_t tag, uint32_t length) {
    if (tag != kGgaTag) {
        return 0;
    }
    Update_Mask |= 0x1;
    const size_t n = (text == nullptr) ? 0 : std::min<size_t>(length, kSentenceMax);
    if (n != 0) {
        std::memcpy(sentence, text, n);
    }
    sentence[n] = 0;
    sentenceLength = static_cast<uint32_t>(n);
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
