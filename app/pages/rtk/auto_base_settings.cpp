#include "auto_base_settings.h"

#include "jsettings.h"
#include "logic_context.h"

namespace Varnok {

namespace {

constexpr char kRoot[] = "rtk";
constexpr char kKey[] = "autobasesupported";

}  // namespace

AutoBaseSettings& AutoBaseSettings::instance() {
    static AutoBaseSettings settings(LogicContext::rtkSettingsPath());
    return settings;
}

AutoBaseSettings::AutoBaseSettings(const std::string& path) {
    {
        JSettings check;
        if (check.open(path, kRoot) != 0) {
            JSettings fresh(path, kRoot);  // a fresh "rtk" document when the file is unreadable
            fresh.remove("");
            fresh.setIntValue(kKey, 0);
            fresh.saveAs(path);
        }
    }
    JSettings s;
    if (s.open(path, kRoot) == 0) {
        supported_ = s.intValue(kKey, 0) != 0;
    }
}

}  // namespace Varnok
