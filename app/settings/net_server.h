#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// One network correction server as the server pages edit it. Protocol codes: 0 "ORLO",
// 1 "Ntrip Client", 2 "ORLO One To Multi", 3 "TCP Direct".
struct NetServer {
    QString address;
    uint32_t port = 0;
    int protocol = -1;
    QString name;
    QString user;
    QString password;  // kept as plain text, as the receiver needs it
    QStringList sources;
    QString baseId;
    int key = -1;  // -1: not stored yet

    // Protocols 0 and 2 keep a base ID instead of sources.
    static bool usesBaseId(int protocol) { return protocol == 0 || protocol == 2; }
};
