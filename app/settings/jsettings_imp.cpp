#include "jsettings_imp.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "atomic_file.h"
#include "config_paths.h"
#include "settings_text.h"

using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

namespace {

const char kTypeAttr[] = "type";
const char kGroup[] = "group";
const char kArray[] = "array";
const char kSize[] = "size";
const char kDeclaration[] = "xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"";

XMLElement* findTyped(XMLElement* parent, const std::string& name, const char* type) {
    for (XMLElement* e = parent->FirstChildElement(name.c_str()); e != nullptr;
         e = e->NextSiblingElement(name.c_str())) {
        const char* t = e->Attribute(kTypeAttr);
        if (t != nullptr && std::strcmp(t, type) == 0) {
            return e;
        }
    }
    return nullptr;
}

const XMLElement* findUntyped(const XMLElement* parent, const std::string& name) {
    for (const XMLElement* e = parent->FirstChildElement(name.c_str()); e != nullptr;
         e = e->NextSiblingElement(name.c_str())) {
        if (e->Attribute(kTypeAttr) == nullptr) {
            return e;
        }
    }
    return nullptr;
}

XMLElement* findUntyped(XMLElement* parent, const std::string& name) {
    return const_cast<XMLElement*>(findUntyped(static_cast<const XMLElement*>(parent), name));
}

bool allNames(const std::vector<std::string>& parts) {
    for (const std::string& p : parts) {
        if (!SettingsText::isXmlName(p)) {
            return false;
        }
    }
    return true;
}

int depthOf(const XMLNode* node) {
    int depth = 0;
    for (const XMLNode* n = node; n != nullptr && n->ToElement() != nullptr; n = n->Parent()) {
        ++depth;
    }
    return depth;
}

bool readWholeFile(const std::string& path, std::string& out) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > JSettingsImp::kMaxFileSize) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) {
        return false;
    }
    out = buf.str();
    return out.size() <= static_cast<size_t>(JSettingsImp::kMaxFileSize);
}

}  // namespace

JSettingsImp::JSettingsImp() : doc_(true, tinyxml2::PRESERVE_WHITESPACE) {}

JSettingsImp::~JSettingsImp() = default;

void JSettingsImp::addDeclaration() {
    doc_.InsertFirstChild(doc_.NewDeclaration(kDeclaration));
}

int JSettingsImp::open(const std::string& path, const std::string& rootName) {
    clearLevels();
    path_ = path;
    rootName_ = rootName;
    doc_.Clear();
    std::string text;
    if (!readWholeFile(path, text) ||
        doc_.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        doc_.Clear();
        status_ = kStatusNotLoaded;
        saved_ = true;
        return status_;
    }
    return checkRoot();
}

int JSettingsImp::parse(const std::string& text, const std::string& rootName) {
    clearLevels();
    rootName_ = rootName;
    doc_.Clear();
    if (doc_.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        doc_.Clear();
        status_ = kStatusBadRoot;
        saved_ = true;
        return status_;
    }
    if (doc_.FirstChild() == nullptr || doc_.FirstChild()->ToDeclaration() == nullptr) {
        addDeclaration();
    }
    return checkRoot();
}

int JSettingsImp::checkRoot() {
    XMLElement* root = doc_.FirstChildElement();
    if (root == nullptr || root->Name() == nullptr || root->Name()[0] == '\0' ||
        rootName_ != root->Name()) {
        status_ = kStatusBadRoot;
        saved_ = true;
        return status_;
    }
    SettingsLevel level;
    level.element = root;
    level.path.push_back(rootName_);
    levels_.push_back(level);
    status_ = kStatusOk;
    saved_ = false;
    return status_;
}

