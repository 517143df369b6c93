// Searches for Bluetooth devices with the platform backend the way the program does (Start, Run
// on a worker thread, Stop) and prints each device, then the error code. The backend is BlueZ
// over the system D-Bus where its service answers, else the raw HCI sockets.
//   varnok_bt_probe [seconds]   searches that long (default 30); a search that has not ended
//                               two seconds later is stopped
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "BVComm/Bluetooth.h"

using Brevan2011::BVComm::Bluetooth;

namespace {

void printDevice(const std::wstring& name, std::uint64_t* address, std::uint32_t* port) {
    const std::uint64_t a = *address;
    std::printf("%02X:%02X:%02X:%02X:%02X:%02X  port %u  %ls\n",
                static_cast<unsigned>((a >> 40) & 0xFF), static_cast<unsigned>((a >> 32) & 0xFF),
                static_cast<unsigned>((a >> 24) & 0xFF), static_cast<unsigned>((a >> 16) & 0xFF),
                static_cast<unsigned>((a >> 8) & 0xFF), static_cast<unsigned>(a & 0xFF),
                static_cast<unsigned>(*port), name.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    std::printf("backend: %s\n", Brevan2011::BVComm::PlatformBluetoothBackendName());

    Bluetooth bt;
    bt.SetResultCallback(printDevice);
    bt.SetSearchTime(seconds > 0 ? seconds * 1000 : 0);
    if (!bt.Start()) {
        std::printf("start failed, error code %d\n", bt.GetErrorCode());
        return 1;
    }
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread worker([&] {
        bt.Run();
        std::lock_guard<std::mutex> guard(mutex);
        done = true;
        finished.notify_all();
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds((seconds > 0 ? seconds : 0) + 2),
                               [&] { return done; })) {
            lock.unlock();
            std::printf("stopping\n");
            bt.Stop();
        }
    }
    worker.join();
    std::printf("search ended, error code %d\n", bt.GetErrorCode());
    return bt.GetErrorCode() == 0 ? 0 : 1;
}
