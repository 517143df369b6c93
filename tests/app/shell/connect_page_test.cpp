// The connection page offscreen over the recording fake session: the form per method and
// device, the attempts it starts, the inputs it refuses, how attempts end, and the station
// bookkeeping.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "BVComm/PortPaths.h"
#include "com_port_map.h"
#include "connect.h"
#include "connect_fixtures.h"
#include "connecting_progress.h"
#include "connection_params_config.h"
#include "device_observer.h"
#include "device_test_support.h"
#include "logic_context.h"
#include "shell_harness.h"
#include "ui_connect.h"

namespace varnok_test {
namespace {

using Varnok::Connect;
using Varnok::DeviceManager;
using Varnok::DeviceObserver;

class ConnectPage : public ::testing::Test {
protected:
    void SetUp() override {
        // Real lengths: the page's dialog takes its time-out when it is made.
        Varnok::setUiScale(timerScale());
        DeviceManager::instance()->setConnectTimeoutMs(600000);
        frame = h.makeFrame();
        frame->onCommand(QStringLiteral("Connection"));
        page = qobject_cast<Connect*>(frame->page(QStringLiteral("Connection")));
        ASSERT_NE(page, nullptr);
        ui = page->form();
        h.clearCalls();
    }
    void TearDown() override { DeviceManager::instance()->closePort(); }
    virtual double timerScale() const { return 1.0; }

    void choose(QComboBox* box, const QVariant& data) {
        const int i = box->findData(data);
        ASSERT_GE(i, 0) << box->objectName().toStdString() << " " << data.toString().toStdString();
        box->setCurrentIndex(i);
    }
    QStringList visibleRows() const {
        QStringList out;
        for (QWidget* w :
             {static_cast<QWidget*>(ui->cbChannel), static_cast<QWidget*>(ui->cbServer),
              static_cast<QWidget*>(ui->leIP), static_cast<QWidget*>(ui->lePort),
              static_cast<QWidget*>(ui->comboBox_port), static_cast<QWidget*>(ui->comboBox_baud),
              static_cast<QWidget*>(ui->cbAuto), static_cast<QWidget*>(ui->listWidget),
              static_cast<QWidget*>(ui->toolButton)}) {
            if (!w->isHidden()) {
                out << w->objectName();
            }
        }
        return out;
    }
    // The attempt opens the port on its worker while the next progress dialog runs; once it
    // has, the user cancels the wait.
    void cancelOncePortOpened() {
        h.prompts.answerNextDialog([this](QDialog* d) {
            auto* poll = new QTimer(d);
            QObject::connect(poll, &QTimer::timeout, d, [this, d, poll] {
                if (!h.callsStartingWith("Port_Open").empty()) {
                    poll->stop();
                    static_cast<Varnok::ConnectingProgress*>(d)->cancel();
                }
            });
            poll->start(5);
            return d->exec();
        });
    }
    // Runs the next progress dialog for real; when the attempt waits for data, the receiver
    // answers with (category, id) unless category is 0.
    void answerAttempt(int category = 0, std::uint32_t id = 0) {
        h.prompts.answerNextDialog([this, category, id](QDialog* d) {
            if (category != 0) {
                auto done = std::make_shared<QMetaObject::Connection>();
                *done = QObject::connect(DeviceObserver::instance(), &DeviceObserver::workingStatus,
                                         d, [this, done, category, id](int s) {
                                             if (s == 2) {
                                                 QObject::disconnect(*done);
                                                 QTimer::singleShot(0, [this, category, id] {
                                                     h.fireFromThread(category, id);
                                                 });
                                             }
                                         });
            }
            return d->exec();
        });
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : h.prompts.shown) {
            out.push_back(s.text.toStdString());
        }
        return out;
    }

