// The caster's source table fetched from both network panels: by socket against a scripted
// loopback caster and rtklib's str2str, through the old receiver's GPRS link, and on
// new-protocol receivers through the modem's dial status.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>

#include <cstring>
#include <functional>
#include <memory>

#include "client.h"
#include "datachain.h"
#include "datachain_net.h"
#include "datalink_test_support.h"
#include "datalink_widget.h"
#include "new_datalink_support.h"
#include "select_get_source_method.h"
#include "source_fetch.h"
#include "str2str_caster.h"
#include "timer_scale.h"
#include "ui_wireless_widget.h"
#include "wireless_widget.h"

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace varnok_test;
using Varnok::Client;
using Varnok::DataChain;
using Varnok::DataChain_Net;
using Varnok::Prompts;
using Varnok::SourceFetch;
using Varnok::WirelessWidget;

namespace {

constexpr auto kWait = std::chrono::milliseconds(10000);

QByteArray corpusTable(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList strNames(const QByteArray& table) {
    QStringList names;
    for (const QByteArray& raw : table.split('\n')) {
        if (raw.startsWith("STR;")) {
            names.append(QString::fromUtf8(raw.split(';').value(1)));
        }
    }
    return names;
}

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}

WirelessInfo roverNtrip(bool canFetch) {
    WirelessInfo w{};
    const unsigned char addr[] = {10, 0, 0, 7};
    std::memcpy(&w.server.address, addr, 4);
    w.port = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    const std::uint32_t caps = canFetch ? (1u << 17) : 0u;
    const std::uint32_t protocols = 7u << 16;
    std::memcpy(w.capability, &caps, 4);
    std::memcpy(w.capability + 4, &protocols, 4);
    return w;
}

struct Prompt {
    Prompts::Kind kind;
    QString title;
    QString text;
    bool operator==(const Prompt& o) const {
        return kind == o.kind && title == o.title && text == o.text;
    }
};

std::ostream& operator<<(std::ostream& os, const Prompt& p) {
    return os << p.kind << " " << p.title.toStdString() << ": " << p.text.toStdString();
}

std::vector<Prompt> prompts(const RecordingPrompts& r) {
    std::vector<Prompt> out;
    for (const auto& s : r.shown) {
        out.push_back({s.kind, s.title, s.text});
    }
    return out;
}

const Prompt kGot{Prompts::Information, "Info", "Successed to get source table !"};
const Prompt kNoTable{Prompts::Information, "Varnok", "Failed to get source table!"};
const Prompt kNoConnection{Prompts::Critical, "Error", "Failed to connect to server!"};
const Prompt kUnauthorized{
    Prompts::Warning, "Warning",
    "The caster refused the request: it asks for a user name and password (401)."};
const Prompt kIncomplete{Prompts::Warning, "Warning",
                         "The caster closed the connection before the end of the source table: "
                         "the list is incomplete."};
const Prompt kClosedEmpty{Prompts::Warning, "Warning",
                          "The caster closed the connection without sending a source table."};

void registerOnce() {
    static bool registered = false;
    if (!registered) {
        registered = true;
        Varnok::registerPages();
    }
}

class NetFetch : public ::testing::Test {
protected:
    void SetUp() override {
        registerOnce();
        h.makeFrame();
        h.connectAs(5);
        Varnok::setUiScale(1.0);
        open(true);
        h.prompts.shown.clear();
    }
    void TearDown() override { Varnok::setUiScale(0.0); }

