#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "BVComm/PortInstance.h"
#include "BVDevice/BVDeviceExport.h"
#include "BVDevice/EventSet.h"
#include "BVParse/Em_Critcal_Section.h"
#include "BVParse/Em_DeviceRecords.h"
#include "BVParse/Em_GnssResults.h"
#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_NewRecords.h"
#include "BVParse/Em_OldRecords.h"

namespace Brevan2011 {
namespace BVParse {
class Em_Gnss;
}

namespace BVDevice {

class EmGnss_ReceiverProbe;  // tests: reads the session's private state

using BVComm::IPortInstance;
using BVComm::PARAM_BT;
using BVComm::PARAM_COM;
using BVComm::PARAM_SOCK;
// The operations take these records and enums of the protocol library by their own names.
using BVParse::_CALLBACKS_RECEIVER;
using BVParse::_set_nmea;
using BVParse::_STR_CMD;
using BVParse::AntPointInfo;
using BVParse::Base_Config;
using BVParse::BASE_POS_LIST_STRUCT;
using BVParse::BASEINFO;
using BVParse::Channel_Space;
using BVParse::Com_Baudrate;
using BVParse::cors_info;
using BVParse::DATA_FREQS_STRUCT;
using BVParse::DataFreq;
using BVParse::DEVICE_STR;
using BVParse::Dops;
using BVParse::eBubble_info;
using BVParse::Em_Critcal_Section;
using BVParse::em_eph_t;
using BVParse::Em_Gnss;
using BVParse::em_obs_t;
using BVParse::EndPointInfo;
using BVParse::FIRMWARE_DEBUG;
using BVParse::GNSS_FRQ;
using BVParse::GNSS_MANUFACTURER;
using BVParse::gprs_ero;
using BVParse::Gprs_Modle;
using BVParse::gprs_status;
using BVParse::IP_ADRES;
using BVParse::MAINBD_OEM_TYPE;
using BVParse::NMEAConfigList;
using BVParse::PASSCOMCHAR;
using BVParse::POS_INFO;
using BVParse::Precisions;
using BVParse::Protocol_Net;
using BVParse::QX_ACCOUNT_STRUCT;
using BVParse::QX_BLOCK_DATA_STRUCT;
using BVParse::QX_COM_BAUD_ENUM;
using BVParse::QX_COM_PORT_ENUM;
using BVParse::QX_CORS_DATA_SOURCE_STRUCT;
using BVParse::QX_DATA_CONFIG_LIST;
using BVParse::QX_DATA_CONFIG_LIST_STRUCT;
using BVParse::QX_DATA_FRQ_ENUM;
using BVParse::QX_DATA_TRANSFER_STRUCT;
using BVParse::QX_DATALINK_MODE_ENUM;
using BVParse::QX_FILE_RECORD_CONFIG_STRUCT;
using BVParse::QX_FILE_RECORD_IO_ID_ENUM;
using BVParse::QX_FILE_RECORD_STATUS_ENUM;
using BVParse::QX_GNSS_BASE_SET_STRUCT;
using BVParse::QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT;
using BVParse::QX_GNSS_DAT_CALIBRATION_TILT_STRUCT;
using BVParse::QX_GNSS_DAT_MAGNETIC_STRUCT;
using BVParse::QX_GNSS_DIFF_TYPE_ENUM;
using BVParse::QX_GNSS_IO_ID_ENUM;
using BVParse::QX_GNSS_SATELLITE_ENABLE_STRUCT;
using BVParse::QX_GPSBOARD_INFO_STRUCT;
using BVParse::QX_GSENSOR_CALIBRATION_QUALITY;
using BVParse::QX_GSENSOR_VALID_PERIOD_STRUCT;
using BVParse::QX_IP_ADDRESS_STRUCT;
using BVParse::QX_MAC_INFO_STRUCT;
using BVParse::QX_MODEM_BAND_MODE_ENUM;
using BVParse::QX_MODEM_CSD_PARA_STRUCT;
using BVParse::QX_MODEM_CSD_STATUS_STRUCT;
using BVParse::QX_MODEM_DIAL_PARA_STRUCT;
using BVParse::QX_MODEM_DIAL_STATUS_STRUCT;
using BVParse::QX_MODEM_POWER_STATUS_ENUM;
using BVParse::QX_MODEM_SIGNAL_INTENSITY_STRUCT;
using BVParse::QX_MODEM_WORK_MODE_ENUM;
using BVParse::QX_NETLINK_SERVER_TYPE_ENUM;
using BVParse::QX_NETLINK_STATUS_STRUCT;
using BVParse::QX_RADIO_CALLSIGN_STRUCT;
using BVParse::QX_RADIO_CHANNEL_LIST_EX_STRUCT;
using BVParse::QX_RADIO_CHANNEL_LIST_STRUCT;
using BVParse::QX_RADIO_INFOLIST_STRUCT;
using BVParse::QX_RADIO_MODULE_TYPE_ENUM;
using BVParse::QX_RADIO_POWER_STATUS_ENUM;
using BVParse::QX_RADIO_PROPERTY_EX_STRUCT;
using BVParse::QX_RADIO_PROTOCOL_ENUM;
using BVParse::QX_RESPONSE_STATUS_ENUM;
using BVParse::QX_SYSTEM_FIRMWARE_VERSION_STRUCT;
using BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT;
using BVParse::QX_SYSTEM_POWER_STATUS_STRUCT;
using BVParse::QX_WIFI_MODE_ENUM;
using BVParse::QX_WIFI_PARA_AP_STRUCT;
using BVParse::QX_WIFI_POWER_STATUS_ENUM;
using BVParse::Radio_Baudrate;
using BVParse::Radio_Callsign;
using BVParse::Radio_Info;
using BVParse::Radio_Power;
using BVParse::Radio_Range;
using BVParse::Rdo_Channel_Type;
using BVParse::Rdo_Mdl;
using BVParse::Rdo_Sensitv;
using BVParse::Rover_Config;
using BVParse::SAT_USE;
using BVParse::SATLLITE_STR;
using BVParse::StartPointInfo;
using BVParse::Static_Point;
using BVParse::SvcInfo;
using BVParse::Text_Lengths;
using BVParse::Time_Str;
using BVParse::TRSMT_INFO;
using BVParse::WirelessInfo;

// The receiver session: owns the protocol facade and the port, runs a read, a parse and a
// write thread, and queues the commands for the receiver.
//
// Lock order: dataLock before queueLock, never the reverse. Both are recursive, because the
// data callback runs on the parse thread under dataLock and may call back into the session.
class BVDEVICE_API EmGnss_Receiver {
public:
    EmGnss_Receiver(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    // Closes the session first (threads stopped, port freed, facade deleted). Deleted inside
    // one of its own callbacks, it ends and joins its other threads; the calling thread ends on
    // its own once the callback returns, and the facade goes with it.
    ~EmGnss_Receiver();
    EmGnss_Receiver(const EmGnss_Receiver&) = delete;
    EmGnss_Receiver& operator=(const EmGnss_Receiver&) = delete;

    // Only while closed (no facade): false otherwise.
    bool setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    // Only while closed; the record must outlive the session. The user data is not kept:
    // the callbacks always receive null.
    void RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks, const void* user);
    // Told once, on the read thread, when the link ends on its own (a peer's close, a hang-up,
    // a failing line); the session stays as it is until Port_Close. Not for a replay file's
    // end, nor for a quiet line. Only while closed; null removes it.
    using LinkLostCallback = void (*)(void* user);
    void RegisterCb_LinkLost(LinkLostCallback callback, void* user);

