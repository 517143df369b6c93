#pragma once

#include <netinet/in.h>

#include "BVComm/DescriptorGate.h"
#include "BVComm/PortInstance.h"

namespace Brevan2011 {
namespace BVComm {

// TCP client connection to the receiver.
class SockPort : public IPortInstance {
public:
    SockPort() = default;
    ~SockPort() override = default;

    unsigned int Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override;
    unsigned int ReadData(char* buffer, unsigned int size) override;
    unsigned int WriteData(const char* data, unsigned int size) override;
    unsigned int GetType() const override { return 2; }

    static constexpr int kConnectTimeoutMs = 4000;

    // Connects with a time-out; the connected blocking socket, or -1.
    static int connectWithTimeout(const sockaddr_in& address, int timeoutMs);

private:
    DescriptorGate gate_;
    sockaddr_in address_{};
};

}  // namespace BVComm
}  // namespace Brevan2011
