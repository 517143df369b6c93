#pragma once

#include <QAction>

#include <gtest/gtest.h>

#include "register_pages.h"
#include "shell_harness.h"

namespace varnok_test {

// A harness with the real pages in the registry and a frame of the handheld's size.
class NetworkPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        harness = std::make_unique<ShellHarness>();
        frame = harness->makeFrame();
    }
    void TearDown() override { harness.reset(); }

    // The texts of the message boxes shown so far.
    std::vector<QString> texts() const {
        std::vector<QString> out;
        for (const auto& s : harness->prompts.shown) {
            out.push_back(s.text);
        }
        return out;
    }

    std::unique_ptr<ShellHarness> harness;
    Varnok::FatherWidget* frame = nullptr;
};

}  // namespace varnok_test
