#pragma once

#include <QAction>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

#include "menu_manager.h"
#include "shell_harness.h"
#include "widget.h"

namespace varnok_test {

// A page with as many soft keys as asked, that records what the frame hands it.
class TestPage : public Varnok::Widget {
public:
    explicit TestPage(const QStringList& keys = {}, bool sip = false) : sip_(sip) {
        for (const QString& k : keys) {
            createAction(k, this);
        }
    }
    bool hasSipAction() const override { return sip_; }
    void setParams(const Varnok::ValueHash& values, Varnok::Widget* from) override {
        received = values;
        receivedFrom = from;
        ++paramsCalls;
    }
    void activate() override { ++activations; }
    // Emits editorEnabled as a page does in its query cycle.
    void switchEditors(bool on) { setEditorsEnabled(on); }

    Varnok::ValueHash received;
    QPointer<Varnok::Widget> receivedFrom;
    int paramsCalls = 0;
    int activations = 0;

private:
    bool sip_;
};

// A harness per test, with a frame.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<ShellHarness>();
        frame = harness->makeFrame();
    }
    void TearDown() override { harness.reset(); }

    Varnok::Application* app() const { return ShellHarness::application(); }

    std::unique_ptr<ShellHarness> harness;
    Varnok::FatherWidget* frame = nullptr;
};

}  // namespace varnok_test
