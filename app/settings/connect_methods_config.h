#pragma once

#include <QList>
#include <QMap>
#include <QStringList>

#include <string>

// configs/connectmethods.vnk: the device types the connection page offers, the connection
// methods of each device code, and the receivers' Wi-Fi addresses. Read once; the built-in
// lists are written first when the file has no device item.
class ConnectMethodsConfig {
public:
    static ConnectMethodsConfig& instance();

    ConnectMethodsConfig();
    explicit ConnectMethodsConfig(const std::string& path);

    void devices(QStringList& names, QList<int>& codes) const;
    // A code without methods gives two empty lists (and keeps an empty entry for it).
    void methodsOf(int code, QStringList& names, QList<int>& codes);
    void methods(int code, QStringList& names, QList<int>& codes) { methodsOf(code, names, codes); }
    // "192.168.1.1" and "192.168.200.1" when the file lists none.
    void channels(QStringList& addresses) const;

private:
    bool needsDefaults() const;
    void writeDefaults() const;
    void load();

    QStringList deviceNames_;
    QList<int> deviceCodes_;
    QMap<int, QStringList> methodNames_;
    QMap<int, QList<int>> methodCodes_;
    QStringList wifiAddresses_;
    std::string path_;
};