    bool Port_Open(PARAM_COM param);
    bool Port_Open(PARAM_BT param);
    bool Port_Open(PARAM_SOCK param);
    // A replay file; null replays the path stored by Set_PortPar. Paths over 255 characters
    // are refused.
    bool Port_Open(const char* path);
    bool Port_ReOpen(PARAM_COM param);
    bool Port_ReOpen(PARAM_BT param);
    bool Port_ReOpen(PARAM_SOCK param);
    bool Port_ReOpen(const char* path);
    // Stops the threads, frees the port and deletes the facade. True when the session is
    // closed afterwards; false when called on one of the session's own threads.
    bool Port_Close();
    bool IsPortOpen();
    // While a port exists: a value below 2048 becomes the size of each port read.
    void Port_SetBuf(unsigned int size);
    // While this session's serial port exists, for 2400 ... 115200 only.
    void Port_SetBaud(unsigned int baud);
    // Ask the write thread to rebuild the board driver or the protocol object.
    void ReSetGnsMd(MAINBD_OEM_TYPE boardType);
    void ReSetMnfctr(GNSS_MANUFACTURER maker);

    // Raw bytes, in commands of at most 512 bytes, 100 ms apart. Queued even while closed.
    void Send_DataToPort(const unsigned char* data, unsigned int length);
    // A command that writes nothing and only waits.
    void Send_Null_For_Wait_Interval(unsigned int ms);
    // Correction data framed by the facade for the receiver.
    void Send_DiffDataToGnss(const unsigned char* data, unsigned int length);
    // Raw-data recording of the received stream (path null: a name from the clock).
    void Set_RcrdData(bool on, const char* path);

