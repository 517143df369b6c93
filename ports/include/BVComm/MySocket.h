#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/BVCommExport.h"
#include "BVComm/CTList.h"
#include "BVComm/DescriptorGate.h"
#include "BVComm/Logger.h"
#include "BVComm/Mutex.h"
#include "BVComm/PortInstance.h"

namespace Brevan2011 {
namespace BVComm {

// What an owner of a MySocket hears, on the socket's own threads.
class BVCOMM_EXPORT ISocketReceiver {
public:
    virtual ~ISocketReceiver();
    // Non-zero: the data was taken and is not queued.
    virtual int OnReceive(const char* data, int length) = 0;
    virtual void OnConnect(int code) = 0;
    virtual void OnClose(int code) = 0;
};

// A TCP or UDP socket with its own read and accept threads and a queue of received packets.
// Errors are kept in Winsock's numbering (GetLastError).
class BVCOMM_EXPORT MySocket : public IPortInstance {
public:
    struct DataPacket {
        DataPacket(const char* data, int size);
        ~DataPacket();
        DataPacket(const DataPacket&) = delete;
        DataPacket& operator=(const DataPacket&) = delete;

        int length;    // bytes not yet read
        char* buffer;  // owned
        int position;  // first unread byte
    };

    enum Kind : int { kTcp = 1, kUdp = 2 };
    enum State : int { kClosed = 0, kClosing = 1, kCreated = 2, kConnected = 3, kBound = 5 };
    enum ThreadState : int { kThreadEnded = 0, kThreadEnding = 1, kThreadRunning = 2 };
    enum EolFormat : int { kEolZero = 0, kEolCrLf = 1, kEolLf = 2 };

    MySocket();
    // Closes the socket and waits for its threads, however long they take to notice. From one of
    // the socket's own callbacks it waits for the others only; that thread ends when the
    // callback returns.
    ~MySocket() override;
    MySocket(const MySocket&) = delete;
    MySocket& operator=(const MySocket&) = delete;

    // IPortInstance: where Read and Send give -1, ReadData and WriteData give 0.
    unsigned int Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override;
    unsigned int ReadData(char* buffer, unsigned int size) override;
    unsigned int WriteData(const char* data, unsigned int size) override;
    unsigned int GetType() const override { return 2; }

    // Slots called on the socket's threads; by default they pass the call to the receiver.
    virtual void OnConnect(int code);
    virtual void OnReceive();  // after a packet was queued
    virtual bool OnReceive(const char* data, int length);
    // A connection accepted by a listening socket; false closes it.
    virtual bool OnAccept(int socket);
    virtual void OnClose(int code);

    // kind 1 TCP, 2 UDP; buffer size 0 takes 1024 (TCP) or 2048 (UDP).
    bool Create(int kind, int bufferSize);
    // host: dotted IPv4 or a name (at most 255 characters). TCP connects on the read thread and
    // reports through OnConnect.
    bool Connect(const std::string& host, unsigned int port);
    // Connects a blocking socket with a time-out in seconds.
    static bool Connect(int socket, const sockaddr* address, socklen_t length, int seconds);
    // UDP: sends to another port of the same peer.
    bool ReConnect(unsigned int port);
    // Binds to every local address; TCP then listens and accepts on its own thread.
    bool Accept(unsigned int port, int backlog);
    // Takes over a connected socket (from OnAccept): this socket's current one is closed.
    void AcceptServiceSocket(int socket);
    void Disconnect();

    int Send(const char* data, int length);
    int Send(const std::string& text);
    // The text with the end-of-line form: 0 a zero byte, 1 CR LF, 2 LF; other forms send nothing.
    int SendLine(const std::string& text);
    int Read(char* buffer, int length);
    // Takes the queued bytes up to the end of a line (LF, or a zero byte for form 0).
    bool ReadString(std::string& text);
    // Hands the head packet's unread bytes over; the caller frees *buffer with delete[].
    bool GetPacket(char** buffer, int* length);
    int GetPacketSize() const;
    int GetNumPackets() const;
    int GetDataSize() const;

    void SetEolFormat(int format) { eolFormat_ = format; }
    void SetBufferSize(int size);
    int GetLastError() const { return lastError_.load(); }
    int GetSocketType() const { return kind_.load(); }
    int GetSocketState() const { return state_.load(); }
    void setDataReceiver(ISocketReceiver* receiver);

protected:
    // Closes the socket and joins the threads. A subclass whose slots use its own members calls
    // it in its destructor, before those members go.
    void CloseAndWait();

private:
    using Gate = std::shared_ptr<DescriptorGate>;
    // Shared by a thread and the socket, so the thread can learn that the socket was destroyed
    // from its own callback.
    struct ThreadWord {
        std::atomic<int> state{kThreadRunning};
        std::atomic<bool> orphaned{false};
    };
    using StateWord = std::shared_ptr<ThreadWord>;
    struct Retired {
        std::thread thread;
        StateWord word;
    };

    Gate currentSocket() const;
    bool isCurrent(const Gate& socket) const;
    void disconnectIf(const Gate& socket);
    void closeSocket(const Gate* only);
    bool startReadThread(const Gate& socket, bool connectFirst, bool onlyWhenIdle);
    bool startAcceptThread(const Gate& socket);
    void retire(std::thread& thread, StateWord& word);
    void readLoop(Gate socket, bool connectFirst, StateWord word);
    void acceptLoop(Gate socket, StateWord word);
    void queuePacket(const char* data, int length);
    void clearPackets();
    int errorOf(int error) const;

    mutable std::mutex lock_;  // the socket and the addresses
    Gate socket_;
    sockaddr_in peer_{};
    sockaddr_in local_{};  // bound address, then the last sender
    std::atomic<int> kind_{kTcp};
    std::atomic<int> state_{kClosed};
    std::atomic<bool> dataFlag_{false};
    std::atomic<int> eolFormat_{kEolCrLf};
    std::atomic<int> lastError_{0};
    std::atomic<int> bufferSize_{0};

    std::mutex threadMutex_;
    bool destroying_ = false;
    std::thread readThread_;
    StateWord readWord_;
    Gate readSocket_;  // the socket the read thread serves
    std::thread acceptThread_;
    StateWord acceptWord_;
    std::vector<Retired> retired_;

    mutable std::mutex packetMutex_;
    CTList<DataPacket*> packets_;
    int dataSize_ = 0;

    // Guards receiver_; shared, so a slot can still release it when the receiver deleted this
    // socket from the call.
    std::shared_ptr<BVCore::MutexHolder> holder_ = std::make_shared<BVCore::MutexHolder>();
    ISocketReceiver* receiver_ = nullptr;
    std::shared_ptr<BVCore::Logger> logger_;
};

}  // namespace BVComm
}  // namespace Brevan2011
