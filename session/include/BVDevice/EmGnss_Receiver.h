#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "BVComm/PortInstance.h"
#include "BVDevice/BVDeviceExport.h"
#include "BVDevice/EventSet.h"
#include "BVParse/Em_Critcal_Section.h"
#include "BVParse/Em_GnssTypes.h"

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
using BVParse::_CALLBACKS_RECEIVER;
using BVParse::_STR_CMD;
using BVParse::Em_Critcal_Section;
using BVParse::Em_Gnss;
using BVParse::GNSS_MANUFACTURER;
using BVParse::MAINBD_OEM_TYPE;

// The receiver session: owns the protocol facade and the port, runs a read, a parse and a
// write thread, and queues the commands for the receiver.
//
// Lock order: dataLock before queueLock, never the reverse. Both are recursive, because the
// data callback runs on the parse thread under dataLock and may call back into the session.
class BVDEVICE_API EmGnss_Receiver {
public:
    EmGnss_Receiver(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    // Closes the session first (threads stopped, port freed, facade deleted).
    ~EmGnss_Receiver();
    EmGnss_Receiver(const EmGnss_Receiver&) = delete;
    EmGnss_Receiver& operator=(const EmGnss_Receiver&) = delete;

    // Only while closed (no facade): false otherwise.
    bool setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    // Only while closed; the record must outlive the session. The user data is not kept:
    // the callbacks always receive null.
    void RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks, const void* user);

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

    static constexpr unsigned int kMaxPendingCommands = 40;
    static constexpr unsigned int kMaxPauseMs = 3000;
    static constexpr unsigned int kReadBufferSize = 2048;
    static constexpr unsigned int kMaxPathLength = 255;
    // Read loop pacing: 1 ms between reads while the line is active; after this many empty
    // reads in a row (about 0.2 s of silence) the wait grows to kIdleWaitMs.
    static constexpr long kActiveWaitMs = 1;
    static constexpr unsigned int kQuietPasses = 200;
    static constexpr long kIdleWaitMs = 25;

private:
    friend class EmGnss_ReceiverProbe;

    enum Event { kExit = 0, kResetMainBoard = 1, kResetMaker = 2, kWrite = 3, kDataReceived = 4 };

    void InitInstance(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType);
    void ExitInstance();
    bool openPort(int type);
    bool prepareForOpen();
    bool Port_StarThrd();
    void Set_PortPar(const PARAM_COM& param);
    void Set_PortPar(const PARAM_BT& param);
    void Set_PortPar(const PARAM_SOCK& param);
    bool Set_PortPar(const char* path);
    void RcvData(const unsigned char* data, unsigned int length);
    void ResetAllEvent();
    void Cmd_WrtEnvt();
    bool onOwnThread() const;

    static unsigned long ThreadRdData(void* session);
    static unsigned long ThreadPrcData(void* session);
    static unsigned long ThreadWrtData(void* session);
    unsigned long ReadData();
    unsigned long ProcessData();
    unsigned long WriteData();
    bool drainBeforeReset();
    void OnResetMainBoardEvent();
    void OnResetManufactureEvent();
    void OnWriteEvent();
    void Cmds_Write(std::vector<_STR_CMD>& cmds);
    // One pass of the read loop's keep-alive; filled in with the session mode switches.
    void KeepAlive();
    void rcdforthreads(const char* text, int channel);

    void SetSupdThreads() {}
    void ThrdsRusm() {}
    void OnExitEvent() {}
    bool ThrdsSupded() { return false; }

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
    Em_Critcal_Section dataLock_;
    Em_Gnss* gnss_ = nullptr;
    std::atomic<bool> keepAliveOn_{true};
    std::deque<_STR_CMD> cmdList_;
    std::thread parseThread_;
    std::thread readThread_;
    std::thread writeThread_;
    const _CALLBACKS_RECEIVER* callbacks_ = nullptr;
    // Serialises opening and closing; guards port_ for callers (the session's threads use the
    // port only between its creation and their own end).
    std::mutex lifecycleMutex_;
    mutable std::mutex portMutex_;
};

}  // namespace BVDevice
}  // namespace Brevan2011
