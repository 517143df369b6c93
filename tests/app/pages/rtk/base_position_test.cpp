// The base position page and the base position list on the frame.
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <cmath>

#include "app_config.h"
#include "config_paths.h"
#include "jsettings.h"
#include "page_fixture.h"

namespace varnok_test {
namespace {

constexpr std::uint32_t kOldPosition = 0x10000000u;
constexpr std::uint32_t kNewBaseList = 0x80000u;
constexpr double kRad = 0.017453292519943295;

struct Added {
    double latitude = 0, longitude = 0, height = 0;
    int calls = 0;
};

class BasePositionTest : public PageTest {
protected:
    Varnok::Widget* openFixed() {
        Varnok::Widget* page = show("BasePosition");
        page->setEditorsEnabled(true);  // as the distance answer does
        child<QRadioButton>(page, "rbFixPos")->click();
        return page;
    }
    // Typed as a user types it, so the page counts the position as given.
    void type(Varnok::Widget* page, const char* d, const char* m, const char* s,
              const char* ld = "120", const char* h = "10") {
        const std::pair<const char*, const char*> texts[] = {
            {"leBD", d},   {"leBF", m},   {"leBM", s}, {"leLD", ld},
            {"leLF", "0"}, {"leLM", "0"}, {"leH", h}};
        for (const auto& [name, text] : texts) {
            QLineEdit* e = child(page, name);
            e->setText(text);
            emit e->textEdited(text);
        }
    }
    void scriptAdd() {
        harness->script().answer<void(double, double, double)>(
            "Add_BasePos_To_List", [this](double b, double l, double h) {
                added.latitude = b;
                added.longitude = l;
                added.height = h;
                ++added.calls;
            });
    }
    // A new-protocol list answer of (latitude, longitude) degrees.
    void answerList(const std::vector<std::pair<double, double>>& entries, double difference = 0) {
        harness->script().answer<void(BASE_POS_LIST_STRUCT&)>(
            "Get_Gnss_Base_Position_list", [entries, difference](BASE_POS_LIST_STRUCT& l) {
                l.value = difference;
                l.limit = 10;
                l.list.clear();
                for (const auto& e : entries) {
                    BASE_POS_ENTRY entry{e.first * kRad, e.second * kRad, 0};
                    const float h = 12.5f;
                    std::memcpy(&entry.value, &h, sizeof h);
                    l.list.push_back(entry);
                }
            });
        fire(3, kNewBaseList);
    }
    // Typed as a user types it, so the page counts it as edited.
    void typeDistance(Varnok::Widget* page, const QString& text) const {
        QLineEdit* e = child(page, "leDist");
        e->setText(text);
        emit e->textEdited(text);
    }
    Added added;
};

TEST_F(BasePositionTest, StartsInDistanceModeAndSwitchesKeys) {
    harness->connectAs(0);
    Varnok::Widget* page = show("BasePosition");
    EXPECT_EQ(page->actions()[0]->text(), "Get");
    EXPECT_EQ(page->actions()[1]->text(), "Set");
    EXPECT_EQ(harness->callsStartingWith("Query_BasePosition_Difference").size(), 1u);
    page->setEditorsEnabled(true);
    EXPECT_FALSE(child(page, "leBD")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(page, "pbHere")->isEnabled());
    child<QRadioButton>(page, "rbFixPos")->click();
    EXPECT_EQ(page->actions()[0]->text(), "List");
    EXPECT_EQ(page->actions()[1]->text(), "Add");
    EXPECT_FALSE(child(page, "leDist")->isEnabled());
    EXPECT_TRUE(child(page, "leBD")->isEnabled());
    key(page, "List")->trigger();
    ShellHarness::deliver();
    EXPECT_EQ(frame->currentPage(), frame->page("BasePositionList"));
}

TEST_F(BasePositionTest, DistanceIsSetWholeAndAsItsWholeMetres) {
    harness->connectAs(0);
    Varnok::Widget* page = show("BasePosition");
    page->setEditorsEnabled(true);
    const struct {
        const char* text;
        const char* message;
    } refused[] = {{"", "Parameters invalid."}, {"70000", "Parameters out of range."}};
    for (const auto& r : refused) {
        harness->clearCalls();
        harness->prompts.shown.clear();
        typeDistance(page, r.text);
        key(page, "Set")->trigger();
        EXPECT_EQ(messages(), std::vector<QString>{r.message}) << r.text;
        EXPECT_TRUE(harness->calls().empty()) << r.text;
    }
    harness->prompts.shown.clear();
    typeDistance(page, "12.7");
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(harness->callsStartingWith("Set_BasePosition_Difference"),
              Strings{"Set_BasePosition_Difference(12.7)"});
    EXPECT_EQ(harness->callsStartingWith("Set_DevcInfo_AutoBaseDist"),
              Strings{"Set_DevcInfo_AutoBaseDist(12)"});
}

// The edit shows six digits; an untouched Set sends the answer as it came, a typed one as typed.
TEST_F(BasePositionTest, AnUntouchedDistanceGoesBackExactly) {
    harness->connectAs(0);
    const double read = 1234.56789;
    harness->script().answer<void(double&)>("Get_BasePosition_Difference",
                                            [read](double& d) { d = read; });
    std::vector<double> sent;
    harness->script().answer<void(double)>("Set_BasePosition_Difference",
                                           [&sent](double d) { sent.push_back(d); });
    Varnok::Widget* page = show("BasePosition");
    fire(8, 0x100u);  // the difference answer
    ASSERT_TRUE(key(page, "Set")->isEnabled());
    EXPECT_EQ(child(page, "leDist")->text(), "1234.57");
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], read);
    EXPECT_EQ(harness->callsStartingWith("Set_DevcInfo_AutoBaseDist"),
              Strings{"Set_DevcInfo_AutoBaseDist(1234)"});

