// The network server store: keys, removal, record layout and saving on every change.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "net_server_config.h"
#include "temp_dir.h"

namespace {

NetServer server(const QString& name, int protocol, const QString& address = "caster.example",
                 uint32_t port = 2101) {
    NetServer s;
    s.name = name;
    s.protocol = protocol;
    s.address = address;
    s.port = port;
    return s;
}

QList<int> keysOf(const QList<NetServer>& servers) {
    QList<int> keys;
    for (const NetServer& s : servers) {
        keys.append(s.key);
    }
    return keys;
}

class NetServerConfigTest : public ::testing::Test {
protected:
    std::string path() const { return dir_.file("netserver.vnk"); }
    TempDir dir_;
};

TEST_F(NetServerConfigTest, NewRecordDefaults) {
    NetServer s;
    EXPECT_EQ(s.port, 0u);
    EXPECT_EQ(s.protocol, -1);
    EXPECT_EQ(s.key, -1);
    EXPECT_TRUE(s.sources.isEmpty());
}

TEST_F(NetServerConfigTest, KeysAreNeverReused) {
    NetServerConfig store(path());
    EXPECT_EQ(store.addServer(server("A", 3)), 0);
    EXPECT_EQ(store.addServer(server("B", 3)), 1);
    EXPECT_EQ(store.addServer(server("C", 3)), 2);
    store.removeServer(1);
    store.removeServer(17);  // no such key: nothing
    EXPECT_EQ(store.addServer(server("B", 3)), 3);
    QList<NetServer> all{server("kept", 0)};
    store.readAllServers(all);
    EXPECT_EQ(keysOf(all), (QList<int>{-1, 0, 2, 3}));  // appended after the caller's entry

    NetServer out = server("untouched", 9);
    EXPECT_FALSE(store.readServer(out, 1, -1));
    EXPECT_FALSE(store.readServer(out, -1, -1));
    EXPECT_FALSE(store.serverByKey(out, 1));
    EXPECT_EQ(out.name, "untouched");
    EXPECT_TRUE(store.serverByKey(out, 3));
    EXPECT_EQ(out.name, "B");
    EXPECT_EQ(out.key, 3);

    // The removed "B" no longer counts; the live one does unless it is excluded.
    EXPECT_TRUE(store.containsName("B", -1));
    EXPECT_FALSE(store.nameExists("B", 3));
    EXPECT_FALSE(store.containsName("b", -1));

    // A fresh handle sees every change on disk.
    NetServerConfig fresh(path());
    QList<NetServer> again;
    fresh.readAllServers(again);
    EXPECT_EQ(keysOf(again), (QList<int>{0, 2, 3}));
}

TEST_F(NetServerConfigTest, RecordLayoutByProtocol) {
    NetServerConfig store(path());
    NetServer orlo = server("Orlo", 0);
    orlo.baseId = "12";
    orlo.user = "ignored";
    const int orloKey = store.addServer(orlo);

    NetServer ntrip = server("Ntrip", 1);
    ntrip.user = "u";
    ntrip.password = "p";
    const int ntripKey = store.addServer(ntrip);

    NetServer out;
    ASSERT_TRUE(store.readServer(out, orloKey, -1));
    EXPECT_EQ(out.baseId, "12");
    EXPECT_TRUE(out.sources.isEmpty());
    EXPECT_TRUE(out.user.isEmpty());

    const std::string text = readBytes(path());
    EXPECT_NE(text.find("<source>12</source>"), std::string::npos);
    EXPECT_EQ(text.find("ignored"), std::string::npos);
    // The NTRIP server without sources has no "sources" array: only the ORLO one does.
    EXPECT_EQ(text.find("<sources"), text.rfind("<sources"));

    NetServer withSources = ntrip;
    withSources.key = ntripKey;
    withSources.sources = QStringList{"MNT1", "MNT2"};
    store.updateServer(withSources);
    NetServer tcp = server("Ntrip", 3);
    tcp.key = ntripKey;
    store.updateServer(tcp);
    ASSERT_TRUE(store.readServer(out = NetServer(), ntripKey, -1));
    EXPECT_EQ(out.protocol, 3);
    EXPECT_TRUE(out.user.isEmpty());  // a TCP server keeps no account and no sources
    EXPECT_TRUE(out.password.isEmpty());
    EXPECT_TRUE(out.sources.isEmpty());

    // Updates and removals reach the file before the calls return.
    NetServer onDisk;
    ASSERT_TRUE(NetServerConfig(path()).readServer(onDisk, ntripKey, -1));
    EXPECT_EQ(onDisk.protocol, 3);
    store.removeServer(orloKey);
    EXPECT_FALSE(NetServerConfig(path()).readServer(onDisk, orloKey, -1));
}

// An update writes what the record holds now: an emptied source list stays empty, a base ID
// left from ORLO is no mount point of the NTRIP server it became, and only an NTRIP server
// keeps a user name and password. A removed server keeps its item (key -1, protocol,
// address, port) for the key numbering and the endpoint checks, but not its credentials.
TEST_F(NetServerConfigTest, UpdatesAndRemovalKeepOnlyWhatTheRecordHolds) {
    NetServerConfig store(path());
    NetServer ntrip = server("Caster", 1);
    ntrip.user = "surveyor";
    ntrip.password = "secret-pass";
    ntrip.sources = QStringList{"MNT1", "MNT2"};
    const int ntripKey = store.addServer(ntrip);
    NetServer emptied = ntrip;
    emptied.key = ntripKey;
    emptied.sources.clear();
    store.updateServer(emptied);
    NetServer out;
    ASSERT_TRUE(NetServerConfig(path()).readServer(out, ntripKey, -1));
    EXPECT_TRUE(out.sources.isEmpty());
    EXPECT_EQ(out.user, "surveyor");

    NetServer orlo = server("Orlo", 0);
    orlo.baseId = "BASE7";
    const int orloKey = store.addServer(orlo);
    NetServer switched = orlo;
    switched.key = orloKey;
    switched.protocol = 1;
    switched.baseId = "BASE7";  // a hidden editor still holds it
    store.updateServer(switched);
    ASSERT_TRUE(store.readServer(out = NetServer(), orloKey, -1));
    EXPECT_TRUE(out.sources.isEmpty());

    NetServer toOrlo = ntrip;
    toOrlo.key = ntripKey;
    toOrlo.protocol = 2;
    toOrlo.baseId = "B2";
    store.updateServer(toOrlo);
    ASSERT_TRUE(store.readServer(out = NetServer(), ntripKey, -1));
    EXPECT_TRUE(out.user.isEmpty());
    EXPECT_TRUE(out.password.isEmpty());
    EXPECT_EQ(out.baseId, "B2");
    EXPECT_EQ(readBytes(path()).find("surveyor"), std::string::npos);

    NetServer gone = server("Gone", 1, "gone.example", 2102);
    gone.user = "gone-user";
    gone.password = "gone-password";
    const int goneKey = store.addServer(gone);
    store.removeServer(goneKey);
    const std::string text = readBytes(path());
    EXPECT_EQ(text.find("gone-user"), std::string::npos);
    EXPECT_EQ(text.find("gone-password"), std::string::npos);
    EXPECT_TRUE(store.endpointExists(1, "gone.example", 2102, -1));
    EXPECT_EQ(store.addServer(server("Next", 3)), goneKey + 1);
}

TEST_F(NetServerConfigTest, FiltersAndEndpoints) {
    NetServerConfig store(path());
    store.addServer(server("N1", 1, "a.example", 2101));
    store.addServer(server("T1", 3, "b.example", 9000));
    store.addServer(server("N2", 1, "c.example", 2102));
    store.removeServer(2);

    QStringList names{"x"};
    QList<int> keys{9};
    store.readServerList(names, keys, 1);
    EXPECT_EQ(names, QStringList{"N1"});
    EXPECT_EQ(keys, QList<int>{0});
    store.readServerList(names, keys, -1);
    EXPECT_EQ(names, (QStringList{"N1", "T1"}));

    EXPECT_TRUE(store.endpointExists(3, "b.example", 9000, -1));
    EXPECT_FALSE(store.endpointExists(3, "b.example", 9000, 1));
    EXPECT_FALSE(store.endpointExists(3, "B.example", 9000, -1));
    EXPECT_TRUE(store.endpointExists(1, "c.example", 2102, -1));  // removed items count
    NetServer out;
    EXPECT_FALSE(store.findByEndpoint(out, 1, "c.example", 2102, -1));
    EXPECT_TRUE(store.findByEndpoint(out, 3, "b.example", 9000, -1));
    EXPECT_EQ(out.key, 1);
}

TEST_F(NetServerConfigTest, AddedServerIsOnDiskWhenTheCallReturns) {
    const std::string file = path();
    EXPECT_EXIT(
        {
            NetServerConfig store(file);
            store.addServer(server("Survives", 3));
            ::_exit(0);  // no destructors run
        },
        ::testing::ExitedWithCode(0), "");
    NetServerConfig store(file);
    NetServer out;
    ASSERT_TRUE(store.readServer(out, 0, -1));
    EXPECT_EQ(out.name, "Survives");
}

// The file holds user names and passwords: only its owner may read it, also after a copy of
// it was made readable by others.
TEST_F(NetServerConfigTest, TheFileIsTheUsersAlone) {
    const mode_t oldMask = ::umask(022);
    auto mode = [this] {
        struct stat st;
        return ::stat(path().c_str(), &st) == 0 ? (st.st_mode & 07777) : 0u;
    };
    {
        NetServerConfig store(path());
        NetServer s = server("A", 1);
        s.user = "surveyor";
        s.password = "secret";
        store.addServer(s);
        EXPECT_EQ(mode(), 0600u);
    }
    ::chmod(path().c_str(), 0644);
    {
        NetServerConfig store(path());
        store.addServer(server("B", 1));
        EXPECT_EQ(mode(), 0600u);
    }
    ::umask(oldMask);
}

}  // namespace