    ShellHarness h;
    Varnok::FatherWidget* frame = nullptr;
    Connect* page = nullptr;
    Ui::Connect* ui = nullptr;
};

TEST_F(ConnectPage, DeviceListsAndMakers) {
    QStringList names;
    for (int i = 0; i < ui->cbDeviceType->count(); ++i) {
        names << ui->cbDeviceType->itemText(i);
    }
    EXPECT_EQ(names, (QStringList{"Pocket GNSS", "P47 Series", "Survey RTK"}));
    EXPECT_EQ(ui->cbDeviceType->currentText(), QStringLiteral("Survey RTK"));
    EXPECT_TRUE(ui->cbDeviceType->isEnabled());
    choose(ui->comboBox_manufacture, QStringLiteral("TAMRU"));
    EXPECT_EQ(ui->cbDeviceType->count(), 1);
    EXPECT_EQ(ui->cbDeviceType->currentText(), QStringLiteral("Survey RTK"));
    EXPECT_FALSE(ui->cbDeviceType->isEnabled());
    EXPECT_EQ(ui->comboBox_port->itemText(0).left(3), QStringLiteral("COM"));
}

TEST_F(ConnectPage, RowsFollowMethodAndDevice) {
    // Built-in lists offer "Server" to no listed device: a methods file gives it to device 1,
    // and a station device (3) for the station row.
    struct Case {
        int device;
        int method;
        QStringList rows;
    };
    const QString port = "comboBox_port";
    const Case cases[] = {
        {0, 0, {port, "comboBox_baud", "cbAuto"}},    {0, 1, {port, "listWidget"}},
        {0, 101, {port, "listWidget", "toolButton"}}, {1, 2, {"cbChannel", "toolButton"}},
        {1, 0, {port, "comboBox_baud", "cbAuto"}},    {1, 101, {port, "listWidget", "toolButton"}},
    };
    for (const Case& c : cases) {
        choose(ui->cbDeviceType, c.device);
        choose(ui->comboBox_connect, c.method);
        EXPECT_EQ(visibleRows(), c.rows) << c.device << "/" << c.method;
        EXPECT_EQ(page->method(), c.method);
    }
    // Device 1 offers WIFI; switching to device 0 keeps "Sys. BT" but drops WIFI for "Port".
    choose(ui->cbDeviceType, 1);
    choose(ui->comboBox_connect, 101);
    choose(ui->cbDeviceType, 0);
    EXPECT_EQ(page->method(), 101);
    choose(ui->cbDeviceType, 1);
    choose(ui->comboBox_connect, 2);
    choose(ui->cbDeviceType, 0);
    EXPECT_EQ(page->method(), 0);
}

TEST_F(ConnectPage, AttemptsReachTheSessionAsChosen) {
    struct Case {
        int device;
        int method;
        std::function<void()> setup;
        std::string open;
    };
    const Case cases[] = {
        {1, 2, [this] { ui->cbChannel->setCurrentIndex(1); },
         "Port_Open(sock 192.168.200.1:1212 0)"},
        {0, 0,
         [this] {
             choose(ui->comboBox_port, 3);
             choose(ui->comboBox_baud, 38400);
             ui->cbAuto->setChecked(true);
         },
         "Port_Open(com 3, 38400)"},
        {0, 101, [this] { choose(ui->comboBox_port, 3); }, "Port_Open(bt 3, "},
    };
    for (const Case& c : cases) {
        choose(ui->cbDeviceType, c.device);
        choose(ui->comboBox_connect, c.method);
        c.setup();
        h.clearCalls();
        cancelOncePortOpened();
        page->connectAction()->trigger();
        const auto opens = h.callsStartingWith("Port_Open");
        ASSERT_FALSE(opens.empty()) << c.method;
        EXPECT_EQ(opens.front().compare(0, c.open.size(), c.open), 0) << opens.front();
        DeviceManager::instance()->closePort();
    }
}

TEST_F(ConnectPage, RefusedInputsStartNothing) {
    // "Server" comes from a methods file only; the IP and port editors are reached directly.
    struct Case {
        const char* ip;
        const char* port;
    };
    const Case cases[] = {{"256.1.1.1", "2101"}, {"", "2101"},          {"10.0.0.5", ""},
                          {"10.0.0.5", "0"},     {"10.0.0.5", "70000"}, {"1.2.3", "2101"}};
    for (const Case& c : cases) {
        ui->leIP->show();
        ui->lePort->show();
        ui->leIP->setText(QString::fromLatin1(c.ip));
        ui->lePort->setText(QString::fromLatin1(c.port));
        h.prompts.shown.clear();
        page->connectAction()->trigger();
        ASSERT_EQ(h.prompts.shown.size(), 1u) << c.ip << ":" << c.port;
        EXPECT_EQ(h.prompts.shown[0].text, QStringLiteral("Parameters invalid!"));
        EXPECT_EQ(h.prompts.shown[0].title, QStringLiteral("Error"));
    }
    EXPECT_TRUE(h.callsStartingWith("Port_Open").empty());
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
}

TEST_F(ConnectPage, FailedOpenClosesTheDialogThenSaysSo) {
    h.script().answer<bool(const std::string&)>("Port_Open",
                                                [](const std::string&) { return false; });
    choose(ui->comboBox_connect, 0);
    ui->cbAuto->setChecked(false);
    answerAttempt();
    page->connectAction()->trigger();
    EXPECT_EQ(texts(), std::vector<std::string>{"Connection Failed!"});
    EXPECT_EQ(page->result(), Connect::kFailed);
    EXPECT_FALSE(page->progress()->isVisible());
    EXPECT_FALSE(page->progress()->isActive());
}

// The dialog's minute becomes 60 ms.
class SilentReceiver : public ConnectPage {
protected:
    double timerScale() const override { return 0.001; }
};

TEST_F(SilentReceiver, TimesOutOnEveryAttempt) {
    choose(ui->comboBox_connect, 0);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        h.clearCalls();
        h.prompts.shown.clear();
        answerAttempt();
        page->connectAction()->trigger();
        EXPECT_EQ(texts(), std::vector<std::string>{"Connection Failed!"}) << attempt;
        EXPECT_EQ(page->result(), Connect::kFailed);
        EXPECT_FALSE(h.callsStartingWith("Port_Close").empty());
        EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
    }
}

