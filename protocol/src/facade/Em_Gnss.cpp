#include "BVParse/Em_Gnss.h"

#include <cstring>
#include <iostream>
#include <new>

#include "BVParse/Em_GnssProtocol.h"
#include "Em_NewProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemProtocol.h"
#include "Em_OldProtocol.h"
#include "Em_RawRecorder.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

struct Facade_Settings {
    std::mutex lock;
    Em_Protocol_Factory factory;
    std::ostream* log = nullptr;
};

Facade_Settings& Settings() {
    static Facade_Settings settings;
    return settings;
}

std::atomic<unsigned long> g_loggerCount{0};

}  // namespace

Em_Protocol_Kind Em_Gnss::Choose_Protocol(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board) {
    if (maker == GNSS_MNFCTR_OEM) {
        return Em_Protocol_Kind::Oem;
    }
    if (maker == GNSS_MNFCTR_VELTA && board == MAINBD_NEWPROTOCOL) {
        return Em_Protocol_Kind::New;
    }
    return Em_Protocol_Kind::Old;
}

Em_GnssProtocol* Em_Gnss::Default_Protocol(Em_Protocol_Kind kind) {
    switch (kind) {
        case Em_Protocol_Kind::Oem:
            return new Em_OemProtocol;
        case Em_Protocol_Kind::New:
            return new Em_NewProtocol;
        case Em_Protocol_Kind::Old:
        default:
            return new Em_OldProtocol;
    }
}

Em_Protocol_Factory Em_Gnss::Set_Protocol_Factory(Em_Protocol_Factory factory) {
    Facade_Settings& s = Settings();
    std::lock_guard<std::mutex> guard(s.lock);
    Em_Protocol_Factory previous = std::move(s.factory);
    s.factory = std::move(factory);
    return previous;
}

Em_GnssProtocol* Em_Gnss::Make_Protocol(Em_Protocol_Kind kind) {
    Em_Protocol_Factory factory;
    {
        Facade_Settings& s = Settings();
        std::lock_guard<std::mutex> guard(s.lock);
        factory = s.factory;
    }
    try {
        return factory ? factory(kind) : Default_Protocol(kind);
    } catch (const std::bad_alloc&) {
        return nullptr;  // the facade then runs without a protocol object
    }
}

void Em_Gnss::Set_Record_Clock(std::function<std::time_t()> clock) {
    Record_Set_Clock(std::move(clock));
}

void Em_Gnss::Set_Log_Stream(std::ostream* stream) {
    Facade_Settings& s = Settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.log = stream;
}

unsigned long Em_Gnss::Logger_Count() {
    return g_loggerCount.load();
}

Em_Gnss::Em_Gnss() : Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL) {}

Em_Gnss::Em_Gnss(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board) {
    std::memset(m_satScratch, 0, sizeof(m_satScratch));
    m_protocol = Make_Protocol(Choose_Protocol(maker, board));
    if (m_protocol != nullptr) {
        m_protocol->Create_Board(board);
    }
}

Em_Gnss::~Em_Gnss() {
    if (m_recording.load()) {
        Record_Close();
    }
    std::lock_guard<std::mutex> guard(m_protocolLock);
    delete m_protocol;
    m_protocol = nullptr;
}

void Em_Gnss::Reset_Mnfctr(GNSS_MANUFACTURER maker) {
    // The read thread may be appending right now: it holds this lock for each append.
    std::lock_guard<std::mutex> guard(m_protocolLock);
    Com_Status port = COM_STATUS_SERIAL;
    if (m_protocol != nullptr) {
        port = m_protocol->Get_Com_Status();
        delete m_protocol;
        m_protocol = nullptr;
    }
    m_protocol =
        Make_Protocol(maker == GNSS_MNFCTR_OEM ? Em_Protocol_Kind::Oem : Em_Protocol_Kind::Old);
    if (m_protocol != nullptr) {
        m_protocol->Set_Com_Status(port);
    }
}

GNSS_MANUFACTURER Em_Gnss::Get_Mnfctr() {
    return m_protocol ? static_cast<GNSS_MANUFACTURER>(m_protocol->Get_Kind()) : GNSS_MNFCTR_NONE;
}

bool Em_Gnss::IsVeltaManufacturer() {
    return Get_Mnfctr() == GNSS_MNFCTR_VELTA;
}

MAINBD_OEM_TYPE Em_Gnss::GetMainBdType() {
    return m_protocol ? static_cast<MAINBD_OEM_TYPE>(m_protocol->Board_Type()) : MAINBD_NONE;
}

MAINBD_OEM_TYPE Em_Gnss::Get_GnsMd() {
    return GetMainBdType();
}

bool Em_Gnss::IsVeltaNewProtocolReceiver() {
    return IsVeltaManufacturer() && m_protocol->Board() != nullptr &&
           m_protocol->Board_Type() == MAINBD_NEWPROTOCOL;
}

bool Em_Gnss::IsVeltaOldProtocolReceiver() {
    return IsVeltaManufacturer() &&
           (m_protocol->Board() == nullptr || m_protocol->Board_Type() != MAINBD_NEWPROTOCOL);
}

