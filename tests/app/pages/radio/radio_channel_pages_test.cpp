// The read-only radio channel pages: the channel file's table of an old-protocol radio, and
// the receiver's (or the file's) tables of a new-protocol radio.
#include <QAction>

#include "config_paths.h"
#include "jsettings.h"
#include "radio_channel_widget.h"
#include "radio_channel_widget_k45.h"
#include "radio_pages_fixture.h"

namespace varnok_test {
namespace {

using Varnok::RadioChannelWidget;
using Varnok::RadioChannelWidgetK45;
using Strings = std::vector<std::string>;

QTableWidget* tableOf(QWidget* page) {
    return page->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
}

// A channel file of n rows: high 460 + i, middle 440 + i, low 420 + i.
void writeChannelFile(int n) {
    JSettings s(ConfigPaths::filePath("radiochannels"), "radio", JSettings::kOpenFile);
    s.beginWriteArray("channel", n);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        s.setIntValue("number", i);
        s.setDoubleValue("high", 460.0 + i);
        s.setDoubleValue("middle", 440.0 + i);
        s.setDoubleValue("low", 420.0 + i);
    }
    s.endArray();
}

std::vector<RadioChannel> channels(double first, int n) {
    std::vector<RadioChannel> out;
    for (int i = 0; i < n; ++i) {
        out.push_back({first + 0.5 * i, 0});
    }
    return out;
}

using FileTablePage = RadioPagesTest;

TEST_F(FileTablePage, OneColumnOrThreeByTheRadiosBand) {
    harness->connectAs(2);
    cache().radioInfo.radioType = 8;
    auto* page = open<RadioChannelWidget>();
    ASSERT_NE(page, nullptr);
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(page->windowTitle(), "Radio Channel");
    EXPECT_TRUE(page->showsThreeBands());
    EXPECT_EQ(headers(t),
              (Strings{"High Freq.( MHz )", "Middle Freq.( MHz )", "Low Freq.( MHz )"}));
    EXPECT_EQ(rowLabels(t), (Strings{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(cell(t, 0, 0), "0.00");
    EXPECT_EQ(cell(t, 1, 0), "456.05");
    EXPECT_EQ(cell(t, 9, 1), "450.00");
    EXPECT_EQ(cell(t, 9, 2), "423.05");
    EXPECT_EQ(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(t->selectionBehavior(), QAbstractItemView::SelectRows);

    // Leaving clears the cells and headers; module 5 is the middle band alone.
    frame->onCommand(QStringLiteral("Connection"));
    EXPECT_EQ(itemCount(t), 0);
    EXPECT_EQ(t->horizontalHeaderItem(0), nullptr);
    cache().radioInfo.radioType = 5;
    frame->onCommand(QStringLiteral("RadioChannel"));
    EXPECT_FALSE(page->showsThreeBands());
    EXPECT_EQ(headers(t), (Strings{"Frequency( MHz )"}));
    EXPECT_EQ(cell(t, 1, 0), "430.00");
    EXPECT_EQ(itemCount(t), 10);
}

TEST_F(FileTablePage, TenRowsWhateverTheFileHolds) {
    harness->connectAs(2);
    cache().radioInfo.radioType = 1;
    writeChannelFile(12);
    auto* page = open<RadioChannelWidget>();
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(t->rowCount(), 10);
    EXPECT_EQ(cell(t, 9, 0), "469.00");
    frame->onCommand(QStringLiteral("Connection"));

    writeChannelFile(7);
    frame->onCommand(QStringLiteral("RadioChannel"));
    EXPECT_EQ(t->rowCount(), 10);
    EXPECT_EQ(cell(t, 6, 0), "466.00");
    EXPECT_EQ(cell(t, 7, 0), "<none>");
    EXPECT_EQ(itemCount(t), 7);
}

TEST_F(FileTablePage, ARadioOfNoKnownBandShowsNoValues) {
    harness->connectAs(2);
    cache().radioInfo.radioType = 9;
    QTableWidget* t = tableOf(open<RadioChannelWidget>());
    EXPECT_EQ(headers(t), (Strings{"Frequency( MHz )"}));
    EXPECT_EQ(itemCount(t), 0);
}

using ReceiverTablePage = RadioPagesTest;

TEST_F(ReceiverTablePage, AsksThenShowsTheReceiversBandTablesCountedFromOne) {
    harness->connectAs(1);
    RadioConfig::instance().setChannelTable(channels(456.0, 10), 0);
    RadioConfig::instance().setChannelTable(channels(440.0, 10), 1);
    RadioConfig::instance().setChannelTable(channels(420.0, 8), 2);
    harness->clearCalls();
    auto* page = open<RadioChannelWidgetK45>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(harness->calls(),
              (Strings{"Send_Radio_Module_Type_Query()", "Send_Radio_Channel_List_Query()",
                       "Send_Radio_Channel_List_All_Query()"}));
    EXPECT_TRUE(page->isWaiting());
    EXPECT_FALSE(page->getAction()->isEnabled());
    EXPECT_FALSE(frame->backAction()->isEnabled());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isWaiting(); }));
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(headers(t), (Strings{"High Frequency( MHz )", "Middle Frequency( MHz )",
                                   "Low Frequency( MHz )"}));
    EXPECT_EQ(rowLabels(t), (Strings{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(cell(t, 0, 0), "456.00");
    EXPECT_EQ(cell(t, 9, 1), "444.50");
    EXPECT_EQ(cell(t, 7, 2), "423.50");
    EXPECT_EQ(cell(t, 8, 2), "<none>");
    EXPECT_EQ(cell(t, 9, 2), "<none>");
    EXPECT_TRUE(page->getAction()->isEnabled());
    EXPECT_TRUE(frame->backAction()->isEnabled());
    EXPECT_FALSE(page->holdsWaitCursor());
}

TEST_F(ReceiverTablePage, EachReportedBandTakesTheNextColumnUnderItsOwnTitle) {
    harness->connectAs(1);
    RadioConfig::instance().setChannelTable(channels(440.0, 3), 1);
    RadioConfig::instance().setChannelTable(channels(420.0, 4), 2);
    auto* page = open<RadioChannelWidgetK45>();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isWaiting(); }));
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(headers(t), (Strings{"Middle Frequency( MHz )", "Low Frequency( MHz )"}));
    EXPECT_EQ(cell(t, 0, 0), "440.00");
    EXPECT_EQ(cell(t, 3, 1), "421.50");
    EXPECT_EQ(t->rowCount(), 4);
}

TEST_F(ReceiverTablePage, ASingleListCountsFromZero) {
    harness->connectAs(1);
    std::vector<double> list;
    for (int i = 0; i < 16; ++i) {
        list.push_back(i == 0 ? 0.0 : 455.0 + 0.0125 * i);
    }
    RadioConfig::instance().setChannelFrequencies(list.data(), 16);
    auto* page = open<RadioChannelWidgetK45>();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isWaiting(); }));
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(headers(t), (Strings{"Frequency( MHz )"}));
    ASSERT_EQ(t->rowCount(), 16);
    EXPECT_EQ(rowLabels(t).front(), "0");
    EXPECT_EQ(rowLabels(t).back(), "15");
    EXPECT_EQ(cell(t, 0, 0), "0.00");
    EXPECT_EQ(cell(t, 1, 0), "455.01");
}

