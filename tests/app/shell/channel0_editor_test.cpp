// The channel 0 tool window over the recording fake session: what it shows of the device
// record, the update, Break, a failed or silent connection, and closing.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstring>

#include <gtest/gtest.h>

#include "channel0_enable_editor.h"
#include "connecting_progress.h"
#include "device_observer.h"
#include "device_test_support.h"
#include "shell_harness.h"
#include "ui_channel0_enable_editor.h"

namespace varnok_test {
namespace {

using Varnok::Channel0EnableEditor;
using Varnok::DeviceManager;
using Varnok::DeviceManagerTestAccess;

class Channel0Editor : public ::testing::Test {
protected:
    void SetUp() override {
        Varnok::setUiScale(timerScale());
        DeviceManager::instance()->setConnectTimeoutMs(600000);
        editor = std::make_unique<Channel0EnableEditor>();
        ui = editor->form();
        h.clearCalls();
    }
    void TearDown() override {
        editor.reset();
        DeviceManager::instance()->closePort();
    }
    virtual double timerScale() const { return 1.0; }

    // The record a receiver sent: a serial filling its field without a NUL.
    void receiverSends(unsigned char channel0, bool radioV2) {
        DEVICE_STR d{};
        std::memset(d.receiverId, 'S', sizeof d.receiverId);
        std::memcpy(d.text92, "PN-0042", 7);
        std::memcpy(d.firmwareVersion, "8.20", 4);
        d.byte109 = channel0;
        DeviceManager* dm = DeviceManager::instance();
        DeviceManagerTestAccess::cache(*dm).deviceInfo = d;
        DeviceManagerTestAccess::setRadioChannelV2(*dm, radioV2);
        emit Varnok::DeviceObserver::instance()->deviceInfo();
        ShellHarness::deliver();
    }
    void connectNow() {
        // Once the attempt waits for data, the receiver is taken as answered.
        h.prompts.answerNextDialog([](QDialog* d) {
            auto done = std::make_shared<QMetaObject::Connection>();
            *done = QObject::connect(Varnok::DeviceObserver::instance(),
                                     &Varnok::DeviceObserver::workingStatus, d, [done](int s) {
                                         if (s != 2) {
                                             return;
                                         }
                                         QObject::disconnect(*done);
                                         QTimer::singleShot(0, [] {
                                             DeviceManager* dm = DeviceManager::instance();
                                             DeviceManagerTestAccess::setWorkingStatus(*dm, 4);
                                             dm->announce(2);
                                         });
                                     });
            return d->exec();
        });
        ui->pbConnect->click();
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : h.prompts.shown) {
            out.push_back(s.text.toStdString());
        }
        return out;
    }

    ShellHarness h;
    std::unique_ptr<Channel0EnableEditor> editor;
    Ui::Channel0EnableEditorClass* ui = nullptr;
};

TEST_F(Channel0Editor, ConnectsShowsUpdatesAndBreaks) {
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Channel 0 Enable Editor"));
    ui->cbPort->setCurrentIndex(ui->cbPort->findData(3));
    connectNow();
    const auto opens = h.callsStartingWith("Port_Open");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens.front().rfind("Port_Open(com 3, ", 0), 0u) << opens.front();
    EXPECT_EQ(texts(), std::vector<std::string>{"Successfully connected"});
    EXPECT_FALSE(ui->pbConnect->isEnabled());
    EXPECT_TRUE(ui->pbBreak->isEnabled());
    EXPECT_FALSE(ui->cbPort->isEnabled());

    receiverSends(0xAA, true);
    EXPECT_EQ(ui->lblSN->text(), QString(22, QLatin1Char('S')));
    EXPECT_EQ(ui->lblPN->text(), QStringLiteral("PN-0042"));
    EXPECT_EQ(ui->lblFWVersion->text(), QStringLiteral("8.20"));
    EXPECT_EQ(ui->lblChannel0Editable->text(), QStringLiteral("Yes"));
    EXPECT_TRUE(ui->rbDisable->isChecked());
    EXPECT_TRUE(ui->gbChannel0->isEnabled());

    // Update: sent at once, the group off until the pause ends.
    Varnok::setUiScale(0.01);
    ui->rbEnable->setChecked(true);
    h.clearCalls();
    ui->pbUpdate->click();
    EXPECT_EQ(h.callsStartingWith("Set_Radio_Channel0_Enabled"),
              std::vector<std::string>{"Set_Radio_Channel0_Enabled(true)"});
    EXPECT_FALSE(ui->gbChannel0->isEnabled());
    EXPECT_FALSE(ui->pbBreak->isEnabled());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ShellHarness::waitFor([this] { return ui->gbChannel0->isEnabled(); }));
    EXPECT_TRUE(ui->pbBreak->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    ui->pbBreak->click();
    EXPECT_EQ(ui->lblSN->text(), QStringLiteral("NONE"));
    EXPECT_EQ(ui->lblChannel0Editable->text(), QStringLiteral("NONE"));
    EXPECT_FALSE(ui->rbEnable->isChecked());
    EXPECT_FALSE(ui->rbDisable->isChecked());
    EXPECT_TRUE(ui->pbConnect->isEnabled());
    EXPECT_FALSE(ui->cbBaud->isEnabled());  // Auto is on
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
}

TEST_F(Channel0Editor, ReceiverWithoutTheSecondChannelTable) {
    receiverSends(0x00, false);
    EXPECT_EQ(ui->lblChannel0Editable->text(), QStringLiteral("No"));
    EXPECT_FALSE(ui->gbChannel0->isEnabled());
    EXPECT_TRUE(ui->rbEnable->isChecked());
}

TEST_F(Channel0Editor, FailedOpenSaysSo) {
    h.script().answer<bool(const std::string&)>("Port_Open",
                                                [](const std::string&) { return false; });
    ui->cbAuto->setChecked(false);
    h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
    ui->pbConnect->click();
    EXPECT_EQ(texts(), std::vector<std::string>{"Connection Failed!"});
    EXPECT_EQ(editor->result(), 1);
    EXPECT_FALSE(editor->progress()->isVisible());
}

class Channel0EditorSilent : public Channel0Editor {
protected:
    double timerScale() const override { return 0.001; }
};

TEST_F(Channel0EditorSilent, TimeOutIsAFailureWithThePortClosed) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        h.prompts.shown.clear();
        h.clearCalls();
        h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
        ui->pbConnect->click();
        EXPECT_EQ(texts(), std::vector<std::string>{"Connection Failed!"});
        EXPECT_EQ(editor->result(), 1);
        EXPECT_FALSE(h.callsStartingWith("Port_Close").empty());
    }
}

TEST_F(Channel0Editor, ClosingEndsTheProgram) {
    connectNow();
    int code = -1;
    QTimer::singleShot(0, [this] { editor->close(); });
    code = QCoreApplication::exec();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
}

}  // namespace
}  // namespace varnok_test
