// The receiver path of the source table end to end: the simulated receiver forwards a corpus
// table as source-list pieces of either protocol; the manager announces it once per request and
// cuts it into the corpus names.
#include <QFile>
#include <QTemporaryDir>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::SocketTarget;
using Strings = std::vector<std::string>;

constexpr int kWaitMs = 15000;

QByteArray corpusTable(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QString> scanStrLines(const QByteArray& table) {
    QList<QString> names;
    for (const QByteArray& raw : table.split('\n')) {
        if (raw.startsWith("STR;")) {
            names.append(QString::fromUtf8(raw.split(';').value(1)));
        }
    }
    return names;
}

class SourceTableThroughTheReceiver : public DeviceFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Brevan2011::BVComm::SetLogDirectory(dir_.path().toStdString());
        DeviceFixture::SetUp();
        dm->setSessionFactory({});  // the landed session
    }

    std::string writeTable(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("table"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path.toStdString();
    }

    int tableEvents() const { return static_cast<int>(hub->named("sourceTable").size()); }

    QTemporaryDir dir_;
    varnok_sim::SimProcess sim;
};

TEST_F(SourceTableThroughTheReceiver, PiecesOfBothProtocolsGiveOneEventAndTheCorpusNames) {
    const QByteArray geortk =
        QByteArray("SOURCETABLE 200 OK\r\n") + corpusTable("geortk.sourcetable");
    const QByteArray sapos = corpusTable("sapos_NI.sourcetable");
    // The receive ring holds 20 KB: each answer stays well under it, as on a real link, where
    // the modem's pace keeps the parse ahead. Small pieces cut the status line apart.
    const struct {
        const char* what;
        QByteArray table;
        int deviceType;
        const char* protocol;
        const char* piece;
    } cases[] = {
        {"sapos_NI", sapos, 1, "protocol=new", "source_piece=4096"},
        {"sapos_NI", sapos, 1, "protocol=new", "source_piece=7"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=255"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=9"},
        {"geortk behind a status line", geortk, 1, "protocol=new", "source_piece=4096"},
        {"geortk behind a status line", geortk, 2, "protocol=old", "source_piece=255"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.what) + ", " + t.protocol + ", " + t.piece);
        ASSERT_FALSE(t.table.isEmpty());
        TearDown();
        SetUp();
        sim.stop();
        std::string error;
        ASSERT_TRUE(sim.start({t.protocol, t.piece, "source_table=" + writeTable(t.table)}, &error))
            << error;
        dm->setDeviceType(t.deviceType);
        SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = sim.tcpPort();
        ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
        ASSERT_TRUE(QTest::qWaitFor([&] { return dm->workingStatus() == 4; }, kWaitMs));

        dm->querySourceTable();
        ASSERT_TRUE(QTest::qWaitFor([&] { return tableEvents() == 1; }, kWaitMs));
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(t.table));
        // A second request announces again: every piece of the first was taken by then,
        // and it announced once.
        dm->querySourceTable();
        ASSERT_TRUE(QTest::qWaitFor([&] { return tableEvents() == 2; }, kWaitMs));
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(t.table));
        EXPECT_TRUE(sim.waitForRequest(
            t.deviceType == 1 ? "Send_NetLink_Source_List_Query" : "Send_Gprs_GetList", kWaitMs));
        EXPECT_TRUE(dm->closePort());
    }
}

}  // namespace
}  // namespace varnok_test