TEST_F(ReceiverTablePage, WithoutReceiverListsTheChannelFilesDefaults) {
    harness->connectAs(1);
    RadioConfig::instance().loadForType(7);
    auto* page = open<RadioChannelWidgetK45>();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isWaiting(); }));
    QTableWidget* t = tableOf(page);
    EXPECT_EQ(headers(t), (Strings{"High Frequency( MHz )", "Middle Frequency( MHz )",
                                   "Low Frequency( MHz )"}));
    EXPECT_EQ(rowLabels(t).front(), "0");
    EXPECT_EQ(cell(t, 1, 0), "456.05");
    EXPECT_EQ(cell(t, 1, 2), "415.05");

    // Module 3: the middle band alone, by Get.
    RadioConfig::instance().loadForType(3);
    page->getAction()->trigger();
    EXPECT_EQ(itemCount(t), 0);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isWaiting(); }));
    EXPECT_EQ(headers(t), (Strings{"Frequency( MHz )"}));
    EXPECT_EQ(cell(t, 9, 0), "450.00");
}

TEST_F(ReceiverTablePage, LeavingMidWaitShowsNoTableAndGivesTheCursorBack) {
    harness->connectAs(1);
    RadioConfig::instance().setChannelTable(channels(456.0, 10), 0);
    auto* page = open<RadioChannelWidgetK45>();
    EXPECT_TRUE(page->holdsWaitCursor());
    frame->onCommand(QStringLiteral("Connection"));
    ShellHarness::deliver();
    EXPECT_FALSE(page->isWaiting());
    EXPECT_FALSE(page->holdsWaitCursor());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(itemCount(tableOf(page)), 0);
    EXPECT_TRUE(page->getAction()->isEnabled());
}

}  // namespace
}  // namespace varnok_test