bool Em_Gnss::Reset_GnsMd(MAINBD_OEM_TYPE board) {
    std::lock_guard<std::mutex> guard(m_protocolLock);
    return m_protocol ? m_protocol->Create_Board(board) : false;
}

void Em_Gnss::Set_Com_Status(Com_Status status) {
    std::lock_guard<std::mutex> guard(m_protocolLock);
    if (m_protocol != nullptr) {
        m_protocol->Set_Com_Status(status);
    }
}

Com_Status Em_Gnss::Get_Com_Status() {
    std::lock_guard<std::mutex> guard(m_protocolLock);
    return m_protocol ? m_protocol->Get_Com_Status() : static_cast<Com_Status>(0);
}

unsigned Em_Gnss::RcvData(const unsigned char* bytes, unsigned length) {
    if (bytes == nullptr || length == 0) {
        return 0;
    }
    unsigned taken = 0;
    {
        std::lock_guard<std::mutex> guard(m_protocolLock);
        if (m_protocol == nullptr) {
            return length;  // nothing to parse them: gone, as before a protocol exists
        }
        const int n = length > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(length);
        taken = static_cast<unsigned>(m_protocol->Ring()->Append(bytes, n));
    }
    // Only what the ring took: the rest is offered again and recorded then.
    if (taken != 0 && m_recording.load()) {
        Record_Write(bytes, taken);
    }
    return taken;
}

int Em_Gnss::Step_Or_Resync() {
    for (;;) {
        if (m_protocol == nullptr) {
            return 0;
        }
        const int stepped = m_protocol->Parse_Step();
        if (stepped != 0 || !m_protocol->Ring()->Full()) {
            return stepped;
        }
        // A full ring that holds no whole message would stop the stream for good: give up
        // its first byte, as a failed frame check does, and look again. Nothing is reported
        // for the byte.
        m_protocol->Ring()->Skip(1);
        m_ringResyncs.fetch_add(1);
    }
}

void Em_Gnss::ParseData() {
    if (Step_Or_Resync() == 0) {
        return;
    }
    for (;;) {
        // Read the pointer afresh: a callback may have replaced the protocol object.
        if (m_protocol == nullptr) {
            return;
        }
        CallData();
        if (Step_Or_Resync() == 0) {
            return;
        }
    }
}

void Em_Gnss::Data_Clear() {
    std::lock_guard<std::mutex> guard(m_protocolLock);
    if (m_protocol != nullptr) {
        m_protocol->Ring()->Clear();
    }
}

void Em_Gnss::Get_RevMsg(Msg_Type* category, uint32_t* flags) {
    if (m_protocol == nullptr) {
        return;
    }
    if (category != nullptr) {
        *category = m_protocol->Get_Category();
    }
    if (flags != nullptr) {
        *flags = m_protocol->Get_Flags();
    }
}

void Em_Gnss::Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* user) {
    m_dataCallback = callbacks ? callbacks->Data_Callback : nullptr;
    m_statusCallback = callbacks ? callbacks->Status_Callback : nullptr;
    if (user != nullptr) {
        m_user = user;
    }
}

void Em_Gnss::IsOemChanged(bool changed) {
    if (m_statusCallback != nullptr) {
        m_statusCallback(changed, m_user);
    }
}

void Em_Gnss::SetRcrdData(bool on, const char* path) {
    if (on) {
        Record_Open(path);
        m_recording.store(true);
    } else {
        Record_Close();
        m_recording.store(false);
    }
}

void Em_Gnss::Gnss_Logger(Msg_Type category, uint32_t flags) {
    if (category == MSG_GNSS_DATA) {
        Gnss_Logger_Md(flags);
    }
}

void Em_Gnss::Gnss_Logger_Md(uint32_t flags) {
    if (flags & GNSS_FLAG_COUNTED) {
        ++g_loggerCount;
    }
    if ((flags & GNSS_FLAG_ELEV_MASK) == 0) {
        return;
    }
    const int elevation =
        (m_protocol && m_protocol->Board()) ? m_protocol->Board()->Get_Status_Word() : 0;
    Facade_Settings& s = Settings();
    std::lock_guard<std::mutex> guard(s.lock);
    std::ostream& out = s.log ? *s.log : std::cout;
    out << "高度截止角:" << elevation << "\r\n";
}

void Em_Gnss::CallData() {
    if (m_dataCallback != nullptr && m_protocol != nullptr && m_protocol->Get_Flags() != 0) {
        m_dataCallback(m_protocol->Get_Category(), m_protocol->Get_Flags(), m_user);
    }
}

void Em_Gnss::ClData_Device() {
    if (m_dataCallback != nullptr && m_protocol != nullptr) {
        m_dataCallback(m_protocol->Get_Category(), m_protocol->Get_Flags(), m_user);
    }
}

void Em_Gnss::ClData_Gnss() {
    if (m_dataCallback != nullptr && m_protocol != nullptr && m_protocol->Get_Flags() != 0) {
        m_dataCallback(MSG_GNSS_DATA, m_protocol->Get_Flags(), m_user);
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
