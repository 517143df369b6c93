#include "net_server_config.h"

#include "config_paths.h"
#include "qt_text.h"

namespace {
const char kRoot[] = "netserver";
const char kGroup[] = "common";
const char kArray[] = "servers";
}  // namespace

NetServerConfig& NetServerConfig::instance() {
    static NetServerConfig config;
    return config;
}

NetServerConfig::NetServerConfig() : NetServerConfig(ConfigPaths::filePath("netserver")) {}

NetServerConfig::NetServerConfig(const std::string& path) {
    // The servers' user names and passwords: the file is the user's alone.
    settings_.setFileMode(0600);
    if (settings_.open(path, kRoot) != 0) {
        settings_.reset();
    }
}

int NetServerConfig::findItem(int count, int key, int skipItem) {
    for (int i = 0; i < count; ++i) {
        if (i == skipItem) {
            continue;
        }
        settings_.setArrayIndex(i);
        if (settings_.intValue("key", -1) == key) {
            return i;
        }
    }
    return -1;
}

int NetServerConfig::findEndpoint(int count, int protocol, const std::string& address,
                                  uint32_t port, int skipItem) {
    for (int i = 0; i < count; ++i) {
        if (i == skipItem) {
            continue;
        }
        settings_.setArrayIndex(i);
        settings_.beginGroup("server");
        const bool match = settings_.intValue("protocol", -1) == protocol &&
                           settings_.stringValue("address") == address &&
                           settings_.uintValue("port", 0) == port;
        settings_.endGroup();
        if (match) {
            return i;
        }
    }
    return -1;
}

bool NetServerConfig::readServerRecord(NetServer& server) {
    const int key = settings_.intValue("key", -1);
    if (key < 0) {
        return false;
    }
    server.key = key;
    settings_.beginGroup("server");
    server.name = fromUtf8String(settings_.stringValue("name"));
    server.address = fromUtf8String(settings_.stringValue("address"));
    server.protocol = settings_.intValue("protocol", -1);
    server.port = settings_.uintValue("port", 0);
    server.user = fromUtf8String(settings_.stringValue("user"));
    server.password = fromUtf8String(settings_.stringValue("password"));
    QStringList sources;
    const int n = settings_.beginArray("sources");
    for (int i = 0; i < n; ++i) {
        settings_.setArrayIndex(i);
        sources.append(fromUtf8String(settings_.stringValue("source")));
    }
    settings_.endArray();
    if (!sources.isEmpty()) {
        if (NetServer::usesBaseId(server.protocol)) {
            server.baseId = sources.first();
        } else {
            server.sources = sources;
        }
    }
    settings_.endGroup();
    return true;
}

void NetServerConfig::writeServerRecord(const NetServer& server, int key) {
    settings_.setIntValue("key", key);
    settings_.beginGroup("server");
    settings_.setStringValue("name", toUtf8String(server.name));
    settings_.setStringValue("address", toUtf8String(server.address));
    settings_.setIntValue("protocol", server.protocol);
    settings_.setUIntValue("port", server.port);
    // What an earlier protocol kept goes: an emptied list stays empty, a base ID never
    // becomes a mount point, and credentials stay only where the protocol uses them.
    settings_.remove("sources");
    if (server.protocol == 1) {
        settings_.setStringValue("user", toUtf8String(server.user));
        settings_.setStringValue("password", toUtf8String(server.password));
        if (!server.sources.isEmpty()) {
            settings_.beginWriteArray("sources", static_cast<int>(server.sources.size()));
            for (qsizetype i = 0; i < server.sources.size(); ++i) {
                settings_.setArrayIndex(static_cast<int>(i));
                settings_.setStringValue("source", toUtf8String(server.sources[i]));
            }
            settings_.endArray();
        }
    } else {
        settings_.remove("user");
        settings_.remove("password");
        if (NetServer::usesBaseId(server.protocol)) {
            settings_.beginWriteArray("sources", 1);
            settings_.setArrayIndex(0);
            settings_.setStringValue("source", toUtf8String(server.baseId));
            settings_.endArray();
        }
    }
    settings_.endGroup();
}

