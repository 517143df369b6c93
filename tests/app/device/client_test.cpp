// The TCP client against a scripted caster (a loopback QTcpServer that serves the corpus tables
// whole, byte by byte, cut anywhere, as garbage or closing early) and against rtklib's str2str.
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

#include "client.h"
#include "device_test_support.h"
#include "str2str_caster.h"

namespace varnok_test {
namespace {

using Varnok::Client;
using Varnok::DeviceManager;

constexpr int kWaitMs = 5000;

// The sockets need an application object; this program uses nothing else of the device
// fixtures.
class CoreApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "device_client_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) {
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};

const ::testing::Environment* const kCoreApplication =
    ::testing::AddGlobalTestEnvironment(new CoreApplication);

const char* const kTables[] = {"sapos_NI.sourcetable", "geortk.sourcetable", "frednet.sourcetable"};

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

// Runs the event loop until the condition holds, woken by events rather than by sleeping.
template <class Condition>
bool waitUntil(Condition done, int ms = kWaitMs) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(
            QEventLoop::WaitForMoreEvents,
            static_cast<int>(qMin<qint64>(deadline.remainingTime(), 50)));
    }
    return true;
}

// Starts the connect and runs the event loop until its result arrives.
bool connectClient(Client& client, quint16 port, int ms = kWaitMs) {
    int result = 0;
    const QMetaObject::Connection ok =
        QObject::connect(&client, &Client::connected, [&result] { result = 1; });
    const QMetaObject::Connection failed =
        QObject::connect(&client, &Client::connectFailed, [&result] { result = -1; });
    client.connectToServer(QStringLiteral("127.0.0.1"), port, ms);
    waitUntil([&result] { return result != 0; }, 2 * ms);
    QObject::disconnect(ok);
    QObject::disconnect(failed);
    return result == 1;
}

class ScriptedCaster : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&client, &Client::message, [this](QString& text) {
            EXPECT_FALSE(text.isEmpty());
            received += text;
        });
    }

    // Connects the client, sends the request and takes the caster's side of the connection.
    void open() {
        received.clear();
        ASSERT_TRUE(connectClient(client, server.serverPort()));
        ASSERT_TRUE(server.hasPendingConnections() || server.waitForNewConnection(kWaitMs));
        peer.reset(server.nextPendingConnection());
        ASSERT_TRUE(peer);
        client.write(Varnok::sourceTableRequest());
        ASSERT_TRUE(waitUntil([this] {
            request += peer->readAll();
            return request.endsWith("\r\n\r\n");
        }));
    }

    // Writes bytes in the pieces the cuts make. After each piece it waits until the client has
    // delivered every whole character sent so far, so each piece is a read of its own.
    void serve(const QByteArray& bytes, QList<qsizetype> cuts, bool close = true) {
        cuts.append(bytes.size());
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString expected;
        qsizetype from = 0;
        for (qsizetype cut : cuts) {
            const QByteArray piece = bytes.mid(from, cut - from);
            from = cut;
            peer->write(piece);
            peer->flush();
            expected += decoder.decode(piece);
            ASSERT_TRUE(waitUntil([&] { return received == expected; }))
                << "after byte " << cut << " of " << bytes.size();
        }
        if (close) {
            peer->disconnectFromHost();
        }
    }

    QList<QString> parsedNames() {
        QString text = received;
        QList<QString> names;
        DeviceManager::parseSourceTable(text, names);
        return names;
    }

    QTcpServer server;
    Client client;
    std::unique_ptr<QTcpSocket> peer;
    QByteArray request;
    QString received;
};

TEST_F(ScriptedCaster, TheRequestIsExactAndTheCredentialsAreALoneColon) {
    open();
    EXPECT_EQ(request, QByteArray("GET / HTTP/1.0\r\nUser-Agent: NTRIP Varnok\r\nAccept: */*\r\n"
                                  "Connection: close\r\nAuthorization: Basic Og==\r\n\r\n"));
}

TEST_F(ScriptedCaster, EveryTableWholeOrByteByByteJoinsToTheFileAndItsNames) {
    for (const char* name : kTables) {
        const QByteArray table = corpusTable(name);
        ASSERT_FALSE(table.isEmpty()) << name;
        QList<qsizetype> everyByte;
        for (qsizetype i = 1; i < table.size(); ++i) {
            everyByte.append(i);
        }
        for (const QList<qsizetype>& cuts : {QList<qsizetype>{}, everyByte}) {
            SCOPED_TRACE(std::string(name) + (cuts.isEmpty() ? " whole" : " byte by byte"));
            open();
            serve(table, cuts);
            EXPECT_EQ(received, QString::fromUtf8(table));
            EXPECT_EQ(parsedNames(), scanStrLines(table));
        }
    }
}

TEST_F(ScriptedCaster, ATableCutInsideACharacterJoinsWhole) {
    const QByteArray table = corpusTable("geortk.sourcetable");
    // Cuts inside the first multi-byte characters (after their lead byte and after the next),
    // and at a few plain places.
    QList<QList<qsizetype>> schedules = {{1}, {20, 21, 22}, {table.size() - 1}};
    const qsizetype lead = table.indexOf(char(0xE3));
    ASSERT_GT(lead, 0);
    schedules.append(QList<qsizetype>{lead + 1});
    schedules.append(QList<qsizetype>{lead + 2});
    schedules.append(QList<qsizetype>{lead + 1, lead + 2, lead + 4, lead + 5});
    for (const QList<qsizetype>& cuts : schedules) {
        open();
        serve(table, cuts);
        EXPECT_EQ(received, QString::fromUtf8(table));
        EXPECT_FALSE(received.contains(QChar::ReplacementCharacter));
        EXPECT_EQ(parsedNames(), scanStrLines(table));
    }
}

