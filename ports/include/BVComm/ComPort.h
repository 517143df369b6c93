#pragma once

#include <mutex>
#include <string>

#include "BVComm/DescriptorGate.h"
#include "BVComm/PortInstance.h"

struct termios;

namespace Brevan2011 {
namespace BVComm {

// Serial device (also a Bluetooth serial binding): raw termios, non-blocking reads of what is
// queued, writes bounded by 10 ms a byte + 1000 ms. A hung-up or failing line ends the port.
class ComPort : public IPortInstance {
public:
    explicit ComPort(bool bluetooth = false);
    ~ComPort() override;

    unsigned int Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override;
    unsigned int ReadData(char* buffer, unsigned int size) override;
    unsigned int WriteData(const char* data, unsigned int size) override;
    unsigned int GetType() const override { return 0; }

    // Stores a new rate and applies the settings again; on failure the port keeps its old
    // rate and settings. Returns 0 or the failing step's error number.
    int SetBaudRate(int baud);

    const std::string& devicePath() const { return path_; }

    // termios speed constant of a rate, or 0 when the rate is not supported.
    static unsigned int speedOf(int baud);
    // Fills raw settings for the rate and codes; 0, or EINVAL for what the device cannot take.
    static int makeSettings(termios& t, int baud, int byteSize, int parity, int stopBits);

private:
    int applySettings(int fd);
    // Ends the port after the line failed: IsOpen turns false; logged once.
    void lose(const char* why, int error);
    int wakeReadFd() const;

    const bool bluetooth_;
    DescriptorGate gate_;
    int wakePipe_[2] = {-1, -1};
    std::mutex settingsMutex_;
    std::string path_;
    int port_ = 1;
    int baud_ = 9600;
    int parity_ = 0;
    int byteSize_ = 8;
    int stopBits_ = 0;
    int inBufSize_ = 1024;
    int outBufSize_ = 1024;
};

}  // namespace BVComm
}  // namespace Brevan2011