    page->setEditorsEnabled(true);
    typeDistance(page, "1234.57");
    key(page, "Set")->trigger();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], 1234.57);
}

// With no distance answer the edit shows the default, "0" when the language type is 1,
// marked as not read: an untouched Set refuses it, a typed distance goes out.
void expectDefaultDistance(ShellHarness& harness, const char* expected) {
    harness.connectAs(0);
    Varnok::setUiScale(0.0);
    harness.frame()->onCommand("BasePosition");
    Varnok::Widget* page = harness.frame()->page("BasePosition");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->actions()[0]->isEnabled(); }));
    QLineEdit* dist = page->findChild<QLineEdit*>("leDist");
    EXPECT_EQ(dist->text(), expected);
    EXPECT_EQ(dist->palette().color(QPalette::Base), Qt::red);
    EXPECT_TRUE(harness.prompts.shown.empty());
    harness.clearCalls();
    page->actions()[1]->trigger();
    ASSERT_EQ(harness.prompts.shown.size(), 1u);
    EXPECT_EQ(harness.prompts.shown[0].text,
              "Distance was not read from the receiver: enter it to set it.");
    EXPECT_TRUE(harness.callsStartingWith("Set_").empty());
    dist->setText(expected);
    emit dist->textEdited(expected);
    EXPECT_NE(dist->palette().color(QPalette::Base), Qt::red);
    page->actions()[1]->trigger();
    EXPECT_EQ(harness.callsStartingWith("Set_BasePosition_Difference").size(), 1u);
}

TEST_F(BasePositionTest, UnansweredDistanceShowsTenMarkedAndIsNotWritten) {
    expectDefaultDistance(*harness, "10");
}

TEST_F(BasePositionTest, UnansweredDistanceShowsZeroForLanguageTypeOne) {
    {
        JSettings s(ConfigPaths::filePath("config"), "global", JSettings::kOpenFile);
        s.beginGroup("Language");
        s.setIntValue("CurrentType", 1);
        s.endGroup();
    }
    QString name, suffix;
    AppConfig::instance().load(name, suffix);
    if (AppConfig::instance().currentType() != 1) {
        GTEST_SKIP() << "the settings store was opened in an earlier test's directory";
    }
    expectDefaultDistance(*harness, "0");
}

TEST_F(BasePositionTest, NewProtocolListAnswerEndsTheDistanceWait) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePosition");
    EXPECT_FALSE(key(page, "Get")->isEnabled());
    answerList({}, 12.5);
    EXPECT_TRUE(key(page, "Get")->isEnabled());
    EXPECT_EQ(child(page, "leDist")->text(), "12.5");
}

