#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>

#include "datachain.h"
#include "datachain_net.h"
#include "datalink_test_support.h"
#include "net_server_config.h"

using namespace varnok_test;
using Varnok::DataChain;
using Varnok::DataChain_Net;

namespace {

template <class T>
T* child(QObject* parent, const char* name) {
    T* w = parent->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

WirelessInfo roverNtrip() {
    WirelessInfo w{};
    const unsigned char addr[] = {10, 0, 0, 7};
    std::memcpy(&w.server.address, addr, 4);
    w.port = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    const std::uint32_t caps = 1u << 16;
    const std::uint32_t protocols = 7u << 16;
    std::memcpy(w.capability, &caps, 4);
    std::memcpy(w.capability + 4, &protocols, 4);
    return w;
}

class GprsPanel : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) {
            registered = true;
            Varnok::registerPages();
        }
        h.makeFrame();
        h.connectAs(5);
        Varnok::setUiScale(1.0);
        h.frame()->onCommand("DataLink");
        h.deliver();
        page = qobject_cast<DataChain*>(h.frame()->page("DataLink"));
        ASSERT_NE(page, nullptr);
        net = page->netPanel();
        rx.mode(0, 0);
        rx.wireless(roverNtrip());
        cors_info c{};
        std::memcpy(c.mountPoint, "MP0", 3);
        std::memcpy(c.userName, "u", 1);
        std::memcpy(c.password, "p", 1);
        rx.cors(c);
        rx.loginMode(1);
        ASSERT_EQ(page->shownPanel(), net);
        ASSERT_TRUE(page->findChild<QComboBox*>("cbDataChain")->isEnabled());
    }
    void TearDown() override { Varnok::setUiScale(0.0); }

    QLineEdit* edit(const char* name) { return child<QLineEdit>(net, name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(net, name); }
    void set() {
        for (QAction* a : page->actions()) {
            if (a->text() == "Set") {
                a->trigger();
            }
        }
    }
    void source(const QString& text) { combo("comboBox_sourceList")->setEditText(text); }

    ShellHarness h;
    OldReceiver rx{h};
    DataChain* page = nullptr;
    DataChain_Net* net = nullptr;
};

TEST_F(GprsPanel, AnswersFillTheEditorsAndModeDecidesTheFields) {
    EXPECT_EQ(edit("lineEdit_address")->text(), "10.0.0.7");
    EXPECT_EQ(edit("lineEdit_port")->text(), "2101");
    EXPECT_EQ(combo("comboBox_protocol")->currentText(), "Ntrip Client");
    EXPECT_EQ(combo("comboBox_sourceList")->currentText(), "MP0");
    EXPECT_EQ(edit("lineEdit_guestName")->text(), "u");
    EXPECT_TRUE(child<QCheckBox>(net, "checkBox_autoLog")->isChecked());
    EXPECT_TRUE(combo("comboBox_sourceList")->isVisible());
    EXPECT_TRUE(child<QCheckBox>(net, "checkBox_autoLog")->isVisible());
    EXPECT_EQ(child<QLabel>(net, "label_source")->text(), "Source:");
    EXPECT_TRUE(child<QPushButton>(net, "getsourceButton")->isEnabled());

    combo("comboBox_protocol")->setCurrentIndex(combo("comboBox_protocol")->findData(0));
    EXPECT_TRUE(edit("lineEdit_BaseID")->isVisible());
    EXPECT_FALSE(combo("comboBox_sourceList")->isVisible());
    EXPECT_EQ(child<QLabel>(net, "label_source")->text(), "BaseID:");
    combo("comboBox_WorkMode")->setCurrentIndex(0);  // base
    QStringList offered;
    for (int i = 0; i < combo("comboBox_protocol")->count(); ++i) {
        offered << combo("comboBox_protocol")->itemText(i);
    }
    EXPECT_EQ(offered, (QStringList{"ORLO", "TCP Direct"}));
    combo("comboBox_protocol")->setCurrentIndex(0);
    EXPECT_FALSE(edit("lineEdit_BaseID")->isVisible());
    EXPECT_FALSE(child<QLabel>(net, "label_source")->isVisible());
    EXPECT_FALSE(edit("lineEdit_guestName")->isVisible());
}

