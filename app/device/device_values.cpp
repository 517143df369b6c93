// Values the pages read that are worked out on each call: the receiver ID, the radio's
// frequency range, the option lists and the code tables.
#include "device_codes.h"
#include "device_manager.h"
#include "record_view.h"

namespace Varnok {

namespace {

void fill(const DeviceCodes::Options& options, QStringList& names, QList<int>& codes) {
    for (const auto& [name, code] : options) {
        names.append(QString::fromLatin1(name.c_str()));
        codes.append(code);
    }
}

void refill(const DeviceCodes::Options& options, QStringList& names, QList<int>& codes) {
    names.clear();
    codes.clear();
    fill(options, names, codes);
}

}  // namespace

QString DeviceManager::receiverIdText() const {
    const std::string id = deviceType_ == 1 ? SystemRecord::hardwareSerial(cache_.hardwareInfo)
                                            : DeviceRecord::receiverId(cache_.deviceInfo);
    return QString::fromLatin1(id.c_str());
}

RadioFreqRange DeviceManager::radioFreqRange() const {
    return RadioFreqRange{cache_.radioRange.lower, cache_.radioRange.upper,
                          cache_.radioRange.spacing * 0.001};
}

void DeviceManager::radioFreqRange(double& lower, double& upper, double& step) const {
    const RadioFreqRange r = radioFreqRange();
    lower = r.lower;
    upper = r.upper;
    step = r.stepMHz;
}

namespace {

DeviceCodes::Receiver receiverOf(const DeviceManager& m) {
    DeviceCodes::Receiver r;
    r.deviceType = m.deviceType();
    r.boardType = m.boardType();
    r.novatelExtensions = m.hasNovatelExtensions();
    r.flagI = m.hasStaticStatusQuery();
    return r;
}

}  // namespace

void DeviceManager::outputRateNames(QStringList& names, QList<int>& codes) const {
    refill(DeviceCodes::outputRates(receiverOf(*this)), names, codes);
}

void DeviceManager::nmeaSentenceNames(QStringList& names, QList<int>& codes) const {
    refill(DeviceCodes::nmeaSentences(receiverOf(*this)), names, codes);
}

void DeviceManager::serverModeNames(QStringList& names, QList<int>& codes) const {
    fill(DeviceCodes::serverModes(), names, codes);
}

void DeviceManager::rtkRateNames(QStringList& names, QList<int>& codes) const {
    refill(DeviceCodes::rtkRates(), names, codes);
}

void DeviceManager::diffFormatNames(QStringList& names, QList<int>& codes) const {
    refill(DeviceCodes::diffFormats(receiverOf(*this)), names, codes);
}

void DeviceManager::staticRateNames(QStringList& names, QList<int>& codes) const {
    refill(DeviceCodes::staticRates(receiverOf(*this)), names, codes);
}

void DeviceManager::splitMode(int mode, int& first, int& second) {
    DeviceCodes::splitMode(mode, first, second);
}

int DeviceManager::indexToCode(int index) {
    return DeviceCodes::indexToCode(index);
}

char DeviceManager::indexToLetter(int n) {
    return DeviceCodes::indexToLetter(n);
}

int DeviceManager::sentenceDataTypeCode(int sentence) {
    return DeviceCodes::sentenceDataTypeCode(sentence);
}

int DeviceManager::mapTypeCode(int rate) {
    return DeviceCodes::mapTypeCode(rate);
}

void DeviceManager::gpsTimeToDate(int week, double seconds, int* year, int* month, int* day,
                                  int* hours, int* minutes, double* secs) {
    DeviceCodes::gpsTimeToDate(week, seconds, year, month, day, hours, minutes, secs);
}

void DeviceManager::gpsTimeToDayOfYear(int week, double seconds, int& year, int& dayOfYear,
                                       int& hours, int& minutes, double& secs) {
    DeviceCodes::gpsTimeToDayOfYear(week, seconds, year, dayOfYear, hours, minutes, secs);
}

}  // namespace Varnok
