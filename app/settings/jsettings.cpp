#include "jsettings.h"

#include "jsettings_imp.h"
#include "settings_text.h"

JSettings::JSettings() : imp_(new JSettingsImp) {}

JSettings::JSettings(const std::string& pathOrText, const std::string& rootName, int mode)
    : imp_(new JSettingsImp) {
    int result =
        mode == kOpenFile ? imp_->open(pathOrText, rootName) : imp_->parse(pathOrText, rootName);
    if (result != 0) {
        imp_->reset();
    }
}

JSettings::~JSettings() {
    imp_->finish();
}

int JSettings::open(const std::string& path, const std::string& rootName) {
    return imp_->open(path, rootName);
}

int JSettings::parse(const std::string& text, const std::string& rootName) {
    return imp_->parse(text, rootName);
}

int JSettings::reset() {
    return imp_->reset();
}
int JSettings::save() {
    return imp_->save();
}
int JSettings::saveAs(const std::string& path) {
    return imp_->saveAs(path);
}
void JSettings::setFileMode(int mode) {
    imp_->setFileMode(mode);
}

int JSettings::status() const {
    return imp_->status();
}

int JSettings::copyTo(JSettings& target, const std::string& rootName) const {
    return imp_->copyTo(*target.imp_, rootName);
}

bool JSettings::beginGroup(const std::string& key) {
    return imp_->beginGroup(key);
}
bool JSettings::endGroup() {
    return imp_->endGroup();
}
int JSettings::beginArray(const std::string& key) {
    return imp_->beginArray(key);
}
void JSettings::beginWriteArray(const std::string& key, int size) {
    imp_->beginWriteArray(key, size);
}
int JSettings::setArrayIndex(int index) {
    return imp_->setArrayIndex(index);
}
void JSettings::endArray() {
    imp_->endArray();
}

void JSettings::setStringValue(const std::string& key, const std::string& value) {
    imp_->writeText(key, value);
}

std::string JSettings::stringValue(const std::string& key, const std::string& defaultValue) {
    std::string text;
    return imp_->readText(key, text) ? text : defaultValue;
}

void JSettings::setIntValue(const std::string& key, int32_t value) {
    imp_->writeText(key, std::to_string(value));
}
void JSettings::setLongValue(const std::string& key, int32_t value) {
    setIntValue(key, value);
}
void JSettings::setCharValue(const std::string& key, int8_t value) {
    setIntValue(key, value);
}
void JSettings::setShortValue(const std::string& key, int16_t value) {
    setIntValue(key, value);
}
void JSettings::setUCharValue(const std::string& key, uint8_t value) {
    setIntValue(key, value);
}
void JSettings::setUShortValue(const std::string& key, uint16_t value) {
    setIntValue(key, value);
}
void JSettings::setUIntValue(const std::string& key, uint32_t value) {
    setIntValue(key, static_cast<int32_t>(value));
}
void JSettings::setULongValue(const std::string& key, uint32_t value) {
    setLongValue(key, static_cast<int32_t>(value));
}

void JSettings::setDoubleValue(const std::string& key, double value) {
    imp_->writeText(key, SettingsText::formatDouble(value));
}

bool JSettings::readInt(const std::string& key, int32_t& value) {
    std::string text;
    if (!imp_->readText(key, text)) {
        return false;
    }
    value = SettingsText::parseInt32(text);
    return true;
}

int32_t JSettings::intValue(const std::string& key, int32_t defaultValue) {
    int32_t v = defaultValue;
    readInt(key, v);
    return v;
}

int32_t JSettings::longValue(const std::string& key, int32_t defaultValue) {
    return intValue(key, defaultValue);
}

uint32_t JSettings::uintValue(const std::string& key, uint32_t defaultValue) {
    int32_t v = 0;
    return readInt(key, v) ? static_cast<uint32_t>(v) : defaultValue;
}

uint32_t JSettings::ulongValue(const std::string& key, uint32_t defaultValue) {
    return uintValue(key, defaultValue);
}

int8_t JSettings::charValue(const std::string& key, int8_t defaultValue) {
    int32_t v = 0;
    return readInt(key, v) ? static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF)) : defaultValue;
}

int16_t JSettings::shortValue(const std::string& key, int16_t defaultValue) {
    int32_t v = 0;
    return readInt(key, v) ? static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)) : defaultValue;
}

uint8_t JSettings::ucharValue(const std::string& key, uint8_t defaultValue) {
    int32_t v = 0;
    return readInt(key, v) ? static_cast<uint8_t>(v & 0xFF) : defaultValue;
}

uint16_t JSettings::ushortValue(const std::string& key, uint16_t defaultValue) {
    int32_t v = 0;
    return readInt(key, v) ? static_cast<uint16_t>(v & 0xFFFF) : defaultValue;
}

double JSettings::doubleValue(const std::string& key, double defaultValue) {
    std::string text;
    return imp_->readText(key, text) ? SettingsText::parseDouble(text) : defaultValue;
}

void JSettings::remove(const std::string& key) {
    imp_->remove(key);
}
std::vector<std::string> JSettings::childGroups() {
    return imp_->childGroups();
}
std::vector<std::string> JSettings::childKeys() {
    return imp_->childKeys();
}
std::string JSettings::toString() const {
    return imp_->toString();
}
