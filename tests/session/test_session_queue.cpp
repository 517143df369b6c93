// The command queue of a session that has no write thread (closed or half-open).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SessionFixture.h"

using namespace varnok_test;

TEST_F(SessionTest, RawDataIsCutInto512ByteCommands) {
    struct Case {
        const char* what;
        std::size_t length;
        bool nullData;
        std::vector<unsigned> commands;
    } cases[] = {
        {"512 bytes", 512, false, {512}},
        {"513 bytes", 513, false, {512, 1}},
        {"1024 bytes", 1024, false, {512, 512}},
        {"1025 bytes", 1025, false, {512, 512, 1}},
        {"0 bytes", 0, false, {}},
        {"null", 10, true, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<EmGnss_Receiver> s(newSession());
        std::string bytes(c.length, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>(i % 251);
        }
        s->Send_DataToPort(c.nullData ? nullptr : bytesOf(bytes), static_cast<unsigned>(c.length));
        EXPECT_EQ(Probe::pendingLengths(*s), c.commands) << c.what;
        EXPECT_EQ(Probe::writeEventSet(*s), !c.commands.empty()) << c.what;
        std::string queued;
        for (const auto& cmd : Probe::pending(*s)) {
            EXPECT_EQ(cmd.pause, 100u);
            queued.append(reinterpret_cast<const char*>(cmd.data), cmd.length);
        }
        EXPECT_EQ(queued, c.nullData ? std::string() : bytes) << c.what;
    }
}

TEST_F(SessionTest, WithoutAFacadeOnlyRawDataIsQueued) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    s->Send_Null_For_Wait_Interval(100);
    s->Send_DiffDataToGnss(bytesOf("abc"), 3);
    s->ReSetGnsMd(Brevan2011::BVParse::MAINBD_STXETX);
    s->ReSetMnfctr(Brevan2011::BVParse::GNSS_MNFCTR_OEM);
    s->Port_SetBuf(100);
    s->Port_SetBaud(115200);
    s->Set_RcrdData(true, dir_.file("never.bin").c_str());
    EXPECT_TRUE(Probe::pendingLengths(*s).empty());
    EXPECT_FALSE(Probe::writeEventSet(*s));
    EXPECT_EQ(Probe::readChunk(*s), 2048u);
    EXPECT_TRUE(s->Port_Close());
    EXPECT_TRUE(CallbackRecorder::instance().status().empty());
}

TEST_F(SessionTest, AFullQueueDropsARequestWholeYetSignals) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_FALSE(s->Port_Open(closedLoopbackParam()));  // half-open: no write thread
    for (int i = 0; i < 40; ++i) {
        const unsigned char b = static_cast<unsigned char>('a' + i % 26);
        s->Send_DataToPort(&b, 1);
    }
    ASSERT_EQ(Probe::pendingLengths(*s).size(), 40u);
    Probe::clearWriteEvent(*s);
    const std::string request(600, 'x');  // two commands
    s->Send_DataToPort(bytesOf(request), 600);
    EXPECT_EQ(Probe::pendingLengths(*s).size(), 40u);
    EXPECT_TRUE(Probe::writeEventSet(*s));

    // A null pause still fits while there is room, and is dropped when there is none.
    s->Send_Null_For_Wait_Interval(0);
    EXPECT_EQ(Probe::pendingLengths(*s).size(), 40u);
}

TEST_F(SessionTest, ThirtyEightPendingAndAThreeCommandRequestQueuesNone) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_FALSE(s->Port_Open(closedLoopbackParam()));
    for (int i = 0; i < 38; ++i) {
        const unsigned char b = 'q';
        s->Send_DataToPort(&b, 1);
    }
    const std::string request(1100, 'r');  // 512 + 512 + 76
    s->Send_DataToPort(bytesOf(request), 1100);
    EXPECT_EQ(Probe::pendingLengths(*s).size(), 38u);
    s->Send_DataToPort(bytesOf(request), 1024);  // two commands fit exactly
    EXPECT_EQ(Probe::pendingLengths(*s).size(), 40u);
}

TEST_F(SessionTest, RawDataLargerThanTheWholeQueueIsDroppedWhole) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    const std::string tooMuch(40 * 512 + 1, 'z');
    s->Send_DataToPort(bytesOf(tooMuch), static_cast<unsigned>(tooMuch.size()));
    EXPECT_TRUE(Probe::pendingLengths(*s).empty());
    EXPECT_TRUE(Probe::writeEventSet(*s));
    const std::string fits(40 * 512, 'y');
    s->Send_DataToPort(bytesOf(fits), static_cast<unsigned>(fits.size()));
    EXPECT_EQ(Probe::pendingLengths(*s).size(), 40u);
}

TEST_F(SessionTest, OverlongReplayPathIsRefused) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    const std::string tooLong(256, 'p');
    EXPECT_FALSE(s->Port_Open(tooLong.c_str()));
    EXPECT_FALSE(Probe::hasFacade(*s));  // refused before anything was made
    EXPECT_TRUE(
        s->setReceiverType(Brevan2011::BVParse::GNSS_MNFCTR_OEM, Brevan2011::BVParse::MAINBD_NMEA));
}
