// Replays a file through a receiver session of the installed libraries; "consumer ok" when
// the session opened and closed and the other two libraries answered.
#include <cstdio>
#include <string>

#include "BVComm/PortPaths.h"
#include "BVDevice/EmGnss_Receiver.h"
#include "BVParse/Em_Base64.h"

int main(int argc, char** argv) {
    using namespace Brevan2011;
    if (argc != 2) {
        std::fprintf(stderr, "usage: consumer <replay file>\n");
        return 2;
    }
    const std::string credentials = "user:pass";
    const std::string encoded = BVParse::Em_Base64::base64_encode(
        reinterpret_cast<const unsigned char*>(credentials.data()),
        static_cast<unsigned int>(credentials.size()));
    if (encoded != "dXNlcjpwYXNz" || BVComm::ComPortPath(3, false) != "/dev/ttyS2") {
        std::fprintf(stderr, "unexpected answers: %s %s\n", encoded.c_str(),
                     BVComm::ComPortPath(3, false).c_str());
        return 1;
    }
    BVDevice::EmGnss_Receiver receiver(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NONE);
    if (!receiver.Port_Open(argv[1]) || !receiver.IsPortOpen()) {
        std::fprintf(stderr, "the replay did not open\n");
        return 1;
    }
    if (!receiver.Port_Close() || receiver.IsPortOpen()) {
        std::fprintf(stderr, "the session did not close\n");
        return 1;
    }
    std::printf("consumer ok\n");
    return 0;
}
