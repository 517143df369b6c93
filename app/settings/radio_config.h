#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "radio_types.h"

// What the receiver's internal UHF radio module can do (from configs/radioconfig.vnk, for the
// module type the receiver reports) and what it is currently set to (written by the device
// manager as answers arrive on the parse thread). Pages read it on the GUI thread, so every
// access goes through the internal lock and getters return copies.
//
// Capability states: 0 the module lacks the feature, 1 it has a fixed value, 2 the value may be
// chosen and sent.
class RadioConfig {
public:
    // Bits of received().
    enum ReceivedBit : uint32_t {
        kTypeKnown = 0x001,
        kProtocolKnown = 0x002,
        kFrequencyKnown = 0x004,
        kPowerKnown = 0x008,
        kStepperKnown = 0x010,
        kBaudKnown = 0x020,
        kSensitivityKnown = 0x040,
        kFecKnown = 0x080,
        kCallSignKnown = 0x100,
        kScrambleKnown = 0x200,
    };

    // Status codes of loadForType and readFile besides those of JSettings::open.
    static constexpr int kTypeNotFound = 1101;

    static RadioConfig& instance();

    RadioConfig() = default;
    RadioConfig(const RadioConfig&) = delete;
    RadioConfig& operator=(const RadioConfig&) = delete;

    // Records the type (bit 0) and reads its capabilities from configs/radioconfig.vnk;
    // 0 marks the store loaded. A failed load keeps the earlier capabilities.
    int loadForType(int type);
    int loadForType(int type, const std::string& path);
    // 0, 1101 (type not in the file), or the status of JSettings::open. Never creates the file.
    int readFile(const std::string& path, int type);

    // Keeps only bit 0.
    void clearReceived();
    bool isComplete() const;
    // Index 0 frequency, 1 protocol, 2 power, 3 step, 4 air baud, 5 sensitivity, 6 FEC,
    // 7 call sign, 8 scrambling; any other 0.
    int capability(int index) const;
    int support(int index) const { return capability(index); }

    static double powerUnit() { return 0.1; }    // watts per power unit
    static double stepperUnit() { return 0.1; }  // kHz per step unit
    int minStepper() const;                      // 125 without steps
    int maxStepper() const;                      // 250 without steps
    int defaultStepper() const { return maxStepper(); }

    std::vector<RadioProtocol> protocols() const;
    void protocols(std::vector<int>& ids) const;
    std::string protocolName(int id) const;
    std::vector<int> powers() const;
    void powers(std::vector<int>& out) const { out = powers(); }
    std::vector<int> steppers() const;
    void steppers(std::vector<int>& out) const { out = steppers(); }
    std::vector<int> bauds(int protocol, int stepper) const;
    void bauds(int protocol, int stepper, std::vector<int>& out) const {
        out = bauds(protocol, stepper);
    }

    std::vector<double> channelFrequencies() const;
    void singleBandChannels(std::vector<double>& out) const { out = channelFrequencies(); }
    void setChannelFrequencies(const double* values, int count);
    // Table 0 high, 1 middle, every other index 2 (low).
    std::vector<RadioChannel> channelTable(int index) const;
    void setChannelTable(std::vector<RadioChannel> table, int index);
    int channelCount(int index) const;
    // The frequencies of channelTable(band).
    void bandChannels(int band, std::vector<double>& out) const;

    // Current values as the receiver reports them; each sets its received() bit.
    void setProtocol(int protocol);
    void setFrequency(double mhz);
    void setPower(int power);
    void setStepper(int stepper);
    void setBaud(int baud);
    // The page's choice 0, 1 or 2 (see sensitivityChoice).
    void setSensitivity(int choice);
    void setFecOn(bool on);
    void setCallSign(RadioCallSign callSign);

    // Receiver sensitivity value to the page's choice: 1 -> 2, 2 -> 1, other -> 0.
    static int sensitivityChoice(int receiverValue);
    // Page's choice to the value sent: 0 -> 3, 1 -> 2, other -> 1.
    static int sensitivityCode(int choice);

    uint32_t received() const;
    bool loaded() const;
    int radioType() const;
    std::string name() const;
    double frequency() const;
    double minFrequency() const;
    double maxFrequency() const;
    int protocol() const;
    int power() const;
    int stepper() const;
    int baud() const;
    int sensitivity() const;
    bool fecOn() const;
    bool applyAll() const;
    bool callSignOn() const;
    int callSignInterval() const;
    std::string callSignId() const;
    bool scrambleOn() const;

private:
    // What one item of the capability file holds.
    struct Capabilities {
        int radioType = 0;
        std::string name;
        double minFrequency = 0.0;
        double maxFrequency = 0.0;
        std::vector<RadioProtocol> protocols;
        std::vector<int> powers;
        std::vector<int> steppers;
        std::vector<int> universalBauds;
        bool applyAll = true;
        std::vector<RadioBaudSet> particularBauds;
        int sensitivitySupported = 0;
        int sensitivity = 0;
        int fecSupported = 0;
        bool fecOn = false;
        int callSignSupported = 0;
        bool callSignOn = false;
        int callSignInterval = 0;
        std::string callSignId;
        int scrambleSupported = 0;
        bool scrambleOn = false;
    };

    static int listState(size_t size) { return size >= 2 ? 2 : 1; }
    const std::vector<RadioChannel>& tableRef(int index) const;
    std::vector<RadioChannel>& tableRef(int index);

    mutable std::mutex mutex_;
    uint32_t received_ = 0;
    bool loaded_ = false;
    int radioType_ = 0;
    std::string name_;
    int frequencyState_ = 2;
    double frequency_ = 0.0;
    double minFrequency_ = 0.0;
    double maxFrequency_ = 0.0;
    int protocolState_ = 1;
    int protocol_ = -1;
    std::vector<RadioProtocol> protocols_;
    int powerState_ = 1;
    int power_ = -1;
    std::vector<int> powers_;
    int stepperState_ = 1;
    int stepper_ = -1;
    std::vector<int> steppers_;
    int baudState_ = 1;
    int baud_ = -1;
    std::vector<int> universalBauds_;
    bool applyAll_ = true;
    std::vector<RadioBaudSet> particularBauds_;
    int sensitivitySupported_ = 0;
    int sensitivity_ = 0;
    int fecSupported_ = 0;
    bool fecOn_ = false;
    int callSignSupported_ = 0;
    bool callSignOn_ = false;
    int callSignInterval_ = 0;
    std::string callSignId_;
    int scrambleSupported_ = 0;
    bool scrambleOn_ = false;
    std::vector<double> channelFrequencies_;
    std::vector<RadioChannel> channelTable2_;
    std::vector<RadioChannel> channelTable1_;
    std::vector<RadioChannel> channelTable0_;
};
