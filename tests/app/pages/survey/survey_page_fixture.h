#pragma once

#include <QAction>
#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "device_test_support.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "widget.h"

namespace varnok_test {

// The recording prompts, answering the message boxes as scripted (Ok when nothing is).
class SurveyPrompts : public RecordingPrompts {
public:
    QMessageBox::StandardButton message(QWidget* parent, Kind kind, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        RecordingPrompts::message(parent, kind, title, text, buttons);
        if (answers.empty()) {
            return QMessageBox::Ok;
        }
        const QMessageBox::StandardButton b = answers.front();
        answers.pop_front();
        return b;
    }
    std::deque<QMessageBox::StandardButton> answers;
};

// A frame over the fake session with the real pages registered; the cache and the hub's
// events are set by hand, as the receiver's answers would set them.
class SurveyPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        harness = std::make_unique<ShellHarness>();
        Varnok::Prompts::setInstance(&prompts);
        frame = harness->makeFrame();
        cache() = Varnok::DeviceCache{};
    }
    void TearDown() override {
        cache() = Varnok::DeviceCache{};
        harness.reset();
    }

    static Varnok::DeviceManager* dm() { return Varnok::DeviceManager::instance(); }
    static Varnok::DeviceCache& cache() {
        return Varnok::DeviceManagerTestAccess::cache(*Varnok::DeviceManager::instance());
    }
    // Connected as the type, with the capabilities the page looks at.
    void connect(int deviceType, int board = 0, bool firmwareFlag = false, bool statusQuery = false,
                 bool outputQuery = false) {
        harness->connectAs(deviceType, board, firmwareFlag);
        Varnok::DeviceManagerTestAccess::setStaticStatusQuery(*dm(), statusQuery);
        Varnok::DeviceManagerTestAccess::setOutputExtensions(*dm(), outputQuery);
    }
    template <class Page>
    Page* open(const char* name) {
        frame->onCommand(QString::fromLatin1(name));
        ShellHarness::deliver();
        return qobject_cast<Page*>(frame->currentPage());
    }
    // The hub announces the event, as an answer would, and its queued slots run.
    static void announce(int code) {
        dm()->announce(code);
        ShellHarness::deliver();
    }
    static QAction* key(Varnok::Widget* page, const QString& text) {
        for (QAction* a : page->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        ADD_FAILURE() << "no soft key " << text.toStdString();
        return nullptr;
    }
    // Presses the key when it is enabled, as the frame's button would.
    static void press(Varnok::Widget* page, const QString& text) {
        QAction* a = key(page, text);
        if (a && a->isEnabled()) {
            a->trigger();
        }
    }
    std::vector<std::string> calls(const std::string& prefix) const {
        return harness->callsStartingWith(prefix);
    }
    std::vector<QString> shownTexts() const {
        std::vector<QString> out;
        for (const auto& s : prompts.shown) {
            out.push_back(s.text);
        }
        return out;
    }

    std::unique_ptr<ShellHarness> harness;
    SurveyPrompts prompts;
    Varnok::FatherWidget* frame = nullptr;
};

}  // namespace varnok_test
