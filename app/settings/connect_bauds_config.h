#pragma once

#include <QList>

#include <string>

// configs/connectbauds.vnk: the baud rates and COM port numbers the connection page offers.
// Read at every construction; both built-in lists are written when either list is empty.
class ConnectBaudsConfig {
public:
    ConnectBaudsConfig();
    explicit ConnectBaudsConfig(const std::string& path);

    QList<int> bauds() const { return bauds_; }
    QList<int> ports() const { return ports_; }

private:
    bool needsDefaults() const;
    void writeDefaults() const;
    void load();

    std::string path_;
    QList<int> bauds_;
    QList<int> ports_;
};
