#include "static_stations_config.h"

#include <QFile>
#include <QSaveFile>

#include "logic_context.h"

namespace Varnok {

namespace {
constexpr int kNameLength = 4;
constexpr int kFields = 4;
}  // namespace

StaticStationsConfig* StaticStationsConfig::instance() {
    // Follows the configs directory, which tests change between cases.
    static StaticStationsConfig* store = nullptr;
    const QString path = QString::fromStdString(LogicContext::staticStationsPath());
    if (store == nullptr || store->path_ != path) {
        delete store;
        store = new StaticStationsConfig(path);
    }
    return store;
}

StaticStationsConfig::StaticStationsConfig(const QString& path) : path_(path) {
    load();
}

bool StaticStationsConfig::parseLine(QString line, StaticStation& station) {
    // The file is read in binary mode: a line keeps its "\r" before the "\n".
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) {
        line.chop(1);
    }
    if (line.startsWith(QLatin1Char('<'))) {
        return false;
    }
    const QStringList parts = line.split(QLatin1Char(','));
    if (parts.size() != kFields || parts[0].size() != kNameLength) {
        return false;
    }
    station = StaticStation{parts[0], parts[1], parts[2], parts[3]};
    return true;
}

bool StaticStationsConfig::isValidName(const QString& name) {
    return name.size() == kNameLength && !name.contains(QLatin1Char(',')) &&
           !name.startsWith(QLatin1Char('<'));
}

void StaticStationsConfig::load() {
    stations_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    while (!file.atEnd()) {
        StaticStation s;
        if (parseLine(QString::fromUtf8(file.readLine()), s)) {
            stations_.append(s);
        }
    }
}

bool StaticStationsConfig::save(const QList<StaticStation>& stations) {
    stations_ = stations;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray text;
    for (const StaticStation& s : stations_) {
        text += QStringList{s.name, s.receiverId, s.ip, s.port}.join(QLatin1Char(',')).toUtf8();
        text += "\r\n";
    }
    // A short write (a full disk) must not replace the old file.
    if (file.write(text) != text.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace Varnok