int JSettingsImp::reset() {
    clearLevels();
    doc_.Clear();
    addDeclaration();
    if (!SettingsText::isXmlName(rootName_)) {
        // No element may get a name that would make the saved file unreadable.
        status_ = kStatusBadRoot;
        saved_ = true;
        return status_;
    }
    XMLElement* root = doc_.NewElement(rootName_.c_str());
    doc_.InsertEndChild(root);
    SettingsLevel level;
    level.element = root;
    level.path.push_back(rootName_);
    levels_.push_back(level);
    status_ = kStatusOk;
    saved_ = false;
    return 0;
}

std::string JSettingsImp::serialize() {
    // The mark is written here for every file; the printer would add a second one for a
    // document that was loaded with it.
    doc_.SetBOM(false);
    tinyxml2::XMLPrinter printer(nullptr, false);
    doc_.Print(&printer);
    std::string bytes("\xEF\xBB\xBF");
    bytes.append(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
    return bytes;
}

int JSettingsImp::writeTo(const std::string& path) {
    // What an installed program ships is read only: a save leaves it as it is.
    if (ConfigPaths::isShipped(path)) {
        return 1;
    }
    if (!AtomicFile::write(path, serialize(), fileMode_)) {
        return 1;
    }
    saved_ = true;
    return 0;
}

int JSettingsImp::save() {
    if (path_.empty()) {
        return kStatusNotLoaded;
    }
    if (saved_) {
        return 1;
    }
    return writeTo(path_);
}

int JSettingsImp::saveAs(const std::string& path) {
    if (path.empty()) {
        return kStatusNotLoaded;
    }
    if (saved_) {
        return 1;
    }
    return writeTo(path);
}

int JSettingsImp::copyTo(JSettingsImp& target, const std::string& rootName) const {
    target.rootName_ = rootName;
    target.reset();
    const XMLElement* root = levels_.empty() ? doc_.FirstChildElement() : levels_.front().element;
    if (root == nullptr || target.levels_.empty()) {
        return 0;
    }
    XMLElement* targetRoot = target.levels_.front().element;
    for (const XMLNode* n = root->FirstChild(); n != nullptr; n = n->NextSibling()) {
        targetRoot->InsertEndChild(n->DeepClone(&target.doc_));
    }
    return 0;
}

void JSettingsImp::finish() {
    if (status_ == kStatusOk && !levels_.empty()) {
        closeInnermost();
        save();
    }
    save();
}

XMLElement* JSettingsImp::currentElement(bool create) {
    if (levels_.empty()) {
        return nullptr;
    }
    SettingsLevel& level = levels_.back();
    if (!level.isArray || level.index <= 0) {
        return level.element;
    }
    if (level.itemElement != nullptr) {
        return level.itemElement;
    }
    XMLElement* item = nullptr;
    if (level.previousItem != nullptr) {
        XMLElement* next = level.previousItem->NextSiblingElement();
        if (next != nullptr && level.item == next->Name()) {
            item = next;
        }
    }
    if (item == nullptr) {
        item = level.element->FirstChildElement(level.item.c_str());
    }
    if (item == nullptr) {
        if (!create) {
            return nullptr;
        }
        item = doc_.NewElement(level.item.c_str());
        level.element->InsertEndChild(item);
    }
    level.itemElement = item;
    return item;
}

void JSettingsImp::forgetItems() {
    for (SettingsLevel& level : levels_) {
        level.itemElement = nullptr;
        level.previousItem = nullptr;
    }
}

bool JSettingsImp::canCreate(const XMLElement* start, size_t levels) const {
    return depthOf(start) + static_cast<long long>(levels) <= kMaxDepth;
}

XMLElement* JSettingsImp::appendElement(XMLElement* parent, const std::string& name,
                                        const char* type) {
    XMLElement* e = doc_.NewElement(name.c_str());
    if (type != nullptr) {
        e->SetAttribute(kTypeAttr, type);
    }
    parent->InsertEndChild(e);
    return e;
}

bool JSettingsImp::openLevel(const std::vector<std::string>& components, bool isArray, int count) {
    XMLElement* start = currentElement();
    if (start == nullptr) {
        return false;
    }
    std::vector<std::string> names;
    for (const std::string& c : components) {
        if (SettingsText::isXmlName(c)) {
            names.push_back(c);
        }
    }
    if (!canCreate(start, names.size())) {
        names.clear();
    }
    XMLElement* element = start;
    bool creating = false;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        const char* type = (last && isArray) ? kArray : kGroup;
        XMLElement* child = creating ? nullptr : findTyped(element, names[i], type);
        if (child == nullptr) {
            // Past the first missing group every later component is created.
            if (!last) {
                creating = true;
            }
            child = appendElement(element, names[i], type);
        }
        element = child;
    }
    SettingsLevel level;
    level.element = element;
    level.isArray = isArray;
    level.index = isArray ? 0 : -1;
    level.count = count;
    level.path = names;
    levels_.push_back(level);
    return true;
}

