#pragma once

#include <QAction>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device_manager.h"
#include "device_test_support.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "timer_scale.h"

namespace varnok_test {

using Strings = std::vector<std::string>;

// The real pages in a frame over the recording fake session; answers come from another thread.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        harness = std::make_unique<ShellHarness>();
        frame = harness->makeFrame();
        // Answers beat the timers unless a test runs them at once.
        Varnok::setUiScale(1.0);
    }
    void TearDown() override { harness.reset(); }

    Varnok::DeviceManager* dm() const { return Varnok::DeviceManager::instance(); }
    Varnok::Widget* show(const char* name) {
        frame->onCommand(name);
        ShellHarness::deliver();
        return frame->page(name);
    }
    // What the back key does: leave the page for the one below.
    void goBack() {
        frame->close();
        ShellHarness::deliver();
    }
    // The soft key of the current page with that text.
    QAction* key(Varnok::Widget* page, const QString& text) const {
        for (QAction* a : page->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        ADD_FAILURE() << "no key " << text.toStdString();
        return nullptr;
    }
    template <class T = QLineEdit>
    T* child(Varnok::Widget* page, const char* name) const {
        T* w = page->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::vector<QString> messages() const {
        std::vector<QString> out;
        for (const auto& s : harness->prompts.shown) {
            out.push_back(s.text);
        }
        return out;
    }
    void fire(int category, std::uint32_t id) {
        harness->fireFromThread(category, id);
        ShellHarness::deliver();
    }

    std::unique_ptr<ShellHarness> harness;
    Varnok::FatherWidget* frame = nullptr;
};

}  // namespace varnok_test