int NetServerConfig::addServer(const NetServer& server) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    settings_.endArray();
    settings_.beginWriteArray(kArray, n + 1);
    settings_.setArrayIndex(n);
    writeServerRecord(server, n);
    settings_.endArray();
    settings_.endGroup();
    settings_.save();
    return n;
}

void NetServerConfig::updateServer(const NetServer& server) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    const int item = server.key < 0 ? -1 : findItem(n, server.key, -1);
    settings_.endArray();
    if (item >= 0) {
        settings_.beginWriteArray(kArray, n);
        settings_.setArrayIndex(item);
        writeServerRecord(server, server.key);
        settings_.endArray();
    }
    settings_.endGroup();
    settings_.save();
}

void NetServerConfig::removeServer(int key) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    const int item = key < 0 ? -1 : findItem(n, key, -1);
    settings_.endArray();
    if (item >= 0) {
        settings_.beginWriteArray(kArray, n);
        settings_.setArrayIndex(item);
        settings_.setIntValue("key", -1);
        // The item stays for the key numbering and the endpoint checks; its credentials go.
        settings_.beginGroup("server");
        settings_.remove("user");
        settings_.remove("password");
        settings_.endGroup();
        settings_.endArray();
    }
    settings_.endGroup();
    settings_.save();
}

bool NetServerConfig::readServer(NetServer& server, int key, int skipItem) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    bool found = false;
    const int item = findItem(n, key, skipItem);
    if (item >= 0) {
        settings_.setArrayIndex(item);
        found = readServerRecord(server);
    }
    settings_.endArray();
    settings_.endGroup();
    return found;
}

void NetServerConfig::readAllServers(QList<NetServer>& servers) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    for (int i = 0; i < n; ++i) {
        settings_.setArrayIndex(i);
        NetServer server;
        if (readServerRecord(server)) {
            servers.append(server);
        }
    }
    settings_.endArray();
    settings_.endGroup();
}

void NetServerConfig::readServerList(QStringList& names, QList<int>& keys, int protocol) {
    names.clear();
    keys.clear();
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    for (int i = 0; i < n; ++i) {
        settings_.setArrayIndex(i);
        const int key = settings_.intValue("key", -1);
        if (key < 0) {
            continue;
        }
        settings_.beginGroup("server");
        if (protocol < 0 || settings_.intValue("protocol", -1) == protocol) {
            keys.append(key);
            names.append(fromUtf8String(settings_.stringValue("name")));
        }
        settings_.endGroup();
    }
    settings_.endArray();
    settings_.endGroup();
}

bool NetServerConfig::containsName(const QString& name, int key) {
    const std::string wanted = toUtf8String(name);
    bool found = false;
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    for (int i = 0; i < n && !found; ++i) {
        settings_.setArrayIndex(i);
        const int itemKey = settings_.intValue("key", -1);
        if (itemKey < 0 || itemKey == key) {
            continue;
        }
        settings_.beginGroup("server");
        found = settings_.stringValue("name") == wanted;
        settings_.endGroup();
    }
    settings_.endArray();
    settings_.endGroup();
    return found;
}

bool NetServerConfig::endpointExists(int protocol, const QString& address, uint32_t port,
                                     int skipItem) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    const int item = findEndpoint(n, protocol, toUtf8String(address), port, skipItem);
    settings_.endArray();
    settings_.endGroup();
    return item >= 0;
}

bool NetServerConfig::findByEndpoint(NetServer& server, int protocol, const QString& address,
                                     uint32_t port, int skipItem) {
    settings_.beginGroup(kGroup);
    const int n = settings_.beginArray(kArray);
    bool found = false;
    const int item = findEndpoint(n, protocol, toUtf8String(address), port, skipItem);
    if (item >= 0) {
        settings_.setArrayIndex(item);
        found = readServerRecord(server);
    }
    settings_.endArray();
    settings_.endGroup();
    return found;
}
