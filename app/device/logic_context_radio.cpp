// LogicContext's radio channel part: the default-channel check after connecting, and the grid
// and band helpers of the radio pages.
#include <algorithm>

#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "radio_channels_config.h"
#include "radio_config.h"
#include "radio_grid.h"

namespace Varnok {

namespace {

constexpr std::uint32_t kChannelListAnswer = 1;
constexpr std::uint32_t kSpacingAnswer = 2;
// Capability word bit: the module's channel spacing can be queried and set.
constexpr std::uint32_t kSpacingSettableBit = 0x10000;
constexpr std::size_t kReceiverChannels = 16;

Radio_Info currentRadioInfo() {
    const DeviceManager* m = DeviceManager::existingInstance();
    return m ? m->radioInfo() : Radio_Info{};
}

bool isUnsetTable(const std::vector<double>& freqs) {
    if (freqs.size() == 1) {
        return true;
    }
    // An empty answer says nothing about the table: it is left alone.
    return freqs.size() > 1 && std::adjacent_find(freqs.begin(), freqs.end(),
                                                  std::not_equal_to<double>()) == freqs.end();
}

// The band's column, or nothing for a module of no known band (its column would be zeros).
std::vector<double> bandDefaults(const RadioChannelsConfig& file, int band) {
    std::vector<double> out;
    if (band == RadioGrid::kSpanningBand) {
        for (int b = 0; b < 3; ++b) {
            std::vector<double> column;
            file.load(b, column);
            out.insert(out.end(), column.begin(), column.end());
        }
    } else if (band >= 0 && band < 3) {
        file.load(band, out);
    }
    return out;
}

}  // namespace

void LogicContext::onWorkingStatus(int status) {
    DeviceManager* m = DeviceManager::existingInstance();
    if (status != 4 || !m || !m->hasWorkingStatusExtension()) {
        return;
    }
    receivedAnswers_ = 0;
    expectedAnswers_ = kChannelListAnswer;
    const bool spacing = (m->radioInfo().wordC & kSpacingSettableBit) != 0;
    if (spacing) {
        expectedAnswers_ |= kSpacingAnswer;
    }
    // Unique: a check started while one is open must not answer each signal twice.
    connectRadioSignals(this, true);
    m->queryRadioChannelList(spacing, false);
}

void LogicContext::onRadioChannelList() {
    receivedAnswers_ |= kChannelListAnswer;
    applyDefaultChannels();
}

void LogicContext::onRadioSpace() {
    receivedAnswers_ |= kSpacingAnswer;
    applyDefaultChannels();
}

void LogicContext::applyDefaultChannels() {
    // A spacing answer that another page asked for may come in too: wait for the expected ones.
    if (expectedAnswers_ == 0 || (receivedAnswers_ & expectedAnswers_) != expectedAnswers_) {
        return;
    }
    expectedAnswers_ = 0;
    connectRadioSignals(this, false);
    DeviceManager* m = DeviceManager::existingInstance();
    if (!m || !isUnsetTable(m->channelFreqs())) {
        return;
    }
    const RadioChannelsConfig file;
    const auto space = static_cast<Channel_Space>(channelSpaceCode());
    const std::vector<double> defaults =
        bandDefaults(file, RadioChannelsConfig::bandOfType(m->radioInfo().radioType));
    const std::size_t count = std::min(defaults.size(), kReceiverChannels);
    for (std::size_t i = 0; i < count; ++i) {
        m->setRadioChannelFreq(static_cast<int>(i), defaults[i], space);
    }
}

int LogicContext::channelSpaceCode() {
    const DeviceManager* m = DeviceManager::existingInstance();
    const int cached = m ? m->radioChannelSpace() : 0;
    const Radio_Info info = currentRadioInfo();
    if (info.wordC & kSpacingSettableBit) {
        return cached;
    }
    return RadioGrid::spaceCodeOfSpacing(info.spacing, cached);
}

bool LogicContext::isOffChannelGrid(double mhz, double base, double step) {
    return RadioGrid::isOffChannelGrid(mhz, base, step);
}

double LogicContext::snapToChannel(double mhz, double low, double high, double step) {
    return RadioGrid::snapToChannel(mhz, low, high, step);
}

int LogicContext::subBandOfRadioType(int type) {
    return RadioGrid::subBandOfRadioType(type);
}

int LogicContext::bandOfSubBand(int subBand) {
    return RadioGrid::bandOfSubBand(subBand);
}

int LogicContext::subBandOfFrequency(double low, double high, double mhz, int type) {
    return RadioGrid::subBandOfFrequency(low, high, mhz, type);
}

void LogicContext::loadDefaultChannels(std::vector<double>& single, std::vector<double>& high,
                                       std::vector<double>& middle, std::vector<double>& low) {
    const RadioChannelsConfig file;
    const DeviceManager* m = DeviceManager::existingInstance();
    const int band = m && m->isNewProtocolReceiver()
                         ? RadioGrid::bandOfNewProtocolType(RadioConfig::instance().radioType())
                         : RadioChannelsConfig::bandOfType(currentRadioInfo().radioType);
    if (band == RadioGrid::kSpanningBand) {
        file.load(0, high);
        file.load(1, middle);
        file.load(2, low);
    } else if (band >= 0 && band < 3) {
        file.load(band, single);
    }
}

bool LogicContext::isExtendedRadioType() {
    const int type = currentRadioInfo().radioType;
    return type < 1 || type > 5;
}

bool LogicContext::isChannelSpaceSettable() {
    return (currentRadioInfo().wordC & kSpacingSettableBit) != 0;
}

void LogicContext::connectRadioSignals(QObject* receiver, bool connect) {
    DeviceObserver* hub = DeviceObserver::instance();
    if (connect) {
        const auto type =
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection);
        QObject::connect(hub, SIGNAL(channelFreqs()), receiver, SLOT(onRadioChannelList()), type);
        QObject::connect(hub, SIGNAL(radioFreqStep()), receiver, SLOT(onRadioSpace()), type);
    } else {
        disconnectSignal(hub, SIGNAL(channelFreqs()), receiver);
        disconnectSignal(hub, SIGNAL(radioFreqStep()), receiver);
    }
}

}  // namespace Varnok