    // Opens the data link page on the network panel as the receiver's answers fill it.
    void open(bool canFetch) {
        h.frame()->onCommand("DataLink");
        h.deliver();
        page = qobject_cast<DataChain*>(h.frame()->page("DataLink"));
        ASSERT_NE(page, nullptr);
        net = page->netPanel();
        rx.mode(0, 0);
        rx.wireless(roverNtrip(canFetch));
        cors_info c{};
        std::memcpy(c.mountPoint, "MP0", 3);
        rx.cors(c);
        rx.loginMode(1);
        ASSERT_EQ(page->shownPanel(), net);
        ASSERT_TRUE(get()->isEnabled());
    }
    QPushButton* get() { return net->findChild<QPushButton*>("getsourceButton"); }
    QLineEdit* edit(const char* name) { return net->findChild<QLineEdit*>(name); }
    QComboBox* sources() { return net->findChild<QComboBox*>("comboBox_sourceList"); }
    void choose(int method) {
        h.prompts.answerNextDialog([method](QDialog* d) {
            d->findChild<QRadioButton*>(method == 1 ? "radioButton_deviceNet"
                                                    : "radioButton_socket")
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
    }
    bool editorsBack() {
        return net->pendingRequest() == 0 && !net->sourceFetch()->isRunning() &&
               get()->isEnabled() && edit("lineEdit_address")->isEnabled() &&
               !overrideCursorSet() && !net->isPolling();
    }

    ShellHarness h;
    OldReceiver rx{h};
    DataChain* page = nullptr;
    DataChain_Net* net = nullptr;
};

// ---- By socket, against a scripted caster on loopback.

class ScriptedCaster : public NetFetch {
protected:
    void SetUp() override {
        NetFetch::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    }
    // Get with "Mobile Net": the panel connects, the caster takes the connection and reads
    // the request.
    void start() {
        edit("lineEdit_address")->setText("127.0.0.1");
        edit("lineEdit_port")->setText(QString::number(server.serverPort()));
        choose(0);
        get()->click();
        ASSERT_TRUE(net->sourceFetch()->isRunning());
        ASSERT_NE(net->sourceFetch()->client(), nullptr);
        EXPECT_FALSE(get()->isEnabled());
        received.clear();
        QObject::disconnect(watch);
        watch = QObject::connect(net->sourceFetch()->client(), &Client::message, net,
                                 [this](QString& t) { received += t; });
        ASSERT_TRUE(h.waitFor([&] { return server.hasPendingConnections(); }, kWait));
        peer.reset(server.nextPendingConnection());
        request.clear();
        ASSERT_TRUE(h.waitFor(
            [&] {
                request += peer->readAll();
                return request.endsWith("\r\n\r\n");
            },
            kWait));
    }
    // Writes the bytes in the pieces the cuts make; with `each`, waits until the panel's client
    // has read every piece before the next, so each is a read of its own.
    void serve(const QByteArray& bytes, QList<qsizetype> cuts, bool each) {
        cuts.append(bytes.size());
        qsizetype from = 0;
        for (qsizetype cut : cuts) {
            peer->write(bytes.mid(from, cut - from));
            peer->flush();
            from = cut;
            if (each && cut < bytes.size()) {
                const QString expected = QString::fromUtf8(bytes.left(cut));
                ASSERT_TRUE(h.waitFor([&] { return received.size() >= expected.size(); }, kWait));
                EXPECT_TRUE(h.prompts.shown.empty()) << "done early at byte " << cut;
            }
        }
    }

    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    QByteArray request;
    QString received;
    QMetaObject::Connection watch;
};

TEST_F(ScriptedCaster, EveryCorpusTableWholeByteByByteAndSplitInItsMarker) {
    const struct {
        const char* file;
        int names;
    } tables[] = {
        {"sapos_NI.sourcetable", 3}, {"frednet.sourcetable", 47}, {"geortk.sourcetable", 68}};
    for (const auto& t : tables) {
        const QByteArray table = corpusTable(t.file);
        ASSERT_FALSE(table.isEmpty());
        const qsizetype marker = table.indexOf("ENDSOURCETABLE");
        QList<qsizetype> everyByte;
        for (qsizetype i = 1; i < table.size(); ++i) {
            everyByte.append(i);
        }
        const struct {
            const char* how;
            QList<qsizetype> cuts;
            bool each;
        } schedules[] = {{"whole", {}, false},
                         {"byte by byte", everyByte, false},
                         {"split in the marker", {marker + 3, marker + 10}, true},
                         {"a record split", {table.indexOf("\nSTR;") + 3}, true}};
        for (const auto& s : schedules) {
            SCOPED_TRACE(std::string(t.file) + " " + s.how);
            h.prompts.shown.clear();
            start();
            EXPECT_EQ(request,
                      QByteArray("GET / HTTP/1.0\r\nUser-Agent: NTRIP Varnok\r\nAccept: */*\r\n"
                                 "Connection: close\r\nAuthorization: Basic Og==\r\n\r\n"));
            serve(table, s.cuts, s.each);
            ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
            EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kGot});
            EXPECT_EQ(items(sources()), strNames(table));
            EXPECT_EQ(sources()->count(), t.names);
            EXPECT_EQ(sources()->currentText(), strNames(table).first());
            EXPECT_TRUE(editorsBack());
            // The panel hangs up once the table is in.
            EXPECT_TRUE(h.waitFor(
                [&] {
                    return peer->state() == QAbstractSocket::UnconnectedState || !peer->isValid() ||
                           peer->waitForDisconnected(10);
                },
                kWait));
        }
    }
}

TEST_F(ScriptedCaster, FailuresKeepTheListAndGiveTheEditorsBack) {
    const QByteArray table = corpusTable("frednet.sourcetable");
    const struct {
        const char* what;
        QByteArray bytes;
        bool close;
        double scale;  // timer scale: 1 means the time-out cannot be what ends it
        Prompt shown;
    } rows[] = {
        {"silence", QByteArray(), false, 0.002, kNoTable},
        {"garbage, then a close", QByteArray(4096, '\x9c'), true, 1.0, kClosedEmpty},
        {"garbage beyond 1 MiB", QByteArray(1024 * 1024 + 1460, 'g'), false, 1.0, kNoTable},
        {"401", "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"x\"\r\n\r\n", false,
         1.0, kUnauthorized},
        {"401, NTRIP 1 style, then a close", "HTTP/1.0 401 Unauthorized\r\n\r\n", true, 1.0,
         kUnauthorized},
        {"404",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n",
         false,
         1.0,
         {Prompts::Warning, "Warning",
          "The caster answered with an error: HTTP/1.1 404 Not Found"}},
        {"200 but a stream",
         "HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n\xd3\x00",
         false,
         1.0,
         {Prompts::Warning, "Warning", "The caster answered with an error: HTTP/1.1 200 OK"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        h.prompts.shown.clear();
        Varnok::setUiScale(r.scale);
        start();
        sources()->addItem("KEPT");  // what the list held before the answer
        const QStringList before = items(sources());
        peer->write(r.bytes);
        peer->flush();
        if (r.close) {
            peer->disconnectFromHost();
        }
        ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
        EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{r.shown});
        EXPECT_EQ(items(sources()), before);
        EXPECT_TRUE(editorsBack());
    }
    // A close in the middle of the table: at once, the records that came fill the list, and the
    // message says it is incomplete.
    Varnok::setUiScale(1.0);
    const QByteArray half = table.left(table.indexOf("\nSTR;", table.size() / 2) + 1);
    for (const bool ntrip2 : {false, true}) {
        SCOPED_TRACE(ntrip2 ? "NTRIP 2" : "NTRIP 1");
        h.prompts.shown.clear();
        start();
        sources()->addItem("KEPT");
        const QByteArray body = half.mid(half.indexOf("STR;"));
        peer->write(ntrip2 ? "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n\r\n" + body
                           : half);
        peer->flush();
        peer->disconnectFromHost();
        ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
        EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kIncomplete});
        EXPECT_EQ(items(sources()), strNames(half));
        EXPECT_TRUE(editorsBack());
    }
    // Nobody listening.
    h.prompts.shown.clear();
    edit("lineEdit_address")->setText("127.0.0.1");
    edit("lineEdit_port")->setText(QString::number(freeLoopbackPort()));
    choose(0);
    get()->click();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kNoConnection});
    EXPECT_TRUE(editorsBack());
}

