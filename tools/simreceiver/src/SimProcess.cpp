#include "SimReceiver/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace varnok_sim {

namespace {

constexpr int kStopWaitMs = 5000;

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

// Waits for the child; false when it has not ended within the time.
bool Reap(pid_t pid, int timeoutMs, int* status) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t done = ::waitpid(pid, status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        ::poll(nullptr, 0, 10);
    }
}

}  // namespace

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(const std::vector<std::string>& settings, std::string* error, int timeoutMs,
                       const std::string& executable) {
    if (pid_ >= 0) {
        return Fail(error, "already running");
    }
#ifdef VARNOK_SIMRECEIVER_EXE
    const std::string path = executable.empty() ? VARNOK_SIMRECEIVER_EXE : executable;
#else
    const std::string path = executable;
#endif
    if (path.empty()) {
        return Fail(error, "no executable named");
    }
    int out[2];
    int in[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return Fail(error, std::string("pipe: ") + std::strerror(errno));
    }
    // A socket, not a pipe, for the settings: a write to a child that is gone then fails
    // instead of raising SIGPIPE in the test.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return Fail(error, std::string("socketpair: ") + std::strerror(errno));
    }
    std::vector<std::string> args = {path};
    args.insert(args.end(), settings.begin(), settings.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(&a[0]);
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        for (int fd : {out[0], out[1], in[0], in[1]}) {
            ::close(fd);
        }
        return Fail(error, std::string("fork: ") + std::strerror(errno));
    }
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(in[0], STDIN_FILENO);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(in[0]);
    pid_ = pid;
    fromChild_ = out[0];
    toChild_ = in[1];
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
        linesTaken_ = 0;
        requests_.clear();
        details_.clear();
        printed_.clear();
        ended_ = false;
    }
    reader_ = std::thread([this] { readOutput(); });

    std::string tcp, pty;
    if (!waitForLine("tcp ", timeoutMs, &tcp) || !waitForLine("pty ", timeoutMs, &pty)) {
        const int status = stop();
        return Fail(error, path + " did not start (status " + std::to_string(status) + ")");
    }
    tcpPort_ = static_cast<unsigned>(std::strtoul(tcp.c_str() + 4, nullptr, 10));
    ptyPath_ = pty.substr(4);
    return true;
}

bool SimProcess::configure(const std::string& settings, std::string* error, int timeoutMs) {
    if (pid_ < 0) {
        return Fail(error, "not running");
    }
    std::string line = settings;
    std::replace(line.begin(), line.end(), '\n', ' ');
    line += '\n';
    if (::send(toChild_, line.data(), line.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(line.size())) {
        return Fail(error, std::string("write: ") + std::strerror(errno));
    }
    std::string reply;
    if (!waitForLine("", timeoutMs, &reply)) {
        return Fail(error, "no reply");
    }
    if (reply != "ok") {
        return Fail(error, reply);
    }
    return true;
}

bool SimProcess::state(std::map<std::string, std::string>* out, std::string* error, int timeoutMs) {
    if (pid_ < 0) {
        return Fail(error, "not running");
    }
    const std::string line = "dump\n";
    if (::send(toChild_, line.data(), line.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(line.size())) {
        return Fail(error, std::string("write: ") + std::strerror(errno));
    }
    std::string reply;
    if (!waitForLine("state", timeoutMs, &reply)) {
        return Fail(error, reply.empty() ? "no state" : reply);
    }
    out->clear();
    // Values hold no blanks: settings are separated by them.
    std::size_t at = reply.find(' ');
    while (at != std::string::npos) {
        const std::size_t begin = at + 1;
        at = reply.find(' ', begin);
        const std::string word = reply.substr(begin, at == std::string::npos ? at : at - begin);
        const std::size_t eq = word.find('=');
        if (eq != std::string::npos && eq > 0) {
            (*out)[word.substr(0, eq)] = word.substr(eq + 1);
        }
    }
    return true;
}

int SimProcess::stop() {
    if (pid_ < 0) {
        return -1;
    }
    int status = -1;
    ::kill(pid_, SIGTERM);
    if (!Reap(pid_, kStopWaitMs, &status)) {
        ::kill(pid_, SIGKILL);
        Reap(pid_, kStopWaitMs, &status);
    }
    pid_ = -1;
    ::close(toChild_);
    toChild_ = -1;
    if (reader_.joinable()) {
        reader_.join();  // the pipe ends with the child
    }
    ::close(fromChild_);
    fromChild_ = -1;
    return status;
}

std::vector<std::string> SimProcess::printedLines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return printed_;
}

std::vector<std::string> SimProcess::requestNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> SimProcess::requestDetails() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return details_;
}

bool SimProcess::waitForRequest(const std::string& name, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::find(requests_.begin(), requests_.end(), name) != requests_.end();
    });
}

bool SimProcess::waitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

void SimProcess::readOutput() {
    std::string pending;
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(fromChild_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::lock_guard<std::mutex> lock(mutex_);
            printed_.push_back(line);
            if (line.compare(0, 8, "request ") == 0) {
                // The name of a request the simulator does not know is two words ("new 0x0410",
                // "old XY").
                const bool unknown =
                    line.compare(8, 4, "new ") == 0 || line.compare(8, 4, "old ") == 0;
                const std::size_t blank = line.find(' ', unknown ? 12 : 8);
                requests_.push_back(
                    line.substr(8, blank == std::string::npos ? std::string::npos : blank - 8));
                details_.push_back(blank == std::string::npos ? std::string()
                                                              : line.substr(blank + 1));
            } else {
                lines_.push_back(line);
            }
            changed_.notify_all();
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

bool SimProcess::waitForLine(const std::string& prefix, int timeoutMs, std::string* line) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool got = changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                       [&] { return linesTaken_ < lines_.size() || ended_; });
    if (!got || linesTaken_ >= lines_.size()) {
        return false;
    }
    *line = lines_[linesTaken_++];
    return line->compare(0, prefix.size(), prefix) == 0;
}

}  // namespace varnok_sim
