#pragma once

#include <tinyxml2.h>

#include <string>
#include <vector>

#include "settings_level.h"

// The document behind a JSettings handle: a tinyxml2 tree, the stack of open levels and the
// file it came from. Keys are UTF-8; see JSettings for the operations' contract.
class JSettingsImp {
public:
    static constexpr int kStatusOk = 0;
    static constexpr int kStatusNotLoaded = 1001;
    static constexpr int kStatusBadRoot = 1005;
    // Arrays claiming more items than this are read as this many.
    static constexpr int kMaxArraySize = 100000;
    // tinyxml2 refuses to parse deeper trees than TINYXML2_MAX_ELEMENT_DEPTH; never create one.
    static constexpr int kMaxDepth = 90;
    // Larger files are not settings files; refuse them instead of reading them whole.
    static constexpr long long kMaxFileSize = 64LL * 1024 * 1024;

    JSettingsImp();
    virtual ~JSettingsImp();
    JSettingsImp(const JSettingsImp&) = delete;
    JSettingsImp& operator=(const JSettingsImp&) = delete;

    int open(const std::string& path, const std::string& rootName);
    int parse(const std::string& text, const std::string& rootName);
    int reset();
    int save();
    int saveAs(const std::string& path);
    int status() const { return status_; }
    bool isSaved() const { return saved_; }
    const std::string& path() const { return path_; }
    int copyTo(JSettingsImp& target, const std::string& rootName) const;
    void setFileMode(int mode) { fileMode_ = mode; }

    // Closes the innermost level and saves, as the owner's destruction requires.
    void finish();

    bool beginGroup(const std::string& key);
    bool endGroup();
    int beginArray(const std::string& key);
    void beginWriteArray(const std::string& key, int size);
    int setArrayIndex(int index);
    void endArray();

    // True and the text when the value exists with non-empty text.
    bool readText(const std::string& key, std::string& text);
    void writeText(const std::string& key, const std::string& text);
    void remove(const std::string& key);
    std::vector<std::string> childGroups();
    std::vector<std::string> childKeys();
    std::string toString() const;

    // The bytes a save writes: byte-order mark and the printed document.
    std::string serialize();

private:
    tinyxml2::XMLElement* currentElement(bool create = true);
    void forgetItems();
    int checkRoot();
    void clearLevels() { levels_.clear(); }
    bool openLevel(const std::vector<std::string>& components, bool isArray, int count);
    void closeInnermost();
    bool canCreate(const tinyxml2::XMLElement* start, size_t levels) const;
    bool openValueGroup(const std::vector<std::string>& components, bool& opened);
    tinyxml2::XMLElement* appendElement(tinyxml2::XMLElement* parent, const std::string& name,
                                        const char* type);
    void writeIn(tinyxml2::XMLElement* element, const std::string& name, const std::string& text);
    static bool readIn(const tinyxml2::XMLElement* element, const std::string& name,
                       std::string& text);
    void addDeclaration();
    int writeTo(const std::string& path);

    std::vector<SettingsLevel> levels_;
    tinyxml2::XMLDocument doc_;
    std::string path_;
    std::string rootName_;
    int status_ = kStatusOk;
    bool saved_ = true;
    // The mode every save gives the file; -1 keeps an existing file's mode.
    int fileMode_ = -1;
};
