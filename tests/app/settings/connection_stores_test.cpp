// Stores that remember the connection between runs: parameters, Bluetooth bindings, language.
#include <gtest/gtest.h>

#include <QLocale>

#include "app_config.h"
#include "bt_bindings_config.h"
#include "connection_params_config.h"
#include "jsettings.h"
#include "temp_dir.h"

namespace {

TEST(ConnectionParamsConfig, AbsentFileGivesDefaultsAndLeavesRootOnly) {
    TempDir dir;
    const std::string path = dir.file("connectionparams.vnk");
    ConnectionParamsConfig config(path);
    ConnectionParams p;
    p.type = 7;
    p.manufacture = "X";
    p.serverport = 9;
    config.load(p);
    EXPECT_EQ(p.type, 0);
    EXPECT_EQ(p.port, 1);
    EXPECT_EQ(p.baud, 9600);
    EXPECT_EQ(p.automethod, 0);
    EXPECT_EQ(p.manufacture, "ZOR");
    EXPECT_EQ(p.devicetype, "Survey RTK");
    EXPECT_FALSE(p.needauto);
    EXPECT_EQ(p.serverport, 0u);
    EXPECT_TRUE(p.device.isEmpty());
    EXPECT_TRUE(p.ip.isEmpty());
    EXPECT_EQ(p.channel, 0);
    EXPECT_EQ(readBytes(path), savedHeader() + "<connectionparams/>\n");
}

TEST(ConnectionParamsConfig, RoundTrip) {
    TempDir dir;
    const std::string path = dir.file("connectionparams.vnk");
    {
        JSettings s(path, "connectionparams", JSettings::kOpenFile);
        s.setIntValue("connection/needauto", 5);
    }
    ConnectionParamsConfig config(path);
    ConnectionParams p;
    config.load(p);
    EXPECT_TRUE(p.needauto);
    p.serverport = 65535;
    p.device = QString::fromUtf8("Rover \xC3\xA9");
    p.ip = "10.0.0.2";
    p.channel = 1;
    config.save(p);
    EXPECT_NE(readBytes(path).find("<needauto>1</needauto>"), std::string::npos);
    ConnectionParams q;
    ConnectionParamsConfig(path).load(q);
    EXPECT_EQ(q.serverport, 65535u);
    EXPECT_EQ(q.device, p.device);
    EXPECT_EQ(q.ip, "10.0.0.2");
    EXPECT_EQ(q.channel, 1);
    EXPECT_TRUE(q.needauto);
}

TEST(BtBindingsConfig, RoundTrips) {
    TempDir dir;
    const std::string path = dir.file("btbindings.vnk");
    BtBindingsConfig config(path);
    QStringList names{"stale"};
    QList<quint64> addresses{1};
    config.load(names, addresses);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(addresses.isEmpty());

    config.save({"Rover", "Base"}, {281474976710655ULL, 0x00A0B0C0D0E0ULL});
    config.load(names, addresses);
    EXPECT_EQ(names, (QStringList{"Rover", "Base"}));
    EXPECT_EQ(addresses, (QList<quint64>{281474976710655ULL, 0x00A0B0C0D0E0ULL}));
    EXPECT_NE(readBytes(path).find("<address>281474976710655</address>"), std::string::npos);

    // More addresses than names: the missing names are empty; surplus names are ignored.
    config.save({"One"}, {1, 2, 3});
    config.load(names, addresses);
    EXPECT_EQ(names, (QStringList{"One", "", ""}));
    EXPECT_EQ(addresses, (QList<quint64>{1, 2, 3}));
    config.save({"A", "B", "C"}, {4});
    config.load(names, addresses);
    EXPECT_EQ(names, QStringList{"A"});

    config.save({}, {});
    EXPECT_NE(readBytes(path).find("<size>0</size>"), std::string::npos);
    config.load(names, addresses);
    EXPECT_TRUE(names.isEmpty());
}

TEST(BtBindingsConfig, AddressThatIsNoNumberGivesZeroAndKeepsTheName) {
    TempDir dir;
    const std::string path = dir.file("btbindings.vnk");
    {
        JSettings s(path, "btbindings", JSettings::kOpenFile);
        s.beginGroup("btbind");
        s.beginWriteArray("devices", 3);
        s.setArrayIndex(0);
        s.setStringValue("address", "00:11:22");
        s.setStringValue("name", "Named");
        s.setArrayIndex(1);
        s.setStringValue("address", "-5");
        s.setArrayIndex(2);
        s.setStringValue("address", "99999999999999999999999");
        s.endArray();
        s.endGroup();
    }
    QStringList names;
    QList<quint64> addresses;
    BtBindingsConfig(path).load(names, addresses);
    EXPECT_EQ(names, (QStringList{"Named", "", ""}));
    EXPECT_EQ(addresses, (QList<quint64>{0, 0, 0}));
}

TEST(AppConfig, LanguageChoiceTable) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale french(QLocale::French, QLocale::France);
    struct Case {
        const char* name;
        int currentType;  // -1: absent
        bool writeFile;
        QLocale system;
        QString expectedName;
        QString expectedSuffix;
        int expectedType;
    };
    const Case cases[] = {
        {"current type 2", 2, true, german, "Deutsch 2", "de_DE", 2},
        {"current type without item", 5, true, german, "keep", "keep", 5},
        {"locale matches an item", -1, true, german, "German", "de_DE", 2},
        {"locale matches no item", -1, true, french, "French", "fr_FR", -1},
        {"missing file", -1, false, german, "German", "de_DE", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("config.vnk");
        if (c.writeFile) {
            JSettings s(path, "global", JSettings::kOpenFile);
            s.beginGroup("Language");
            if (c.currentType >= 0) {
                s.setIntValue("CurrentType", c.currentType);
            }
            s.beginWriteArray("Array", 2);
            s.setArrayIndex(0);
            s.setIntValue("Type", 1);
            s.setStringValue("Name", "English");
            s.setStringValue("File", "en_US");
            s.setArrayIndex(1);
            s.setIntValue("Type", 2);
            s.setStringValue("Name", "Deutsch 2");
            s.setStringValue("File", "de_DE");
            s.endArray();
            s.endGroup();
        }
        AppConfig config(path);
        EXPECT_EQ(config.languageType(), 0);
        QString name = "keep";
        QString suffix = "keep";
        config.load(name, suffix, c.system);
        EXPECT_EQ(name, c.expectedName);
        EXPECT_EQ(suffix, c.expectedSuffix);
        EXPECT_EQ(config.currentType(), c.expectedType);
        if (!c.writeFile) {
            EXPECT_EQ(readBytes(path), savedHeader() + "<global/>\n");
        }
    }
}

}  // namespace