// An NTRIP 2 caster: "HTTP/1.1 200 OK" with Content-Type gnss/sourcetable, the body whole, by
// its length, or chunked (chunks cut anywhere, a chunk extension, a trailer).
TEST_F(ScriptedCaster, AnNtrip2AnswerPlainOrChunkedFillsTheList) {
    const QByteArray table = corpusTable("geortk.sourcetable");
    ASSERT_FALSE(table.isEmpty());
    const QByteArray head =
        "HTTP/1.1 200 OK\r\nServer: NTRIP Caster 2.0\r\n"
        "Content-Type: gnss/sourcetable\r\n";
    QByteArray chunked;
    for (qsizetype at = 0, n = 1; at < table.size(); at += n, n = n * 3 + 1) {
        const QByteArray chunk = table.mid(at, n);
        chunked += QByteArray::number(chunk.size(), 16) + (n == 4 ? ";ext=1" : "") + "\r\n" +
                   chunk + "\r\n";
    }
    chunked += "0\r\nX-Trailer: 1\r\n\r\n";
    const struct {
        const char* what;
        QByteArray answer;
    } rows[] = {
        {"plain", head + "\r\n" + table},
        {"by its length",
         head + "Content-Length: " + QByteArray::number(table.size()) + "\r\n\r\n" + table},
        {"chunked", head + "Transfer-Encoding: chunked\r\n\r\n" + chunked},
    };
    for (const auto& r : rows) {
        for (const bool byteByByte : {false, true}) {
            SCOPED_TRACE(std::string(r.what) + (byteByByte ? ", byte by byte" : ""));
            h.prompts.shown.clear();
            start();
            if (byteByByte) {
                for (qsizetype i = 0; i < r.answer.size(); ++i) {
                    peer->write(r.answer.mid(i, 1));
                }
            } else {
                peer->write(r.answer);
            }
            peer->flush();
            ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
            EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kGot});
            EXPECT_EQ(items(sources()), strNames(table));
            EXPECT_TRUE(editorsBack());
        }
    }
}

TEST_F(ScriptedCaster, LeavingThePageEndsTheFetchWithoutAWord) {
    start();
    sources()->addItem("KEPT");
    const QByteArray table = corpusTable("sapos_NI.sourcetable");
    serve(table.left(100), {}, false);
    page->deactivate();
    EXPECT_TRUE(editorsBack());
    // The panel hung up: the caster's rest finds nobody, and no box pops up over another page.
    ASSERT_TRUE(h.waitFor(
        [&] {
            peer->write(table.mid(100));
            return peer->state() == QAbstractSocket::UnconnectedState ||
                   peer->waitForDisconnected(10);
        },
        kWait));
    h.deliver();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(items(sources()), QStringList{"KEPT"});
}

