#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "BVComm/PortInstance.h"

namespace Brevan2011 {
namespace BVComm {

// Plays a recorded byte stream back: at most 200 bytes a read, each read followed by a pause,
// so a replay runs at about the pace of a receiver. Closing cuts a pause short; a closed port
// reads nothing at once, and Initialize starts the replay over.
class FilePort : public IPortInstance {
public:
    FilePort() = default;
    ~FilePort() override;

    unsigned int Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override { return true; }
    unsigned int ReadData(char* buffer, unsigned int size) override;
    unsigned int WriteData(const char*, unsigned int) override { return 0; }
    unsigned int GetType() const override { return 3; }

    static constexpr unsigned int kChunk = 200;
    static constexpr int kPauseMs = 500;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    unsigned long closes_ = 0;
    std::string path_;
    std::FILE* stream_ = nullptr;
};

}  // namespace BVComm
}  // namespace Brevan2011
