#pragma once

#include <QList>
#include <QStringList>

#include <string>

// configs/btbindings.vnk: the Bluetooth receivers the program has bound, as parallel lists of
// names and 48-bit device addresses (the address as one number, most significant byte first).
class BtBindingsConfig {
public:
    BtBindingsConfig();
    explicit BtBindingsConfig(const std::string& path);

    void load(QStringList& names, QList<quint64>& addresses) const;
    // One item per address; an address without a name gets an empty one, surplus names are
    // ignored.
    void save(const QStringList& names, const QList<quint64>& addresses) const;

private:
    std::string path_;
};
