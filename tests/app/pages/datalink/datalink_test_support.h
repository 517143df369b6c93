#pragma once

#include <QApplication>
#include <QComboBox>

#include <cstring>
#include <string>
#include <vector>

#include "device_manager.h"
#include "register_pages.h"
#include "shell_harness.h"

namespace varnok_test {

// What an old-protocol receiver's answers put in the device manager's cache, scripted on the
// fake session and fired from another thread as the session would.
class OldReceiver {
public:
    explicit OldReceiver(ShellHarness& h) : h_(h) {}

    void radioInfo(std::uint32_t protocols, std::uint32_t caps, std::uint32_t powers,
                   double lower = 410, double upper = 470, double stepKHz = 12.5, int type = 1) {
        Radio_Info info{};
        info.lower = lower;
        info.upper = upper;
        info.spacing = stepKHz;
        info.radioType = type;
        info.wordA = protocols;
        info.wordC = caps;
        info.wordD = powers;
        Radio_Range range{upper, lower, stepKHz};
        h_.script().answer<int(Radio_Info&)>("Get_Radio_Info", [info](Radio_Info& r) {
            r = info;
            return 0;
        });
        h_.script().answer<int(Radio_Range&)>("Get_Radio_Range", [range](Radio_Range& r) {
            r = range;
            return 0;
        });
        fire(0x1000000u);
    }
    void deviceInfo(int baudCode, int byte109 = 0) {
        DEVICE_STR d{};
        d.byte113 = static_cast<std::uint8_t>(baudCode);
        d.byte109 = static_cast<std::uint8_t>(byte109);
        h_.script().answer<void(DEVICE_STR&)>("GetInfo_DevcInfo", [d](DEVICE_STR& r) { r = d; });
        fire(0x80000000u);
    }
    void mode(int mode, double mhz) {
        h_.script().answer<double()>("Get_Radio_Frq", [mhz] { return mhz; });
        h_.script().answer<Rdo_Mdl()>("Get_Transmit_Mdl",
                                      [mode] { return static_cast<Rdo_Mdl>(mode); });
        fire(0x2000000u);
    }
    void spacing(int code) {
        h_.script().answer<void(Channel_Space&)>(
            "Get_Radio_ChannelSpace",
            [code](Channel_Space& s) { s = static_cast<Channel_Space>(code); });
        fire(0x40u);
    }
    void power(int code) {
        h_.script().answer<Radio_Power()>("Get_Radio_Power",
                                          [code] { return static_cast<Radio_Power>(code); });
        fire(0x4000u);
    }
    void callsign(const Radio_Callsign& c) {
        h_.script().answer<void(Radio_Callsign&)>("Get_Radio_Callsign",
                                                  [c](Radio_Callsign& r) { r = c; });
        fire(0x20u);
    }
    void wireless(const WirelessInfo& info) {
        h_.script().answer<void(WirelessInfo&)>("GetInfo_Gprs_Info",
                                                [info](WirelessInfo& r) { r = info; });
        fire(0x20000000u);
    }
    void cors(const cors_info& info) {
        h_.script().answer<void(cors_info&, int&)>("Get_Cors_Info_Auto",
                                                   [info](cors_info& r, int& w) {
                                                       r = info;
                                                       w = 0;
                                                   });
        fire(0x10000u);
    }
    void loginMode(int mode) {
        h_.script().answer<int()>("GetInfo_Gprs_CosMdl", [mode] { return mode; });
        fire(0x400000u);
    }
    void status(int s) {
        h_.script().answer<gprs_status()>("GetInfo_Gprs_Status", [s] { return s; });
        fire(0x8000000u);
    }
    void error(int e) {
        h_.script().answer<gprs_ero()>("GetInfo_Gprs_Eroinfo", [e] { return e; });
        fire(0x100000u);
    }
    void fire(std::uint32_t bit) {
        h_.fireFromThread(2, bit);
        h_.deliver();
    }

private:
    ShellHarness& h_;
};

inline bool contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

inline std::vector<std::string> calls(const ShellHarness& h, const std::string& prefix) {
    return h.callsStartingWith(prefix);
}

inline bool overrideCursorSet() {
    return QApplication::overrideCursor() != nullptr;
}

inline std::vector<QString> shownTexts(const RecordingPrompts& p) {
    std::vector<QString> out;
    for (const auto& s : p.shown) {
        out.push_back(s.text);
    }
    return out;
}

}  // namespace varnok_test