// Before the new protocol's list has arrived, neither the distance nor a position can go out
// (the list record carries both); the user is told instead of a silent wait.
TEST_F(BasePositionTest, NewProtocolWithoutTheListRefusesSetAndAddWithAMessage) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePosition");
    page->setEditorsEnabled(true);
    const QString notRead =
        "The receiver's base position list has not been read yet: nothing was sent.";
    harness->clearCalls();
    typeDistance(page, "25");
    key(page, "Set")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{notRead});
    EXPECT_TRUE(key(page, "Set")->isEnabled());
    EXPECT_TRUE(harness->callsStartingWith("Send_Gnss_Base_Position_list").empty());
    EXPECT_TRUE(harness->callsStartingWith("Set_DevcInfo_AutoBaseDist").empty());

    harness->prompts.shown.clear();
    child<QRadioButton>(page, "rbFixPos")->click();
    type(page, "30", "0", "0");
    ASSERT_TRUE(key(page, "Add") && key(page, "Add")->isEnabled());
    key(page, "Add")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{notRead});
    EXPECT_TRUE(harness->callsStartingWith("Send_Gnss_Base_Position_list").empty());

    // A receiver that keeps no positions says so.
    answerList({}, 5);
    harness->script().answer<void(BASE_POS_LIST_STRUCT&)>("Get_Gnss_Base_Position_list",
                                                          [](BASE_POS_LIST_STRUCT& l) {
                                                              l.value = 5;
                                                              l.limit = 0;
                                                              l.list.clear();
                                                          });
    fire(3, kNewBaseList);
    harness->prompts.shown.clear();
    page->setEditorsEnabled(true);
    key(page, "Add")->trigger();
    EXPECT_EQ(messages(),
              std::vector<QString>{"The receiver keeps no base positions: nothing was sent."});
}

// The editors' "0" defaults are no position: an untouched Add sends nothing and says why; one
// typed field, even a "0", makes the position the user's.
TEST_F(BasePositionTest, AddOfTheUntouchedDefaultsIsRefused) {
    harness->connectAs(0);
    Varnok::Widget* page = openFixed();
    scriptAdd();
    key(page, "Add")->trigger();
    EXPECT_EQ(messages(),
              std::vector<QString>{
                  "Enter the position, or get the current one, to add it: nothing was sent."});
    EXPECT_EQ(added.calls, 0);
    EXPECT_EQ(child(page, "leBD")->palette().color(QPalette::Base), Qt::red);
    harness->prompts.shown.clear();
    QLineEdit* height = child(page, "leH");
    height->setText("0");
    emit height->textEdited("0");
    key(page, "Add")->trigger();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(added.calls, 1);
}

TEST_F(BasePositionTest, AddKeepsTheHemisphereAndRefusesOutOfRange) {
    harness->connectAs(0);
    Varnok::Widget* page = openFixed();
    Varnok::setUiScale(0.0);  // the set waits end at once
    auto ready = [&] {
        return ShellHarness::waitFor([&] { return key(page, "Add")->isEnabled(); });
    };
    scriptAdd();
    type(page, "-30", "15", "10");
    key(page, "Add")->trigger();
    ASSERT_EQ(added.calls, 1);
    EXPECT_NEAR(added.latitude, -30.2527778, 1e-7);
    EXPECT_DOUBLE_EQ(added.longitude, 120.0);
    EXPECT_DOUBLE_EQ(added.height, 10.0);
    ASSERT_TRUE(ready());
    type(page, "-0", "30", "0");
    key(page, "Add")->trigger();
    ASSERT_EQ(added.calls, 2);
    EXPECT_DOUBLE_EQ(added.latitude, -0.5);
    ASSERT_TRUE(ready());

    const struct {
        const char *d, *m, *s, *ld, *h, *message;
    } refused[] = {
        {"90", "1", "0", "0", "1", "Parameters out of range."},
        {"0", "0", "60", "0", "1", "Parameters out of range."},
        {"0", "0", "0", "180", "1", "Parameters out of range."},  // with 0.5" below
        {"", "0", "0", "0", "1", "Parameters invalid."},
        {"0", "0", "0", "0", "-", "Parameters invalid."},
    };
    for (const auto& r : refused) {
        harness->prompts.shown.clear();
        type(page, r.d, r.m, r.s, r.ld, r.h);
        if (std::string(r.ld) == "180") {
            child(page, "leLM")->setText("0.5");
        }
        key(page, "Add")->trigger();
        EXPECT_EQ(messages(), std::vector<QString>{r.message}) << r.d << " " << r.s;
    }
    EXPECT_EQ(added.calls, 2);
}