TEST_F(NetFetch, ARealCasterGivesItsMountPoint) {
    if (Str2StrCaster::program().empty()) {
        FAIL() << "str2str not installed (scripts/install-deps.sh installs rtklib)";
    }
    Str2StrCaster caster;
    std::string error;
    ASSERT_TRUE(
        caster.start("VARNOK_MP", "RTCM 3;1004(1);2;GPS;;DEU;52.41;9.80;0;0;;none;N;N;0", &error))
        << error;
    edit("lineEdit_address")->setText("127.0.0.1");
    edit("lineEdit_port")->setText(QString::number(caster.port()));
    choose(0);
    get()->click();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kGot});
    EXPECT_EQ(items(sources()), QStringList{"VARNOK_MP"});
    EXPECT_TRUE(editorsBack());
}

// ---- Through the receiver's GPRS link.

class ThroughReceiver : public NetFetch {
protected:
    // The receiver's next source-list piece, reported as the old protocol does.
    void piece(const QByteArray& bytes) {
        auto copy = std::make_shared<QByteArray>(bytes);
        h.script().answer<void(char*, int*)>("Get_Gprs_GetList", [copy](char* out, int* n) {
            std::memcpy(out, copy->constData(), static_cast<std::size_t>(copy->size()));
            *n = static_cast<int>(copy->size());
        });
        rx.fire(0x1000u);
    }
    void table(const QByteArray& bytes) {
        for (qsizetype at = 0; at < bytes.size(); at += 700) {
            piece(bytes.mid(at, 700));
        }
    }
};

TEST_F(ThroughReceiver, AChangedLinkGoesFirstThenTheListOnceTheLinkIsReady) {
    edit("lineEdit_address")->setText("192.168.1.20");
    choose(1);
    h.clearCalls();
    get()->click();
    EXPECT_EQ(h.prompts.dialogsRun, std::vector<QString>{"SelectGetSourceMethodClass"});
    ASSERT_EQ(net->pendingRequest(), 2);
    EXPECT_EQ(h.script().lines(), std::vector<std::string>{"Set_Gprs_Ip({}, 2101, 1)"});
    EXPECT_TRUE(overrideCursorSet());
    EXPECT_FALSE(get()->isEnabled());

    rx.status(4);  // logged on with the old link: dropped first
    EXPECT_EQ(calls(h, "Send_Gprs_DisConct").size(), 1u);
    EXPECT_TRUE(calls(h, "Send_Gprs_GetList").empty());
    rx.status(3);
    rx.status(3);
    rx.status(4);  // once asked, statuses change nothing
    EXPECT_EQ(calls(h, "Send_Gprs_GetList").size(), 1u);
    EXPECT_EQ(calls(h, "Send_Gprs_DisConct").size(), 1u);

    // A table naming one mount point twice, cut in 700-byte pieces.
    QByteArray bytes = corpusTable("sapos_NI.sourcetable");
    const QByteArray firstRecord =
        bytes.mid(bytes.indexOf("STR;"),
                  bytes.indexOf("\n", bytes.indexOf("STR;")) - bytes.indexOf("STR;") + 1);
    bytes.insert(bytes.indexOf("ENDSOURCETABLE"), firstRecord);
    table(bytes);
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kGot});
    EXPECT_EQ(items(sources()), strNames(corpusTable("sapos_NI.sourcetable")));
    EXPECT_TRUE(editorsBack());
}

TEST_F(ThroughReceiver, EndingsRefusalsAndTheMethodChoice) {
    const struct {
        const char* what;
        double scale;
        std::function<void()> act;
        std::vector<Prompt> shown;
    } rows[] = {
        {"radio mode",
         1.0,
         [this] { rx.status(9); },
         {{Prompts::Warning, "Warning", "Device mode is radio now!"}}},
        {"a listed GPRS error",
         1.0,
         [this] { rx.error(3); },
         {{Prompts::Warning, "Warning", "TCP connection Unavailable"}}},
        {"no table in time",
         0.002,
         [this] {
             rx.status(3);
             h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait);
         },
         {kNoTable}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Varnok::setUiScale(r.scale);
        h.prompts.shown.clear();
        choose(1);
        h.clearCalls();
        get()->click();
        ASSERT_EQ(net->pendingRequest(), 2);
        // The link is the receiver's own: nothing is set.
        EXPECT_TRUE(calls(h, "Set_").empty());
        r.act();
        EXPECT_EQ(prompts(h.prompts), r.shown);
        EXPECT_TRUE(editorsBack());
    }

    // Cancel: nothing pending, nothing sent.
    Varnok::setUiScale(1.0);
    h.prompts.shown.clear();
    h.prompts.dialogsRun.clear();
    h.clearCalls();
    get()->click();  // no answer scripted: the dialog is cancelled
    EXPECT_EQ(h.prompts.dialogsRun, std::vector<QString>{"SelectGetSourceMethodClass"});
    EXPECT_TRUE(calls(h, "Set_").empty());
    EXPECT_TRUE(calls(h, "Send_").empty());
    EXPECT_TRUE(editorsBack());

    // An address the record cannot carry: marked, nothing sent, no dialog.
    edit("lineEdit_address")->setText("caster.example");
    h.prompts.dialogsRun.clear();
    get()->click();
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
    EXPECT_TRUE(calls(h, "Set_").empty());
    EXPECT_TRUE(calls(h, "Send_").empty());
    EXPECT_TRUE(editorsBack());

    // Without the capability no dialog: straight to the socket.
    h.frame()->close();
    h.deliver();
    open(false);
    h.clearCalls();
    edit("lineEdit_port")->setText(QString::number(freeLoopbackPort()));
    edit("lineEdit_address")->setText("127.0.0.1");
    get()->click();
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kNoConnection});
    EXPECT_TRUE(calls(h, "Set_").empty());
    EXPECT_TRUE(calls(h, "Send_").empty());
}

