#pragma once

#include <QString>

#include <cstdint>
#include <string>

// The last connection settings as the connection page keeps them.
struct ConnectionParams {
    int type = 0;
    int port = 1;
    int baud = 9600;
    int automethod = 0;
    QString device;
    QString address;
    QString manufacture = QStringLiteral("ZOR");
    QString devicetype = QStringLiteral("Survey RTK");
    QString staticstation;
    QString ip;
    uint32_t serverport = 0;
    bool needauto = false;
    int channel = 0;
};

// configs/connectionparams.vnk, group "connection". Absent values read as the record's
// defaults; nothing is cached.
class ConnectionParamsConfig {
public:
    ConnectionParamsConfig();
    explicit ConnectionParamsConfig(const std::string& path);

    void load(ConnectionParams& params) const;
    void save(const ConnectionParams& params) const;

private:
    // One file for the whole program; every construction sets it.
    static std::string path_;
};
