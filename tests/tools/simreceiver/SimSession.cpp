#include "SimSession.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <gtest/gtest.h>

#include "BVComm/PortPaths.h"
#include "BVParse/Em_Gnss.h"

namespace varnok_test {

namespace BV = Brevan2011::BVParse;
using Brevan2011::BVDevice::EmGnss_Receiver;

namespace {

constexpr int kSerialCom = 41;
constexpr int kBluetoothCom = 42;

std::string Text(const char* field, std::size_t size) {
    std::size_t n = 0;
    while (n < size && field[n] != '\0') {
        ++n;
    }
    return std::string(field, n);
}

// Reads the values of the set bits the way the program's handlers do.
void Copy(EmGnss_Receiver& s, Reported& r) {
    if (r.category == 4) {
        if (r.flags & 0x80000000u) {
            BV::QX_RESPONSE_STATUS_ENUM status{};
            unsigned id = 0;
            s.Get_Cmd_Setting_Response(status, id);
            r.numbers["response_status"] = status;
            r.numbers["response_id"] = static_cast<long>(id);
        }
        if (r.flags & 0x1u) {
            r.numbers["battery_grade"] = s.Get_Battery_Grd();
        }
        if (r.flags & 0x2u) {
            BV::QX_SYSTEM_HARDWARE_INFO_STRUCT h{};
            s.Get_System_Hardware_Info(h);
            r.texts["serial"] = Text(h.text1, sizeof h.text1);
            r.texts["model"] = Text(h.text2, sizeof h.text2);
            r.numbers["hardware_kind"] = static_cast<long>(h.word[1]);
        }
        if (r.flags & 0x80u) {
            BV::QX_COM_BAUD_ENUM baud{};
            s.Get_Com_Baudrate(baud);
            r.numbers["com_baud"] = baud;
        }
        if (r.flags & 0x4u) {
            BV::QX_SYSTEM_FIRMWARE_VERSION_STRUCT f{};
            s.Get_System_Firmware_Info(f);
            r.texts["firmware"] = Text(f.text1, sizeof f.text1);
        }
    } else if (r.category == 5) {
        BV::QX_WIFI_MODE_ENUM mode{};
        s.Get_WIFI_Mode(mode);
        r.numbers["wifi_mode"] = mode;
        BV::QX_WIFI_PARA_AP_STRUCT ap{};
        s.Get_WIFI_Param_AP(ap);
        r.texts["wifi_ssid"] = Text(ap.ssid, sizeof ap.ssid);
        r.texts["wifi_password"] = Text(ap.password, sizeof ap.password);
        r.numbers["wifi_channel"] = ap.value;
        BV::QX_WIFI_POWER_STATUS_ENUM power{};
        s.Get_WIFI_Power_Status(power);
        r.numbers["wifi_power"] = power;
        r.numbers["wifi_auto_open"] = s.Get_WIFI_Auto_Open();
        r.numbers["wifi_share"] = s.Get_WIFI_Share();
        r.numbers["wifi_share_auto"] = s.Get_WIFI_Share_Auto();
        BV::QX_MODEM_DIAL_PARA_STRUCT dial{};
        s.Get_Modem_Dial_Param(dial);
        // The first text is unused; then number, user, password, APN.
        r.texts["modem_number"] = Text(dial.text[1], 20);
        r.texts["modem_apn"] = Text(dial.text[4], 20);
        BV::QX_MODEM_POWER_STATUS_ENUM modemPower{};
        s.Get_Modem_Power_Status(modemPower);
        r.numbers["modem_power"] = modemPower;
        r.numbers["modem_auto_power"] = s.Get_Modem_Auto_Power_On();
        BV::QX_MODEM_DIAL_STATUS_STRUCT dialStatus{};
        s.Get_Modem_Dial_Status(dialStatus);
        r.numbers["modem_dial_status"] = dialStatus.status;
        r.numbers["modem_auto_dial"] = s.Get_Modem_Auto_Dial();
        BV::QX_MODEM_BAND_MODE_ENUM band{};
        s.Get_Modem_Band_Mode(band);
        r.numbers["modem_band"] = band;
        BV::QX_MODEM_WORK_MODE_ENUM work{};
        s.Get_Modem_Work_Mode(work);
        r.numbers["modem_work_mode"] = work;
        BV::QX_MODEM_CSD_STATUS_STRUCT csdStatus{};
        s.Get_Modem_CSD_Status(csdStatus);
        r.numbers["csd_status"] = csdStatus.status;
        BV::QX_MODEM_CSD_PARA_STRUCT csd{};
        s.Get_Modem_CSD_Param(csd);
        r.texts["csd_number"] = Text(csd.number, sizeof csd.number);
        r.numbers["csd_mode"] = csd.mode;
    } else if (r.category == 3) {
        r.numbers["pdop_mask"] = s.Get_Gnss_Pdop_Mask();
        BV::QX_GNSS_DIFF_TYPE_ENUM type{};
        s.Get_Gnss_Diff_Type(type);
        r.numbers["diff_type"] = type;
        s.Get_Gnss_Base_Position(r.baseSet);
        BV::QX_DATA_CONFIG_LIST list{};
        s.Get_Gnss_Data_Configlist(list);
        r.numbers["list_io"] = list.count;
        r.numbers["list_code0"] = list.entries[0];
        BV::BASE_POS_LIST_STRUCT bases{};
        s.Get_Gnss_Base_Position_list(bases);
        r.numbers["base_count"] = static_cast<long>(bases.list.size());
        if (r.flags & 0x200u) {
            s.Get_Gnss_Pos(&r.position);
        }
    } else if (r.category == 2) {
        r.numbers["battery_grade"] = s.Get_Battery_Grd();
        BV::DEVICE_STR d{};
        s.GetInfo_DevcInfo(d);
        r.texts["model"] = Text(d.model, sizeof d.model);
        r.texts["serial"] = Text(d.receiverId, sizeof d.receiverId);
        r.texts["firmware"] = Text(d.firmwareVersion, sizeof d.firmwareVersion);
        r.numbers["sat_channels"] = d.satChannels;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&d);
        for (int at : {74, 78, 89, 90, 91, 110, 111, 112}) {
            r.numbers["byte" + std::to_string(at)] = bytes[at];
        }
    } else if (r.category == 1 && (r.flags & 0x10000000u)) {
        s.Get_Gnss_Pos(&r.position);
    }
}

}  // namespace

