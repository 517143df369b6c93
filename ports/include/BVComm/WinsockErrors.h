#pragma once

namespace Brevan2011 {
namespace BVComm {

// Socket error numbers in Winsock's numbering, which the program's messages use.
enum WinsockError : int {
    kWsaEacces = 10013,
    kWsaEfault = 10014,
    kWsaEinval = 10022,
    kWsaEnotsock = 10038,
    kWsaEprototype = 10041,
    kWsaEaddrinuse = 10048,
    kWsaEnetdown = 10050,
    kWsaEnetunreach = 10051,
    kWsaEconnaborted = 10053,
    kWsaEconnreset = 10054,
    kWsaEisconn = 10056,
    kWsaEnotconn = 10057,
    kWsaEtimedout = 10060,
    kWsaEconnrefused = 10061,
    kWsaEhostunreach = 10065,
    kWsaHostNotFound = 11001,
};

// An errno value in Winsock's numbering; a value without a Winsock peer passes unchanged.
int WinsockErrorFromErrno(int error);

}  // namespace BVComm
}  // namespace Brevan2011
