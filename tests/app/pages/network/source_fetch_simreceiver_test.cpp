// End to end: the fetch through a new-protocol receiver's modem against varnok-simreceiver on
// loopback TCP, the real session between them.
#include <gtest/gtest.h>

#include <algorithm>

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_manager.h"
#include "shell_harness.h"
#include "source_fetch.h"
#include "timer_scale.h"

using Varnok::SourceFetch;
using varnok_test::ShellHarness;

namespace {

constexpr auto kWait = std::chrono::milliseconds(15000);

QByteArray corpusTable(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QString> strNames(const QByteArray& table) {
    QList<QString> names;
    for (const QByteArray& raw : table.split('\n')) {
        if (raw.startsWith("STR;")) {
            names.append(QString::fromUtf8(raw.split(';').value(1)));
        }
    }
    return names;
}

TEST(FetchThroughTheSimulatedReceiver, TheDialStatusDecidesAndTheTableArrives) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Brevan2011::BVComm::SetLogDirectory(dir.path().toStdString());
    const QString tablePath = dir.filePath(QStringLiteral("sapos"));
    const QByteArray table = corpusTable("sapos_NI.sourcetable");
    {
        QFile f(tablePath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(table);
    }
    ShellHarness h;
    Varnok::setUiScale(1.0);
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    dm->setSessionFactory({});  // the landed session
    varnok_sim::SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.start({"protocol=new", "modem_dial_status=2", "source_piece=300",
                           "source_table=" + tablePath.toStdString()},
                          &error))
        << error;
    dm->setDeviceType(1);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = static_cast<decltype(target.port)>(sim.tcpPort());
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
    ASSERT_TRUE(h.waitFor([&] { return dm->workingStatus() == 4; }, kWait));

    QWidget panel;
    SourceFetch fetch(&panel, SourceFetch::NewPanel);
    std::vector<bool> ends;
    QObject::connect(&fetch, &SourceFetch::finished, &panel, [&](bool ok) { ends.push_back(ok); });

    // Not dialled: refused, nothing asked of the caster.
    ASSERT_TRUE(fetch.fetchThroughDial(QStringLiteral("192.168.1.20"), 2101));
    ASSERT_TRUE(h.waitFor([&] { return !ends.empty(); }, kWait));
    EXPECT_EQ(ends, std::vector<bool>{false});
    ASSERT_EQ(h.prompts.shown.size(), 1u);
    EXPECT_EQ(h.prompts.shown[0].text, QStringLiteral("Dial modem on first."));
    EXPECT_FALSE(sim.waitForRequest("Send_NetLink_Address", 0));
    EXPECT_FALSE(sim.waitForRequest("Send_NetLink_Source_List_Query", 0));

    // Dialled: the address, then the source list, in 300-byte pieces.
    ASSERT_TRUE(sim.configure("modem_dial_status=1", &error)) << error;
    h.prompts.shown.clear();
    ASSERT_TRUE(fetch.fetchThroughDial(QStringLiteral("192.168.1.20"), 2101));
    ASSERT_TRUE(h.waitFor([&] { return ends.size() == 2; }, kWait));
    EXPECT_TRUE(ends.back());
    EXPECT_EQ(fetch.names(), strNames(table));
    ASSERT_EQ(h.prompts.shown.size(), 1u);
    EXPECT_EQ(h.prompts.shown[0].text, QStringLiteral("Successed to get source table !"));
    // The caster's address went first, then the list query.
    ASSERT_TRUE(sim.waitForRequest("Send_NetLink_Source_List_Query", 15000));
    const std::vector<std::string> asked = sim.requestNames();
    const auto address = std::find(asked.begin(), asked.end(), "Send_NetLink_Address");
    const auto list = std::find(asked.begin(), asked.end(), "Send_NetLink_Source_List_Query");
    EXPECT_NE(address, asked.end());
    EXPECT_NE(list, asked.end());
    EXPECT_LT(address, list);
    dm->closePort();
    Varnok::setUiScale(0.0);
}

}  // namespace
