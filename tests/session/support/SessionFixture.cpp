#include "SessionFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace varnok_test {

const int SessionTest::kUserData = 99;

Brevan2011::BVComm::PARAM_SOCK closedLoopbackParam() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    Brevan2011::BVComm::PARAM_SOCK p;
    p.address = htonl(INADDR_LOOPBACK);
    p.port = ntohs(a.sin_port);
    return p;
}

}  // namespace varnok_test
