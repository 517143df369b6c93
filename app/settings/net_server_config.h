#pragma once

#include <QList>
#include <QStringList>

#include <string>

#include "jsettings.h"
#include "net_server.h"

// configs/netserver.vnk: the user's network servers. One handle stays open for the store's
// life; every change is saved before the call returns, so a crash loses nothing. Keys are the
// item indexes at the time of adding; a removed server keeps its item with key -1, so keys are
// never reused.
class NetServerConfig {
public:
    static NetServerConfig& instance();

    NetServerConfig();
    explicit NetServerConfig(const std::string& path);

    // Returns the new key; the record's own key is not used.
    int addServer(const NetServer& server);
    // Rewrites the stored server with the record's key; nothing when none has it.
    void updateServer(const NetServer& server);
    void removeServer(int key);

    // The first item other than skipItem with that key; false for removed items.
    bool readServer(NetServer& server, int key, int skipItem);
    bool serverByKey(NetServer& server, int key) { return readServer(server, key, -1); }
    // Appends every live server in store order.
    void readAllServers(QList<NetServer>& servers);
    // Live servers with that protocol (every live server for a filter below 0).
    void readServerList(QStringList& names, QList<int>& keys, int protocol);
    // True when a live server with another key has exactly this name.
    bool containsName(const QString& name, int key);
    bool nameExists(const QString& name, int key) { return containsName(name, key); }
    // Removed servers count here too.
    bool endpointExists(int protocol, const QString& address, uint32_t port, int skipItem);
    bool findByEndpoint(NetServer& server, int protocol, const QString& address, uint32_t port,
                        int skipItem);

private:
    // With the array open: the item index whose "key" equals key, or -1.
    int findItem(int count, int key, int skipItem);
    int findEndpoint(int count, int protocol, const std::string& address, uint32_t port,
                     int skipItem);
    bool readServerRecord(NetServer& server);
    void writeServerRecord(const NetServer& server, int key);

    JSettings settings_;
};
