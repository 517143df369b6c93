#pragma once

#include <QList>
#include <QString>

namespace Varnok {

// One station of the station list: the receiver last connected under the name, and where.
struct StaticStation {
    QString name;
    QString receiverId;
    QString ip;
    QString port;
};

// configs/staticstations.vnk: plain UTF-8 text, one station a line, the four fields joined by
// commas, lines ended by "\r\n".
class StaticStationsConfig {
public:
    static StaticStationsConfig* instance();

    explicit StaticStationsConfig(const QString& path);

    // Empties the list, then reads the file; an unreadable file leaves it empty.
    void load();
    // Makes the list the store's, then writes the whole file in one replacement: a failed
    // write leaves the old file as it was. False when the file could not be written.
    bool save(const QList<StaticStation>& stations);
    const QList<StaticStation>& stations() const { return stations_; }
    QString path() const { return path_; }

    // A station line as read: exactly four comma-separated fields and a 4-character name;
    // lines starting with "<" are skipped. False for a line that is not taken.
    static bool parseLine(QString line, StaticStation& station);
    // Whether a name survives a save and a read: 4 characters, no comma, no leading "<".
    static bool isValidName(const QString& name);

private:
    QString path_;
    QList<StaticStation> stations_;
};

}  // namespace Varnok
