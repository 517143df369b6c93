// The menu: the buttons offered per device type and firmware flag.
#include <QToolButton>

#include "menu_manager.h"
#include "shell_test_pages.h"

namespace varnok_test {
namespace {

using MenuTest = ShellTest;

TEST_F(MenuTest, OffersThePagesTheReceiverSupports) {
    const QStringList disconnected{"Connection", "Exit"};
    EXPECT_EQ(frame->menu()->buttonLabels(), disconnected);
    EXPECT_EQ(frame->menu()->spacerStretch(), 8);

    struct Case {
        int type;
        bool flag;
        QStringList labels;
        int stretch;
    };
    const Case cases[] = {
        {2, false, {"Connection", "Device Info.", "Internal Recording", "RTK", "Exit"}, 5},
        {2,
         true,
         {"Connection", "Device Info.", "Internal Recording", "RTK", "NMEA Output", "Exit"},
         4},
        {1,
         false,
         {"Connection", "Device Info.", "Internal Recording", "RTK", "GPRS And Internal UHF",
          "Wireless Settings", "NMEA Output", "Radio Channel", "Server Settings", "Exit"},
         0},
        {4,
         false,
         {"Connection", "Device Info.", "GPRS And Internal UHF", "APN Settings", "Exit"},
         5},
        {5,
         true,
         {"Connection", "Device Info.", "Internal Recording", "RTK", "GPRS And Internal UHF",
          "APN Settings", "NMEA Output", "Com Monitor Controller", "Server Settings", "Exit"},
         0},
        {0,
         false,
         {"Connection", "Device Info.", "Internal Recording", "RTK", "GPRS And Internal UHF",
          "APN Settings", "Radio Channel", "Server Settings", "Exit"},
         1},
    };
    for (const Case& c : cases) {
        harness->connectAs(c.type, 0, c.flag);
        frame->menu()->activate();
        EXPECT_EQ(frame->menu()->buttonLabels(), c.labels) << "type " << c.type;
        EXPECT_EQ(frame->menu()->spacerStretch(), c.stretch) << "type " << c.type;
        harness->disconnect();
        frame->menu()->activate();
        EXPECT_EQ(frame->menu()->buttonLabels(), disconnected) << "after type " << c.type;
    }
}

TEST_F(MenuTest, AStatusChangeShowsWhenTheMenuIsShownAgain) {
    harness->connectAs(2);
    EXPECT_EQ(frame->menu()->buttonLabels().size(), 2) << "not rebuilt while shown";
    frame->onCommand("Connection");
    frame->backAction()->trigger();
    EXPECT_EQ(frame->menu()->buttonLabels().size(), 5);
}

TEST_F(MenuTest, ButtonsEmitTheirPageNames) {
    QStringList names;
    QObject::connect(frame->menu(), &Varnok::MenuManager::command,
                     [&](const QString& n) { names << n; });
    const auto buttons = frame->menu()->findChildren<QToolButton*>();
    for (QToolButton* b : buttons) {
        b->click();
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Connection", "Exit"}));
}

}  // namespace
}  // namespace varnok_test