TEST_F(ScriptedCaster, ACasterPausingBetweenPiecesOnItsOwnClock) {
    // The caster writes 1,000-byte pieces 20 ms apart, cutting characters where they fall.
    const QByteArray table = corpusTable("geortk.sourcetable");
    open();
    QTimer pace;
    qsizetype sent = 0;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        peer->write(table.mid(sent, 1000));
        peer->flush();
        sent += 1000;
        if (sent >= table.size()) {
            pace.stop();
            peer->disconnectFromHost();
        }
    });
    pace.start(20);
    const QString expected = QString::fromUtf8(table);
    ASSERT_TRUE(waitUntil([&] { return received == expected; }));
    EXPECT_EQ(parsedNames(), scanStrLines(table));
}

TEST_F(ScriptedCaster, GarbageAndEarlyCloseEndTheFetchAndTheNextConnectionStartsClean) {
    // Random bytes ending with the first two bytes of a three-byte character.
    QByteArray garbage(3000, '\0');
    QRandomGenerator random(4711);
    for (char& c : garbage) {
        c = static_cast<char>(random.bounded(256));
    }
    garbage.append("\xE3\x81");
    open();
    serve(garbage, {100, 1000});
    EXPECT_FALSE(received.isEmpty());
    parsedNames();

    // The next connection's first character is not joined to the bytes left over.
    const QByteArray sapos = corpusTable("sapos_NI.sourcetable");
    open();
    serve(sapos, {});
    EXPECT_EQ(received, QString::fromUtf8(sapos));

    // A caster that closes mid-table, inside a character: the records so far count.
    const QByteArray geortk = corpusTable("geortk.sourcetable");
    const qsizetype cut = geortk.indexOf(char(0xE3), geortk.size() / 2) + 1;
    const QByteArray half = geortk.left(cut);
    open();
    serve(half, {cut / 2}, false);
    peer->abort();
    EXPECT_TRUE(waitUntil([this] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    QStringDecoder decoder(QStringDecoder::Utf8);
    EXPECT_EQ(received, decoder.decode(half));
    EXPECT_EQ(parsedNames(), scanStrLines(half));

    open();
    serve(sapos, {});
    EXPECT_EQ(parsedNames(), scanStrLines(sapos));
}

TEST(ClientAlone, AClosedPortGivesFalseAndNothingBeforeAConnectActs) {
    Client client;
    int messages = 0;
    QObject::connect(&client, &Client::message, [&messages](QString&) { ++messages; });
    client.write(QStringLiteral("ignored"));
    client.disconnectFromServer();
    const quint16 closed = freeLoopbackPort();
    ASSERT_NE(closed, 0);
    EXPECT_FALSE(connectClient(client, closed));
    // The socket stays and a later connect works.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    EXPECT_TRUE(connectClient(client, server.serverPort()));
    EXPECT_EQ(messages, 0);
}

// The connect does not hold the caller: it returns before the connection is made, and the
// result comes by signal, once.
TEST(ClientAlone, ConnectReturnsAtOnceAndTheResultComesBySignal) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    Client client;
    int connected = 0;
    int failed = 0;
    QObject::connect(&client, &Client::connected, [&connected] { ++connected; });
    QObject::connect(&client, &Client::connectFailed, [&failed] { ++failed; });
    client.connectToServer(QStringLiteral("127.0.0.1"), server.serverPort(), kWaitMs);
    EXPECT_EQ(connected, 0);
    ASSERT_TRUE(waitUntil([&connected] { return connected == 1; }));
    client.connectToServer(QStringLiteral("127.0.0.1"), freeLoopbackPort(), kWaitMs);
    EXPECT_EQ(failed, 0);
    ASSERT_TRUE(waitUntil([&failed] { return failed == 1; }));
    EXPECT_EQ(connected, 1);
}

TEST(ClientAgainstStr2Str, TheTableNamesTheMountPointOfItsCommandLineOnEveryConnect) {
    if (Str2StrCaster::program().empty()) {
        FAIL() << "str2str not installed (scripts/install-deps.sh installs rtklib)";
    }
    Str2StrCaster caster;
    std::string error;
    ASSERT_TRUE(
        caster.start("VARNOK_MP", "RTCM 3;1004(1);2;GPS;;DEU;52.41;9.80;0;0;;none;N;N;0", &error))
        << error;
    Client client;
    QString received;
    int empty = 0;
    QObject::connect(&client, &Client::message, [&](QString& text) {
        empty += text.isEmpty() ? 1 : 0;
        received += text;
    });
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        received.clear();
        ASSERT_TRUE(connectClient(client, caster.port()));
        client.write(Varnok::sourceTableRequest());
        ASSERT_TRUE(waitUntil([&] { return received.contains(QLatin1String("ENDSOURCETABLE")); }))
            << received.toStdString();
        EXPECT_EQ(received.count(QLatin1String("SOURCETABLE 200 OK\r\n")), 1);
        QList<QString> names;
        DeviceManager::parseSourceTable(received, names);
        EXPECT_EQ(names, QList<QString>{QStringLiteral("VARNOK_MP")});
        client.disconnectFromServer();
    }
    EXPECT_EQ(empty, 0);
}

}  // namespace
}  // namespace varnok_test
