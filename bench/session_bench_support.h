#pragma once

#include <cstdint>
#include <string>

#include "BVComm/PortInstance.h"

namespace varnok_bench {

// A loopback listener with no thread of its own: the session connects, the benchmark accepts
// and then writes to the accepted socket from its own thread.
class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    bool ok() const { return listenFd_ >= 0; }
    Brevan2011::BVComm::PARAM_SOCK param() const;
    // Accepts the session's connection; the connected descriptor or -1.
    int accept();
    bool send(const std::string& bytes);

private:
    int listenFd_ = -1;
    int connFd_ = -1;
    std::uint16_t port_ = 0;
};

// CPU seconds this process has used.
double processCpuSeconds();

}  // namespace varnok_bench
