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
    // The same table from an NTRIP 2 caster: an HTTP head, the records in chunks.
    QByteArray ntrip2 =
        "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray body = sapos.mid(sapos.indexOf("STR;"));
    for (qsizetype at = 0; at < body.size(); at += 100) {
        const QByteArray chunk = body.mid(at, 100);
        ntrip2 += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    ntrip2 += "0\r\n\r\n";
    // The receive ring holds 20 KB: each answer stays well under it, as on a real link, where
    // the modem's pace keeps the parse ahead. Small pieces cut the status line apart.
    const struct {
        const char* what;
        QByteArray table;
        int deviceType;
        const char* protocol;
        const char* piece;
        const char* frames;  // the old protocol's frame kind
    } cases[] = {
        {"sapos_NI", sapos, 1, "protocol=new", "source_piece=4096", "source_frames=vm"},
        {"sapos_NI", sapos, 1, "protocol=new", "source_piece=7", "source_frames=vm"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=255", "source_frames=vm"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=9", "source_frames=vm"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=245", "source_frames=t"},
        {"sapos_NI", sapos, 2, "protocol=old", "source_piece=9", "source_frames=t"},
        {"sapos_NI from NTRIP 2", ntrip2, 1, "protocol=new", "source_piece=77", "source_frames=vm"},
        {"sapos_NI from NTRIP 2", ntrip2, 2, "protocol=old", "source_piece=245", "source_frames=t"},
        {"geortk behind a status line", geortk, 1, "protocol=new", "source_piece=4096",
         "source_frames=vm"},
        {"geortk behind a status line", geortk, 2, "protocol=old", "source_piece=255",
         "source_frames=vm"},
        {"geortk behind a status line", geortk, 2, "protocol=old", "source_piece=245",
         "source_frames=t"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.what) + ", " + t.protocol + ", " + t.piece + ", " + t.frames);
        ASSERT_FALSE(t.table.isEmpty());
        TearDown();
        SetUp();
        sim.stop();
        std::string error;
        ASSERT_TRUE(sim.start(
            {t.protocol, t.piece, t.frames, "source_table=" + writeTable(t.table)}, &error))
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
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(t.table == ntrip2 ? sapos : t.table));
        // A second request announces again: every piece of the first was taken by then,
        // and it announced once.
        dm->querySourceTable();
        ASSERT_TRUE(QTest::qWaitFor([&] { return tableEvents() == 2; }, kWaitMs));
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(t.table == ntrip2 ? sapos : t.table));
        EXPECT_TRUE(sim.waitForRequest(
            t.deviceType == 1 ? "Send_NetLink_Source_List_Query" : "Send_Gprs_GetList", kWaitMs));
        EXPECT_TRUE(dm->closePort());
    }
}

}  // namespace
}  // namespace varnok_test
