#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class JSettingsImp;

// A handle on one configs/*.vnk document: slash-separated keys, nested groups, arrays of items
// ("a1", "a2", ...) and typed values stored as text. Keys, values and paths are UTF-8.
//
// The path constructor always leaves the root level open: a missing, unreadable or foreign file
// is replaced by a fresh document with the expected root. Destruction closes the innermost
// level (pruning empty elements) and writes the document back. Saving never leaves a partial
// file behind. A handle belongs to one thread.
class JSettings {
public:
    enum Mode { kParseText = 0, kOpenFile = 1 };

    JSettings();
    // mode kOpenFile: open(pathOrText, rootName); otherwise parse(pathOrText, rootName).
    // Either failing starts a fresh document (reset).
    JSettings(const std::string& pathOrText, const std::string& rootName, int mode = kOpenFile);
    ~JSettings();
    JSettings(const JSettings&) = delete;
    JSettings& operator=(const JSettings&) = delete;

    // 0 ok, 1001 the file was not loaded, 1005 the root element is missing or wrong (or the
    // text did not parse).
    int open(const std::string& path, const std::string& rootName);
    int parse(const std::string& text, const std::string& rootName);
    // A fresh document holding only the root element; the path stays.
    int reset();
    // 0 written, 1 nothing to write or the write failed, 1001 no path.
    int save();
    int saveAs(const std::string& path);
    int status() const;
    // The target gets the root name and a copy of everything under this document's root.
    int copyTo(JSettings& target, const std::string& rootName) const;
    // Every later save gives the file exactly this mode (0600 for a file holding credentials),
    // also when it exists with another; -1 (the default) keeps an existing file's mode.
    void setFileMode(int mode);

    bool beginGroup(const std::string& key);
    bool endGroup();
    // Returns the array's "size" (0 when missing, held to 0..100000).
    int beginArray(const std::string& key);
    // size >= 0 writes "size" at once; below 0 counts the selected items and writes the count
    // at endArray.
    void beginWriteArray(const std::string& key, int size);
    int setArrayIndex(int index);
    void endArray();

    void setStringValue(const std::string& key, const std::string& value);
    std::string stringValue(const std::string& key, const std::string& defaultValue = {});

    void setIntValue(const std::string& key, int32_t value);
    void setLongValue(const std::string& key, int32_t value);
    void setCharValue(const std::string& key, int8_t value);
    void setShortValue(const std::string& key, int16_t value);
    void setUCharValue(const std::string& key, uint8_t value);
    void setUShortValue(const std::string& key, uint16_t value);
    void setUIntValue(const std::string& key, uint32_t value);
    void setULongValue(const std::string& key, uint32_t value);
    void setDoubleValue(const std::string& key, double value);

    // Absent or empty text gives the default; text that is no number gives 0.
    int32_t intValue(const std::string& key, int32_t defaultValue = 0);
    int32_t longValue(const std::string& key, int32_t defaultValue = 0);
    uint32_t uintValue(const std::string& key, uint32_t defaultValue = 0);
    uint32_t ulongValue(const std::string& key, uint32_t defaultValue = 0);
    int8_t charValue(const std::string& key, int8_t defaultValue = 0);
    int16_t shortValue(const std::string& key, int16_t defaultValue = 0);
    uint8_t ucharValue(const std::string& key, uint8_t defaultValue = 0);
    uint16_t ushortValue(const std::string& key, uint16_t defaultValue = 0);
    double doubleValue(const std::string& key, double defaultValue = 0.0);

    // Removes every child element of that name of the current element; "" removes all.
    void remove(const std::string& key);
    std::vector<std::string> childGroups();
    std::vector<std::string> childKeys();
    // The innermost level's element as printed XML.
    std::string toString() const;

private:
    bool readInt(const std::string& key, int32_t& value);

    std::unique_ptr<JSettingsImp> imp_;
};