TEST_F(GprsPanel, SetSendsTheExactRecordsAndFollowsTheLogOn) {
    IP_ADRES sentAddress{};
    unsigned int sentPort = 0;
    int sentProtocol = -1;
    cors_info sentCors{};
    h.script().answer<void(IP_ADRES, unsigned int, Protocol_Net)>(
        "Set_Gprs_Ip", [&](IP_ADRES a, unsigned int port, Protocol_Net p) {
            sentAddress = a;
            sentPort = port;
            sentProtocol = p;
        });
    h.script().answer<void(const cors_info&, unsigned int)>(
        "Set_Cors_Info_Auto", [&](const cors_info& c, unsigned int) { sentCors = c; });
    edit("lineEdit_address")->setText("192.168.1.20");
    source("MP1");
    edit("lineEdit_guestName")->setText("u-secret");
    edit("lineEdit_psw")->setText("p-secret");
    h.clearCalls();
    set();
    h.deliver();
    EXPECT_TRUE(h.prompts.shown.empty());
    const unsigned char ip[] = {0xC0, 0xA8, 0x01, 0x14};
    EXPECT_EQ(std::memcmp(&sentAddress.address, ip, 4), 0);
    EXPECT_EQ(sentAddress.count, 0);
    EXPECT_EQ(sentPort, 2101u);
    EXPECT_EQ(sentProtocol, 1);
    EXPECT_EQ(std::memcmp(sentCors.mountPoint, "MP1\0", 4), 0);
    EXPECT_EQ(std::memcmp(sentCors.userName, "u-secret\0", 9), 0);
    EXPECT_EQ(std::memcmp(sentCors.password, "p-secret\0", 9), 0);
    EXPECT_EQ(calls(h, "Set_"),
              (std::vector<std::string>{"Set_Radio_Mdl(0)", "Set_Gprs_Modle(1)",
                                        "Set_Gprs_Ip({}, 2101, 1)", "Set_Gprs_Baseid(&0, 0)",
                                        "Set_Cors_Info_Auto({}, 0)", "Set_Gprs_CosMdl(1)"}));
    EXPECT_EQ(net->pendingRequest(), 1);
    EXPECT_TRUE(overrideCursorSet());
    rx.status(2);
    EXPECT_TRUE(h.prompts.shown.empty());
    rx.status(4);
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Logged On!"});
    EXPECT_EQ(net->pendingRequest(), 0);
    EXPECT_FALSE(net->isPolling());
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_TRUE(page->findChild<QComboBox*>("cbDataChain")->isEnabled());
}