TEST_F(BasePositionTest, CurrentPositionFillsSignedFieldsOrWarns) {
    harness->connectAs(0);
    Varnok::Widget* page = openFixed();
    page->setEditorsEnabled(true);
    harness->script().answer<void(POS_INFO*)>("Get_Gnss_Pos", [](POS_INFO* p) {
        p->Latitude = -0.5 * kRad;
        p->Longitude = -(30 + 15 / 60.0) * kRad;
        p->Height = 42.25;
        p->Sol_Code = 4;
    });
    harness->clearCalls();
    child<QPushButton>(page, "pbHere")->click();
    EXPECT_EQ(harness->callsStartingWith("Send_200Data"), Strings{"Send_200Data(true)"});
    fire(1, kOldPosition);
    EXPECT_EQ(child(page, "leBD")->text(), "-0");
    EXPECT_EQ(child(page, "leBF")->text(), "30");
    EXPECT_EQ(child(page, "leBM")->text(), "0.00000");
    EXPECT_EQ(child(page, "leLD")->text(), "-30");
    EXPECT_EQ(child(page, "leLF")->text(), "15");
    EXPECT_EQ(child(page, "leH")->text(), "42.25000");
    EXPECT_EQ(harness->callsStartingWith("Send_200Data"),
              (Strings{"Send_200Data(true)", "Send_200Data(false)"}));
    // What is shown goes back out as it was read.
    scriptAdd();
    key(page, "Add")->trigger();
    EXPECT_DOUBLE_EQ(added.latitude, -0.5);

    // No position in time: the warning, and the output goes off again with the board's own
    // rate back (the device information's 5 Hz is rate code 2).
    harness->script().answer<void(DEVICE_STR&)>(
        "GetInfo_DevcInfo", [](DEVICE_STR& d) { reinterpret_cast<unsigned char*>(&d)[78] = 5; });
    fire(2, 0x80000000u);
    Varnok::setUiScale(0.0);
    page->setEditorsEnabled(true);
    harness->clearCalls();
    child<QPushButton>(page, "pbHere")->click();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !messages().empty(); }));
    EXPECT_EQ(messages(), std::vector<QString>{"Failed to get current position."});
    EXPECT_EQ(harness->callsStartingWith("Send_200Data"),
              (Strings{"Send_200Data(true)", "Send_200Data(false)"}));
    EXPECT_EQ(harness->callsStartingWith("Set_Gnss_PosFrq"),
              (Strings{"Set_Gnss_PosFrq(3)", "Set_Gnss_PosFrq(2)"}));
}

using BasePositionListTest = BasePositionTest;

TEST_F(BasePositionListTest, RowsShowSignedAnglesAndAnEarlierConnectionsRowsGo) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePositionList");
    auto* table = child<QTableWidget>(page, "tableWidget");
    answerList({{31.0833333333, 120.5}, {-0.5, -0.25}});
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "31:05:00.00000");
    EXPECT_EQ(table->item(1, 0)->text(), "-0:30:00.00000");
    EXPECT_EQ(table->item(1, 1)->text(), "-0:15:00.00000");
    EXPECT_EQ(table->item(1, 2)->text(), "12.50000");
    goBack();
    harness->disconnect();
    harness->connectAs(1);
    page = show("BasePositionList");
    EXPECT_EQ(table->rowCount(), 0);
}

TEST_F(BasePositionListTest, DeleteWithoutARowWarnsAndAsksAgainAfterTheWait) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePositionList");
    answerList({{1, 2}});
    Varnok::setUiScale(0.0);
    harness->clearCalls();
    key(page, "Delete")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"No valid row selected."});
    EXPECT_FALSE(key(page, "Get")->isEnabled());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Get")->isEnabled(); }));
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_Base_Position_list"),
              Strings{"Send_Gnss_Base_Position_list(null)"});
}

TEST_F(BasePositionListTest, ClearBeforeTheListCameSaysNothingWasSent) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePositionList");
    Varnok::setUiScale(0.0);
    // The list query of the visit goes unanswered.
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Clear")->isEnabled(); }));
    harness->clearCalls();
    key(page, "Clear")->trigger();
    EXPECT_EQ(messages(), std::vector<QString>{"The receiver's base position list has not been "
                                               "read yet: nothing was sent."});
    // The wait still ends by asking for the list, so a second try can clear it.
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Get")->isEnabled(); }));
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_Base_Position_list"),
              Strings{"Send_Gnss_Base_Position_list(null)"});
}

TEST_F(BasePositionListTest, DeleteSendsTheListWithoutTheChosenRow) {
    harness->connectAs(1);
    Varnok::Widget* page = show("BasePositionList");
    answerList({{1, 2}, {3, 4}});
    auto* table = child<QTableWidget>(page, "tableWidget");
    table->setCurrentCell(0, 0);
    std::size_t sent = 99;
    harness->script().answer<void(const BASE_POS_LIST_STRUCT*)>(
        "Send_Gnss_Base_Position_list",
        [&sent](const BASE_POS_LIST_STRUCT* l) { sent = l ? l->list.size() : 99; });
    key(page, "Delete")->trigger();
    EXPECT_EQ(sent, 1u);
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace varnok_test