    // ---- The queue seen from outside.
    // Requests refused whole because the queue could not take them, since construction.
    std::uint64_t Refused_Requests() const;
    // Waits until every command queued so far has left the queue (written, or discarded by a
    // close), the session exits or the bound passes: the pauses queued (each cut to 3 s) plus
    // 1 s, and never more than maxMs. True when they all left.
    bool Wait_Written(unsigned long maxMs);
    // Waits until the queue has room for n more commands, within the same bound. True when it
    // has.
    bool Wait_Room(unsigned int n, unsigned long maxMs);

    // ---- Command operations: each builds its commands in the facade under dataLock and
    // queues them whole (or not at all, when the queue cannot take them), then wakes the
    // write thread. Before Port_Open and after Port_Close they do nothing and return 0.
#define VARNOK_OP(result, name, params, args, builder, builderArgs) result name params;
#define VARNOK_OPX(result, name, params, args) result name params;
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX

    // ---- Getters: copy the facade's current value under dataLock (recursive, so they work
    // from inside the data callback). Without a facade: 0, 0.0 or null, out-parameters
    // untouched. Pointer results point into the facade: Get_Gnss_BsCfg and Get_Gnss_RvCfg
    // into the board driver's settings, valid until the next parse step or board/maker
    // reset; the data buffers until the next parse step.
#define VARNOK_GET(result, name, params, args, member, memberArgs) result name params;
#include "BVDevice/EmGnss_ReceiverGetters.def"
#undef VARNOK_GET

    // ---- Composite operations and forwarders.
    // Four rows above do more than build and queue:
    // - Send_QxMdl(mode): 1 puts receiver and handheld into pass-through to the main board
    //   (command, wait until it is written, 500 ms, ring cleared, 38400 baud on a serial port
    //   to a type-1 board, maker 1); any other mode comes back (9600 baud first, then the
    //   command, 500 ms, ring cleared, maker 2). A new-protocol receiver gets its direct
    //   command, the pause and the clear only. Nothing at all on a replay file.
    // - Set_Com_Data_Monitor(on): the data-monitor mode command (11 on, 12 off); nothing on a
    //   replay file.
    // - Send_200Data(on): old-protocol receivers only: "RG,B200" or "RG,B0", and whether the
    //   read thread keeps renewing "RG,B200".
    // - Set_Static_AntType(name): also prints each queued command on standard output.
    // Same as Send_Modem_Signal_Intensity_Query.
    void Send_Gprs_Signal();
    // Asks for the elevation mask (Send_Gnss_ElevMask with null).
    void Send_Gnss_ElevMask();
    // Sets the elevation mask to the low byte of mask.
    void Set_Gnss_ElevMask(unsigned int mask);
    void Set_Com_Baudrate(QX_COM_BAUD_ENUM rate, QX_COM_PORT_ENUM port);
    // Switches the other data links off: 1 network (port 6 output stopped), 2 and 3 radio
    // (port 5 output stopped), 4 network and radio; any other mode nothing.
    void Disable_Other_DataLink(QX_DATALINK_MODE_ENUM mode);
    // 0..4 to rate codes 3, 5, 6, 8, 9 (anything else 3), for port 1.
    void Set_Com_Baudrate(Com_Baudrate rate);