TEST_F(GprsPanel, LogOnWaitEndings) {
    struct Row {
        int status;  // -100: none
        int error;
        std::vector<QString> shown;
        bool ended;
    };
    const Row rows[] = {{-100, 3, {"TCP connection Unavailable"}, true},
                        {-100, 0, {}, false},
                        {-100, -1, {"Unknown Error"}, true},
                        {9, -100, {"Device mode is radio now!"}, true},
                        {1, -100, {"Logged On!"}, true}};
    for (const Row& r : rows) {
        h.prompts.shown.clear();
        ASSERT_TRUE(net->setInfo());
        if (r.status != -100) {
            rx.status(r.status);
        }
        if (r.error != -100) {
            rx.error(r.error);
        }
        EXPECT_EQ(shownTexts(h.prompts), r.shown) << r.status << " " << r.error;
        EXPECT_EQ(net->pendingRequest() == 0, r.ended);
        net->stopLogonWait();
    }
    // A status of 1 while nothing is awaited shows nothing.
    h.prompts.shown.clear();
    rx.status(1);
    EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(GprsPanel, TimeOutDropsTheLinkAndLeavingStopsThePolls) {
    Varnok::setUiScale(0.0);
    rx.status(2);
    h.clearCalls();
    set();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }));
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to log on!"});
    EXPECT_EQ(calls(h, "Send_Gprs_DisConct").size(), 1u);
    EXPECT_FALSE(net->isPolling());

    // Two sends, then the page is left while the polls run: none goes on.
    Varnok::setUiScale(0.001);
    ASSERT_TRUE(net->setInfo());
    ASSERT_TRUE(net->setInfo());
    ASSERT_TRUE(h.waitFor([&] { return !calls(h, "Send_Gprs_Status").empty(); }));
    h.frame()->close();
    h.deliver();
    EXPECT_FALSE(net->isPolling());
    EXPECT_EQ(net->pendingRequest(), 0);
    h.clearCalls();
    ShellHarness::waitFor([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_TRUE(calls(h, "Send_Gprs_Status").empty());
    EXPECT_TRUE(calls(h, "Send_Gprs_Eroinfo").empty());
    EXPECT_FALSE(overrideCursorSet());
}

TEST_F(GprsPanel, InputChecksRefuseBeforeAnythingIsSent) {
    struct Row {
        QString address, port, source, user, password;
        std::vector<QString> shown;
    };
    const QString s16(16, 's'), u16(16, 'u'), p16(16, 'p'), p17(17, 'p');
    const Row rows[] = {
        {"10.1", "2101", "MP1", "u", "p", {"Please enter parameters!"}},
        {"300.1.1.1", "2101", "MP1", "u", "p", {"Please enter parameters!"}},
        {"192.168.1.20", "0", "MP1", "u", "p", {"Please enter parameters!"}},
        {"192.168.1.20", "2101", "", "u", "p", {"Please enter parameters!"}},
        {"192.168.1.20",
         "2101",
         QString(25, 's'),
         "u",
         "p",
         {"Source is too long: at most 19 characters."}},
        {"192.168.1.20",
         "2101",
         "MP1",
         "u",
         QString::fromUtf8("пароль"),
         {"Please enter parameters!"}},
        {"192.168.1.20",
         "2101",
         s16,
         u16,
         p17,
         {"Total length of source\nuserName and password\nis beyond 49!"}},
    };
    for (const Row& r : rows) {
        h.prompts.shown.clear();
        edit("lineEdit_address")->setText(r.address);
        edit("lineEdit_port")->setText(r.port);
        source(r.source);
        edit("lineEdit_guestName")->setText(r.user);
        edit("lineEdit_psw")->setText(r.password);
        // Text from the store or a fetched table bypasses the editors' caps.
        combo("comboBox_sourceList")->lineEdit()->setMaxLength(100);
        source(r.source);
        h.clearCalls();
        set();
        EXPECT_EQ(shownTexts(h.prompts), r.shown) << r.address.toStdString();
        EXPECT_TRUE(calls(h, "Set_").empty());
    }
    // 48 characters in all pass.
    h.prompts.shown.clear();
    edit("lineEdit_address")->setText("192.168.1.20");
    edit("lineEdit_port")->setText("2101");
    source(s16);
    edit("lineEdit_guestName")->setText(u16);
    edit("lineEdit_psw")->setText(p16);
    set();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_FALSE(calls(h, "Set_Cors_Info_Auto").empty());
}

// A stored server's texts longer than the receiver's fields show whole (or, past the
// editor's own limit, cut in it); the Set refuses them with a message naming the field
// instead of sending them cut.
TEST_F(GprsPanel, StoredTextsTooLongForTheEditorsAreRefusedNotCut) {
    struct Row {
        QString source, user, password;
        QString message;
    };
    const Row rows[] = {
        {QString(25, 's'), "u", "p", "Source is too long: at most 19 characters."},
        {"MP1", QString(60, 'u'), "p", "User Name is too long: at most 31 characters."},
        {"MP1", "u", QString(25, 'p'), "Password is too long: at most 19 characters."},
    };
    int n = 0;
    for (const Row& r : rows) {
        NetServer stored;
        stored.name = QStringLiteral("Long%1").arg(++n);
        stored.address = "192.168.1.20";
        stored.port = 2101;
        stored.protocol = 1;
        stored.user = r.user;
        stored.password = r.password;
        stored.sources = QStringList{r.source};
        NetServerConfig::instance().addServer(stored);
        net->queryInfo();
        combo("comboBox_WorkMode")->setCurrentIndex(combo("comboBox_WorkMode")->findData(1));
        QComboBox* server = combo("comboBox_server");
        server->setCurrentIndex(server->findText(stored.name));
        ASSERT_EQ(edit("lineEdit_address")->text(), "192.168.1.20") << n;
        child<QCheckBox>(net, "checkBox_save")->setChecked(false);
        h.prompts.shown.clear();
        h.clearCalls();
        set();
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{r.message}) << n;
        EXPECT_TRUE(calls(h, "Set_").empty()) << n;
    }
}