TEST_F(ConnectPage, ConnectedNewProtocolReceiverIsSavedAndTheMenuReturns) {
    choose(ui->cbDeviceType, 1);
    choose(ui->comboBox_connect, 2);
    ui->cbChannel->setCurrentIndex(1);
    ASSERT_EQ(frame->currentPage(), page);
    answerAttempt(4, 0x2);
    page->connectAction()->trigger();
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_EQ(texts(), std::vector<std::string>{"Successfully connected"});
    EXPECT_TRUE(ShellHarness::waitFor([this] { return frame->currentPage() != page; }));
    EXPECT_TRUE(page->breakAction()->isEnabled());
    EXPECT_FALSE(page->connectAction()->isEnabled());
    ConnectionParams saved;
    ConnectionParamsConfig(Varnok::LogicContext::connectionParamsPath()).load(saved);
    EXPECT_EQ(saved.type, 2);
    EXPECT_EQ(saved.devicetype, QStringLiteral("Pocket GNSS"));
    EXPECT_EQ(saved.channel, 1);

    // Break, then a failure of a later attempt is still reported.
    page->breakAction()->trigger();
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
    EXPECT_TRUE(page->connectAction()->isEnabled());
    h.prompts.shown.clear();
    h.prompts.answerNextDialog([](QDialog* d) {
        QTimer::singleShot(0, [] { emit DeviceObserver::instance()->connectionFailed(); });
        return d->exec();
    });
    page->connectAction()->trigger();
    EXPECT_EQ(texts(), std::vector<std::string>{"Connection Failed!"});
}

TEST_F(ConnectPage, ConnectingWhileConnectedAsksFirst) {
    h.connectAs(1);
    choose(ui->comboBox_connect, 0);
    h.clearCalls();
    // The recording prompts answer Ok: the old connection closes, the new attempt starts.
    cancelOncePortOpened();
    page->connectAction()->trigger();
    ASSERT_FALSE(h.prompts.shown.empty());
    EXPECT_EQ(h.prompts.shown[0].title, QStringLiteral("Disconnect Device"));
    EXPECT_FALSE(h.callsStartingWith("Port_Close").empty());
    EXPECT_FALSE(h.callsStartingWith("Port_Open").empty());
}

