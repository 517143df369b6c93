// The connection page's Bluetooth search and binding over a scripted backend, the search
// running on the real worker thread.
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "BVComm/Bluetooth.h"
#include "BVComm/RfcommPort.h"
#include "FakeBluetoothBackend.h"
#include "bt_bindings_config.h"
#include "connect.h"
#include "logic_context.h"
#include "shell_harness.h"
#include "ui_connect.h"
#include "worker_thread.h"

namespace varnok_test {
namespace {

using Brevan2011::BVComm::Bluetooth;
using Varnok::Connect;
using Backend = FakeBluetoothBackend;

class ConnectBluetooth : public ::testing::Test {
protected:
    void SetUp() override {
        auto state = state_;
        Connect::setBluetoothFactory(
            [state] { return std::make_unique<Bluetooth>(std::make_unique<Backend>(state)); });
    }
    void TearDown() override {
        delete page;
        Connect::setBluetoothFactory({});
    }
    // A page on the "ZOR BT" method, remembering these receivers first.
    void openPage(const QStringList& names = {}, const QList<quint64>& addresses = {}) {
        BtBindingsConfig(Varnok::LogicContext::btBindingsPath()).save(names, addresses);
        page = new Connect(nullptr);
        ui = page->form();
        const int i = ui->comboBox_connect->findData(1);
        ASSERT_GE(i, 0);
        ui->comboBox_connect->setCurrentIndex(i);
        page->activate();
    }
    QStringList rows() const {
        QStringList out;
        for (int r = 1; r < ui->listWidget->count(); ++r) {
            out << ui->listWidget->item(r)->text();
        }
        return out;
    }
    QList<quint64> remembered() const {
        QStringList names;
        QList<quint64> addresses;
        BtBindingsConfig(Varnok::LogicContext::btBindingsPath()).load(names, addresses);
        return addresses;
    }
    void search() {
        ui->listWidget->setCurrentRow(0);
        page->onItemClicked(ui->listWidget->item(0));
    }
    bool searchEnded() {
        return ShellHarness::waitFor([this] {
            return !page->worker()->isTaskRunning() &&
                   ui->listWidget->item(0)->data(Connect::kStateRole).toInt() == 0;
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
    std::shared_ptr<Backend::State> state_ = std::make_shared<Backend::State>();
    Connect* page = nullptr;
    Ui::Connect* ui = nullptr;
};

TEST_F(ConnectBluetooth, FoundReceiversAreListedInOrder) {
    state_->script = {Backend::device("GNSS-A", 0xA1), Backend::device("Phone", 0xB2),
                      Backend::device("GNSS-B", 0xC3)};
    openPage();
    search();
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Stop Searching"));
    ASSERT_TRUE(searchEnded());
    EXPECT_EQ(rows(), (QStringList{"GNSS-A (a1)", "GNSS-B (c3)"}));
    EXPECT_EQ(ui->listWidget->item(2)->data(Connect::kAddressRole).toULongLong(), 0xC3u);
    EXPECT_EQ(texts(), std::vector<std::string>{"No more devices around."});
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Search Device"));
    EXPECT_TRUE(ui->comboBox_connect->isEnabled());
}

TEST_F(ConnectBluetooth, SearchEndings) {
    struct Case {
        Backend::AdapterState adapter;
        std::deque<Backend::Step> script;
        std::string text;
    };
    const Case cases[] = {
        {Backend::AdapterState::Down, {}, "Bluetooth closed.\nSwitch Bluetooth on."},
        {Backend::AdapterState::None, {}, "Bluetooth closed.\nNo Bluetooth adapter found."},
        {Backend::AdapterState::Up, {}, "Bluetooth closed or no device around !"},
        {Backend::AdapterState::Up,
         {Backend::code(10050)},
         "Bluetooth closed or no device around !\nNo Bluetooth adapter found."},
        {Backend::AdapterState::Up,
         {Backend::code(10108)},
         "Failed to search device!\nError Code: 10108"},
    };
    openPage();
    for (const Case& c : cases) {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            state_->adapter = c.adapter;
            state_->script = c.script;
        }
        h.prompts.shown.clear();
        search();
        ASSERT_TRUE(searchEnded());
        EXPECT_EQ(texts(), std::vector<std::string>{c.text});
    }
}

TEST_F(ConnectBluetooth, StoppedSearchEndsSilently) {
    state_->blockWhenEmpty = true;
    openPage();
    search();
    ASSERT_TRUE(state_->waitBlocked());
    page->onItemClicked(ui->listWidget->item(0));  // stop
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Stopping Searching..."));
    page->onItemClicked(ui->listWidget->item(0));  // ignored while stopping
    ASSERT_TRUE(searchEnded());
    EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(ConnectBluetooth, TheSelectedRowIsBoundAndRemembered) {
    openPage({"X", "Y", "Z"}, {0x1, 0x2, 0x3});
    EXPECT_EQ(rows(), (QStringList{"GNSS-X (1)", "GNSS-Y (2)", "GNSS-Z (3)"}));
    // A keyboard move, not a click.
    ui->listWidget->setCurrentRow(2);
    EXPECT_EQ(page->currentRow(), 2);
    page->connectAction()->trigger();
    ASSERT_EQ(state_->binds.size(), 1u);
    EXPECT_EQ(state_->binds[0].address, 0x2u);
    EXPECT_EQ(state_->binds[0].index, static_cast<unsigned>(page->comPort()));
    EXPECT_EQ(remembered(), (QList<quint64>{0x2, 0x1, 0x3}));
    EXPECT_EQ(ui->listWidget->item(2)->background().color(), QColor(Qt::lightGray));

    // A found receiver not yet remembered goes in front.
    page->addFoundDevice("GNSS-W", 0x9);
    ui->listWidget->setCurrentRow(ui->listWidget->count() - 1);
    page->connectAction()->trigger();
    EXPECT_EQ(remembered(), (QList<quint64>{0x9, 0x2, 0x1, 0x3}));
}

TEST_F(ConnectBluetooth, TheKernelRefusingASerialDeviceNoLongerFailsTheBinding) {
    // An ordinary user may not make /dev/rfcomm<n> (EPERM): this gave "Error Code: 5 / Failed to
    // bind device!". The COM number now leads to the receiver's socket link.
    for (int error : {EPERM, EADDRINUSE, ENODEV}) {
        state_->bindResult = error;
        h.prompts.shown.clear();
        openPage({"X", "Y"}, {0x1, 0x2});
        ui->listWidget->setCurrentRow(2);
        page->connectAction()->trigger();
        EXPECT_TRUE(texts().empty()) << texts().front();
        EXPECT_EQ(remembered(), (QList<quint64>{0x2, 0x1}));
        std::uint64_t address = 0;
        EXPECT_TRUE(Brevan2011::BVComm::BluetoothPortAddress(page->comPort(), &address));
        EXPECT_EQ(address, 0x2u);
        EXPECT_FALSE(h.prompts.dialogsRun.empty()) << "the connection went on";
        h.prompts.dialogsRun.clear();
        delete page;
        page = nullptr;
    }
}

TEST_F(ConnectBluetooth, PairingFailuresAreReportedAndNothingIsRemembered) {
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {Bluetooth::kNotAuthenticated,
         "Error Code: 1244\nFailed to bind device!\nThe receiver was not paired: check its PIN."},
        {Bluetooth::kTimedOut,
         "Error Code: 10060\nFailed to bind device!\nThe receiver did not answer: is it switched "
         "on and in range?"},
    };
    openPage({"X", "Y"}, {0x1, 0x2});
    for (const Case& c : cases) {
        state_->pairResult = c.code;
        h.prompts.shown.clear();
        ui->listWidget->setCurrentRow(2);
        page->connectAction()->trigger();
        EXPECT_EQ(texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(remembered(), (QList<quint64>{0x1, 0x2}));
    }
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
}

TEST_F(ConnectBluetooth, TheReceiversPinIsAskedAndAnswered) {
    state_->pairAsksPin = true;
    state_->pinName = "GNSS-0815";
    openPage({"0815"}, {0x815});
    struct Case {
        const char* what;
        std::function<int(QDialog*)> answer;
        std::string given;
        std::vector<std::string> texts;
    };
    const std::string refused =
        "Error Code: 1244\nFailed to bind device!\nThe receiver was not paired: check its PIN.";
    const Case cases[] = {
        {"typed and confirmed",
         [](QDialog* d) {
             auto* pin = d->findChild<QLineEdit*>(QStringLiteral("lePin"));
             EXPECT_NE(pin, nullptr);
             if (pin == nullptr) {
                 return int(QDialog::Rejected);
             }
             pin->setText(QStringLiteral("1234"));
             return int(QDialog::Accepted);
         },
         "1234",
         {}},
        {"cancelled", [](QDialog*) { return int(QDialog::Rejected); }, "<refused>", {refused}},
        // Left unanswered: the prompt closes itself (the timers run at once here).
        {"timed out", [](QDialog* d) { return d->exec(); }, "<refused>", {refused}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.prompts.shown.clear();
        h.prompts.dialogsRun.clear();
        state_->pinsGiven.clear();
        h.prompts.answerNextDialog(c.answer);
        ui->listWidget->setCurrentRow(1);
        page->connectAction()->trigger();
        EXPECT_EQ(state_->pinsGiven, std::vector<std::string>{c.given});
        ASSERT_FALSE(h.prompts.dialogsRun.empty());
        EXPECT_EQ(h.prompts.dialogsRun.front(), QStringLiteral("BluetoothPinDialog"));
        EXPECT_EQ(texts(), c.texts);
    }
}

TEST_F(ConnectBluetooth, AConnectionDuringASearchStopsTheSearchFirst) {
    state_->blockWhenEmpty = true;
    state_->script = {Backend::device("GNSS-A", 0xA1)};
    openPage({"X"}, {0x1});
    search();
    ASSERT_TRUE(state_->waitBlocked());
    // The search began with the found list only.
    ASSERT_TRUE(ShellHarness::waitFor([this] { return rows().size() == 1; }));
    // A double click on the found receiver while the radio still searches.
    ui->listWidget->setCurrentRow(1);
    page->onItemDoubleClicked(ui->listWidget->item(1));
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        const auto& e = state_->events;
        const auto cancel = std::find(e.begin(), e.end(), "cancel");
        const auto pair = std::find(e.begin(), e.end(), "pair");
        ASSERT_NE(pair, e.end());
        EXPECT_LT(cancel, pair) << "stopped before pairing";
        ASSERT_EQ(state_->binds.size(), 1u);
        EXPECT_EQ(state_->binds[0].address, 0xA1u);
    }
    EXPECT_FALSE(page->worker()->isTaskRunning());
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Search Device"));
    EXPECT_TRUE(texts().empty()) << "the stopped search ends silently";
    EXPECT_EQ(remembered(), (QList<quint64>{0xA1, 0x1}));
}

TEST_F(ConnectBluetooth, SystemBluetoothListsThePairedReceivers) {
    Backend::Result receiver;
    receiver.name = "GNSS-7001";
    receiver.address = 0x7001;
    Backend::Result phone;
    phone.name = "Phone";
    phone.address = 0x7002;
    state_->paired = {phone, receiver};
    page = new Connect(nullptr);
    ui = page->form();
    ui->comboBox_connect->setCurrentIndex(ui->comboBox_connect->findData(101));
    page->activate();
    ASSERT_FALSE(ui->listWidget->isHidden());
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Paired receivers:"));
    EXPECT_EQ(ui->listWidget->item(0)->flags(), Qt::NoItemFlags);
    EXPECT_EQ(rows(), QStringList{"GNSS-7001 (7001)"});
    EXPECT_EQ(ui->listWidget->currentRow(), 1);
    page->connectAction()->trigger();
    ASSERT_EQ(state_->binds.size(), 1u);
    EXPECT_EQ(state_->binds[0].address, 0x7001u);
    EXPECT_EQ(remembered(), QList<quint64>{}) << "the remembered list is ZOR BT's";
    EXPECT_TRUE(texts().empty());

    // Nothing paired, or nothing to ask: the heading says so.
    struct Case {
        int code;
        const char* heading;
    };
    for (const Case& c : {Case{0,
                               "No paired receiver: pair it in the Bluetooth settings "
                               "(\"setting\")."},
                          Case{10050, "No Bluetooth adapter found."}}) {
        state_->paired.clear();
        state_->pairedResult = c.code;
        page->activate();
        EXPECT_EQ(ui->listWidget->item(0)->text(), QString::fromUtf8(c.heading));
        EXPECT_TRUE(rows().isEmpty());
    }
}

TEST_F(ConnectBluetooth, NoRowChosenIsNoDevice) {
    openPage();
    page->connectAction()->trigger();
    EXPECT_EQ(texts(), std::vector<std::string>{"No Device Selected."});
    EXPECT_TRUE(state_->binds.empty());
}

TEST_F(ConnectBluetooth, DestroyedMidSearch) {
    state_->blockWhenEmpty = true;
    state_->script = {Backend::device("GNSS-A", 0xA1)};
    openPage();
    search();
    ASSERT_TRUE(state_->waitBlocked());
    delete page;
    page = nullptr;
    ShellHarness::deliver();  // the found device's hand-over finds no page
    EXPECT_GE(state_->cancelCalls + state_->endCalls, 1);
}

}  // namespace
}  // namespace varnok_test