TEST_F(ThroughReceiver, LeavingThePageEndsTheFetchWithoutAWord) {
    choose(1);
    get()->click();
    ASSERT_TRUE(net->isPolling());
    h.frame()->close();
    h.deliver();
    EXPECT_TRUE(editorsBack());
    // Whatever the receiver says now is nobody's business.
    h.clearCalls();
    rx.status(3);
    table(corpusTable("sapos_NI.sourcetable"));
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_TRUE(calls(h, "Send_Gprs_GetList").empty());
    EXPECT_EQ(items(sources()), QStringList{"MP0"});
}

TEST_F(ThroughReceiver, ATooLongLoginWarnsButTheFetchGoesOn) {
    // Source, user name and password of 49 characters in all: the Set would refuse them, the
    // fetch only says so.
    edit("lineEdit_guestName")->setText(QString(25, 'u'));
    edit("lineEdit_psw")->setText(QString(19, 'p'));
    sources()->setEditText(QString(5, 's'));
    choose(1);
    get()->click();
    EXPECT_EQ(
        prompts(h.prompts),
        (std::vector<Prompt>{{Prompts::Critical, "Error",
                              "Total length of source\nuserName and password\nis beyond 49!"}}));
    EXPECT_EQ(h.prompts.dialogsRun, std::vector<QString>{"SelectGetSourceMethodClass"});
    EXPECT_EQ(net->pendingRequest(), 2);
    EXPECT_TRUE(net->isPolling());
}

TEST(SelectGetSourceMethod, OffersMobileNetFirstAndEndsOnlyThroughItsButtons) {
    registerOnce();
    ShellHarness::application();
    Varnok::SelectGetSourceMethod dialog;
    EXPECT_EQ(dialog.objectName(), "SelectGetSourceMethodClass");
    EXPECT_EQ(dialog.windowTitle(), "Get source table");
    auto* socket = dialog.findChild<QRadioButton*>("radioButton_socket");
    auto* device = dialog.findChild<QRadioButton*>("radioButton_deviceNet");
    ASSERT_TRUE(socket && device);
    EXPECT_EQ(socket->text(), "Mobile Net");
    EXPECT_EQ(device->text(), "Device GPRS");
    EXPECT_TRUE(socket->isChecked());
    EXPECT_EQ(dialog.method(), 0);
    device->setChecked(true);
    EXPECT_EQ(dialog.method(), 1);
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    dialog.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// ---- New-protocol receivers: the modem's dial status decides.

class ThroughDial : public ::testing::Test {
protected:
    void SetUp() override {
        registerOnce();
        h.makeFrame();
        h.connectAs(1);
        Varnok::setUiScale(1.0);
        QObject::connect(&fetch, &SourceFetch::finished, &panel,
                         [this](bool ok) { ends.push_back(ok); });
        h.clearCalls();
    }
    void TearDown() override { Varnok::setUiScale(0.0); }
    void dial(std::uint16_t status) {
        h.script().answer<void(QX_MODEM_DIAL_STATUS_STRUCT&)>(
            "Get_Modem_Dial_Status", [status](QX_MODEM_DIAL_STATUS_STRUCT& s) {
                s = QX_MODEM_DIAL_STATUS_STRUCT{};
                s.status = status;
            });
        h.fireFromThread(5, 0x20u);
        h.deliver();
    }

    ShellHarness h;
    QWidget panel;
    SourceFetch fetch{&panel, SourceFetch::NewPanel};
    std::vector<bool> ends;
};

TEST_F(ThroughDial, ADialledModemGetsTheAddressThenTheListQuery) {
    QX_IP_ADDRESS_STRUCT sent{};
    h.script().answer<void(const QX_IP_ADDRESS_STRUCT*)>("Send_NetLink_Address",
                                                         [&sent](const QX_IP_ADDRESS_STRUCT* a) {
                                                             if (a) {
                                                                 sent = *a;
                                                             }
                                                         });
    ASSERT_TRUE(fetch.fetchThroughDial("192.168.1.20", 2101));
    EXPECT_EQ(calls(h, "Send_Modem_Dial_Status_Query").size(), 1u);
    EXPECT_TRUE(calls(h, "Send_NetLink").empty());
    dial(1);
    // The item carries the address first number first, then the port: C0 A8 01 14 08 35.
    EXPECT_EQ(sent.address, 0xC0A80114u);
    EXPECT_EQ(sent.port, 0x0835);
    EXPECT_EQ(sent.flag, 0);
    const std::vector<std::string> order = calls(h, "Send_NetLink");
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0].rfind("Send_NetLink_Address", 0), 0u);
    EXPECT_EQ(order[1], "Send_NetLink_Source_List_Query()");

    // The receiver forwards the caster's whole answer, status line first.
    const QByteArray table = "SOURCETABLE 200 OK\r\n" + corpusTable("geortk.sourcetable");
    for (qsizetype at = 0; at < table.size(); at += 4096) {
        auto copy = std::make_shared<QByteArray>(table.mid(at, 4096));
        h.script().answer<void(char*, int*)>("Get_Gprs_GetList", [copy](char* out, int* n) {
            std::memcpy(out, copy->constData(), static_cast<std::size_t>(copy->size()));
            *n = static_cast<int>(copy->size());
        });
        h.fireFromThread(6, 0x2000u);
        h.deliver();
    }
    EXPECT_EQ(ends, std::vector<bool>{true});
    EXPECT_EQ(QStringList(fetch.names()), strNames(table));
    EXPECT_EQ(prompts(h.prompts), (std::vector<Prompt>{{Prompts::Information, "Information",
                                                        "Successed to get source table !"}}));
    QComboBox box;
    box.addItem("old");
    SourceFetch::fillSourceList(&box, {"", "B", "A", "B"}, false);
    EXPECT_EQ(items(&box), (QStringList{"B", "A"}));
    EXPECT_EQ(box.currentIndex(), 0);
}