TEST_F(ConnectPage, RememberStationTable) {
    auto store = Varnok::StaticStationsConfig::instance();
    store->save({{"BASE", "1111", "10.0.0.1", "2101"}});
    // A fresh page reads the list.
    Connect fresh(nullptr);
    Ui::Connect* f = fresh.form();
    f->leIP->setText("10.0.0.9");
    f->lePort->setText("2102");

    f->cbServer->setEditText("");
    EXPECT_TRUE(fresh.rememberStation("2222"));
    EXPECT_EQ(DeviceManager::instance()->receiverId(), QStringLiteral("2222"));

    f->cbServer->setEditText("ROVR");
    EXPECT_TRUE(fresh.rememberStation("3333"));
    ASSERT_EQ(fresh.stations().size(), 2);
    EXPECT_EQ(fresh.stations()[1].receiverId, QStringLiteral("3333"));
    EXPECT_EQ(DeviceManager::instance()->receiverId(), QStringLiteral("ROVR"));

    f->cbServer->setEditText("BASE");
    EXPECT_EQ(f->leIP->text(), QStringLiteral("10.0.0.1"));  // the stored station is shown
    f->leIP->setText("10.0.0.9");
    EXPECT_TRUE(fresh.rememberStation("1111"));  // same receiver: no question
    EXPECT_EQ(fresh.stations()[0].ip, QStringLiteral("10.0.0.9"));

    // Another receiver under a stored name: No keeps the list and closes the port.
    struct AnsweringPrompts : RecordingPrompts {
        QMessageBox::StandardButton answer = QMessageBox::No;
        QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                            QMessageBox::StandardButtons b) override {
            RecordingPrompts::message(p, k, t, x, b);
            return k == Question ? answer : QMessageBox::Ok;
        }
    } no;
    Varnok::Prompts::setInstance(&no);
    h.clearCalls();
    EXPECT_FALSE(fresh.rememberStation("9999"));
    ASSERT_FALSE(no.shown.empty());
    EXPECT_EQ(no.shown[0].text,
              QStringLiteral("Current Device: 9999\r\nYou Want: 1111\r\nUse Current Device? "));
    EXPECT_EQ(fresh.stations()[0].receiverId, QStringLiteral("1111"));
    store->load();
    EXPECT_EQ(store->stations()[0].receiverId, QStringLiteral("1111"));
    // Yes replaces it.
    no.answer = QMessageBox::Yes;
    EXPECT_TRUE(fresh.rememberStation("9999"));
    Varnok::Prompts::setInstance(&h.prompts);
    store->load();
    EXPECT_EQ(store->stations()[0].receiverId, QStringLiteral("9999"));
}

TEST_F(ConnectPage, DeviceLabels) {
    EXPECT_EQ(Connect::deviceLabel("1234", 0x25b0a1c2dULL),
              QStringLiteral("GNSS-1234 (25b0a1c2d)"));
    EXPECT_EQ(Connect::deviceLabel("GNSS-77", 0xA), QStringLiteral("GNSS-77 (a)"));
    EXPECT_EQ(Connect::resultText(1413), QStringLiteral("No matched port."));
    EXPECT_EQ(Connect::resultText(2404), QStringLiteral("Port is in use."));
    EXPECT_EQ(Connect::resultText(5), QStringLiteral("Error Code: 5\nFailed to bind device!"));
    EXPECT_EQ(Connect::resultText(2), QString());
}

TEST_F(ConnectPage, RefusingTheDisconnectKeepsTheConnection) {
    struct CancelPrompts : RecordingPrompts {
        QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                            QMessageBox::StandardButtons b) override {
            RecordingPrompts::message(p, k, t, x, b);
            return QMessageBox::Cancel;
        }
    } cancel;
    h.connectAs(1);
    choose(ui->comboBox_connect, 0);
    h.clearCalls();
    Varnok::Prompts::setInstance(&cancel);
    page->connectAction()->trigger();
    Varnok::Prompts::setInstance(&h.prompts);
    ASSERT_EQ(cancel.shown.size(), 1u);
    EXPECT_EQ(cancel.shown[0].title, QStringLiteral("Disconnect Device"));
    EXPECT_EQ(page->result(), Connect::kRefused);
    EXPECT_TRUE(h.callsStartingWith("Port_").empty());
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_TRUE(cancel.dialogsRun.empty());
}

