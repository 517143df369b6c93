#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <string>

// configs/antennatype.vnk: the antennas the static survey page offers (display name and
// antenna index), and the fixed table from antenna index to antenna code. Construction only
// writes the built-in list when the file has none; load reads it.
class AntennaTypeConfig {
public:
    AntennaTypeConfig();
    explicit AntennaTypeConfig(const std::string& path);

    // Appends the file's entries; the lists are not emptied first.
    void load(QStringList& names, QList<int>& indexes) const;
    // The code of an index 0-40 ("Unknown" where none exists); "" for any other index.
    static QString antennaCode(int index);

private:
    bool needsDefaults() const;
    void writeDefaults() const;

    std::string path_;
};
