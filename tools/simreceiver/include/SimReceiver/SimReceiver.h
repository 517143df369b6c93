// A simulated receiver of the maker's two protocols, the peer of end-to-end tests.
//
// It listens on loopback TCP (port 0, so the system picks one) and holds a pseudo-terminal;
// a session connects to 127.0.0.1:tcpPort() or opens ptyPath() as its serial line (map a COM
// number to it with BVComm::SetComPortPath, or SetBluetoothPortPath for a Bluetooth port).
// It decodes what the session writes (old-protocol "$$" frames, new-protocol frames in their
// "$$" chunks), logs each request in arrival order and answers from its scripted state.
//
// State: "key=value" settings (see README.md for every key and its default), e.g.
//   protocol=new serial=SN123 firmware=1.2.3 battery=80
//   protocol=old model=1905 firmware=8.20 baud=115200
//   mode=garbage | mode=silent | mode=stop_mid_answer, delay_ms=300, close_after=10
//   drop=Send_Battery (never answered), late=Send_DeviceInfo:800 (answered 800 ms later)
// Settings may change while it runs; each answer uses the state of its moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace varnok_sim {

enum class Link { Tcp, Pty };

// One decoded request.
struct Request {
    // The session operation that sends it ("Send_DeviceInfo", "Send_QxMdl", ...); for a request
    // the simulator does not know: "old XY" (the frame's letters) or "new 0xTTTT" (first tag).
    std::string name;
    // New protocol: "query" or "set" and the tags, each with "=" and its value in hex when it
    // carries one, e.g. "query 0x0306", "set 0x0410=0009"; old protocol: the letters and the
    // payload in hex, e.g. "RG C8".
    std::string detail;
    Link link = Link::Tcp;
};

class SimReceiver {
public:
    SimReceiver();
    // Stops serving and closes the TCP socket and the pseudo-terminal.
    ~SimReceiver();
    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    // Applies "key=value" settings separated by blanks, ';' or line ends ('#' starts a
    // comment). On an unknown key or a bad value: false and a message; the settings before it
    // stay applied.
    bool configure(const std::string& script, std::string* error = nullptr);
    bool set(const std::string& key, const std::string& value, std::string* error = nullptr);
    // The current value of a key ("" for an unknown key).
    std::string value(const std::string& key) const;
    // Every key with its current value, as set (texts left at their default stay empty).
    std::map<std::string, std::string> state() const;

    // Opens the listening socket and the pseudo-terminal and starts serving on a thread of its
    // own. False with a message when either cannot be opened.
    bool start(std::string* error = nullptr);
    void stop();

    std::uint16_t tcpPort() const;
    std::string ptyPath() const;

    // The requests decoded so far, oldest first.
    std::vector<Request> requests() const;
    std::vector<std::string> requestNames() const;
    void clearRequests();
    // Wait until a request of that name (or that many requests) has been decoded; false when
    // the time ran out.
    bool waitForRequest(const std::string& name, int timeoutMs) const;
    bool waitForRequests(std::size_t count, int timeoutMs) const;

    // Counters: TCP connections accepted and closed by the simulator (close_after), bytes
    // written to either link, and bytes heard on the pty at a line speed it does not answer.
    int tcpConnections() const;
    int closedByReceiver() const;
    std::size_t bytesSent() const;
    std::size_t bytesIgnored() const;
    // Wait until a counter has reached at least the value.
    bool waitForBytesSent(std::size_t count, int timeoutMs) const;
    bool waitForBytesIgnored(std::size_t count, int timeoutMs) const;
    bool waitForClosedByReceiver(int count, int timeoutMs) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace varnok_sim
