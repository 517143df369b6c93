#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include <cstring>

#include "datalink_test_support.h"
#include "inlay_net.h"

using namespace varnok_test;
using Varnok::InlayNet;

namespace {

class ApnPage : public ::testing::Test {
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
        WirelessInfo w{};
        std::strcpy(w.loginText1, "user");
        std::strcpy(w.loginText2, "secret");
        std::strcpy(w.textB, "internet");
        std::strcpy(w.textA, "*99#");
        h.script().answer<void(WirelessInfo&)>("GetInfo_Gprs_Info",
                                               [w](WirelessInfo& r) { r = w; });
        h.frame()->onCommand("WirelessConfig");
        h.deliver();
        page = qobject_cast<InlayNet*>(h.frame()->page("WirelessConfig"));
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override { Varnok::setUiScale(0.0); }

    void trigger(const QString& text) {
        for (QAction* a : page->actions()) {
            if (a->text() == text) {
                a->trigger();
            }
        }
    }

    ShellHarness h;
    OldReceiver rx{h};
    InlayNet* page = nullptr;
};

TEST_F(ApnPage, ActivateFillsAndSetWritesTheServiceRecord) {
    EXPECT_EQ(calls(h, "Send_Gprs_Info").size(), 1u);
    rx.fire(0x20000000u);
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_EQ(page->form()->apn()->text(), "internet");
    EXPECT_EQ(page->form()->dialNumber()->text(), "*99#");
    EXPECT_EQ(page->form()->userName()->text(), "user");
    EXPECT_EQ(page->form()->password()->text(), "secret");

    SvcInfo sent{};
    h.script().answer<void(SvcInfo)>("Set_Gprs_SvcInfo", [&](SvcInfo s) { sent = s; });
    page->form()->apn()->setText("apn.example");
    trigger("Set");
    EXPECT_TRUE(h.prompts.shown.empty());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&sent);
    EXPECT_EQ(std::memcmp(b, "user\0", 5), 0);
    EXPECT_EQ(std::memcmp(b + 55, "secret\0", 7), 0);
    EXPECT_EQ(std::memcmp(b + 110, "apn.example\0", 12), 0);
    EXPECT_EQ(std::memcmp(b + 165, "*99#\0", 5), 0);
    EXPECT_TRUE(overrideCursorSet());
    EXPECT_FALSE(page->form()->apn()->isEnabled());
    Varnok::setUiScale(0.0);
    ASSERT_TRUE(h.waitFor([&] { return page->form()->apn()->isEnabled(); }));
    EXPECT_FALSE(overrideCursorSet());
}

TEST_F(ApnPage, ChecksRefuseAndSendNothing) {
    struct Row {
        QString apn, user, password;
        int userCap;
        QString shown;
    };
    const Row rows[] = {
        {"", "u", "p", 32, "Please enter parameters."},
        {"apn", QString::fromUtf8("Жук"), "p", 32, "Please enter parameters."},
        // A raised user limit lets 33 + 16 characters in; the total of 48 still refuses them.
        {"apn", QString(33, 'u'), QString(16, 'p'), 40,
         "Total length of\nuser name and password\nis beyond 48!"},
    };
    for (const Row& r : rows) {
        h.prompts.shown.clear();
        page->form()->userName()->setMaxLength(r.userCap);
        page->form()->apn()->setText(r.apn);
        page->form()->dialNumber()->setText("*99#");
        page->form()->userName()->setText(r.user);
        page->form()->password()->setText(r.password);
        h.clearCalls();
        trigger("Set");
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{r.shown});
        EXPECT_TRUE(calls(h, "Set_Gprs_SvcInfo").empty());
    }
    EXPECT_EQ(h.prompts.shown.at(0).title, "Error");
    // Müller fits Latin-1 and goes out.
    h.prompts.shown.clear();
    page->form()->userName()->setText(QString::fromUtf8("Müller"));
    page->form()->password()->setText("p");
    trigger("Set");
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(calls(h, "Set_Gprs_SvcInfo").size(), 1u);
}

TEST_F(ApnPage, GetWithoutAnswerWarnsOnce) {
    Varnok::setUiScale(0.0);
    trigger("Get");
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }));
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get parameters!"});
    EXPECT_TRUE(page->form()->apn()->text().isEmpty());
    EXPECT_TRUE(page->form()->apn()->isEnabled());
    EXPECT_FALSE(overrideCursorSet());
}

}  // namespace
