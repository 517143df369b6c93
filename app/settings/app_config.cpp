#include "app_config.h"

#include "config_paths.h"
#include "jsettings.h"
#include "qt_text.h"

AppConfig& AppConfig::instance() {
    static AppConfig config;
    return config;
}

AppConfig::AppConfig() : AppConfig(ConfigPaths::filePath("config")) {}

AppConfig::AppConfig(const std::string& path) : path_(path) {}

void AppConfig::load(QString& name, QString& suffix, const QLocale& system) {
    JSettings s(path_, "global", JSettings::kOpenFile);
    s.beginGroup("Language");
    int current = s.intValue("CurrentType", -1);
    if (current >= 0) {
        const int n = s.beginArray("Array");
        for (int i = 0; i < n; ++i) {
            s.setArrayIndex(i);
            if (s.intValue("Type", -1) == current) {
                name = fromUtf8String(s.stringValue("Name"));
                suffix = fromUtf8String(s.stringValue("File"));
                break;
            }
        }
        s.endArray();
    } else {
        name = QLocale::languageToString(system.language());
        suffix = system.name();
        const std::string localeName = toUtf8String(suffix);
        const int n = s.beginArray("Array");
        for (int i = 0; i < n; ++i) {
            s.setArrayIndex(i);
            if (s.stringValue("File") == localeName) {
                current = s.intValue("Type", -1);
                break;
            }
        }
        s.endArray();
    }
    s.endGroup();
    languageType_ = current;
}
