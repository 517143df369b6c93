// Arbitrary bytes as a settings document: every group, key and known array is walked, read as
// every value kind, written and printed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "jsettings.h"

namespace {

const char* const kRoots[] = {
    "radioconfig", "radio",    "netserver",  "connectmethods",   "connectbauds", "validcheck",
    "antennatype", "baudrate", "btbindings", "connectionparams", "global",       "sample"};

const char* const kArrays[] = {"radios",   "channel",  "servers",   "devices",       "power",
                               "protocol", "stepper",  "universal", "particular",    "bauds",
                               "sources",  "methods",  "steparray", "protocolarray", "antenna",
                               "Array",    "channels", "ports",     "list"};

void walk(JSettings& s, int depth) {
    if (depth > 8) {
        return;
    }
    for (const std::string& key : s.childKeys()) {
        s.stringValue(key, "d");
        s.intValue(key, 1);
        s.charValue(key, 1);
        s.ushortValue(key, 1);
        s.doubleValue(key, 1.5);
    }
    for (const std::string& group : s.childGroups()) {
        s.beginGroup(group);
        walk(s, depth + 1);
        s.endGroup();
    }
    for (const char* array : kArrays) {
        const int n = s.beginArray(array);
        for (int i = 0; i < n && i < 32; ++i) {
            s.setArrayIndex(i);
            walk(s, depth + 1);
        }
        s.endArray();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* root : kRoots) {
        JSettings s;
        if (s.parse(text, root) != 0) {
            continue;
        }
        walk(s, 0);
        s.setDoubleValue("fuzz/value", 430.125);
        s.beginWriteArray("list", -1);
        s.setArrayIndex(3);
        s.setStringValue("item", text.substr(0, 16));
        s.endArray();
        s.toString();
        JSettings copy;
        s.copyTo(copy, "copy");
        copy.toString();
        break;
    }
    return 0;
}
