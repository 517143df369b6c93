// The page base: the query cycle, timers, input marks and the wait cursor.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimerEvent>

#include <functional>

#include "FakeTcpPeer.h"
#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "shell_test_pages.h"

namespace varnok_test {
namespace {

// Asks for two answers, as a receiver page does.
class QueryPage : public Varnok::Widget {
    Q_OBJECT

public:
    using Widget::stopTimer;
    void ask(int timeoutMs) {
        startQuery(timeoutMs,
                   {{SIGNAL(deviceInfo()), SLOT(onDeviceInfo())},
                    {SIGNAL(elevMask()), SLOT(onElevMask())}},
                   [] {
                       ++requests;
                       if (send) {
                           send();
                       }
                   });
    }
    void setEditorsEnabled(bool on) override {
        editorsOn = on;
        Widget::setEditorsEnabled(on);
    }
    bool editorsOn = true;
    int answers = 0;
    static inline int requests = 0;
    // What the requests send besides counting.
    static inline std::function<void()> send;

public slots:
    void onDeviceInfo() {
        ++answers;
        answerArrived(0);
    }
    void onElevMask() {
        ++answers;
        answerArrived(1);
    }
};

// A Set key that sends and then waits on a timer of the page's own, as most pages' Sets do; a
// Get key that runs the shared query cycle.
class KeyPage : public QueryPage {
    Q_OBJECT

public:
    KeyPage() {
        set = createAction("Set", this);
        connect(set, &QAction::triggered, this, [this] {
            setWaitCursor(true);
            setEditorsEnabled(false);
            if (send) {
                send();
            }
            setTimer = startTimer(60000);
        });
        get = createAction("Get", this);
        connect(get, &QAction::triggered, this, [this] { ask(3000); });
    }
    QAction* set = nullptr;
    QAction* get = nullptr;
    int setTimer = -1;
};

using QueryCycleTest = ShellTest;

// The landed session over loopback TCP, its queue kept full for seconds (the keep-alive data
// switch paces its commands 100 ms apart).
void connectWithAFullQueue(FakeTcpPeer& peer, Varnok::DeviceManager& dm) {
    ASSERT_TRUE(peer.ok());
    dm.setSessionFactory({});
    dm.setDeviceType(0);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = peer.port();
    ASSERT_TRUE(dm.connectDevice(2, 0, 9600, target));
    ASSERT_TRUE(peer.waitConnected(5000));
    for (int i = 0; i < 45; ++i) {
        dm.send200Data(true);
    }
}

int overrideCursors() {
    int n = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++n;
    }
    return n;
}

TEST_F(QueryCycleTest, NoAnswerGivesOneWarningAndTheEditorsBack) {
    auto* page = new QueryPage;
    frame->registerPage("Query", page);
    frame->onCommand("Query");
    page->ask(3000);
    EXPECT_FALSE(page->editorsOn);
    EXPECT_FALSE(frame->backAction()->isEnabled());
    EXPECT_TRUE(page->holdsWaitCursor());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    ShellHarness::deliver();
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].kind, Varnok::Prompts::Warning);
    EXPECT_EQ(harness->prompts.shown[0].title, "Warning");
    EXPECT_EQ(harness->prompts.shown[0].text, "Failed to get parameters!");
    EXPECT_TRUE(page->editorsOn);
    EXPECT_TRUE(frame->backAction()->isEnabled());
    EXPECT_EQ(overrideCursors(), 0);
    // A late answer finds nothing joined.
    Varnok::DeviceManager::instance()->announce(4);
    ShellHarness::deliver();
    EXPECT_EQ(page->answers, 0);
}

TEST_F(QueryCycleTest, OneAnswerOfTwoStaysSilent) {
    auto* page = new QueryPage;
    frame->registerPage("Query", page);
    frame->onCommand("Query");
    page->ask(3000);
    page->onDeviceInfo();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    ShellHarness::deliver();
    EXPECT_EQ(page->answers, 1);
    EXPECT_TRUE(harness->prompts.shown.empty());
    EXPECT_TRUE(page->editorsOn);
}

TEST_F(QueryCycleTest, BothAnswersEndTheQuery) {
    Varnok::setUiScale(1.0);
    auto* page = new QueryPage;
    frame->registerPage("Query", page);
    frame->onCommand("Query");
    page->ask(60000);
    emit Varnok::DeviceObserver::instance()->deviceInfo();
    emit Varnok::DeviceObserver::instance()->elevMask();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    EXPECT_EQ(page->answers, 2);
    EXPECT_TRUE(page->editorsOn);
    EXPECT_EQ(overrideCursors(), 0);
}

