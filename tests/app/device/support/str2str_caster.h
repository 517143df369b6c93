#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace varnok_test {

// A loopback TCP port that was free a moment ago: bound to port 0 by the system, then closed.
std::uint16_t freeLoopbackPort();

// A real NTRIP caster: rtklib's str2str serving one mount point on a free loopback port, its
// input a loopback port that nothing listens on. It answers a source-table request with a
// table of that one stream record. Ended by its pid, never by name.
class Str2StrCaster {
public:
    Str2StrCaster() = default;
    Str2StrCaster(const Str2StrCaster&) = delete;
    Str2StrCaster& operator=(const Str2StrCaster&) = delete;
    ~Str2StrCaster();

    // The path of str2str, or empty when it is not installed.
    static std::string program();

    // Starts the caster with "STR;<mount>;<fields>" and waits up to 5 s for its port to accept
    // connections. False with a reason when it does not come up.
    bool start(const std::string& mount, const std::string& fields, std::string* error);
    // Ends it (SIGINT, then SIGKILL when it lingers) and reaps it.
    void stop();

    std::uint16_t port() const { return port_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace varnok_test
