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

// Bytes outside printable ASCII are the receiver's: an untouched Set sends them back as they
// came, never as '?'.
TEST_F(ApnPage, UntouchedBytesOutsideAsciiGoBackAsRead) {
    WirelessInfo w{};
    std::strcpy(w.loginText1, "r\xE9seau");
    std::strcpy(w.loginText2, "p\x01w\xFF");
    std::strcpy(w.textB, "internet");
    std::strcpy(w.textA, "*99#");
    h.script().answer<void(WirelessInfo&)>("GetInfo_Gprs_Info", [w](WirelessInfo& r) { r = w; });
    rx.fire(0x20000000u);
    EXPECT_EQ(page->form()->userName()->text(), QString::fromLatin1("r\xE9seau"));

    SvcInfo sent{};
    h.script().answer<void(SvcInfo)>("Set_Gprs_SvcInfo", [&](SvcInfo s) { sent = s; });
    trigger("Set");
    EXPECT_TRUE(h.prompts.shown.empty());
    ASSERT_EQ(calls(h, "Set_Gprs_SvcInfo").size(), 1u);
    const char* b = reinterpret_cast<const char*>(&sent);
    EXPECT_EQ(std::string(b), "r\xE9seau");
    EXPECT_EQ(std::string(b + 55), "p\x01w\xFF");
    EXPECT_EQ(std::string(b + 110), "internet");
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
        // A typed text keeps its configured limit even where the editor would take more.
        {"apn", QString(33, 'u'), QString(16, 'p'), 40,
         "User Name is too long: at most 32 characters."},
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

// Texts the receiver sent longer than the editors' limits show whole and go back exactly as
// they came when only another field is edited; an edited one is checked against its limit,
// and the total is checked once the user name or password is edited.
TEST_F(ApnPage, UntouchedLongTextsGoBackAsReadEditedOnesAreChecked) {
    WirelessInfo w{};
    std::strcpy(w.loginText1, std::string(40, 'u').c_str());
    std::strcpy(w.loginText2, "ABCDEFGHIJKLMNOPQRST");  // 20, over the editor's 16
    std::strcpy(w.textB, std::string(54, 'a').c_str());
    std::strcpy(w.textA, "*99#");
    h.script().answer<void(WirelessInfo&)>("GetInfo_Gprs_Info", [w](WirelessInfo& r) { r = w; });
    rx.fire(0x20000000u);
    EXPECT_EQ(page->form()->password()->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(page->form()->apn()->text(), QString(54, 'a'));

    SvcInfo sent{};
    h.script().answer<void(SvcInfo)>("Set_Gprs_SvcInfo", [&](SvcInfo s) { sent = s; });
    page->form()->dialNumber()->setText("*98#");
    trigger("Set");
    EXPECT_TRUE(h.prompts.shown.empty());
    const char* b = reinterpret_cast<const char*>(&sent);
    EXPECT_EQ(std::string(b), std::string(40, 'u'));
    EXPECT_EQ(std::string(b + 55), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(std::string(b + 110), std::string(54, 'a'));
    EXPECT_EQ(std::string(b + 165), "*98#");
    Varnok::setUiScale(0.0);
    ASSERT_TRUE(h.waitFor([&] { return page->form()->apn()->isEnabled(); }));
    Varnok::setUiScale(1.0);

    struct Row {
        const char* field;
        QString text;
        QString shown;
    };
    const Row rows[] = {
        {"password", "ABCDEFGHIJKLMNOPQ", "Password is too long: at most 16 characters."},
        {"apn", QString(32, 'a'), "APN is too long: at most 31 characters."},
        {"password", QString(9, 'p'), "Total length of\nuser name and password\nis beyond 48!"},
    };
    for (const Row& r : rows) {
        trigger("Get");  // as read again
        rx.fire(0x20000000u);
        QLineEdit* e =
            std::string(r.field) == "apn" ? page->form()->apn() : page->form()->password();
        e->setText(r.text);
        h.prompts.shown.clear();
        h.clearCalls();
        trigger("Set");
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{r.shown}) << r.field;
        EXPECT_TRUE(calls(h, "Set_Gprs_SvcInfo").empty()) << r.field;
    }
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