TEST_F(QueryCycleTest, LeavingMidQueryLeavesNothingLater) {
    auto* page = new QueryPage;
    frame->registerPage("Query", page);
    frame->onCommand("Query");
    page->ask(3000);
    EXPECT_FALSE(frame->backAction()->isEnabled());
    frame->onCommand("Connection");
    EXPECT_FALSE(page->isQuerying());
    emit Varnok::DeviceObserver::instance()->deviceInfo();
    // Give any stray timer the chance to fire.
    for (int i = 0; i < 20; ++i) {
        ShellHarness::deliver();
    }
    EXPECT_EQ(page->answers, 0);
    EXPECT_TRUE(harness->prompts.shown.empty());
    EXPECT_EQ(overrideCursors(), 0);
}

TEST_F(QueryCycleTest, TimersMarksAndTheWaitCursor) {
    QueryPage page;
    page.stopTimer(-1);
    page.stopTimer(0);

    QLineEdit edit;
    const QPalette before = edit.palette();
    page.markInput(1, &edit);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(Qt::red));
    page.markInput(0, &edit);
    EXPECT_EQ(edit.palette().color(QPalette::Base), before.color(QPalette::Base));

    page.setWaitCursor(true);
    page.setWaitCursor(true);
    page.setWaitCursor(false);
    EXPECT_EQ(overrideCursors(), 0);
    page.setWaitCursor(false);
    EXPECT_EQ(overrideCursors(), 0) << "an unmatched false pops nothing";

    QApplication::setOverrideCursor(Qt::IBeamCursor);
    page.setWaitCursor(false);
    EXPECT_EQ(overrideCursors(), 1) << "someone else's cursor stays";
}

TEST_F(QueryCycleTest, LeavingAPageGivesBackItsCursor) {
    auto* page = new QueryPage;
    frame->registerPage("Busy", page);
    frame->onCommand("Busy");
    page->setWaitCursor(true);
    frame->backAction()->trigger();
    EXPECT_FALSE(page->holdsWaitCursor());
    EXPECT_EQ(overrideCursors(), 0);
}

// On the landed session over loopback TCP: with the queue full, a page's request is refused
// whole, and the page says so at once, once, instead of waiting for its time-out.
TEST_F(QueryCycleTest, ARefusedRequestEndsTheQueryWithOneMessage) {
    FakeTcpPeer peer;
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    ASSERT_NO_FATAL_FAILURE(connectWithAFullQueue(peer, *dm));
    auto* page = new QueryPage;
    frame->registerPage("Query", page);
    frame->onCommand("Query");
    harness->prompts.shown.clear();
    QueryPage::send = [dm] { dm->queryDeviceInfo(); };
    page->ask(3000);
    QueryPage::send = nullptr;
    EXPECT_FALSE(page->isQuerying());
    EXPECT_TRUE(page->editorsOn);
    EXPECT_EQ(overrideCursors(), 0);
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].text, QStringLiteral("The receiver is busy, try again."));
    dm->closePort();
}

// A Set the queue refuses whole is said at once, once, with the editors back; a refused Get
// through the shared cycle still gives one message, not two.
TEST_F(QueryCycleTest, ARefusedKeyIsSaidAtOnceAndOnce) {
    FakeTcpPeer peer;
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    ASSERT_NO_FATAL_FAILURE(connectWithAFullQueue(peer, *dm));
    auto* page = new KeyPage;
    frame->registerPage("Keys", page);
    frame->onCommand("Keys");
    const std::uint64_t refusedBefore = dm->refusedRequests();
    harness->prompts.shown.clear();
    QueryPage::send = [dm] { dm->setRtkSettings(1, 2, 3, 4, 10, GNSS_FRQ_5); };
    page->set->trigger();
    ShellHarness::deliver();
    ASSERT_GT(dm->refusedRequests(), refusedBefore);
    EXPECT_TRUE(page->editorsOn);
    EXPECT_EQ(overrideCursors(), 0);
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].text, QStringLiteral("The receiver is busy, try again."));

    harness->prompts.shown.clear();
    QueryPage::send = [dm] { dm->queryDeviceInfo(); };
    page->get->trigger();
    ShellHarness::deliver();
    QueryPage::send = nullptr;
    EXPECT_FALSE(page->isQuerying());
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].text, QStringLiteral("The receiver is busy, try again."));
    page->stopTimer(page->setTimer);
    dm->closePort();
}

}  // namespace
}  // namespace varnok_test

#include "query_cycle_test.moc"
