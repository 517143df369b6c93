#include "BVComm/WinsockErrors.h"

#include <cerrno>

namespace Brevan2011 {
namespace BVComm {

int WinsockErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return 0;
        case EINTR:
            return 10004;
        case EBADF:
            return 10009;
        case EACCES:
        case EPERM:
            return kWsaEacces;
        case EFAULT:
            return kWsaEfault;
        case EINVAL:
            return kWsaEinval;
        case EMFILE:
            return 10024;
        case EAGAIN:
            return 10035;
        case EINPROGRESS:
            return 10036;
        case EALREADY:
            return 10037;
        case ENOTSOCK:
            return kWsaEnotsock;
        case EDESTADDRREQ:
            return 10039;
        case EMSGSIZE:
            return 10040;
        case EPROTOTYPE:
            return kWsaEprototype;
        case ENOPROTOOPT:
            return 10042;
        case EPROTONOSUPPORT:
            return 10043;
        case EOPNOTSUPP:
            return 10045;
        case EAFNOSUPPORT:
            return 10047;
        case EADDRINUSE:
            return kWsaEaddrinuse;
        case EADDRNOTAVAIL:
            return 10049;
        case ENETDOWN:
        case ENODEV:
            return kWsaEnetdown;
        case ENETUNREACH:
            return kWsaEnetunreach;
        case ENETRESET:
            return 10052;
        case ECONNABORTED:
            return kWsaEconnaborted;
        case ECONNRESET:
        case EPIPE:
            return kWsaEconnreset;
        case ENOBUFS:
        case ENOMEM:
            return 10055;
        case EISCONN:
            return kWsaEisconn;
        case ENOTCONN:
            return kWsaEnotconn;
        case ESHUTDOWN:
            return 10058;
        case ETIMEDOUT:
            return kWsaEtimedout;
        case ECONNREFUSED:
            return kWsaEconnrefused;
        case EHOSTDOWN:
            return 10064;
        case EHOSTUNREACH:
            return kWsaEhostunreach;
        default:
            return error;
    }
}

}  // namespace BVComm
}  // namespace Brevan2011