TEST_F(ConnectPage, SystemBluetoothSkipsThePromptAndTheClose) {
    choose(ui->comboBox_connect, 101);
    h.clearCalls();
    // Once the port is open the user cancels.
    h.prompts.answerNextDialog([](QDialog* d) {
        QObject::connect(DeviceObserver::instance(), &DeviceObserver::workingStatus, d, [d](int s) {
            if (s == 2) {
                QTimer::singleShot(0, d, [d] { d->reject(); });
            }
        });
        return d->exec();
    });
    page->connectAction()->trigger();
    const auto calls = h.callsStartingWith("Port_");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().rfind("Port_Open(bt ", 0), 0u) << calls.front();
    EXPECT_EQ(page->result(), Connect::kRefused);
    EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(ConnectPage, WirelessManagerFromTheEnvironment) {
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toUtf8());
    qunsetenv("VARNOK_WIRELESS_MANAGER");
    choose(ui->cbDeviceType, 1);
    choose(ui->comboBox_connect, 2);
    ui->toolButton->click();
    EXPECT_EQ(texts(), std::vector<std::string>{"No wireless manager is configured."});

    qputenv("VARNOK_WIRELESS_MANAGER", "/bin/sleep 30");
    h.prompts.shown.clear();
    ui->toolButton->click();
    auto* process = page->findChild<QProcess*>();
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->waitForStarted(5000));
    const qint64 first = process->processId();
    ui->toolButton->click();  // the running one is ended, a new one started
    EXPECT_TRUE(process->waitForStarted(5000));
    EXPECT_NE(process->processId(), first);
    EXPECT_TRUE(h.prompts.shown.empty());
    qunsetenv("VARNOK_WIRELESS_MANAGER");
    qputenv("PATH", oldPath);
}

TEST_F(ConnectPage, SystemBluetoothOpensTheBluetoothSettings) {
    const QByteArray oldPath = qgetenv("PATH");
    const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    QTemporaryDir bin;
    qputenv("PATH", bin.path().toUtf8());
    qunsetenv("VARNOK_BLUETOOTH_MANAGER");
    qputenv("VARNOK_WIRELESS_MANAGER", "/bin/sleep 30");  // WIFI's, not this button's
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    choose(ui->comboBox_connect, 101);
    ui->toolButton->click();
    EXPECT_EQ(texts(), std::vector<std::string>{"No wireless manager is configured."});

    const auto tool = [&bin](const char* name) {
        QFile f(bin.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                         QFileDevice::ExeOther | QFileDevice::ReadOther);
        return bin.filePath(QString::fromLatin1(name));
    };
    struct Case {
        const char* desktop;
        QStringList expected;
    };
    const QString blueman = tool("blueman-manager");
    EXPECT_EQ(Connect::bluetoothManagerCommand(), QStringList{blueman});
    const QString gnome = tool("gnome-control-center");
    const QString kde = tool("systemsettings");
    const Case cases[] = {
        {"GNOME", {gnome, "bluetooth"}},
        {"KDE", {kde, "kcm_bluetooth"}},
        {"XFCE", {blueman}},
    };
    for (const Case& c : cases) {
        qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        EXPECT_EQ(Connect::bluetoothManagerCommand(), c.expected) << c.desktop;
    }
    qputenv("VARNOK_BLUETOOTH_MANAGER", "/bin/sleep 30");
    EXPECT_EQ(Connect::bluetoothManagerCommand(), (QStringList{"/bin/sleep", "30"}));
    h.prompts.shown.clear();
    ui->toolButton->click();
    auto* process = page->findChild<QProcess*>();
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->waitForStarted(5000));
    EXPECT_EQ(process->arguments(), QStringList{"30"});
    EXPECT_TRUE(h.prompts.shown.empty());
    process->kill();
    process->waitForFinished(5000);

    qunsetenv("VARNOK_BLUETOOTH_MANAGER");
    qunsetenv("VARNOK_WIRELESS_MANAGER");
    qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
    qputenv("PATH", oldPath);
}

TEST(ComPortMap, EntriesAppliedOrSkipped) {
    using Brevan2011::BVComm::ComPortPath;
    EXPECT_EQ(Varnok::applyComPortMap(
                  QStringLiteral("3=/dev/ttyUSB0, 5=/dev/pts/4,x=/a,0=/b,256=/c,7=,=/d")),
              2);
    EXPECT_EQ(ComPortPath(3, false), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortPath(5, false), "/dev/pts/4");
    EXPECT_EQ(Varnok::applyComPortMap(QString()), 0);
    Brevan2011::BVComm::ClearComPortPath(3, false);
    Brevan2011::BVComm::ClearComPortPath(5, false);
    EXPECT_EQ(ComPortPath(3, false), "/dev/ttyS2");
}

// Pages made after the stores were written: the methods file gives "Server" to the station
// device and to the new-protocol one.
class ConnectStores : public ConnectPage {
protected:
    void SetUp() override {
        ConnectPage::SetUp();
        writeConnectMethods(Varnok::LogicContext::connectMethodsPath(),
                            {{"Pocket GNSS", 1, {{"Port", 0}, {"WIFI", 2}, {"Server", 102}}},
                             {"D38K Series", 3, {{"Port", 0}, {"Server", 102}}},
                             {"Survey RTK", 0, {{"Port", 0}, {"Sys. BT", 101}}}});
    }
    std::unique_ptr<Connect> freshPage(const ConnectionParams& params) {
        ConnectionParamsConfig(Varnok::LogicContext::connectionParamsPath()).save(params);
        auto fresh = std::make_unique<Connect>(nullptr);
        fresh->activate();
        return fresh;
    }
};

