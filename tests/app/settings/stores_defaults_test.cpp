// The stores that write built-in defaults: first start, and files that already exist.
#include <gtest/gtest.h>

#include <functional>

#include "antenna_type_config.h"
#include "config_paths.h"
#include "connect_bauds_config.h"
#include "connect_methods_config.h"
#include "jsettings.h"
#include "satel_baudrate_config.h"
#include "temp_dir.h"
#include "valid_check_config.h"

namespace {

// Writes a document through the library, so its bytes are already in saved form.
void writeDocument(const std::string& path, const std::string& root,
                   const std::function<void(JSettings&)>& fill) {
    JSettings s(path, root, JSettings::kOpenFile);
    fill(s);
}

TEST(StoresFirstStart, EmptyConfigsDirectoryGetsTheGoldenFiles) {
    TempDir dir;
    const std::string configs = dir.path() + "/configs";
    ConfigPaths::setDirectory(configs);
    ConnectMethodsConfig methods;
    ConnectBaudsConfig bauds;
    ValidCheckConfig limits;
    AntennaTypeConfig antennas;
    SatelBaudrateConfig satel;
    ConfigPaths::setDirectory(std::string());

    for (const char* name : {"connectmethods.vnk", "connectbauds.vnk", "validcheck.vnk",
                             "antennatype.vnk", "satelbaudrate.vnk"}) {
        SCOPED_TRACE(name);
        const std::string golden = readBytes(fixturePath(name));
        ASSERT_FALSE(golden.empty());
        EXPECT_EQ(readBytes(configs + "/" + name), golden);
    }

    QStringList names;
    QList<int> codes;
    methods.devices(names, codes);
    EXPECT_EQ(names, (QStringList{"Pocket GNSS", "P47 Series", "Survey RTK"}));
    EXPECT_EQ(codes, (QList<int>{1, 2, 0}));
    methods.methodsOf(3, names, codes);
    EXPECT_EQ(names, (QStringList{"Port", "ZOR BT", "Sys. BT", "Server"}));
    EXPECT_EQ(codes, (QList<int>{0, 1, 101, 102}));
    methods.methods(1, names, codes);
    EXPECT_EQ(codes, (QList<int>{0, 1, 101, 2}));
    methods.methodsOf(7, names, codes);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(codes.isEmpty());
    QStringList channels;
    methods.channels(channels);
    EXPECT_EQ(channels, (QStringList{"192.168.1.1", "192.168.200.1"}));

    EXPECT_EQ(bauds.bauds(), (QList<int>{9600, 19200, 38400, 57600, 115200}));
    EXPECT_EQ(bauds.ports(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    int name = 0, baseId = 0, address = 0;
    limits.serverLimits(name, baseId, address);
    EXPECT_EQ(name, 64);
    EXPECT_EQ(baseId, 26);
    EXPECT_EQ(address, 31);
    int ap = 0, dial = 0, user = 0, password = 0, total = 0;
    limits.apnLimits(ap, dial, user, password, total);
    EXPECT_EQ((std::vector<int>{ap, dial, user, password, total}),
              (std::vector<int>{31, 14, 32, 16, 48}));
    int source = 0;
    limits.corsLimits(user, password, source, total);
    EXPECT_EQ((std::vector<int>{user, password, source, total}),
              (std::vector<int>{31, 31, 31, 49}));

    QStringList antennaNames;
    QList<int> indexes;
    antennas.load(antennaNames, indexes);
    ASSERT_EQ(antennaNames.size(), 34);
    EXPECT_EQ(antennaNames.first(), "K45");
    EXPECT_EQ(indexes.first(), 28);
    EXPECT_EQ(antennaNames.last(), "H650-OLD");
    EXPECT_EQ(indexes.last(), 26);
    antennas.load(antennaNames, indexes);  // appends
    EXPECT_EQ(antennaNames.size(), 68);

    const struct {
        int step;
        int protocol;
        int baud;
    } lookups[] = {{0, 5, 1}, {2, 9, 2}, {1, 7, -1}, {3, 5, -1}, {1, 6, 1}, {2, 8, 2}};
    for (const auto& l : lookups) {
        int baud = 99;
        satel.lookup(l.step, l.protocol, baud);
        EXPECT_EQ(baud, l.baud) << l.step << " " << l.protocol;
    }
}

TEST(StoresFirstStart, AntennaCodes) {
    EXPECT_EQ(AntennaTypeConfig::antennaCode(8), "Unknown");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(9), "ZOR H250");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(1), "ZORH450GNSS     NONE");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(15), "ZORE370GR       NONE");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(40), "ZORL7");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(41), "");
    EXPECT_EQ(AntennaTypeConfig::antennaCode(-1), "");
    for (int i = 0; i <= 40; ++i) {
        EXPECT_FALSE(AntennaTypeConfig::antennaCode(i).isEmpty()) << i;
    }
}

