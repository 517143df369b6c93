// Em_Gnss: the receiver protocol facade. One per open receiver: it owns the protocol object
// chosen by the maker and main-board type, takes the received bytes, runs the parse loop that
// reports each message through the data callback, and records the raw stream on request.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iosfwd>
#include <mutex>

#include "BVParse/BVParseExport.h"
#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

class Em_GnssProtocol;

// Which protocol object a (maker, board type) pair gets.
enum class Em_Protocol_Kind { Old, Oem, New };

// Makes a protocol object of a kind; null when it cannot. Tests install their own to hand the
// facade a scripted protocol object.
typedef std::function<Em_GnssProtocol*(Em_Protocol_Kind)> Em_Protocol_Factory;

class BVPARSE_API Em_Gnss {
public:
    // The old protocol with the NovAtel board.
    Em_Gnss();
    Em_Gnss(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board);
    ~Em_Gnss();
    Em_Gnss(const Em_Gnss&) = delete;
    Em_Gnss& operator=(const Em_Gnss&) = delete;

    // Replaces the protocol object: maker 1 the OEM one, any other the old one. The port kind
    // is kept; no board driver is made (Reset_GnsMd follows).
    void Reset_Mnfctr(GNSS_MANUFACTURER maker);
    // The protocol object's kind word: 1 OEM, 2 old or new; 0 without one.
    GNSS_MANUFACTURER Get_Mnfctr();
    bool IsVeltaManufacturer();
    // The board driver's type; 0 without one.
    MAINBD_OEM_TYPE GetMainBdType();
    MAINBD_OEM_TYPE Get_GnsMd();
    bool IsVeltaNewProtocolReceiver();
    bool IsVeltaOldProtocolReceiver();
    // Has the protocol object make the board driver for the type; its result.
    bool Reset_GnsMd(MAINBD_OEM_TYPE board);
    void Set_Com_Status(Com_Status status);
    Com_Status Get_Com_Status();

    // Read thread: appends the bytes to the receive ring and to the recording file when
    // recording is on.
    void RcvData(const unsigned char* bytes, unsigned length);
    // Parse thread: drains the ring, calling the data callback once per message whose flag
    // word is not 0.
    void ParseData();
    // Empties the receive ring.
    void Data_Clear();
    // The current category and flag word.
    void Get_RevMsg(Msg_Type* category, uint32_t* flags);
    // Copies both callback pointers (a null record clears them); replaces the user data only
    // when the given pointer is not null.
    void Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* user);
    // Calls the status callback with (changed, user data) when one is registered.
    void IsOemChanged(bool changed);
    // Switches raw-data recording. One recording file is open in the process at a time; without
    // a path the file is named from the UTC time.
    void SetRcrdData(bool on, const char* path);
    // Diagnostics: for category 1 writes the category-1 summary.
    void Gnss_Logger(Msg_Type category, uint32_t flags);
    void Gnss_Logger_Md(uint32_t flags);

    // The protocol object (null only when making it failed).
    Em_GnssProtocol* Get_Protocol() const { return m_protocol; }

    // The protocol object a pair gets: maker 1 OEM, maker 2 with board 8 new, else old.
    static Em_Protocol_Kind Choose_Protocol(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board);
    // The library's own protocol objects.
    static Em_GnssProtocol* Default_Protocol(Em_Protocol_Kind kind);
    // Installs a factory for protocol objects made from now on; an empty one restores the
    // default. Returns the factory it replaces (empty for the default).
    static Em_Protocol_Factory Set_Protocol_Factory(Em_Protocol_Factory factory);
    // Clock for recording file names; an empty one restores the system clock.
    static void Set_Record_Clock(std::function<std::time_t()> clock);
    // Stream of the diagnostic line; null restores std::cout.
    static void Set_Log_Stream(std::ostream* stream);
    // How many category-1 messages with bit 0x00080000 the diagnostics have counted.
    static unsigned long Logger_Count();

private:
    // Single callback calls with the current category and flags.
    void CallData();
    void ClData_Device();
    void ClData_Gnss();

    static Em_GnssProtocol* Make_Protocol(Em_Protocol_Kind kind);

    std::atomic<bool> m_recording{false};
    Em_GnssProtocol* m_protocol = nullptr;
    Em_DataCallback m_dataCallback = nullptr;
    Em_StatusCallback m_statusCallback = nullptr;
    SATLLITE_STR m_satScratch[32];
    const void* m_user = nullptr;
    // Guards the protocol pointer against the read thread while the object is replaced or
    // destroyed. Taken before the ring's own lock.
    std::mutex m_protocolLock;
};

}  // namespace BVParse
}  // namespace Brevan2011
