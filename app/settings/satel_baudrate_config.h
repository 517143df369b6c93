#pragma once

#include <string>

// configs/satelbaudrate.vnk: the air baud-rate code that goes with a channel-step code and a
// radio protocol code. The built-in table is written when the file has no step entries; every
// question reads the file.
class SatelBaudrateConfig {
public:
    SatelBaudrateConfig();
    explicit SatelBaudrateConfig(const std::string& path);

    bool isEmpty() const;
    void writeDefaults() const;
    // The baud code of the last matching entry, or -1.
    void lookup(int step, int protocol, int& baud) const;
    void load(int step, int protocol, int& baud) const { lookup(step, protocol, baud); }

private:
    std::string path_;
};