TEST(StoresExistingFiles, TableOfCases) {
    struct Case {
        const char* name;
        const char* file;
        std::function<void(const std::string&)> prepare;
        bool replaced;  // by the built-in defaults
        std::function<void(const std::string&)> check;
    };
    const Case cases[] = {
        {"devices that are all unsupported", "connectmethods.vnk",
         [](const std::string& path) {
             writeDocument(path, "connectmethods", [](JSettings& s) {
                 s.beginWriteArray("devices", 1);
                 s.setArrayIndex(0);
                 s.setStringValue("device", "Old");
                 s.setIntValue("data", 9);
                 s.setIntValue("supported", 0);
                 s.endArray();
             });
         },
         false,
         [](const std::string& path) {
             ConnectMethodsConfig methods(path);
             QStringList names{"stale"};
             QList<int> codes{1};
             methods.devices(names, codes);
             EXPECT_TRUE(names.isEmpty());
             EXPECT_TRUE(codes.isEmpty());
         }},
        {"a device without data and no channels", "connectmethods.vnk",
         [](const std::string& path) {
             writeDocument(path, "connectmethods", [](JSettings& s) {
                 s.beginWriteArray("devices", 2);
                 s.setArrayIndex(0);
                 s.setStringValue("device", "NoCode");
                 s.setIntValue("supported", 1);
                 s.beginWriteArray("methods", 2);
                 s.setArrayIndex(0);
                 s.setStringValue("name", "Port");
                 s.setArrayIndex(1);
                 s.setIntValue("method", 5);  // no name: skipped
                 s.endArray();
                 s.setArrayIndex(1);
                 s.setIntValue("data", 4);
                 s.setIntValue("supported", 1);  // no name: not offered
                 s.endArray();
             });
         },
         false,
         [](const std::string& path) {
             ConnectMethodsConfig methods(path);
             QStringList names;
             QList<int> codes;
             methods.devices(names, codes);
             EXPECT_EQ(names, QStringList{"NoCode"});
             EXPECT_EQ(codes, QList<int>{-1});
             methods.methodsOf(-1, names, codes);
             EXPECT_EQ(names, QStringList{"Port"});
             EXPECT_EQ(codes, QList<int>{0});
             QStringList channels;
             methods.channels(channels);
             EXPECT_EQ(channels, (QStringList{"192.168.1.1", "192.168.200.1"}));
             EXPECT_EQ(readBytes(path).find("192.168"), std::string::npos);
         }},
        {"one antenna item", "antennatype.vnk",
         [](const std::string& path) {
             writeDocument(path, "antennatype", [](JSettings& s) {
                 s.beginWriteArray("antenna", 1);
                 s.setArrayIndex(0);
                 s.setStringValue("type", "Mine");
                 s.endArray();
             });
         },
         false,
         [](const std::string& path) {
             AntennaTypeConfig antennas(path);
             QStringList names;
             QList<int> indexes;
             antennas.load(names, indexes);
             EXPECT_EQ(names, QStringList{"Mine"});
             EXPECT_EQ(indexes, QList<int>{0});
         }},
        {"validcheck without its group", "validcheck.vnk",
         [](const std::string& path) {
             writeDocument(path, "validcheck", [](JSettings& s) { s.setIntValue("other", 1); });
         },
         false,
         [](const std::string& path) {
             ValidCheckConfig limits(path);
             int name = 0, baseId = 0, address = 0;
             limits.serverLimits(name, baseId, address);
             EXPECT_EQ(name, 64);
             EXPECT_EQ(baseId, 26);
             EXPECT_EQ(address, 31);
         }},
        {"validcheck with a changed value", "validcheck.vnk",
         [](const std::string& path) {
             writeDocument(path, "validcheck",
                           [](JSettings& s) { s.setIntValue("lengthcheck/cors/total", 60); });
         },
         false,
         [](const std::string& path) {
             ValidCheckConfig limits(path);
             ValidCheckConfig copy = limits;
             int user = 0, password = 0, source = 0, total = 0;
             copy.corsLimits(user, password, source, total);
             EXPECT_EQ(total, 60);
             EXPECT_EQ(user, 31);
         }},
        {"validcheck rooted lengthcheck", "validcheck.vnk",
         [](const std::string& path) {
             writeDocument(path, "lengthcheck",
                           [](JSettings& s) { s.setIntValue("server/name", 5); });
         },
         true,
         [](const std::string& path) {
             ValidCheckConfig limits(path);
             EXPECT_EQ(readBytes(path), readBytes(fixturePath("validcheck.vnk")));
             int name = 0, baseId = 0, address = 0;
             limits.serverLimits(name, baseId, address);
             EXPECT_EQ(name, 64);
         }},
        {"five bauds and no ports", "connectbauds.vnk",
         [](const std::string& path) {
             writeDocument(path, "connectbauds", [](JSettings& s) {
                 s.beginWriteArray("bauds", 5);
                 for (int i = 0; i < 5; ++i) {
                     s.setArrayIndex(i);
                     s.setIntValue("baud", 1200 * (i + 1));
                 }
                 s.endArray();
                 s.beginWriteArray("ports", 0);
                 s.endArray();
             });
         },
         true,
         [](const std::string& path) {
             ConnectBaudsConfig bauds(path);
             EXPECT_EQ(bauds.bauds(), (QList<int>{9600, 19200, 38400, 57600, 115200}));
             EXPECT_EQ(bauds.ports().size(), 9);
         }},
        {"text that is no number", "connectbauds.vnk",
         [](const std::string& path) {
             writeDocument(path, "connectbauds", [](JSettings& s) {
                 s.beginWriteArray("bauds", 2);
                 s.setArrayIndex(0);
                 s.setStringValue("baud", "fast");
                 s.setArrayIndex(1);
                 s.setIntValue("baud", 4800);
                 s.endArray();
                 s.beginWriteArray("ports", 3);
                 s.setArrayIndex(0);
                 s.setStringValue("port", "COM");
                 s.setArrayIndex(1);
                 s.setIntValue("port", -2);
                 s.setArrayIndex(2);
                 s.setIntValue("port", 7);
                 s.endArray();
             });
         },
         false,
         [](const std::string& path) {
             ConnectBaudsConfig bauds(path);
             EXPECT_EQ(bauds.bauds(), QList<int>{4800});
             EXPECT_EQ(bauds.ports(), (QList<int>{0, 7}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file(c.file);
        c.prepare(path);
        c.check(path);
        const std::string golden = readBytes(fixturePath(c.file));
        if (c.replaced) {
            EXPECT_EQ(readBytes(path), golden);
        } else {
            EXPECT_NE(readBytes(path), golden);
        }
    }
}

TEST(SatelBaudrateConfig, LookupTable) {
    TempDir dir;
    const std::string path = dir.file("satelbaudrate.vnk");
    writeDocument(path, "baudrate", [](JSettings& s) {
        s.beginWriteArray("steparray", 3);
        s.setArrayIndex(0);
        s.setIntValue("step", 0);
        s.beginWriteArray("protocolarray", 2);
        s.setArrayIndex(0);
        s.setIntValue("protocol", 5);
        s.setIntValue("baud", 1);
        s.setArrayIndex(1);
        s.setIntValue("baud", 3);  // protocol missing: the previous item's 5
        s.endArray();
        s.setArrayIndex(1);  // step missing: the previous item's 0
        s.beginWriteArray("protocolarray", 2);
        s.setArrayIndex(0);
        s.setIntValue("protocol", 6);
        s.setIntValue("baud", 4);
        s.setArrayIndex(1);
        s.setIntValue("protocol", 5);  // baud missing: keeps the earlier match
        s.endArray();
        s.setArrayIndex(2);
        s.setIntValue("step", 2);
        s.beginWriteArray("protocolarray", 1);
        s.setArrayIndex(0);
        s.setIntValue("baud", 7);  // protocol missing in the first item: 0
        s.endArray();
        s.endArray();
    });
    SatelBaudrateConfig satel(path);
    const struct {
        int step;
        int protocol;
        int baud;
    } cases[] = {{0, 5, 3}, {0, 6, 4}, {2, 0, 7}, {1, 5, -1}, {0, 9, -1}, {2, 5, -1}};
    for (const auto& c : cases) {
        int baud = 42;
        satel.load(c.step, c.protocol, baud);
        EXPECT_EQ(baud, c.baud) << c.step << " " << c.protocol;
    }
}

}  // namespace