    static constexpr unsigned int kMaxPendingCommands = 40;
    static constexpr unsigned int kMaxPauseMs = 3000;
    static constexpr unsigned int kReadBufferSize = 2048;
    static constexpr unsigned int kMaxPathLength = 255;
    // Read loop pacing: 1 ms between reads while the line is active; after this many empty
    // reads in a row (about 0.2 s of silence) the wait grows to kIdleWaitMs.
    static constexpr long kActiveWaitMs = 1;
    static constexpr unsigned int kQuietPasses = 200;
    static constexpr long kIdleWaitMs = 25;
    // Keep-alive: "RG,B200" on the first qualifying read pass of the process, then every
    // kKeepAlivePasses passes of kActiveWaitMs, counted by the wall clock so that idle waits
    // and quick passes on a busy line keep the same cadence (about 170 ms).
    static constexpr unsigned int kKeepAlivePasses = 170;
    // Pass-through switch: pause after the command is written, and the serial rates.
    static constexpr unsigned int kQxPauseMs = 500;
    static constexpr unsigned int kPassThroughBaud = 38400;
    static constexpr unsigned int kOwnProtocolBaud = 9600;

private:
    friend class EmGnss_ReceiverProbe;

    enum Event { kExit = 0, kResetMainBoard = 1, kResetMaker = 2, kWrite = 3, kDataReceived = 4 };

