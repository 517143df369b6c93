// Socket steps shared by the TCP port and the general socket.
#pragma once

#include <sys/socket.h>

namespace Brevan2011 {
namespace BVComm {

void shutdownBoth(int fd);
bool setBlocking(int fd, bool blocking);
// Connects a socket, waiting at most timeoutMs (-1: no limit); 0 or the errno value. The
// socket is blocking afterwards. A shutdown from another thread ends the wait.
int connectWithin(int fd, const sockaddr* address, socklen_t length, int timeoutMs);

}  // namespace BVComm
}  // namespace Brevan2011
