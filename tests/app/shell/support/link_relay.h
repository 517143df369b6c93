#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <thread>

namespace varnok_test {

// A stand-in for a Bluetooth radio link: one end of an AF_UNIX socketpair for the program,
// the other relayed to a receiver listening on loopback TCP (the simulated receiver). cut()
// hangs the link up from the receiver's side.
class LinkRelay {
public:
    LinkRelay() = default;
    LinkRelay(const LinkRelay&) = delete;
    LinkRelay& operator=(const LinkRelay&) = delete;
    ~LinkRelay() { cut(); }

    // The program's end of the link, or -1. The caller owns it.
    int open(std::uint16_t tcpPort) {
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
            return -1;
        }
        tcp_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(tcpPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        stop_ = ::eventfd(0, EFD_CLOEXEC);
        if (tcp_ < 0 || stop_ < 0 ||
            ::connect(tcp_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
            ::close(pair[0]);
            ::close(pair[1]);
            return -1;
        }
        far_ = pair[1];
        thread_ = std::thread([this] { relay(); });
        return pair[0];
    }

    void cut() {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            (void)!::write(stop_, &one, sizeof one);
            thread_.join();
        }
        for (int* fd : {&far_, &tcp_, &stop_}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
    }

private:
    void relay() {
        char buffer[4096];
        for (;;) {
            pollfd fds[3] = {{far_, POLLIN, 0}, {tcp_, POLLIN, 0}, {stop_, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                return;
            }
            if (fds[2].revents != 0) {
                return;
            }
            for (int i = 0; i < 2; ++i) {
                if (fds[i].revents == 0) {
                    continue;
                }
                const ssize_t n = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
                if (n <= 0 ||
                    ::send(fds[1 - i].fd, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
                    ::shutdown(far_, SHUT_RDWR);
                    return;
                }
            }
        }
    }

    int far_ = -1;
    int tcp_ = -1;
    int stop_ = -1;
    std::thread thread_;
};

}  // namespace varnok_test
