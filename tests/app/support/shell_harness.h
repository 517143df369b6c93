#pragma once

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "device_manager.h"
#include "fake_session.h"
#include "father_widget.h"
#include "prompts.h"
#include "timer_scale.h"

namespace varnok_test {

// Every prompt asked, and scripted answers for the modal dialogs.
class RecordingPrompts : public Varnok::Prompts {
public:
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };
    using DialogAnswer = std::function<int(QDialog*)>;

    QMessageBox::StandardButton message(QWidget* parent, Kind kind, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons) override;
    int exec(QDialog* dialog) override;

    // The next modal dialog gets this answer; without one a dialog is rejected.
    void answerNextDialog(DialogAnswer answer) { dialogAnswers_.push_back(std::move(answer)); }

    std::vector<Shown> shown;
    std::vector<QString> dialogsRun;  // object names of the dialogs run

private:
    std::deque<DialogAnswer> dialogAnswers_;
};

// The program's pieces over the recording fake session: the real device manager, hub and
// logic context, a temporary configs directory, scripted prompts and fast timers. Shared by
// the tests and the screenshot tool.
class ShellHarness {
public:
    // Makes the one application object of the process (offscreen unless told otherwise).
    static Varnok::Application* application();

    ShellHarness();
    ~ShellHarness();

    // A frame of the handheld's size, shown.
    Varnok::FatherWidget* makeFrame();
    Varnok::FatherWidget* frame() const { return frame_; }

    // Connects over TCP as the given device type; the board type and firmware flags are put
    // in place as the receiver's answers would have set them.
    void connectAs(int deviceType, int board = 0, bool firmwareFlag = false,
                   bool radioChannelV2 = false);
    void disconnect();
    // A data callback fired from another thread, then delivered on this one.
    void fireFromThread(int category, std::uint32_t id);
    // Runs the event loop until done() holds or the bound passes; returns done().
    static bool waitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds bound = std::chrono::seconds(5));
    static void deliver();

    // The session's calls since the last clear, as text.
    std::vector<std::string> calls() const { return fake_.script->lines(); }
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        return fake_.script->linesStartingWith(prefix);
    }
    void clearCalls() { fake_.script->clear(); }
    FakeSession* session() const { return fake_.session(); }
    FakeScript& script() { return *fake_.script; }

    RecordingPrompts prompts;
    QString configsDir() const { return configs_.path(); }

private:
    QTemporaryDir configs_;
    FakeFactory fake_;
    Varnok::FatherWidget* frame_ = nullptr;
};

}  // namespace varnok_test
