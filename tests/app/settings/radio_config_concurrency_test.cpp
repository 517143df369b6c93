// The device manager writes the radio store on the parse thread while pages read it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "radio_config.h"
#include "radio_config_fixture.h"
#include "temp_dir.h"

namespace {

TEST(RadioConfigConcurrency, ParseThreadWritesWhilePagesRead) {
    TempDir dir;
    const std::string path = dir.file("radioconfig.vnk");
    writeBytes(path, radioConfigFixture());
    RadioConfig radio;
    std::atomic<bool> done{false};

    std::thread parseThread([&] {
        for (int i = 0; i < 60; ++i) {
            radio.loadForType(i % 2 == 0 ? 7 : 3, path);
            std::vector<RadioChannel> table(10 + i % 5);
            for (size_t k = 0; k < table.size(); ++k) {
                table[k].frequency = 430.0 + static_cast<double>(k);
            }
            radio.setChannelTable(table, i % 3);
            const double list[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
            radio.setChannelFrequencies(list, 10);
            radio.setProtocol(i);
            radio.setFrequency(430.0 + i);
            radio.setPower(i);
            radio.setStepper(125);
            radio.setBaud(9600);
            radio.setSensitivity(i % 3);
            radio.setFecOn(i % 2 == 0);
            radio.setCallSign({true, i, "ID" + std::to_string(i)});
            radio.clearReceived();
        }
        done = true;
    });

    size_t seen = 0;
    while (!done) {
        seen += radio.protocols().size() + radio.powers().size() + radio.steppers().size();
        seen += radio.bauds(1, 125).size() + radio.channelFrequencies().size();
        for (int t = 0; t < 3; ++t) {
            seen += radio.channelTable(t).size() + static_cast<size_t>(radio.channelCount(t));
        }
        std::vector<double> band;
        radio.bandChannels(1, band);
        seen += band.size() + radio.name().size() + radio.callSignId().size();
        seen += static_cast<size_t>(radio.capability(1) + radio.isComplete() + radio.loaded());
        seen += static_cast<size_t>(radio.frequency() > 0) + radio.protocolName(2).size();
        seen += static_cast<size_t>(radio.minStepper() + radio.maxStepper() + radio.baud());
    }
    parseThread.join();
    EXPECT_GT(seen, 0u);
    EXPECT_TRUE(radio.loaded());
    EXPECT_EQ(radio.radioType(), 3);
}

}  // namespace
