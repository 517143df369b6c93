#pragma once

#include <string>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}

// One open level of a settings handle: the root, a group or an array.
struct SettingsLevel {
    tinyxml2::XMLElement* element = nullptr;  // not owned; the group, array or root element
    bool isArray = false;
    int index = -1;                 // array: 0 until an item is selected, then the item's index + 1
    int count = -1;                 // array written without a size: the running item count
    std::vector<std::string> path;  // the key components the level was opened with
    std::string item;               // array: the selected item's element name ("a1", ...)
    // The selected item's element once located, and the one selected before it: items are
    // mostly visited in order, so the next one is usually the previous one's next sibling.
    tinyxml2::XMLElement* itemElement = nullptr;
    tinyxml2::XMLElement* previousItem = nullptr;
};
