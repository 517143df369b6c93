// NTRIP mount request that an old-protocol receiver passes on to its caster through its own
// GPRS modem: composed here, sent as "VL" text frames of at most 55 bytes.
#include <cstring>
#include <string>

#include "BVParse/Em_Base64.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint32_t kTextPause = 100;

// A full field without its terminator gives field - 1 characters, never more.
template <std::size_t N>
std::string Field(const char (&field)[N]) {
    return std::string(field, strnlen(field, N - 1));
}

}  // namespace

std::string Em_OldProtocol::Ntrip_Request(const cors_info& info) {
    const std::string mount = Field(info.mountPoint);
    const std::string user = Field(info.userName);
    const std::string password = Field(info.password);
    std::string text = "GET /" + mount +
                       " HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.5\r\n"
                       "Connection: Keep-Alive\r\nAccept: */*\r\nAuthorization: Basic";
    if (!user.empty() && !password.empty()) {
        const std::string credentials = user + ":" + password;
        text += ' ';
        text += Em_Base64::base64_encode(reinterpret_cast<const unsigned char*>(credentials.data()),
                                         static_cast<unsigned>(credentials.size()));
    }
    text += "\r\n\r\n";
    return text;
}

void Em_OldProtocol::Set_Cors_Login(Cmd_List& cmds, const cors_info& info) const {
    const std::string text = Ntrip_Request(info);
    // The longest request (19, 49 and 19 characters) is 232 bytes: it fits one command.
    if (text.size() > sizeof(_STR_CMD::data)) {
        return;
    }
    Cmd_List whole(1);
    _STR_CMD& cmd = whole.front();
    std::memset(&cmd, 0, sizeof cmd);
    std::memcpy(cmd.data, text.data(), text.size());
    cmd.length = static_cast<uint32_t>(text.size());
    cmd.pause = kTextPause;
    Split_OldCmds_VL(cmds, whole);
}

}  // namespace BVParse
}  // namespace Brevan2011