TEST_F(ThroughDial, RefusalsAndEndings) {
    // A host name would go out as 255.255.255.255: refused before anything is sent.
    for (const char* address : {"foo", "192.168.1", "192.168.1.256", ""}) {
        h.prompts.shown.clear();
        EXPECT_FALSE(fetch.fetchThroughDial(address, 2101)) << address;
        EXPECT_EQ(prompts(h.prompts),
                  (std::vector<Prompt>{{Prompts::Critical, "Error", "Please enter parameters."}}));
        EXPECT_TRUE(calls(h, "Send_").empty()) << address;
        EXPECT_FALSE(fetch.isRunning());
    }
    h.prompts.shown.clear();
    ASSERT_TRUE(fetch.fetchThroughDial("192.168.1.20", 2101));
    dial(2);
    EXPECT_EQ(prompts(h.prompts),
              (std::vector<Prompt>{{Prompts::Warning, "Warning", "Dial modem on first."}}));
    EXPECT_TRUE(calls(h, "Send_NetLink").empty());
    EXPECT_EQ(ends, std::vector<bool>{false});

    h.prompts.shown.clear();
    Varnok::setUiScale(0.002);
    ASSERT_TRUE(fetch.fetchThroughDial("192.168.1.20", 2101));
    dial(1);
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts),
              (std::vector<Prompt>{{Prompts::Warning, "Warning", "Failed to get source table!"}}));
    EXPECT_EQ(ends, (std::vector<bool>{false, false}));
    EXPECT_FALSE(fetch.isRunning());

    // Cancelled: silent, and a late dial answer does nothing.
    h.prompts.shown.clear();
    Varnok::setUiScale(1.0);
    ASSERT_TRUE(fetch.fetchThroughDial("192.168.1.20", 2101));
    fetch.cancel();
    h.clearCalls();
    dial(1);
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_TRUE(calls(h, "Send_").empty());
    EXPECT_EQ(ends.size(), 2u);
}

// ---- The new-protocol network panel.

class NewPanelFetch : public ::testing::Test {
protected:
    void SetUp() override {
        registerOnce();
        h.makeFrame();
        h.connectAs(1);
        Varnok::setUiScale(1.0);
        h.frame()->onCommand("DataLink");
        h.deliver();
        page = qobject_cast<Varnok::DataLinkWidget*>(h.frame()->page("DataLink"));
        ASSERT_NE(page, nullptr);
        rx.mode(3);
        net = page->netPanel();
        ASSERT_EQ(page->shownPanel(), net);
        fireTimer(net, net->queryTimerId());  // the settings query ends unanswered
        h.deliver();
        f = net->form();
        f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
        ASSERT_FALSE(f->tbGetSource->isHidden());
        ASSERT_TRUE(f->tbGetSource->isEnabled());
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        f->leAddress->setText("127.0.0.1");
        f->lePort->setText(QString::number(server.serverPort()));
        h.prompts.shown.clear();
        h.clearCalls();
    }
    void TearDown() override { Varnok::setUiScale(0.0); }

