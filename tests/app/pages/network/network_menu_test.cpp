// The network, data link, radio and server pages as the menu opens them for each receiver kind,
// and a server added on its page reaching both network panels.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

#include <cstring>

#include "datachain.h"
#include "datachain_net.h"
#include "datalink_test_support.h"
#include "datalink_widget.h"
#include "menu_manager.h"
#include "net_server_config.h"
#include "new_datalink_support.h"
#include "page_registry.h"
#include "server_pages.h"
#include "server_widget.h"
#include "timer_scale.h"
#include "ui_server_widget.h"
#include "ui_wireless_widget.h"
#include "wireless_widget.h"

namespace varnok_test {
namespace {

void registerOnce() {
    static const bool registered = [] {
        Varnok::registerPages();
        return true;
    }();
    (void)registered;
}

std::string className(const QWidget* w) {
    if (!w) {
        return {};
    }
    if (qobject_cast<const Varnok::PlaceholderPage*>(w)) {
        return "placeholder " + w->objectName().toStdString();
    }
    return w->metaObject()->className();
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}

// The page a menu entry must open on a receiver of the type; empty when it has none.
std::string expectedPage(const QString& entry, int type, bool channelTable) {
    if (entry == "DataLink") {
        return type == 1 ? "Varnok::DataLinkWidget" : "Varnok::DataChain";
    }
    if (entry == "WirelessConfig") {
        return type == 1 ? "Varnok::WirelessConfigWidget" : "Varnok::InlayNet";
    }
    if (entry == "RadioChannel") {
        if (type == 5) {
            return {};
        }
        return type == 1      ? "Varnok::RadioChannelWidgetK45"
               : channelTable ? "Varnok::RadioChannelWidget_V2"
                              : "Varnok::RadioChannelWidget";
    }
    if (entry == "ServerConfig") {
        return "Varnok::ServerConfig";
    }
    if (entry == "Add") {
        return "Varnok::ServerConfig_Add";
    }
    if (entry == "Detail") {
        return "Varnok::ServerDetail";
    }
    return {};
}

class NetworkMenu : public ::testing::Test {
protected:
    void SetUp() override {
        registerOnce();
        h.makeFrame();
    }
    void TearDown() override {
        Varnok::setUiScale(0.0);
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
    }

    ShellHarness h;
};

TEST_F(NetworkMenu, EveryEntryOpensItsRealPage) {
    const QStringList entries{"DataLink", "WirelessConfig", "RadioChannel", "ServerConfig"};
    for (int type : {1, 2, 5}) {
        for (bool firmware : {false, true}) {
            for (bool channelTable : {false, true}) {
                SCOPED_TRACE("type " + std::to_string(type) + (firmware ? " firmware" : "") +
                             (channelTable ? " channel table" : ""));
                h.connectAs(type, 0, firmware, channelTable);
                Varnok::FatherWidget* frame = h.frame();
                frame->menu()->activate();
                // Every button the menu shows for these pages opens the real one. Going back
                // rebuilds the menu, so each button is looked up afresh.
                const auto button = [frame](const QString& entry) -> QToolButton* {
                    for (QToolButton* b : frame->menu()->findChildren<QToolButton*>()) {
                        if (b->defaultAction()->data().toString() == entry) {
                            return b;
                        }
                    }
                    return nullptr;
                };
                int opened = 0;
                for (const QString& entry : entries) {
                    frame->menu()->activate();
                    QToolButton* b = button(entry);
                    if (!b) {
                        continue;
                    }
                    b->click();
                    h.deliver();
                    EXPECT_EQ(className(frame->currentPage()),
                              expectedPage(entry, type, channelTable))
                        << entry.toStdString();
                    frame->backAction()->trigger();
                    h.deliver();
                    ++opened;
                }
                EXPECT_EQ(opened, type == 1 ? 4 : type == 5 ? 3 : 0);
                // The pages built for the receiver, whether its menu offers them or not.
                for (const char* name : {"DataLink", "WirelessConfig", "RadioChannel",
                                         "ServerConfig", "Add", "Detail"}) {
                    EXPECT_EQ(className(frame->page(name)), expectedPage(name, type, channelTable))
                        << name;
                }
                h.prompts.shown.clear();
                h.disconnect();
            }
        }
    }
}

WirelessInfo roverNtrip() {
    WirelessInfo w{};
    const unsigned char addr[] = {10, 0, 0, 7};
    std::memcpy(&w.server.address, addr, 4);
    w.port = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    const std::uint32_t protocols = 7u << 16;
    std::memcpy(w.capability + 4, &protocols, 4);
    return w;
}

TEST_F(NetworkMenu, AServerAddedOnItsPageIsInTheFileAndBothPanelsAtOnce) {
    Varnok::setUiScale(1.0);
    h.connectAs(5);
    Varnok::FatherWidget* frame = h.frame();
    frame->onCommand("ServerConfig");
    auto* list = qobject_cast<Varnok::ServerConfig*>(frame->page("ServerConfig"));
    ASSERT_NE(list, nullptr);
    list->newAction()->trigger();
    auto* add = qobject_cast<Varnok::ServerConfig_Add*>(frame->currentPage());
    ASSERT_NE(add, nullptr);
    auto* f = add->serverWidget()->form();
    f->lineEdit_name->setText("Field caster");
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    f->lineEdit_address->setText("10.0.0.9");
    f->lineEdit_port->setText("2101");
    add->set();
    ASSERT_EQ(frame->currentPage(), list);

    // Read back by another store over the same file, as a restarted program would.
    NetServerConfig other(h.configsDir().toStdString() + "/netserver.vnk");
    QStringList names;
    QList<int> keys;
    other.readServerList(names, keys, 1);
    EXPECT_EQ(names, QStringList{"Field caster"});

    // The old-protocol panel lists it.
    frame->onCommand("DataLink");
    h.deliver();
    auto* chain = qobject_cast<Varnok::DataChain*>(frame->page("DataLink"));
    ASSERT_NE(chain, nullptr);
    OldReceiver old{h};
    old.mode(0, 0);
    old.wireless(roverNtrip());
    ASSERT_EQ(chain->shownPanel(), chain->netPanel());
    EXPECT_TRUE(items(chain->netPanel()->findChild<QComboBox*>("comboBox_server"))
                    .contains("Field caster"));
    frame->close();
    h.deliver();
    h.disconnect();

    // So does the new-protocol one.
    h.connectAs(1);
    frame->onCommand("DataLink");
    h.deliver();
    auto* link = qobject_cast<Varnok::DataLinkWidget*>(frame->page("DataLink"));
    ASSERT_NE(link, nullptr);
    NewReceiver rx{h};
    rx.mode(3);
    ASSERT_EQ(link->shownPanel(), link->netPanel());
    EXPECT_EQ(items(link->netPanel()->form()->cbServer), (QStringList{"<New>", "Field caster"}));
}

}  // namespace
}  // namespace varnok_test