// The editors hold the configured 31 characters (a typed mount point does not stop at 19);
// a password the receiver sent in all 20 bytes of its field, with no terminator, shows
// whole and is refused, never sent as its first 19. Texts at their field's limit go whole.
TEST_F(GprsPanel, EditorsTakeTheirLimitsAndTextsOverTheFieldAreRefused) {
    QLineEdit* sourceEdit = combo("comboBox_sourceList")->lineEdit();
    for (QLineEdit* e : {sourceEdit, edit("lineEdit_guestName"), edit("lineEdit_psw")}) {
        EXPECT_EQ(e->maxLength(), 31) << e->objectName().toStdString();
    }
    EXPECT_EQ(edit("lineEdit_BaseID")->maxLength(), 26);
    sourceEdit->clear();
    sourceEdit->insert(QString(58, 'm'));
    EXPECT_EQ(sourceEdit->text(), QString(31, 'm'));

    cors_info c{};
    std::memcpy(c.mountPoint, "MP0", 3);
    std::memcpy(c.userName, "u", 1);
    std::memset(c.password, 'p', sizeof c.password);
    net->connectObserverSignals(true);
    rx.cors(c);
    EXPECT_EQ(edit("lineEdit_psw")->text(), QString(20, 'p'));
    h.prompts.shown.clear();
    h.clearCalls();
    set();
    EXPECT_EQ(shownTexts(h.prompts),
              std::vector<QString>{"Password is too long: at most 19 characters."});
    EXPECT_TRUE(calls(h, "Set_").empty());

    cors_info sent{};
    h.script().answer<void(const cors_info&, unsigned int)>(
        "Set_Cors_Info_Auto", [&](const cors_info& i, unsigned int) { sent = i; });
    source(QString(19, 's'));
    edit("lineEdit_psw")->setText(QString(19, 'p'));
    h.prompts.shown.clear();
    set();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(std::string(sent.mountPoint), std::string(19, 's'));
    EXPECT_EQ(std::string(sent.password), std::string(19, 'p'));
}

// A query whose source and login record and login mode never answer: an untouched Set of an
// ORLO rover leaves both out instead of writing the empty editors over the receiver's; once
// the user changes them they go out.
TEST_F(GprsPanel, UnansweredLoginRecordAndModeAreLeftOutUntilEdited) {
    net->queryInfo();
    net->connectObserverSignals(true);
    WirelessInfo w = roverNtrip();
    w.protocol = 0;
    std::memcpy(w.textC, "0042", 4);
    rx.wireless(w);
    ASSERT_EQ(edit("lineEdit_BaseID")->text(), "0042");
    h.prompts.shown.clear();
    h.clearCalls();
    set();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_FALSE(calls(h, "Set_Gprs_Ip").empty());
    EXPECT_TRUE(calls(h, "Set_Cors_Info_Auto").empty());
    EXPECT_TRUE(calls(h, "Set_Gprs_CosMdl").empty());

    net->onSetTimeout();
    page->setEditorsEnabled(true);
    combo("comboBox_protocol")->setCurrentIndex(combo("comboBox_protocol")->findData(1));
    QTest::keyClicks(combo("comboBox_sourceList")->lineEdit(), "MP1");
    child<QCheckBox>(net, "checkBox_autoLog")->click();
    h.clearCalls();
    set();
    EXPECT_EQ(calls(h, "Set_Cors_Info_Auto").size(), 1u);
    EXPECT_EQ(calls(h, "Set_Gprs_CosMdl").size(), 1u);
}

TEST_F(GprsPanel, ServerStoreNamesStayUnique) {
    NetServerConfig& store = NetServerConfig::instance();
    QComboBox* server = combo("comboBox_server");
    // "<New>" with Save: marked by the check.
    server->setCurrentIndex(0);
    edit("lineEdit_address")->setText("192.168.1.20");
    edit("lineEdit_port")->setText("2101");
    source("MP1");
    child<QCheckBox>(net, "checkBox_save")->setChecked(true);
    set();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters!"});

    // Two new servers.
    for (const char* name : {"Alpha", "Beta"}) {
        h.prompts.shown.clear();
        server->setCurrentIndex(0);
        server->setEditText(name);
        edit("lineEdit_address")->setText("192.168.1.20");
        edit("lineEdit_port")->setText("2101");
        source("MP1");
        net->stopLogonWait();
        ASSERT_TRUE(net->setInfo()) << name;
    }
    QList<NetServer> before;
    store.readAllServers(before);
    ASSERT_EQ(before.size(), 2);
    // Renaming Alpha onto Beta's name is refused and changes nothing.
    server->setCurrentIndex(server->findText("Alpha"));
    server->setEditText("Beta");
    h.prompts.shown.clear();
    h.clearCalls();
    EXPECT_FALSE(net->setInfo());
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Server with the name exits."});
    EXPECT_TRUE(calls(h, "Set_").empty());
    QList<NetServer> after;
    store.readAllServers(after);
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].name, "Alpha");
    EXPECT_EQ(after[1].name, "Beta");
    net->stopLogonWait();
}

}  // namespace
