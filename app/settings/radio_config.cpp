#include "radio_config.h"

#include <algorithm>
#include <utility>

#include "config_paths.h"
#include "jsettings.h"

namespace {

// Reads the "value" of every item of an array into a fresh list.
std::vector<int> readValues(JSettings& s, const std::string& array, int defaultValue) {
    std::vector<int> values;
    const int n = s.beginArray(array);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        values.push_back(s.intValue("value", defaultValue));
    }
    s.endArray();
    return values;
}

}  // namespace

RadioConfig& RadioConfig::instance() {
    static RadioConfig config;
    return config;
}

int RadioConfig::loadForType(int type) {
    return loadForType(type, ConfigPaths::shippedFilePath("radioconfig"));
}

int RadioConfig::loadForType(int type, const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        radioType_ = type;
        received_ |= kTypeKnown;
    }
    const int status = readFile(path, type);
    if (status == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        loaded_ = true;
    }
    return status;
}

int RadioConfig::readFile(const std::string& path, int type) {
    Capabilities c;
    bool particularRead = false;
    {
        JSettings s;
        const int status = s.open(path, "radioconfig");
        if (status != 0) {
            return status;
        }
        const int n = s.beginArray("radios");
        bool found = false;
        for (int i = 0; i < n && !found; ++i) {
            s.setArrayIndex(i);
            found = s.intValue("ID", -1) == type;
        }
        if (!found) {
            s.endArray();
            return kTypeNotFound;
        }

        c.radioType = s.intValue("ID", 0);
        c.name = s.stringValue("name");
        c.minFrequency = s.doubleValue("minfreq", 0.0);
        c.maxFrequency = s.doubleValue("maxfreq", 0.0);
        c.powers = readValues(s, "power", 1);

        const int protocols = s.beginArray("protocol");
        for (int i = 0; i < protocols; ++i) {
            s.setArrayIndex(i);
            RadioProtocol p;
            p.id = s.intValue("ID", -1);
            p.name = s.stringValue("name");
            c.protocols.push_back(p);
        }
        s.endArray();

        c.steppers = readValues(s, "stepper", 500);

        s.beginGroup("baudrate");
        c.applyAll = s.intValue("applyall", 1) >= 1;
        c.universalBauds = readValues(s, "universal", 4800);
        if (!c.applyAll) {
            particularRead = true;
            const int sets = s.beginArray("particular");
            for (int i = 0; i < sets; ++i) {
                s.setArrayIndex(i);
                RadioBaudSet set;
                set.protocol = s.intValue("protocol", -1);
                set.stepper = s.intValue("stepper", 0);
                set.bauds = readValues(s, "bauds", 4800);
                c.particularBauds.push_back(std::move(set));
            }
            s.endArray();
        }
        s.endGroup();

        s.beginGroup("sensitivity");
        c.sensitivitySupported = s.intValue("supported", 0);
        c.sensitivity = s.intValue("value", 0);
        s.endGroup();

        s.beginGroup("FEC");
        c.fecSupported = s.intValue("supported", 0);
        c.fecOn = s.intValue("on", 0) > 0;
        s.endGroup();

        s.beginGroup("COS");
        c.callSignSupported = s.intValue("supported", 0);
        c.callSignOn = s.intValue("on", 0) > 0;
        c.callSignInterval = s.intValue("timeinterval", 0);
        c.callSignId = s.stringValue("stringID");
        s.endGroup();

        s.beginGroup("scramble");
        c.scrambleSupported = s.intValue("supported", 0);
        c.scrambleOn = s.intValue("on", 0) > 0;
        s.endGroup();

        s.endArray();
        // The handle writes the document back in normalised form here.
    }

    std::lock_guard<std::mutex> lock(mutex_);
    radioType_ = c.radioType;
    name_ = std::move(c.name);
    minFrequency_ = c.minFrequency;
    maxFrequency_ = c.maxFrequency;
    powers_ = std::move(c.powers);
    powerState_ = listState(powers_.size());
    protocols_ = std::move(c.protocols);
    protocolState_ = listState(protocols_.size());
    steppers_ = std::move(c.steppers);
    stepperState_ = listState(steppers_.size());
    applyAll_ = c.applyAll;
    universalBauds_ = std::move(c.universalBauds);
    baudState_ = listState(universalBauds_.size());
    if (particularRead) {
        particularBauds_ = std::move(c.particularBauds);
    }
    sensitivitySupported_ = c.sensitivitySupported;
    sensitivity_ = c.sensitivity;
    fecSupported_ = c.fecSupported;
    fecOn_ = c.fecOn;
    callSignSupported_ = c.callSignSupported;
    callSignOn_ = c.callSignOn;
    callSignInterval_ = c.callSignInterval;
    callSignId_ = std::move(c.callSignId);
    scrambleSupported_ = c.scrambleSupported;
    scrambleOn_ = c.scrambleOn;
    return 0;
}

