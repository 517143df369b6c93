// The connection page's Bluetooth search and binding over a scripted backend, the search
// running on the real worker thread.
#include <QListWidget>

#include <gtest/gtest.h>

#include "BVComm/Bluetooth.h"
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
        {Backend::AdapterState::Down, {}, "Bluetooth closed."},
        {Backend::AdapterState::Up, {}, "Bluetooth closed or no device around !"},
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

TEST_F(ConnectBluetooth, BindFailuresAreReportedAndNothingIsRemembered) {
    struct Case {
        int error;
        const char* text;
    };
    const Case cases[] = {{EADDRINUSE, "Port is in use."},
                          {ENODEV, "No matched port."},
                          {EPERM, "Error Code: 5\nFailed to bind device!"}};
    openPage({"X", "Y"}, {0x1, 0x2});
    for (const Case& c : cases) {
        state_->bindResult = c.error;
        h.prompts.shown.clear();
        ui->listWidget->setCurrentRow(2);
        page->connectAction()->trigger();
        EXPECT_EQ(texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(remembered(), (QList<quint64>{0x1, 0x2}));
    }
    EXPECT_TRUE(h.prompts.dialogsRun.empty());
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
