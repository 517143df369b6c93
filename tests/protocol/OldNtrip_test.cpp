// NTRIP mount request sent through an old-protocol receiver: the exact request text and its
// "VL" text frames of at most 55 bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Em_OldProtocol.h"
#include "OldCmdDecode.h"

using namespace Brevan2011::BVParse;
using oldcmd::Bytes;
using oldcmd::Decode;
using oldcmd::Hex;
using oldcmd::Raw;

namespace {

const std::string kHead =
    " HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.5\r\nConnection: Keep-Alive\r\n"
    "Accept: */*\r\nAuthorization: Basic";

cors_info Info(const std::string& mount, const std::string& user, const std::string& pass) {
    cors_info info = {};
    std::memcpy(info.mountPoint, mount.data(), mount.size());
    std::memcpy(info.userName, user.data(), user.size());
    std::memcpy(info.password, pass.data(), pass.size());
    return info;
}

TEST(OldNtrip, RequestTextsAndTheirFrames) {
    ASSERT_EQ(kHead.size(), 111u);
    const std::string m19(19, 'M');
    const std::string u49(49, 'u');
    const std::string p19(19, 'p');
    struct Row {
        cors_info info;
        std::string text;
        std::vector<std::size_t> pieces;
    };
    const std::vector<Row> rows = {
        {Info("RTCM3", "a", "b"), "GET /RTCM3" + kHead + " YTpi\r\n\r\n", {55, 55, 20}},
        {Info("RTCM3", "a", ""), "GET /RTCM3" + kHead + "\r\n\r\n", {55, 55, 15}},
        {Info("RTCM3", "", "b"), "GET /RTCM3" + kHead + "\r\n\r\n", {55, 55, 15}},
        {Info("", "", ""), "GET /" + kHead + "\r\n\r\n", {55, 55, 10}},
        {Info("MNT", "user", "pass"), "GET /MNT" + kHead + " dXNlcjpwYXNz\r\n\r\n", {55, 55, 26}},
        // "uuu...:ppp..." is 69 bytes: 92 Base64 characters.
        {Info(m19, u49, p19), "", {55, 55, 55, 55, 12}},
    };
    for (const Row& row : rows) {
        const std::string text = Em_OldProtocol::Ntrip_Request(row.info);
        if (!row.text.empty()) {
            EXPECT_EQ(text, row.text);
        }
        for (Com_Status link : {COM_STATUS_SERIAL, COM_STATUS_BLUETOOTH}) {
            SCOPED_TRACE(text.substr(0, 12) + " link " + std::to_string(link));
            Em_OldProtocol p;
            p.Set_Com_Status(link);
            Cmd_List cmds;
            p.Set_Cors_Login(cmds, row.info);
            ASSERT_EQ(cmds.size(), row.pieces.size());
            std::string joined;
            for (std::size_t i = 0; i < cmds.size(); ++i) {
                const auto f = Decode(cmds[i]);
                ASSERT_TRUE(f.ok);
                EXPECT_EQ(f.letters, "VL");
                EXPECT_EQ(f.mode, link == COM_STATUS_SERIAL ? 0x1B : 0x3B);
                EXPECT_EQ(f.payload.size(), row.pieces[i]);
                EXPECT_EQ(f.pause, 100u);
                joined.append(f.payload.begin(), f.payload.end());
            }
            EXPECT_EQ(joined, text);
        }
    }
    EXPECT_EQ(Em_OldProtocol::Ntrip_Request(Info(m19, u49, p19)).size(), 232u);
}

TEST(OldNtrip, LastFrameWrittenOutByHand) {
    Em_OldProtocol p;
    Cmd_List cmds;
    p.Set_Cors_Login(cmds, Info("", "", ""));
    ASSERT_EQ(cmds.size(), 3u);
    // The last 10 bytes: "Basic\r\n\r\n" is 9, preceded by the ' ' of "Authorization: ".
    EXPECT_EQ(Raw(cmds[2]), Hex("24 24 56 4C 1B 0A 20 42 61 73 69 63 0D 0A 0D 0A 71 0D 0A"));
}

TEST(OldNtrip, FullFieldsWithoutTerminatorsAreCutInsideTheirFields) {
    cors_info full;
    std::memset(&full, 'x', sizeof full);
    const std::string text = Em_OldProtocol::Ntrip_Request(full);
    EXPECT_EQ(text.size(), 232u);
    EXPECT_EQ(text.substr(0, 24), "GET /" + std::string(19, 'x'));
    Em_OldProtocol p;
    Cmd_List cmds;
    p.Set_Cors_Login(cmds, full);
    EXPECT_EQ(cmds.size(), 5u);
}

}  // namespace
