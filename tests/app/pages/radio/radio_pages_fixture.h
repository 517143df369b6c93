#pragma once

#include <QApplication>
#include <QTableWidget>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device_test_support.h"
#include "father_widget.h"
#include "password_store.h"
#include "radio_config.h"
#include "register_pages.h"
#include "shell_harness.h"

namespace varnok_test {

// A harness and a frame with the program's pages registered; RadioConfig and the login are
// left clean for the next test.
class RadioPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        harness = std::make_unique<ShellHarness>();
        frame = harness->makeFrame();
        resetRadioConfig();
        Varnok::PasswordStore::instance().setLoggedIn(false);
    }
    void TearDown() override {
        resetRadioConfig();
        Varnok::PasswordStore::instance().setLoggedIn(false);
        harness.reset();
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
    }

    static void resetRadioConfig() {
        RadioConfig& r = RadioConfig::instance();
        for (int band = 0; band < 3; ++band) {
            r.setChannelTable({}, band);
        }
        r.setChannelFrequencies(nullptr, 0);
        r.loadForType(0);
    }

    static Varnok::DeviceManager& dm() { return *Varnok::DeviceManager::instance(); }
    static Varnok::DeviceCache& cache() { return Varnok::DeviceManagerTestAccess::cache(dm()); }

    template <class Page>
    Page* open() {
        frame->onCommand(QStringLiteral("RadioChannel"));
        return dynamic_cast<Page*>(frame->currentPage());
    }

    static std::vector<std::string> headers(const QTableWidget* t) {
        std::vector<std::string> out;
        for (int c = 0; c < t->columnCount(); ++c) {
            const QTableWidgetItem* h = t->horizontalHeaderItem(c);
            out.push_back(h ? h->text().toStdString() : std::string());
        }
        return out;
    }
    static std::vector<std::string> rowLabels(const QTableWidget* t) {
        std::vector<std::string> out;
        for (int r = 0; r < t->rowCount(); ++r) {
            const QTableWidgetItem* h = t->verticalHeaderItem(r);
            out.push_back(h ? h->text().toStdString() : std::string());
        }
        return out;
    }
    static std::string cell(const QTableWidget* t, int row, int column) {
        const QTableWidgetItem* i = t->item(row, column);
        return i ? i->text().toStdString() : std::string("<none>");
    }
    static int itemCount(const QTableWidget* t) {
        int n = 0;
        for (int r = 0; r < t->rowCount(); ++r) {
            for (int c = 0; c < t->columnCount(); ++c) {
                n += t->item(r, c) ? 1 : 0;
            }
        }
        return n;
    }

    std::unique_ptr<ShellHarness> harness;
    Varnok::FatherWidget* frame = nullptr;
};

}  // namespace varnok_test