void JSettingsImp::closeInnermost() {
    if (levels_.empty()) {
        return;
    }
    SettingsLevel level = levels_.back();
    levels_.pop_back();
    XMLNode* node = level.element;
    for (size_t i = 0; i < level.path.size() && node != nullptr; ++i) {
        XMLElement* element = node->ToElement();
        if (element == nullptr) {
            break;
        }
        std::vector<XMLElement*> empty;
        for (XMLElement* c = element->FirstChildElement(); c != nullptr;
             c = c->NextSiblingElement()) {
            if (c->NoChildren()) {
                empty.push_back(c);
            }
        }
        for (XMLElement* c : empty) {
            element->DeleteChild(c);
        }
        if (!empty.empty()) {
            saved_ = false;
            forgetItems();
        }
        node = element->Parent();
    }
}

bool JSettingsImp::beginGroup(const std::string& key) {
    openLevel(SettingsText::splitKey(key), false, -1);
    return true;
}

bool JSettingsImp::endGroup() {
    if (levels_.size() <= 1) {
        return false;
    }
    if (levels_.back().isArray) {
        return true;
    }
    closeInnermost();
    return true;
}

int JSettingsImp::beginArray(const std::string& key) {
    if (!openLevel(SettingsText::splitKey(key), true, -1)) {
        return 0;
    }
    std::string text;
    if (!readIn(levels_.back().element, kSize, text)) {
        return 0;
    }
    int size = SettingsText::parseInt32(text);
    if (size < 0) {
        return 0;
    }
    return size > kMaxArraySize ? kMaxArraySize : size;
}

void JSettingsImp::beginWriteArray(const std::string& key, int size) {
    if (!openLevel(SettingsText::splitKey(key), true, size >= 0 ? -1 : 0)) {
        return;
    }
    XMLElement* array = levels_.back().element;
    if (size >= 0) {
        writeIn(array, kSize, std::to_string(size));
        return;
    }
    std::vector<XMLElement*> sizes;
    for (XMLElement* e = array->FirstChildElement(kSize); e != nullptr;
         e = e->NextSiblingElement(kSize)) {
        sizes.push_back(e);
    }
    for (XMLElement* e : sizes) {
        array->DeleteChild(e);
    }
    if (!sizes.empty()) {
        saved_ = false;
    }
}

int JSettingsImp::setArrayIndex(int index) {
    if (levels_.size() <= 1) {
        return -1;
    }
    SettingsLevel& level = levels_.back();
    // A group level is no array; an item number must stay a valid, positive int.
    if (!level.isArray || index < 0 || index == INT32_MAX) {
        return -1;
    }
    if (level.itemElement != nullptr) {
        level.previousItem = level.itemElement;
    }
    level.itemElement = nullptr;
    level.index = index + 1;
    level.item = "a" + std::to_string(index + 1);
    if (level.count != -1 && index + 1 > level.count) {
        level.count = index + 1;
    }
    return index;
}

void JSettingsImp::endArray() {
    if (levels_.size() <= 1 || !levels_.back().isArray) {
        return;
    }
    SettingsLevel& level = levels_.back();
    if (level.count != -1) {
        writeIn(level.element, kSize, std::to_string(level.count));
    }
    closeInnermost();
}

