// The data monitor page, soft-key presses and the keyboard, and loading translations.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "data_monitor_widget.h"
#include "shell_test_pages.h"
#include "sip_helper.h"

namespace varnok_test {
namespace {

using DataMonitorTest = ShellTest;

TEST_F(DataMonitorTest, StartSendsTheSwitchAndHoldsTheKeys) {
    harness->connectAs(5);
    frame->onCommand("DataMonitor");
    auto* page = qobject_cast<Varnok::DataMonitorWidget*>(frame->currentPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(frame->titleText(), "Com Monitor Controller");
    EXPECT_EQ(frame->softKeys(), (QStringList{"Back", "|"}));
    auto* start = page->findChild<QPushButton*>("pbStart");
    auto* stop = page->findChild<QPushButton*>("pbStop");
    harness->clearCalls();

    start->click();
    EXPECT_EQ(harness->callsStartingWith("Set_Com_Data_Monitor"),
              (std::vector<std::string>{"Set_Com_Data_Monitor(true)"}));
    EXPECT_FALSE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(frame->backAction()->isEnabled());
    EXPECT_TRUE(page->holdsWaitCursor());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->pausing(); }));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_TRUE(frame->backAction()->isEnabled());
    EXPECT_FALSE(page->holdsWaitCursor());

    stop->click();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->pausing(); }));
    EXPECT_EQ(
        harness->callsStartingWith("Set_Com_Data_Monitor"),
        (std::vector<std::string>{"Set_Com_Data_Monitor(true)", "Set_Com_Data_Monitor(false)"}));
}

TEST_F(DataMonitorTest, LeavingEarlyLeavesNoTimerOrCursor) {
    Varnok::setUiScale(1.0);
    harness->connectAs(5);
    frame->onCommand("DataMonitor");
    auto* page = qobject_cast<Varnok::DataMonitorWidget*>(frame->currentPage());
    ASSERT_NE(page, nullptr);
    page->findChild<QPushButton*>("pbStart")->click();
    ASSERT_TRUE(page->pausing());
    EXPECT_FALSE(frame->backAction()->isEnabled());
    frame->onCommand("Connection");
    EXPECT_EQ(frame->currentPage(), frame->page("Connection"));
    EXPECT_FALSE(page->pausing());
    EXPECT_FALSE(page->holdsWaitCursor());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(page->findChild<QPushButton*>("pbStart")->isEnabled());
}

TEST_F(DataMonitorTest, SoftKeyPressesHideTheKeyboardExceptSip) {
    QAction sip("SIP");
    sip.setData(QStringLiteral("SIP"));
    QAction other("Save");
    QToolButton sipButton;
    sipButton.setDefaultAction(&sip);
    QToolButton otherButton;
    otherButton.setDefaultAction(&other);
    sipButton.show();
    otherButton.show();

    Varnok::SipHelper* sipHelper = Varnok::SipHelper::instance();
    sipHelper->resetCounts();
    QTest::mousePress(&sipButton, Qt::LeftButton);
    EXPECT_EQ(sipHelper->counts().hidden, 0);
    QTest::mousePress(&otherButton, Qt::LeftButton);
    EXPECT_EQ(sipHelper->counts().hidden, 1);
}

TEST_F(DataMonitorTest, TranslationsLoadFromBesideTheProgram) {
    QTemporaryDir dir;
    EXPECT_TRUE(app()->installTranslators(dir.path(), "zz").isEmpty());
    EXPECT_EQ(QCoreApplication::translate("Varnok::MenuManager", "Exit"), "Exit");

    ASSERT_TRUE(QDir(dir.path()).mkdir("translates"));
    for (const char* name : {"qt_zz.qm", "varnok_zz.qm"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VARNOK_TEST_QM_DIR "/") + name,
                                dir.path() + "/translates/" + name));
    }
    const QStringList installed = app()->installTranslators(dir.path(), "zz");
    ASSERT_EQ(installed.size(), 2);
    EXPECT_TRUE(installed[0].endsWith("/translates/qt_zz.qm"));
    EXPECT_TRUE(installed[1].endsWith("/translates/varnok_zz.qm"));
    EXPECT_EQ(QCoreApplication::translate("Varnok::MenuManager", "Exit"), "Sortie");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    app()->removeTranslators();
    EXPECT_EQ(QCoreApplication::translate("Varnok::MenuManager", "Exit"), "Exit");
}

}  // namespace
}  // namespace varnok_test
