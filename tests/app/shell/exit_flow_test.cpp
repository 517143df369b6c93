// Leaving the program: the exit dialog's three ways, and the receiver closing the session.
#include <QRadioButton>

#include <algorithm>
#include <functional>
#include <thread>

#include "device_manager.h"
#include "shell_test_pages.h"

namespace varnok_test {
namespace {

using ExitFlowTest = ShellTest;

// Index of the first call starting with prefix, or -1.
long indexOf(const std::vector<std::string>& calls, const std::string& prefix) {
    auto it = std::find_if(calls.begin(), calls.end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return it == calls.end() ? -1 : static_cast<long>(it - calls.begin());
}

TEST_F(ExitFlowTest, WithoutAReceiverNoDialogAndTheProgramEnds) {
    const int ends = app()->endCount();
    frame->onCommand("Exit");
    EXPECT_TRUE(harness->prompts.dialogsRun.empty());
    EXPECT_EQ(app()->lastExitTimerMs(), 5);
    EXPECT_TRUE(ShellHarness::waitFor([&] { return app()->endCount() == ends + 1; }));
    EXPECT_EQ(Varnok::DeviceManager::instance()->workingStatus(), 0);
}

TEST_F(ExitFlowTest, TheDialogsChoicesWithAReceiver) {
    struct Case {
        const char* button;  // null: Cancel
        int timerMs;
        const char* command;  // expected before Port_Close, or null
    };
    const Case cases[] = {
        {nullptr, 0, nullptr},
        {"rbExit", 5, nullptr},
        {"rbPowerOff", 500, "Send_CloseReceiver()"},
        {"rbPassThrough", 500, "Send_QxMdl(1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button ? c.button : "Cancel");
        harness->connectAs(2);
        frame->show();
        harness->clearCalls();
        const int ends = app()->endCount();
        if (c.button) {
            harness->prompts.answerNextDialog([&](QDialog* d) {
                d->findChild<QRadioButton*>(c.button)->setChecked(true);
                return int(QDialog::Accepted);
            });
        }
        frame->onCommand("Exit");
        ASSERT_EQ(harness->prompts.dialogsRun.size(), 1u);
        harness->prompts.dialogsRun.clear();
        if (!c.button) {
            ShellHarness::deliver();
            EXPECT_TRUE(harness->calls().empty());
            EXPECT_TRUE(frame->isVisible());
            EXPECT_FALSE(app()->exitTimerRunning());
            EXPECT_EQ(app()->endCount(), ends);
            harness->disconnect();
            continue;
        }
        EXPECT_FALSE(frame->isVisible()) << "hidden at once";
        EXPECT_EQ(app()->lastExitTimerMs(), c.timerMs);
        ASSERT_TRUE(ShellHarness::waitFor([&] { return app()->endCount() == ends + 1; }));
        const auto calls = harness->calls();
        const long close = indexOf(calls, "Port_Close()");
        ASSERT_GE(close, 0);
        if (c.command) {
            const long sent = indexOf(calls, c.command);
            EXPECT_GE(sent, 0);
            EXPECT_LT(sent, close);
        } else {
            EXPECT_EQ(indexOf(calls, "Send_"), -1);
        }
    }
}

TEST_F(ExitFlowTest, TheReceiverClosingEndsTheProgramOnce) {
    // Both protocols' answers that the receiver closed the session: the old protocol's
    // category-2 bit 0x200, and the new protocol's command-setting response 0x303 with status 1.
    const std::pair<const char*, std::function<void()>> answers[] = {
        {"old protocol", [&] { harness->fireFromThread(MSG_OLD_REPLY, 0x200u); }},
        {"new protocol",
         [&] {
             harness->script().answer<void(QX_RESPONSE_STATUS_ENUM&, unsigned int&)>(
                 "Get_Cmd_Setting_Response", [](QX_RESPONSE_STATUS_ENUM& status, unsigned int& id) {
                     status = static_cast<QX_RESPONSE_STATUS_ENUM>(1);
                     id = 0x303;
                 });
             harness->fireFromThread(MSG_NEW_CLASS_4, 0x80000000u);
         }},
    };
    for (const auto& [name, fire] : answers) {
        SCOPED_TRACE(name);
        harness->connectAs(std::string(name) == "old protocol" ? 2 : 1);
        // A pending exit timer is killed by the close.
        harness->prompts.answerNextDialog([](QDialog* d) {
            d->findChild<QRadioButton*>("rbPowerOff")->setChecked(true);
            return int(QDialog::Accepted);
        });
        // Long enough that only the close can end the program.
        Varnok::setUiScale(1000.0);
        frame->onCommand("Exit");
        ASSERT_TRUE(app()->exitTimerRunning());
        harness->clearCalls();
        const int ends = app()->endCount();
        fire();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return app()->endCount() == ends + 1; }));
        EXPECT_FALSE(app()->exitTimerRunning());
        ShellHarness::deliver();
        EXPECT_EQ(app()->endCount(), ends + 1);
        EXPECT_EQ(harness->callsStartingWith("Port_Close").size(), 1u);
        harness->disconnect();
    }
}

TEST_F(ExitFlowTest, ClosingThePortAloneKeepsTheProgramRunning) {
    harness->connectAs(2);
    const int ends = app()->endCount();
    harness->disconnect();
    ShellHarness::deliver();
    EXPECT_EQ(app()->endCount(), ends);
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(ExitFlowTest, LeavingPassThroughNamesTheReceiversOwnMode) {
    const std::pair<int, const char*> cases[] = {{1, "Send_QxMdl(3)"}, {2, "Send_QxMdl(2)"}};
    for (const auto& [type, expected] : cases) {
        harness->connectAs(type);
        harness->clearCalls();
        Varnok::DeviceManager::instance()->sendQxMdl(false);
        EXPECT_EQ(harness->callsStartingWith("Send_QxMdl"), std::vector<std::string>{expected});
        harness->disconnect();
    }
}

}  // namespace
}  // namespace varnok_test