TEST_F(ConnectStores, RestoresTheRememberedConnection) {
    struct Case {
        const char* deviceType;
        int type;
        int device;
        int method;
    };
    const Case cases[] = {{"Pocket GNSS", 102, 1, 102},
                          {"Foo", 0, 0, 0},
                          {"Survey RTK", 7, 0, 101},  // unknown method: "Sys. BT"
                          {"D38K Series", 2, 3, 0}};  // no WIFI, no "Sys. BT": "Port"
    for (const Case& c : cases) {
        ConnectionParams p;
        p.devicetype = QString::fromLatin1(c.deviceType);
        p.type = c.type;
        p.port = 4;
        p.baud = 57600;
        p.ip = QStringLiteral("10.1.2.3");
        p.serverport = 2101;
        auto fresh = freshPage(p);
        Ui::Connect* f = fresh->form();
        EXPECT_EQ(f->cbDeviceType->currentData().toInt(), c.device) << c.deviceType;
        EXPECT_EQ(fresh->method(), c.method) << c.deviceType;
        EXPECT_EQ(fresh->comPort(), 4);
        EXPECT_EQ(f->comboBox_baud->currentData().toInt(), 57600);
        EXPECT_EQ(f->leIP->text(), QStringLiteral("10.1.2.3"));
        EXPECT_EQ(f->lePort->text(), QStringLiteral("2101"));
    }
}

TEST_F(ConnectStores, ServerRowsAttemptAndRefusedStations) {
    auto fresh = freshPage(ConnectionParams{});
    Ui::Connect* f = fresh->form();
    choose(f->cbDeviceType, 3);
    choose(f->comboBox_connect, 102);
    EXPECT_FALSE(f->cbServer->isHidden());
    EXPECT_FALSE(f->leIP->isHidden());
    EXPECT_TRUE(f->comboBox_port->isHidden());
    EXPECT_TRUE(f->cbChannel->isHidden());
    f->leIP->setText(QStringLiteral("10.0.0.5"));
    f->lePort->setText(QStringLiteral("2101"));
    for (const char* name : {"ABC", "AB,C", "<ABC"}) {
        f->cbServer->setEditText(QString::fromLatin1(name));
        f->leIP->setText(QStringLiteral("10.0.0.5"));
        f->lePort->setText(QStringLiteral("2101"));
        h.prompts.shown.clear();
        fresh->connectAction()->trigger();
        EXPECT_EQ(texts(), std::vector<std::string>{"Parameters invalid!"}) << name;
    }
    EXPECT_TRUE(h.callsStartingWith("Port_Open").empty());
    f->cbServer->setEditText(QString());
    f->leIP->setText(QStringLiteral("10.0.0.5"));
    f->lePort->setText(QStringLiteral("2101"));
    cancelOncePortOpened();
    fresh->connectAction()->trigger();
    EXPECT_EQ(h.callsStartingWith("Port_Open"),
              std::vector<std::string>{"Port_Open(sock 10.0.0.5:2101 0)"});
}

TEST_F(ConnectStores, ShortChannelAddressIsRefused) {
    {
        JSettings s(Varnok::LogicContext::connectMethodsPath(), "connectmethods",
                    JSettings::kOpenFile);
        s.beginGroup("K45");
        s.beginWriteArray("channels", 1);
        s.setArrayIndex(0);
        s.setStringValue("channel", "192.168");
        s.endArray();
        s.endGroup();
    }
    auto fresh = freshPage(ConnectionParams{});
    Ui::Connect* f = fresh->form();
    choose(f->cbDeviceType, 1);
    choose(f->comboBox_connect, 2);
    ASSERT_FALSE(f->cbChannel->isHidden());
    fresh->connectAction()->trigger();
    EXPECT_EQ(texts(), std::vector<std::string>{"Parameters invalid!"});
    EXPECT_TRUE(h.callsStartingWith("Port_Open").empty());
}

}  // namespace
}  // namespace varnok_test
