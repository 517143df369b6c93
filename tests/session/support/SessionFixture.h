#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "BVComm/PortPaths.h"
#include "BVDevice/EmGnss_Receiver.h"
#include "CallbackRecorder.h"
#include "ScriptedProtocol.h"
#include "SessionProbe.h"
#include "TempDir.h"

namespace varnok_test {

using Brevan2011::BVDevice::EmGnss_Receiver;
using Probe = Brevan2011::BVDevice::EmGnss_ReceiverProbe;

// A session test: scripted protocol objects, a fresh callback record, a replay file.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackRecorder::instance().reset();
        UseScriptedProtocol(true);
        replay_ = dir_.file("replay.bin");
        writeFile(replay_, "<1><2><3>");
    }
    void TearDown() override {
        UseScriptedProtocol(false);
        Brevan2011::BVComm::ClearPortPaths();
    }

    static EmGnss_Receiver* newSession() {
        auto* s = new EmGnss_Receiver(Brevan2011::BVParse::GNSS_MNFCTR_VELTA,
                                      Brevan2011::BVParse::MAINBD_NOVATEL);
        s->RegisterCbs_Receiver(CallbackRecorder::callbacks(), &kUserData);
        return s;
    }

    static const int kUserData;
    TempDir dir_;
    std::string replay_;
};

// A loopback port number with nothing listening on it.
Brevan2011::BVComm::PARAM_SOCK closedLoopbackParam();

// Bytes of a string as the session's raw-data calls take them.
inline const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

}  // namespace varnok_test
