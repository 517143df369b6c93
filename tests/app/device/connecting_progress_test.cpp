// The connection progress dialog, offscreen: the steps it shows, and how an attempt ends
// (connected, cancelled, timed out), once per attempt.
#include <QPushButton>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "connecting_progress.h"
#include "device_observer.h"
#include "device_test_support.h"

namespace {

using Varnok::ConnectingProgress;
using Varnok::DeviceObserver;

class ConnectingProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        hub_ = DeviceObserver::instance();
        recorder_ = std::make_unique<varnok_test::HubRecorder>(hub_);
    }
    void TearDown() override {
        recorder_.reset();
        delete hub_;
    }

    // Runs the dialog; inside its loop, step runs once.
    int runAttempt(ConnectingProgress& dialog, const std::function<void()>& step) {
        QTimer::singleShot(0, &dialog, step);
        return dialog.exec();
    }
    void status(int s) { emit hub_->workingStatus(s); }

    DeviceObserver* hub_ = nullptr;
    std::unique_ptr<varnok_test::HubRecorder> recorder_;
};

struct Counts {
    int canceled = 0;
    int timedOut = 0;
    int accepted = 0;
};

void count(ConnectingProgress& dialog, Counts& c) {
    QObject::connect(&dialog, &QProgressDialog::canceled, [&c] { ++c.canceled; });
    QObject::connect(&dialog, &ConnectingProgress::timedOut, [&c] { ++c.timedOut; });
    QObject::connect(&dialog, &QDialog::accepted, [&c] { ++c.accepted; });
}

TEST_F(ConnectingProgressTest, StatusBeforeExecChangesNothing) {
    ConnectingProgress dialog(nullptr, hub_, 60000);
    const QString before = dialog.labelText();
    status(2);
    status(4);
    EXPECT_EQ(dialog.labelText(), before);
    EXPECT_EQ(dialog.value(), -1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Varnok"));
    EXPECT_EQ(dialog.maximum(), 4);
    EXPECT_FALSE(dialog.isActive());
}

TEST_F(ConnectingProgressTest, StepsFollowTheStatusAndStatusFourAccepts) {
    ConnectingProgress dialog(nullptr, hub_, 60000);
    Counts c;
    count(dialog, c);
    struct Step {
        int status;
        const char* text;
        int value;
    };
    const Step steps[] = {{5, "Closing Current Connection", -1},
                          {0, "Current Connection Closed", 0},
                          {1, "Opening Port", 1},
                          {2, "Waiting For Data", 2},
                          {3, "Initializing", 3},
                          {9, "Initializing", 3},  // unknown: ignored
                          {5, "Closing Current Connection", -1}};
    const int result = runAttempt(dialog, [&] {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.value(), -1);
        for (const Step& s : steps) {
            status(s.status);
            EXPECT_EQ(dialog.labelText(), QString::fromLatin1(s.text)) << s.status;
            EXPECT_EQ(dialog.value(), s.value) << s.status;
        }
        status(4);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(c.accepted, 1);
    EXPECT_EQ(c.canceled, 0);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.isActive());
    // A time-out or cancel after acceptance emits nothing.
    dialog.onTimeout();
    dialog.cancel();
    EXPECT_EQ(c.canceled, 0);
    EXPECT_EQ(c.timedOut, 0);
}

TEST_F(ConnectingProgressTest, EveryAttemptTimesOutOnItsOwnClock) {
    ConnectingProgress dialog(nullptr, hub_, 30);
    Counts c;
    count(dialog, c);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        const int result = runAttempt(dialog, [&] { status(2); });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_EQ(c.timedOut, attempt);
        EXPECT_EQ(c.canceled, attempt);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.isActive());
    }
    EXPECT_EQ(c.accepted, 0);
}

TEST_F(ConnectingProgressTest, CancelButtonEndsTheAttemptOnce) {
    ConnectingProgress dialog(nullptr, hub_, 60000);
    Counts c;
    count(dialog, c);
    const int result = runAttempt(dialog, [&] {
        auto* button = dialog.findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QStringLiteral("Cancel"));
        button->click();
        dialog.cancel();
        dialog.onTimeout();
        if (dialog.isVisible()) {
            dialog.hide();  // let the test end even if the click failed
        }
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(c.canceled, 1);
    EXPECT_EQ(c.timedOut, 0);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ConnectingProgressTest, CancelCallAndEscapeEndTheAttempt) {
    ConnectingProgress dialog(nullptr, hub_, 60000);
    Counts c;
    count(dialog, c);
    EXPECT_EQ(runAttempt(dialog, [&] { dialog.cancel(); }), QDialog::Rejected);
    EXPECT_EQ(c.canceled, 1);
    EXPECT_EQ(runAttempt(dialog, [&] { dialog.reject(); }), QDialog::Rejected);
    EXPECT_EQ(c.canceled, 2);
    // A third attempt still follows the status.
    EXPECT_EQ(runAttempt(dialog, [&] { status(4); }), QDialog::Accepted);
    EXPECT_EQ(c.canceled, 2);
    EXPECT_EQ(c.timedOut, 0);
}

}  // namespace
