// The page frame: soft keys, switching by name, Back, titles, the page sets per receiver.
#include <QAction>
#include <QPointer>

#include "device_manager.h"
#include "page_registry.h"
#include "shell_test_pages.h"

namespace varnok_test {
namespace {

using Varnok::FatherWidget;

QString pageClass(Varnok::Widget* w) {
    if (!w) {
        return QString();
    }
    if (qobject_cast<Varnok::PlaceholderPage*>(w)) {
        return w->objectName();
    }
    return QString::fromLatin1(w->metaObject()->className()).remove(QStringLiteral("Varnok::"));
}

using FrameTest = ShellTest;

TEST_F(FrameTest, SoftKeysFollowThePageShown) {
    EXPECT_TRUE(frame->softKeys().isEmpty()) << "the menu shows no soft key";

    struct Case {
        QStringList own;
        bool sip;
        QStringList expected;
    };
    const Case cases[] = {
        {{"a", "b", "c"}, false, {"Back", "|", "a", "b", "c"}},
        {{"1", "2", "3", "4", "5", "6", "7"}, false, {"Back", "1", "2", "3", "4", "5"}},
        {{}, false, {"Back", "|"}},
        {{"a", "b"}, true, {"Back", "|", "a", "b", "SIP"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString name = QStringLiteral("Test%1").arg(n++);
        frame->registerPage(name, new TestPage(c.own, c.sip));
        frame->onCommand(name);
        EXPECT_EQ(frame->softKeys(), c.expected) << name.toStdString();
        frame->backAction()->trigger();
        EXPECT_TRUE(frame->softKeys().isEmpty());
    }
}

TEST_F(FrameTest, BackHandsTheClosedPagesValuesToThePageBelow) {
    auto* lower = new TestPage;
    auto* upper = new TestPage;
    frame->registerPage("Lower", lower);
    frame->registerPage("Upper", upper);
    frame->onCommand("Lower");
    frame->onCommand("Upper");
    EXPECT_EQ(frame->stackDepth(), 3);
    upper->values().insert("Key", 7);
    frame->backAction()->trigger();

    EXPECT_EQ(frame->currentPage(), lower);
    EXPECT_TRUE(lower->isVisible());
    EXPECT_FALSE(upper->isVisible());
    EXPECT_EQ(lower->receivedFrom, upper);
    EXPECT_EQ(lower->received.value("Key").toInt(), 7);
    EXPECT_EQ(frame->stackDepth(), 2);
}

TEST_F(FrameTest, UnknownNamesAreIgnoredAndBackOnTheMenuExits) {
    frame->onCommand("NoSuchPage");
    EXPECT_EQ(frame->stackDepth(), 1);
    EXPECT_EQ(frame->currentPage(), static_cast<Varnok::Widget*>(frame->menu()));

    const int ends = app()->endCount();
    frame->backAction()->trigger();
    EXPECT_EQ(app()->lastExitTimerMs(), 5);
    EXPECT_TRUE(frame->isVisible()) << "without a receiver the frame stays until the timer";
    EXPECT_TRUE(ShellHarness::waitFor([&] { return app()->endCount() == ends + 1; }));
}

TEST_F(FrameTest, UntitledPagesShowTheVersion) {
    EXPECT_EQ(frame->titleText(), "Varnok-v1.1.0.1108");
    auto* titled = new TestPage;
    titled->setWindowTitle("Titled");
    frame->registerPage("Titled", titled);
    frame->onCommand("Titled");
    EXPECT_EQ(frame->titleText(), "Titled");
}

TEST(FrameOffset, LiftsTheFocusedEditorToTwoThirds) {
    EXPECT_EQ(FatherWidget::clientOffset(true, true, 600, 500), -100);
    EXPECT_EQ(FatherWidget::clientOffset(true, true, 600, 300), 0);
    EXPECT_EQ(FatherWidget::clientOffset(false, true, 600, 500), 0);
    EXPECT_EQ(FatherWidget::clientOffset(true, false, 600, 500), 0);
}

TEST_F(FrameTest, ReceiverPagesAreBuiltPerDeviceType) {
    struct Case {
        int type;
        bool v2;
        std::vector<std::pair<const char*, const char*>> pages;
        const char* absent;
    };
    const Case cases[] = {
        {1,
         false,
         {{"Info", "DeviceInfoWidget"},
          {"Static", "InternalRecordWidget"},
          {"RTK", "RTKParamsWidget"},
          {"DataLink", "DataLinkWidget"},
          {"WirelessConfig", "WirelessConfigWidget"},
          {"RadioChannel", "RadioChannelWidgetK45"}},
         "SatelliteChannelControl"},
        {2,
         false,
         {{"Info", "Info"},
          {"SatelliteChannelControl", "SatelliteChannelControl"},
          {"Static", "Static"},
          {"RTK", "RTK"},
          {"DataLink", "DataChain"},
          {"WirelessConfig", "InlayNet"},
          {"RadioChannel", "RadioChannelWidget"}},
         "DataMonitor"},
        {2, true, {{"RadioChannel", "RadioChannelWidget_V2"}}, "DataMonitor"},
        {1, true, {{"RadioChannel", "RadioChannelWidgetK45"}}, "SatelliteChannelControl"},
        {5, false, {{"Info", "Info"}, {"DataMonitor", "DataMonitorWidget"}}, "RadioChannel"},
        {5, true, {{"DataMonitor", "DataMonitorWidget"}}, "RadioChannel"},
    };
    for (const Case& c : cases) {
        harness->connectAs(c.type, 0, false, c.v2);
        for (const auto& [name, cls] : c.pages) {
            EXPECT_EQ(pageClass(frame->page(name)), cls)
                << "type " << c.type << " v2 " << c.v2 << " page " << name;
        }
        EXPECT_EQ(frame->page(c.absent), nullptr) << "type " << c.type;
        EXPECT_EQ(pageClass(frame->page("Connection")), "Connect");
        harness->disconnect();
    }
}

TEST_F(FrameTest, AReconnectDeletesThePreviousPageSet) {
    harness->connectAs(2);
    QPointer<Varnok::Widget> oldInfo = frame->page("Info");
    QPointer<Varnok::Widget> oldRadio = frame->page("RadioChannel");
    frame->onCommand("Info");
    harness->disconnect();
    harness->connectAs(1);

    EXPECT_EQ(pageClass(frame->page("Info")), "DeviceInfoWidget");
    EXPECT_TRUE(ShellHarness::waitFor([&] { return oldRadio.isNull(); }));
    EXPECT_FALSE(oldInfo.isNull()) << "the page still shown stays until Back pops it";
    frame->backAction()->trigger();
    EXPECT_TRUE(ShellHarness::waitFor([&] { return oldInfo.isNull(); }));
    EXPECT_EQ(frame->currentPage(), static_cast<Varnok::Widget*>(frame->menu()));
    EXPECT_EQ(frame->pageLeftLast(), nullptr) << "the page left last went with its set";
}

TEST_F(FrameTest, OnlyATransitionIntoConnectedBuildsPages) {
    harness->connectAs(2);
    QPointer<Varnok::Widget> info = frame->page("Info");
    // A repeated status 4 builds nothing new.
    Varnok::DeviceManager::instance()->announce(2);
    ShellHarness::deliver();
    EXPECT_EQ(frame->page("Info"), info.data());
}

TEST_F(FrameTest, AHiddenPagesEditorSignalLeavesBackAlone) {
    auto* hidden = new TestPage;
    auto* shown = new TestPage;
    frame->registerPage("Hidden", hidden);
    frame->registerPage("Shown", shown);
    frame->onCommand("Hidden");
    hidden->switchEditors(false);
    EXPECT_FALSE(frame->backAction()->isEnabled()) << "the shown page's query holds Back";
    frame->backAction()->setEnabled(true);
    frame->onCommand("Shown");
    EXPECT_TRUE(frame->backAction()->isEnabled()) << "Back is enabled before a page is shown";
    hidden->switchEditors(false);
    ShellHarness::deliver();
    EXPECT_TRUE(frame->backAction()->isEnabled());
    EXPECT_TRUE(frame->sipAction()->isEnabled());
    shown->switchEditors(false);
    EXPECT_FALSE(frame->backAction()->isEnabled());
    shown->switchEditors(true);
    EXPECT_TRUE(frame->backAction()->isEnabled());
}

}  // namespace
}  // namespace varnok_test
