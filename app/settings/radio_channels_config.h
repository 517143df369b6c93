#pragma once

#include <string>
#include <vector>

// The radio channel table configs/radiochannels.vnk: one frequency column per band, and the
// mapping of radio module types and frequencies to bands. Construction guarantees a table on
// disk (the built-in one when the file has no channel); an existing table is never changed.
//
// Bands: 0 high, 1 middle, 2 low, 3 spans bands (the frequency decides), 4 unknown.
class RadioChannelsConfig {
public:
    RadioChannelsConfig();
    explicit RadioChannelsConfig(const std::string& path);

    const std::string& path() const { return path_; }

    bool isEmpty() const;
    void writeDefaults() const;
    // The receive/send layout; its columns are named by columnName.
    void writeDuplexDefaults() const;

    // "high", "middle", "low"; empty for every other band.
    static std::string tableName(int band);
    // tableName followed by "_receive" (direction 0) or "_send" (1); tableName alone for any
    // other direction; empty for a band without a name.
    static std::string columnName(int band, int direction);
    static int bandOfType(int radioType);
    static int bandOfFrequency(double mhz, int radioType);

    // One entry per channel; a channel without the column repeats the previous frequency.
    void load(int band, std::vector<double>& out) const;
    void loadColumn(int band, int direction, std::vector<double>& out) const;
    // The first channel having the frequency in any band; 0 when none has it.
    int indexOfFrequency(double mhz) const;

private:
    void loadNamed(const std::string& column, std::vector<double>& out) const;

    std::string path_;
};