bool JSettingsImp::readIn(const XMLElement* element, const std::string& name, std::string& text) {
    const XMLElement* value = findUntyped(element, name);
    if (value == nullptr) {
        return false;
    }
    const XMLNode* first = value->FirstChild();
    if (first == nullptr || first->ToText() == nullptr || first->Value() == nullptr ||
        first->Value()[0] == '\0') {
        return false;
    }
    text = first->Value();
    return true;
}

void JSettingsImp::writeIn(XMLElement* element, const std::string& name, const std::string& text) {
    XMLElement* value = findUntyped(element, name);
    if (value == nullptr) {
        value = appendElement(element, name, nullptr);
    }
    value->DeleteChildren();
    value->InsertEndChild(doc_.NewText(text.c_str()));
    saved_ = false;
}

bool JSettingsImp::openValueGroup(const std::vector<std::string>& components, bool& opened) {
    opened = false;
    XMLElement* current = currentElement();
    if (current == nullptr || !allNames(components) || !canCreate(current, components.size())) {
        return false;
    }
    if (components.size() > 1) {
        std::vector<std::string> groups(components.begin(), components.end() - 1);
        if (!openLevel(groups, false, -1)) {
            return false;
        }
        opened = true;
    }
    return true;
}

bool JSettingsImp::readText(const std::string& key, std::string& text) {
    const std::vector<std::string> components = SettingsText::splitKey(key);
    // A missing item holds no value; reading it must not grow the array.
    if (currentElement(false) == nullptr) {
        return false;
    }
    bool opened = false;
    if (!openValueGroup(components, opened)) {
        return false;
    }
    bool found = readIn(currentElement(), components.back(), text);
    if (opened) {
        closeInnermost();
    }
    return found;
}

void JSettingsImp::writeText(const std::string& key, const std::string& text) {
    const std::vector<std::string> components = SettingsText::splitKey(key);
    bool opened = false;
    if (!openValueGroup(components, opened)) {
        return;
    }
    writeIn(currentElement(), components.back(), text);
    if (opened) {
        closeInnermost();
    }
}

void JSettingsImp::remove(const std::string& key) {
    XMLElement* current = currentElement();
    if (current == nullptr) {
        return;
    }
    // Removed elements may be cached items of an open array.
    forgetItems();
    const std::string name = SettingsText::trim(key);
    if (name.empty()) {
        if (!current->NoChildren()) {
            current->DeleteChildren();
            saved_ = false;
        }
        return;
    }
    std::vector<XMLElement*> doomed;
    for (XMLElement* e = current->FirstChildElement(name.c_str()); e != nullptr;
         e = e->NextSiblingElement(name.c_str())) {
        doomed.push_back(e);
    }
    for (XMLElement* e : doomed) {
        current->DeleteChild(e);
    }
    if (!doomed.empty()) {
        saved_ = false;
    }
}

std::vector<std::string> JSettingsImp::childGroups() {
    std::vector<std::string> names;
    XMLElement* current = currentElement();
    if (current == nullptr) {
        return names;
    }
    for (const XMLElement* e = current->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        const char* t = e->Attribute(kTypeAttr);
        if (t != nullptr && std::strcmp(t, kGroup) == 0) {
            names.emplace_back(e->Name());
        }
    }
    return names;
}

std::vector<std::string> JSettingsImp::childKeys() {
    std::vector<std::string> names;
    XMLElement* current = currentElement();
    if (current == nullptr) {
        return names;
    }
    for (const XMLElement* e = current->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        if (e->Attribute(kTypeAttr) == nullptr) {
            names.emplace_back(e->Name());
        }
    }
    return names;
}

std::string JSettingsImp::toString() const {
    if (levels_.empty()) {
        return std::string();
    }
    tinyxml2::XMLPrinter printer(nullptr, false);
    levels_.back().element->Accept(&printer);
    return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
}