void RadioConfig::clearReceived() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_ &= kTypeKnown;
}

bool RadioConfig::isComplete() const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t required = 0x3F;
    if (sensitivitySupported_ != 0) {
        required |= kSensitivityKnown;
    }
    if (fecSupported_ != 0) {
        required |= kFecKnown;
    }
    if (callSignSupported_ != 0) {
        required |= kCallSignKnown;
    }
    if (scrambleSupported_ != 0) {
        required |= kScrambleKnown;
    }
    return (received_ & required) == required;
}

int RadioConfig::capability(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (index) {
        case 0:
            return frequencyState_;
        case 1:
            return protocolState_;
        case 2:
            return powerState_;
        case 3:
            return stepperState_;
        case 4:
            return baudState_;
        case 5:
            return sensitivitySupported_;
        case 6:
            return fecSupported_;
        case 7:
            return callSignSupported_;
        case 8:
            return scrambleSupported_;
        default:
            return 0;
    }
}

int RadioConfig::minStepper() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (steppers_.empty()) {
        return 125;
    }
    return *std::min_element(steppers_.begin(), steppers_.end());
}

int RadioConfig::maxStepper() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (steppers_.empty()) {
        return 250;
    }
    return *std::max_element(steppers_.begin(), steppers_.end());
}

std::vector<RadioProtocol> RadioConfig::protocols() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return protocols_;
}

void RadioConfig::protocols(std::vector<int>& ids) const {
    std::lock_guard<std::mutex> lock(mutex_);
    ids.clear();
    for (const RadioProtocol& p : protocols_) {
        ids.push_back(p.id);
    }
}

std::string RadioConfig::protocolName(int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    for (const RadioProtocol& p : protocols_) {
        if (p.id == id) {
            name = p.name;
        }
    }
    return name;
}

std::vector<int> RadioConfig::powers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return powers_;
}

std::vector<int> RadioConfig::steppers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return steppers_;
}

std::vector<int> RadioConfig::bauds(int protocol, int stepper) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!applyAll_) {
        for (const RadioBaudSet& set : particularBauds_) {
            if (set.protocol == protocol && set.stepper == stepper) {
                return set.bauds;
            }
        }
    }
    return universalBauds_;
}

std::vector<double> RadioConfig::channelFrequencies() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return channelFrequencies_;
}

