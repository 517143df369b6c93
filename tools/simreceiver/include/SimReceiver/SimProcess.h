// varnok-simreceiver as a child process, for tests whose binary uses the shared protocol
// library (it must not load the simulator's static copy as well). Links nothing of the
// project: CMake target varnok_simreceiver_process.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace varnok_sim {

class SimProcess {
public:
    SimProcess() = default;
    // Stops the child (SIGTERM, then SIGKILL when it does not end within 5 s).
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Runs the executable (by default the one built with the project) with "key=value"
    // settings and waits until it has printed its "tcp" and "pty" lines. False with a message
    // when it cannot be started, refuses a setting or does not answer within timeoutMs.
    bool start(const std::vector<std::string>& settings, std::string* error = nullptr,
               int timeoutMs = 10000, const std::string& executable = std::string());
    // Changes settings while it serves (sent on its standard input); false with its message
    // when it refuses one or does not confirm within timeoutMs.
    bool configure(const std::string& settings, std::string* error = nullptr,
                   int timeoutMs = 10000);
    // Every key with its current value (its "dump" line); false with a message when it does
    // not answer within timeoutMs.
    bool state(std::map<std::string, std::string>* out, std::string* error = nullptr,
               int timeoutMs = 10000);
    // SIGTERM and wait; the exit status as waitpid gives it, -1 when there was no child.
    int stop();

    unsigned tcpPort() const { return tcpPort_; }
    const std::string& ptyPath() const { return ptyPath_; }

    // The names of the requests it has printed so far ("request <name> <detail>").
    std::vector<std::string> requestNames() const;
    // The detail of each of those requests, in the same order (the rest of its line).
    std::vector<std::string> requestDetails() const;
    bool waitForRequest(const std::string& name, int timeoutMs) const;
    // Every line it has printed so far, in order ("request <name> <detail>" lines included).
    std::vector<std::string> printedLines() const;
    // True once at least `count` request lines have been read.
    bool waitForRequests(std::size_t count, int timeoutMs) const;

private:
    void readOutput();
    bool waitForLine(const std::string& prefix, int timeoutMs, std::string* line);

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    unsigned tcpPort_ = 0;
    std::string ptyPath_;
    std::thread reader_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> lines_;  // every line but the requests, in order
    std::size_t linesTaken_ = 0;
    std::vector<std::string> requests_;
    std::vector<std::string> details_;
    std::vector<std::string> printed_;
    bool ended_ = false;
};

}  // namespace varnok_sim
