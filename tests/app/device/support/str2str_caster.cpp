#include "str2str_caster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace varnok_test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStartWait = std::chrono::seconds(5);
constexpr auto kStopWait = std::chrono::seconds(5);
constexpr auto kPollStep = std::chrono::milliseconds(50);

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
}

bool accepts(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    const sockaddr_in a = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// True when the child has ended (and is reaped).
bool ended(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

std::uint16_t freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in a = loopback(0);
    socklen_t length = sizeof a;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

Str2StrCaster::~Str2StrCaster() {
    stop();
}

std::string Str2StrCaster::program() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t from = 0;
    while (from <= dirs.size()) {
        const std::size_t colon = dirs.find(':', from);
        const std::string dir =
            dirs.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
        const std::string candidate = (dir.empty() ? "." : dir) + "/str2str";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string::npos) {
            break;
        }
        from = colon + 1;
    }
    return {};
}

bool Str2StrCaster::start(const std::string& mount, const std::string& fields, std::string* error) {
    stop();
    const std::string exe = program();
    const std::uint16_t input = freeLoopbackPort();
    port_ = freeLoopbackPort();
    if (exe.empty() || input == 0 || port_ == 0) {
        if (error) {
            *error = exe.empty() ? "str2str is not installed (scripts/install-deps.sh)"
                                 : "no free loopback port";
        }
        return false;
    }
    const std::string in = "tcpcli://127.0.0.1:" + std::to_string(input);
    const std::string out = "ntripc://:" + std::to_string(port_) + "/" + mount + ":" + fields;
    std::vector<std::string> args = {exe, "-in", in, "-out", out};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        if (error) {
            *error = "str2str did not start";
        }
        return false;
    }
    pid_ = pid;

    const auto deadline = Clock::now() + kStartWait;
    while (Clock::now() < deadline) {
        if (ended(pid_)) {
            pid_ = -1;
            if (error) {
                *error = "str2str ended at once";
            }
            return false;
        }
        if (accepts(port_)) {
            return true;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    stop();
    if (error) {
        *error = "str2str did not open its caster port within 5 s";
    }
    return false;
}

void Str2StrCaster::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGINT);
    const auto deadline = Clock::now() + kStopWait;
    while (Clock::now() < deadline) {
        if (ended(pid_)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

}  // namespace varnok_test