    void InitInstance(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    void ExitInstance();
    // The open shared by the four port kinds: the facade, the stored parameters, the port.
    template <class Param>
    bool openWith(Param param, int type);
    bool openPort(int type);
    bool prepareForOpen();
    bool Port_StarThrd();
    void Set_PortPar(const PARAM_COM& param);
    void Set_PortPar(const PARAM_BT& param);
    void Set_PortPar(const PARAM_SOCK& param);
    bool Set_PortPar(const char* path);
    // The count the facade's ring took (all of it without a facade).
    unsigned int RcvData(const unsigned char* data, unsigned int length);
    void ResetAllEvent();
    void Cmd_WrtEnvt();
    bool onOwnThread() const;

    // The parse lock. The session's own threads only try it, so that they can give up when the
    // session ends and the read thread never blocks on it.
    using DataLock = std::recursive_mutex;
    using DataGuard = std::lock_guard<DataLock>;
    // What a thread still uses after a callback returns: a session deleted from inside its
    // own callback is freed while that thread unwinds, so the lock and the facade live here.
    struct ThreadShared;

    static unsigned long ThreadRdData(void* session);
    static unsigned long ThreadPrcData(void* session);
    static unsigned long ThreadWrtData(void* session);
    unsigned long ReadData();
    unsigned long ProcessData();
    unsigned long WriteData();
    bool drainBeforeReset();
    // Takes dataLock on a session thread, unless the session exits first.
    bool lockDataUnlessExit(std::unique_lock<DataLock>& lock);
    // Marks the write thread as about to wait, or no longer waiting, for dataLock.
    void setWriterWantsDataLock(bool on);
    // The destructor's close on one of the session's own threads: the other threads are ended
    // and joined, this one is left to unwind without touching the session again.
    void closeFromOwnThread();
    void OnResetMainBoardEvent();
    void OnResetManufactureEvent();
    void OnWriteEvent();
    // Writes the queued commands with their pauses until the queue is empty or the session
    // exits. The write thread's, or a caller's holding dataLock while the writer waits for it.
    void writePending();
    // Queues the request whole or not at all and wakes the write thread. When the request was
    // taken, *lastSeq gets the number of its last command and *boundMs the longest the
    // commands ahead of it and itself can take to go out (pauses cut to 3 s, plus 1 s).
    // A refusal of an uncounted request (the keep-alive's own) is not counted in
    // Refused_Requests.
    bool Cmds_Write(std::vector<_STR_CMD>& cmds, std::uint64_t* lastSeq = nullptr,
                    unsigned long* boundMs = nullptr, bool counted = true);
    // Send_200Data; *lastSeq as Cmds_Write gives it when the request was queued. False only
    // when the queue refused it.
    bool send200Data(bool on, std::uint64_t* lastSeq, bool counted);
    // Counts commands that left the queue (written or discarded) and wakes waiters.
    void commandsLeft(std::uint64_t count);
    // Waits until command number seq has left the queue, the session exits or boundMs pass.
    void waitCommandLeft(std::uint64_t seq, unsigned long boundMs);
    // Under queueLock: what the queued commands' pauses add up to (each cut to 3 s), plus 1 s.
    unsigned long pendingBoundMs() const;
    // Empties the queue on a close and says how many commands went unwritten.
    void discardPending(const char* when);
    // Guard, dataLock, command list, builder, Cmds_Write: the shape of every operation.
    template <class Result, class Build>
    Result runOperation(const char* name, Build&& build);
    template <class Result, class Read>
    Result runGetter(const char* name, Read&& read);
    // Stores the rate in the serial parameters and sets it on this session's serial port.
    void setSerialRate(unsigned int baud);
    bool facadePresent() const {
        return hasGnss_.load(std::memory_order_acquire);
    }
    // Under dataLock: the facade and the fast-path flag change together.
    void setFacade(Em_Gnss* gnss);
    // The read loop's keep-alive, given the nominal passes (kActiveWaitMs each) that the wall
    // clock says went by since the previous pass.
    void KeepAlive(unsigned int passes);
    void rcdforthreads(const char* text, int channel);

    void SetSupdThreads() {}
    void ThrdsRusm() {}
    void OnExitEvent() {}
    bool ThrdsSupded() {
        return false;
    }

    std::atomic<unsigned int> readChunk_{kReadBufferSize};
    PARAM_COM comParam_;
    PARAM_BT btParam_;
    PARAM_SOCK sockParam_;
    IPortInstance* port_ = nullptr;
    char filePath_[kMaxPathLength + 1] = {0};
    std::atomic<int> portKind_{-1};
    EventSet events_;
    std::atomic<MAINBD_OEM_TYPE> boardType_;
    std::atomic<GNSS_MANUFACTURER> maker_;
    Em_Critcal_Section queueLock_;
    std::shared_ptr<ThreadShared> shared_;
    DataLock& dataLock_;
    Em_Gnss* gnss_ = nullptr;
    // Lock-free test for the operations' fast path; the pointer is tested again under dataLock.
    std::atomic<bool> hasGnss_{false};
    // The maker the facade reports, kept for the keep-alive so the read thread need not take
    // dataLock on every pass; updated under dataLock at open and after each reset.
    std::atomic<GNSS_MANUFACTURER> reportedMaker_{BVParse::GNSS_MNFCTR_NONE};
    std::atomic<bool> keepAliveOn_{true};
    // The number of the last renewal the keep-alive queued (0: none); read thread only.
    std::uint64_t renewalSeq_ = 0;
    std::atomic<unsigned long> readPasses_{0};
    // Bytes read that the full ring has not taken yet (the read thread's; for watching).
    std::atomic<unsigned int> heldBack_{0};
    // The write thread is about to take, or waits for, dataLock in a reset handler.
    std::atomic<bool> writerWantsDataLock_{false};
    std::deque<_STR_CMD> cmdList_;
    // Commands ever queued (under queueLock) and commands that left the queue (under
    // countMutex_, a leaf lock).
    std::uint64_t queuedTotal_ = 0;
    std::uint64_t leftTotal_ = 0;
    std::atomic<std::uint64_t> refusedTotal_{0};
    std::mutex countMutex_;
    std::condition_variable leftCv_;
    std::thread parseThread_;
    std::thread readThread_;
    std::thread writeThread_;
    const _CALLBACKS_RECEIVER* callbacks_ = nullptr;
    // Set only while closed: the read thread reads them without a lock.
    LinkLostCallback linkLost_ = nullptr;
    void* linkLostUser_ = nullptr;
    // Serialises opening and closing; guards port_ for callers (the session's threads use the
    // port only between its creation and their own end).
    std::mutex lifecycleMutex_;
    mutable std::mutex portMutex_;
};

}  // namespace BVDevice
}  // namespace Brevan2011