Reports& Reports::instance() {
    static Reports reports;
    return reports;
}

const BV::_CALLBACKS_RECEIVER* Reports::callbacks() {
    static const BV::_CALLBACKS_RECEIVER record = {&Reports::onData, &Reports::onStatus};
    return &record;
}

void Reports::reset(EmGnss_Receiver* session) {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_.clear();
    session_ = session;
}

std::vector<Reported> Reports::all() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reports_;
}

bool Reports::waitFor(int category, std::uint32_t bits, int timeoutMs, Reported* out) const {
    std::unique_lock<std::mutex> lock(mutex_);
    const Reported* found = nullptr;
    const bool ok = changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const Reported& r : reports_) {
            if (r.category == category && (r.flags & bits) != 0) {
                found = &r;
                return true;
            }
        }
        return false;
    });
    if (ok && out != nullptr) {
        *out = *found;
    }
    return ok;
}

std::size_t Reports::count(int category, std::uint32_t bits) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t n = 0;
    for (const Reported& r : reports_) {
        n += (r.category == category && (r.flags & bits) != 0) ? 1 : 0;
    }
    return n;
}

void Reports::onData(BV::Msg_Type category, std::uint32_t flags, const void*) {
    Reports& self = instance();
    Reported r;
    r.category = static_cast<int>(category);
    r.flags = flags;
    EmGnss_Receiver* session = nullptr;
    {
        std::lock_guard<std::mutex> lock(self.mutex_);
        session = self.session_;
    }
    if (session != nullptr) {
        Copy(*session, r);
    }
    std::lock_guard<std::mutex> lock(self.mutex_);
    self.reports_.push_back(std::move(r));
    self.changed_.notify_all();
}

SimSession::SimSession(const std::string& script, BV::MAINBD_OEM_TYPE board) {
    std::string error;
    started_ = sim_.configure(script, &error) && sim_.start(&error);
    EXPECT_TRUE(started_) << error;
    session_ = std::make_unique<EmGnss_Receiver>(BV::GNSS_MNFCTR_VELTA, board);
    Reports::instance().reset(session_.get());
    session_->RegisterCbs_Receiver(Reports::callbacks(), nullptr);
}

SimSession::~SimSession() {
    session_->Port_Close();
    Reports::instance().reset(nullptr);
    session_.reset();
    sim_.stop();
}

bool SimSession::openTcp() {
    if (!started_) {
        return false;
    }
    Brevan2011::BVComm::PARAM_SOCK p;
    p.address = htonl(INADDR_LOOPBACK);
    p.port = sim_.tcpPort();
    return session_->Port_Open(p);
}

bool SimSession::openPty(int baud, bool bluetooth) {
    if (!started_) {
        return false;
    }
    if (bluetooth) {
        Brevan2011::BVComm::SetBluetoothPortPath(kBluetoothCom, sim_.ptyPath());
        Brevan2011::BVComm::PARAM_BT p;
        p.port = kBluetoothCom;
        p.baud = baud;
        return session_->Port_Open(p);
    }
    Brevan2011::BVComm::SetComPortPath(kSerialCom, sim_.ptyPath());
    Brevan2011::BVComm::PARAM_COM p;
    p.port = kSerialCom;
    p.baud = baud;
    return session_->Port_Open(p);
}

std::size_t RequestBytes(void (*build)(BV::Em_Gnss&, std::vector<BV::_STR_CMD>&)) {
    BV::Em_Gnss gnss(BV::GNSS_MNFCTR_VELTA, BV::MAINBD_NEWPROTOCOL);
    std::vector<BV::_STR_CMD> cmds;
    build(gnss, cmds);
    std::size_t n = 0;
    for (const BV::_STR_CMD& c : cmds) {
        n += c.length;
    }
    return n;
}

}  // namespace varnok_test
