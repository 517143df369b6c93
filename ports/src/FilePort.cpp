#include "BVComm/FilePort.h"

#include <algorithm>
#include <chrono>

namespace Brevan2011 {
namespace BVComm {

FilePort::~FilePort() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
}

unsigned int FilePort::Initialize(void* param) {
    if (param == nullptr) {
        return kPortFileNotOpened;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    path_ = static_cast<const char*>(param);
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
    stream_ = std::fopen(path_.c_str(), "rb");
    return stream_ != nullptr ? 0 : kPortFileNotOpened;
}

void FilePort::Uninitialize() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    ++closes_;
    wake_.notify_all();
}

unsigned int FilePort::ReadData(char* buffer, unsigned int size) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stream_ == nullptr) {
        // Closed: a session closing its replay must not wait out a pause here.
        return 0;
    }
    std::size_t count = 0;
    if (buffer != nullptr && size > 0 && std::feof(stream_) == 0) {
        count = std::fread(buffer, 1, std::min(size, kChunk), stream_);
    }
    // The pause paces the replay; closing the port cuts it short.
    const unsigned long closes = closes_;
    wake_.wait_for(lock, std::chrono::milliseconds(kPauseMs), [&] { return closes_ != closes; });
    return static_cast<unsigned int>(count);
}

}  // namespace BVComm
}  // namespace Brevan2011
