#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QTimerEvent>

#include <cstring>
#include <string>
#include <vector>

#include "device_manager.h"
#include "radio_config.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "widget.h"

namespace varnok_test {

// What a new-protocol receiver's answers put in the device manager, scripted on the fake
// session and fired from another thread as the session would.
class NewReceiver {
public:
    explicit NewReceiver(ShellHarness& h) : h_(h) {}

    void mode(int m) {
        h_.script().answer<void(QX_DATALINK_MODE_ENUM&)>(
            "Get_DataLink_Mode", [m](QX_DATALINK_MODE_ENUM& r) { r = QX_DATALINK_MODE_ENUM(m); });
        fire(0x20000u);
    }
    void powerStatus(int s) {
        h_.script().answer<void(QX_RADIO_POWER_STATUS_ENUM&)>(
            "Get_Radio_Power_Status",
            [s](QX_RADIO_POWER_STATUS_ENUM& r) { r = QX_RADIO_POWER_STATUS_ENUM(s); });
        fire(0x100u);
    }
    void protocol(int p) {
        h_.script().answer<void(QX_RADIO_PROTOCOL_ENUM&)>(
            "Get_Radio_Protocol",
            [p](QX_RADIO_PROTOCOL_ENUM& r) { r = QX_RADIO_PROTOCOL_ENUM(p); });
        fire(0x10u);
    }
    void frequency(float mhz) {
        h_.script().answer<float()>("Get_Radio_Frequency", [mhz] { return mhz; });
        fire(0x1u);
    }
    void power(unsigned int code) {
        h_.script().answer<unsigned int()>("Get_Radio_Power_V2", [code] { return code; });
        fire(0x2u);
    }
    void airBaud(unsigned int baud) {
        h_.script().answer<unsigned int()>("Get_Radio_Air_Baud", [baud] { return baud; });
        fire(0x8u);
    }
    void stepper(unsigned int code) {
        h_.script().answer<unsigned int()>("Get_Radio_Stepper", [code] { return code; });
        fire(0x4u);
    }
    void callsign(const QX_RADIO_CALLSIGN_STRUCT& c) {
        h_.script().answer<void(QX_RADIO_CALLSIGN_STRUCT&)>(
            "Get_Radio_Callsign", [c](QX_RADIO_CALLSIGN_STRUCT& r) { r = c; });
        fire(0x800000u);
    }
    void serverType(int t) {
        h_.script().answer<void(QX_NETLINK_SERVER_TYPE_ENUM&)>(
            "Get_NetLink_Server_Type",
            [t](QX_NETLINK_SERVER_TYPE_ENUM& r) { r = QX_NETLINK_SERVER_TYPE_ENUM(t); });
        fire(0x800u);
    }
    void address(const QX_IP_ADDRESS_STRUCT& a) {
        h_.script().answer<void(QX_IP_ADDRESS_STRUCT&)>("Get_NetLink_Address",
                                                        [a](QX_IP_ADDRESS_STRUCT& r) { r = a; });
        fire(0x400u);
    }
    void source(const QX_CORS_DATA_SOURCE_STRUCT& s) {
        h_.script().answer<void(QX_CORS_DATA_SOURCE_STRUCT&)>(
            "Get_NetLink_Data_Source", [s](QX_CORS_DATA_SOURCE_STRUCT& r) { r = s; });
        fire(0x8000u);
    }
    void account(const QX_ACCOUNT_STRUCT& a) {
        h_.script().answer<void(QX_ACCOUNT_STRUCT&)>("Get_NetLink_Account",
                                                     [a](QX_ACCOUNT_STRUCT& r) { r = a; });
        fire(0x10000u);
    }
    void autoOpen(unsigned char on) {
        h_.script().answer<unsigned char()>("Get_NetLink_Auto_Open", [on] { return on; });
        fire(0x4000u);
    }
    void fire(std::uint32_t bit) {
        h_.fireFromThread(6, bit);
        h_.deliver();
    }

private:
    ShellHarness& h_;
};

// Radio capability files: module 5 spans the three bands and can set everything, module 1 has
// nothing to choose, module 3 has one spacing.
inline std::string newRadioConfigText() {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<radioconfig>
    <radios type="array">
        <size>3</size>
        <a1>
            <ID>5</ID>
            <name>Full</name>
            <minfreq>410</minfreq>
            <maxfreq>470</maxfreq>
            <power type="array"><size>2</size><a1><value>10</value></a1><a2><value>20</value></a2></power>
            <protocol type="array"><size>3</size>
                <a1><ID>1</ID><name>a</name></a1>
                <a2><ID>3</ID><name>b</name></a2>
                <a3><ID>4</ID><name>c</name></a3>
            </protocol>
            <stepper type="array"><size>2</size><a1><value>125</value></a1><a2><value>250</value></a2></stepper>
            <baudrate type="group">
                <applyall>1</applyall>
                <universal type="array"><size>2</size><a1><value>9600</value></a1><a2><value>19200</value></a2></universal>
            </baudrate>
            <sensitivity type="group"><supported>2</supported><value>1</value></sensitivity>
            <FEC type="group"><supported>2</supported><on>0</on></FEC>
            <COS type="group"><supported>2</supported><on>0</on></COS>
        </a1>
        <a2>
            <ID>1</ID>
            <name>Bare</name>
            <minfreq>450</minfreq>
            <maxfreq>470</maxfreq>
        </a2>
        <a3>
            <ID>3</ID>
            <name>OneSpacing</name>
            <minfreq>450</minfreq>
            <maxfreq>470</maxfreq>
            <protocol type="array"><size>2</size>
                <a1><ID>1</ID><name>a</name></a1>
                <a2><ID>2</ID><name>b</name></a2>
            </protocol>
            <stepper type="array"><size>1</size><a1><value>125</value></a1></stepper>
        </a3>
    </radios>
</radioconfig>
)";
}

// Loads a module type from the test capability file; false when the file was not written.
inline bool loadRadio(const ShellHarness& h, int type) {
    const QString path = h.configsDir() + "/radioconfig.vnk";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    f.write(QByteArray::fromStdString(newRadioConfigText()));
    f.close();
    return RadioConfig::instance().loadForType(type, path.toStdString()) == 0;
}

inline void resetRadio() {
    RadioConfig& r = RadioConfig::instance();
    for (int band = 0; band < 3; ++band) {
        r.setChannelTable({}, band);
    }
    r.setChannelFrequencies(nullptr, 0);
    r.clearReceived();
    r.loadForType(0, "/nonexistent/radioconfig.vnk");
}

// The timer of that id fires now, as the event loop would deliver it; no id, no event.
inline void fireTimer(QObject* target, int id) {
    if (id < 1) {
        return;
    }
    QTimerEvent e(id);
    QCoreApplication::sendEvent(target, &e);
}

inline QAction* actionNamed(Varnok::Widget* page, const QString& text) {
    for (QAction* a : page->actions()) {
        if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}

}  // namespace varnok_test
