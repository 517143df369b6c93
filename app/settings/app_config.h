#pragma once

#include <QLocale>
#include <QString>

#include <string>

// configs/config.vnk (root "global", group "Language"): which user-interface language to use.
// The store only reads the language entries.
class AppConfig {
public:
    static AppConfig& instance();

    AppConfig();
    explicit AppConfig(const std::string& path);

    // The display name and translation-file suffix of the chosen language. Without a
    // "CurrentType" the system locale decides: its language name and locale name, and the
    // type of the item whose "File" is that locale name (-1 when none is).
    void load(QString& name, QString& suffix, const QLocale& system = QLocale::system());
    // 0 before load; afterwards the chosen type, or -1.
    int languageType() const { return languageType_; }
    int currentType() const { return languageType(); }

private:
    std::string path_;
    int languageType_ = 0;
};