void RadioConfig::setChannelFrequencies(const double* values, int count) {
    std::vector<double> list;
    if (values != nullptr && count > 0) {
        list.assign(values, values + count);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    channelFrequencies_.swap(list);
}

const std::vector<RadioChannel>& RadioConfig::tableRef(int index) const {
    if (index == 0) {
        return channelTable0_;
    }
    if (index == 1) {
        return channelTable1_;
    }
    return channelTable2_;
}

std::vector<RadioChannel>& RadioConfig::tableRef(int index) {
    if (index == 0) {
        return channelTable0_;
    }
    if (index == 1) {
        return channelTable1_;
    }
    return channelTable2_;
}

std::vector<RadioChannel> RadioConfig::channelTable(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tableRef(index);
}

void RadioConfig::setChannelTable(std::vector<RadioChannel> table, int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    tableRef(index).swap(table);
}

int RadioConfig::channelCount(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(tableRef(index).size());
}

void RadioConfig::bandChannels(int band, std::vector<double>& out) const {
    std::lock_guard<std::mutex> lock(mutex_);
    out.clear();
    for (const RadioChannel& c : tableRef(band)) {
        out.push_back(c.frequency);
    }
}

void RadioConfig::setProtocol(int protocol) {
    std::lock_guard<std::mutex> lock(mutex_);
    protocol_ = protocol;
    received_ |= kProtocolKnown;
}

void RadioConfig::setFrequency(double mhz) {
    std::lock_guard<std::mutex> lock(mutex_);
    frequency_ = mhz;
    received_ |= kFrequencyKnown;
}

void RadioConfig::setPower(int power) {
    std::lock_guard<std::mutex> lock(mutex_);
    power_ = power;
    received_ |= kPowerKnown;
}

void RadioConfig::setStepper(int stepper) {
    std::lock_guard<std::mutex> lock(mutex_);
    stepper_ = stepper;
    received_ |= kStepperKnown;
}

void RadioConfig::setBaud(int baud) {
    std::lock_guard<std::mutex> lock(mutex_);
    baud_ = baud;
    received_ |= kBaudKnown;
}

void RadioConfig::setSensitivity(int choice) {
    std::lock_guard<std::mutex> lock(mutex_);
    sensitivity_ = choice;
    received_ |= kSensitivityKnown;
}

void RadioConfig::setFecOn(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    fecOn_ = on;
    received_ |= kFecKnown;
}

void RadioConfig::setCallSign(RadioCallSign callSign) {
    std::lock_guard<std::mutex> lock(mutex_);
    callSignOn_ = callSign.on;
    callSignInterval_ = callSign.interval;
    callSignId_ = std::move(callSign.id);
    received_ |= kCallSignKnown;
}

int RadioConfig::sensitivityChoice(int receiverValue) {
    if (receiverValue == 1) {
        return 2;
    }
    if (receiverValue == 2) {
        return 1;
    }
    return 0;
}

int RadioConfig::sensitivityCode(int choice) {
    if (choice == 0) {
        return 3;
    }
    if (choice == 1) {
        return 2;
    }
    return 1;
}

#define RADIO_CONFIG_GETTER(type, getter, field)  \
    type RadioConfig::getter() const {            \
        std::lock_guard<std::mutex> lock(mutex_); \
        return field;                             \
    }

RADIO_CONFIG_GETTER(uint32_t, received, received_)
RADIO_CONFIG_GETTER(bool, loaded, loaded_)
RADIO_CONFIG_GETTER(int, radioType, radioType_)
RADIO_CONFIG_GETTER(std::string, name, name_)
RADIO_CONFIG_GETTER(double, frequency, frequency_)
RADIO_CONFIG_GETTER(double, minFrequency, minFrequency_)
RADIO_CONFIG_GETTER(double, maxFrequency, maxFrequency_)
RADIO_CONFIG_GETTER(int, protocol, protocol_)
RADIO_CONFIG_GETTER(int, power, power_)
RADIO_CONFIG_GETTER(int, stepper, stepper_)
RADIO_CONFIG_GETTER(int, baud, baud_)
RADIO_CONFIG_GETTER(int, sensitivity, sensitivity_)
RADIO_CONFIG_GETTER(bool, fecOn, fecOn_)
RADIO_CONFIG_GETTER(bool, applyAll, applyAll_)
RADIO_CONFIG_GETTER(bool, callSignOn, callSignOn_)
RADIO_CONFIG_GETTER(int, callSignInterval, callSignInterval_)
RADIO_CONFIG_GETTER(std::string, callSignId, callSignId_)
RADIO_CONFIG_GETTER(bool, scrambleOn, scrambleOn_)

#undef RADIO_CONFIG_GETTER