    void choose(int method) {
        h.prompts.answerNextDialog([method](QDialog* d) {
            d->findChild<QRadioButton*>(method == 1 ? "radioButton_deviceNet"
                                                    : "radioButton_socket")
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
    }
    bool editorsBack() {
        return net->operationState() == 0 && !net->sourceFetch()->isRunning() &&
               !net->anyTimerRunning() && f->tbGetSource->isEnabled() &&
               f->leAddress->isEnabled() && !overrideCursorSet();
    }
    // Get with "Mobile Net": after the panel's short timers it connects and sends the request.
    void start() {
        choose(0);
        f->tbGetSource->click();
        ASSERT_EQ(net->operationState(), WirelessWidget::kFetchBySocket);
        ASSERT_TRUE(h.waitFor([&] { return server.hasPendingConnections(); }, kWait));
        EXPECT_FALSE(f->tbGetSource->isEnabled());
        EXPECT_TRUE(overrideCursorSet());
        peer.reset(server.nextPendingConnection());
        request.clear();
        ASSERT_TRUE(h.waitFor(
            [&] {
                request += peer->readAll();
                return request.endsWith("\r\n\r\n");
            },
            kWait));
    }
    void dial(std::uint16_t status) {
        h.script().answer<void(QX_MODEM_DIAL_STATUS_STRUCT&)>(
            "Get_Modem_Dial_Status", [status](QX_MODEM_DIAL_STATUS_STRUCT& s) {
                s = QX_MODEM_DIAL_STATUS_STRUCT{};
                s.status = status;
            });
        h.fireFromThread(5, 0x20u);
        h.deliver();
    }
    void receiverTable(const QByteArray& table) {
        for (qsizetype at = 0; at < table.size(); at += 4096) {
            auto copy = std::make_shared<QByteArray>(table.mid(at, 4096));
            h.script().answer<void(char*, int*)>("Get_Gprs_GetList", [copy](char* out, int* n) {
                std::memcpy(out, copy->constData(), static_cast<std::size_t>(copy->size()));
                *n = static_cast<int>(copy->size());
            });
            h.fireFromThread(6, 0x2000u);
            h.deliver();
        }
    }
    // Get with "Device GPRS", waiting for the dial-status query its start sends.
    void startThroughDial() {
        choose(1);
        f->tbGetSource->click();
        ASSERT_EQ(net->operationState(), WirelessWidget::kFetchThroughReceiver);
        ASSERT_TRUE(
            h.waitFor([&] { return !calls(h, "Send_Modem_Dial_Status_Query").empty(); }, kWait));
    }

    ShellHarness h;
    NewReceiver rx{h};
    Varnok::DataLinkWidget* page = nullptr;
    WirelessWidget* net = nullptr;
    Ui::WirelessWidgetClass* f = nullptr;
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    QByteArray request;
};

const Prompt kNewGot{Prompts::Information, "Information", "Successed to get source table !"};
const Prompt kEnterParameters{Prompts::Critical, "Error", "Please enter parameters."};

TEST_F(NewPanelFetch, EveryCorpusTableCutAnywhereFillsTheList) {
    const struct {
        const char* file;
        int names;
    } tables[] = {
        {"sapos_NI.sourcetable", 3}, {"frednet.sourcetable", 47}, {"geortk.sourcetable", 68}};
    for (const auto& t : tables) {
        const QByteArray table = corpusTable(t.file);
        ASSERT_FALSE(table.isEmpty());
        const qsizetype marker = table.indexOf("ENDSOURCETABLE");
        const struct {
            const char* how;
            qsizetype step;  // 0: the cuts below
            QList<qsizetype> cuts;
        } schedules[] = {{"whole", 0, {}},
                         {"byte by byte", 1, {}},
                         {"in 7-byte pieces", 7, {}},
                         {"split in the marker", 0, {marker + 3, marker + 10}},
                         {"a record split", 0, {table.indexOf("\nSTR;") + 3}}};
        for (const auto& s : schedules) {
            SCOPED_TRACE(std::string(t.file) + " " + s.how);
            h.prompts.shown.clear();
            f->cbSource->clear();
            f->cbSource->addItem("OLD");
            start();
            EXPECT_EQ(request,
                      QByteArray("GET / HTTP/1.0\r\nUser-Agent: NTRIP Varnok\r\nAccept: */*\r\n"
                                 "Connection: close\r\nAuthorization: Basic Og==\r\n\r\n"));
            QList<qsizetype> cuts = s.cuts;
            for (qsizetype at = s.step; s.step > 0 && at < table.size(); at += s.step) {
                cuts.append(at);
            }
            cuts.append(table.size());
            qsizetype from = 0;
            for (qsizetype cut : cuts) {
                peer->write(table.mid(from, cut - from));
                from = cut;
                if (s.step == 0) {
                    peer->flush();
                    h.deliver();
                }
            }
            peer->flush();
            ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
            EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kNewGot});
            EXPECT_EQ(items(f->cbSource), strNames(table));
            EXPECT_EQ(f->cbSource->count(), t.names);
            EXPECT_EQ(f->cbSource->currentIndex(), 0);
            EXPECT_TRUE(editorsBack());
        }
    }
}

TEST_F(NewPanelFetch, SocketFailuresKeepTheListAndGiveTheEditorsBack) {
    f->cbSource->addItem("KEPT");
    // Missing fields: marked, no dialog.
    f->leAddress->clear();
    f->lePort->clear();
    f->tbGetSource->click();
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kEnterParameters});
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
    // Cancelled dialog: nothing happens.
    f->leAddress->setText("127.0.0.1");
    f->lePort->setText(QString::number(freeLoopbackPort()));
    h.prompts.shown.clear();
    f->tbGetSource->click();
    EXPECT_EQ(h.prompts.dialogsRun, std::vector<QString>{"SelectGetSourceMethodClass"});
    EXPECT_TRUE(editorsBack());
    // Nobody listening.
    choose(0);
    f->tbGetSource->click();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kNoConnection});
    EXPECT_TRUE(editorsBack());
    // The caster hangs up before any record: said at once.
    h.prompts.shown.clear();
    f->lePort->setText(QString::number(server.serverPort()));
    start();
    const QByteArray table = corpusTable("frednet.sourcetable");
    peer->write(table.left(table.indexOf("\nSTR;")));
    peer->disconnectFromHost();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kClosedEmpty});
    EXPECT_EQ(items(f->cbSource), QStringList{"KEPT"});
    EXPECT_TRUE(editorsBack());
    EXPECT_TRUE(calls(h, "Send_").empty());
}

TEST_F(NewPanelFetch, ThroughTheDialledModem) {
    f->leAddress->setText("192.168.1.20");
    f->lePort->setText("2101");
    startThroughDial();
    EXPECT_FALSE(f->tbGetSource->isEnabled());
    dial(1);
    EXPECT_EQ(calls(h, "Send_NetLink_Source_List_Query").size(), 1u);
    const QByteArray table = "SOURCETABLE 200 OK\r\n" + corpusTable("frednet.sourcetable");
    receiverTable(table);
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kNewGot});
    EXPECT_EQ(items(f->cbSource), strNames(table));
    EXPECT_EQ(f->cbSource->count(), 47);
    EXPECT_TRUE(editorsBack());
}

TEST_F(NewPanelFetch, DialPathRefusals) {
    f->cbSource->addItem("KEPT");
    // A host name cannot go in the address record: refused at the start, nothing sent.
    f->leAddress->setText("caster.example");
    choose(1);
    f->tbGetSource->click();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts), std::vector<Prompt>{kEnterParameters});
    EXPECT_TRUE(calls(h, "Send_").empty());
    EXPECT_TRUE(editorsBack());

    // The modem is not dialled.
    h.prompts.shown.clear();
    f->leAddress->setText("192.168.1.20");
    startThroughDial();
    dial(0);
    EXPECT_EQ(prompts(h.prompts),
              (std::vector<Prompt>{{Prompts::Warning, "Warning", "Dial modem on first."}}));
    EXPECT_TRUE(calls(h, "Send_NetLink").empty());
    EXPECT_TRUE(editorsBack());

    // Dialled, but no table comes.
    h.prompts.shown.clear();
    Varnok::setUiScale(0.002);
    startThroughDial();
    dial(1);
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
    EXPECT_EQ(prompts(h.prompts),
              (std::vector<Prompt>{{Prompts::Warning, "Warning", "Failed to get source table!"}}));
    EXPECT_EQ(items(f->cbSource), QStringList{"KEPT"});
    EXPECT_TRUE(editorsBack());
}

TEST_F(NewPanelFetch, LeavingMidFetchEndsItWithoutAWord) {
    f->cbSource->addItem("KEPT");
    // By socket, half the table in.
    start();
    const QByteArray table = corpusTable("sapos_NI.sourcetable");
    peer->write(table.left(100));
    peer->flush();
    h.deliver();
    net->deactivate();
    EXPECT_TRUE(editorsBack());
    ASSERT_TRUE(h.waitFor(
        [&] {
            peer->write(table.mid(100));
            return peer->state() == QAbstractSocket::UnconnectedState ||
                   peer->waitForDisconnected(10);
        },
        kWait));
    h.deliver();
    EXPECT_TRUE(h.prompts.shown.empty());

    // Chosen but not started yet: the start never comes.
    choose(0);
    f->tbGetSource->click();
    net->deactivate();
    EXPECT_TRUE(editorsBack());
    h.deliver();
    EXPECT_FALSE(server.hasPendingConnections());

    // Through the modem, waiting for the table.
    f->leAddress->setText("192.168.1.20");
    startThroughDial();
    dial(1);
    h.frame()->close();
    h.deliver();
    EXPECT_TRUE(editorsBack());
    receiverTable(corpusTable("geortk.sourcetable"));
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(items(f->cbSource), QStringList{"KEPT"});
}

}  // namespace
