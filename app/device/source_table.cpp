// The caster's source table: the receiver path's request and collected text, and the one
// parser that both paths (receiver and TCP client) hand their text to.
#include <QLatin1StringView>
#include <QStringView>

#include "device_manager.h"

namespace Varnok {

namespace {

constexpr QLatin1StringView kStatusLine("SOURCETABLE 200 OK\r\n");
constexpr QLatin1StringView kEndMarker("ENDSOURCETABLE");
constexpr QLatin1StringView kRecordStart("\r\nSTR;");

// Where the table starts: the status line, or the text's start without one.
qsizetype tableStart(QStringView text) {
    const qsizetype at = text.indexOf(kStatusLine);
    return at < 0 ? 0 : at;
}

// Where the table ends: just after the first end marker from start, or the text's end.
qsizetype tableEnd(QStringView text, qsizetype start) {
    const qsizetype at = text.indexOf(kEndMarker, start);
    return at < 0 ? text.size() : at + kEndMarker.size();
}

// Appends the mount points of the records in text from `from` on, and returns where the last
// record's first field starts (-1: none). Each search starts at the previous record's first
// field, so a name holding a line break and "STR;" gives the same names as cutting the text
// record by record would.
qsizetype scanRecords(QStringView text, qsizetype from, QList<QString>& names) {
    qsizetype last = -1;
    qsizetype at = text.indexOf(kRecordStart, from);
    while (at >= 0) {
        const qsizetype field = at + kRecordStart.size();
        last = field;
        const qsizetype semicolon = text.indexOf(u';', field);
        if (semicolon < 0) {
            // No separator left, so no further record either.
            names.append(text.mid(field).toString());
            break;
        }
        names.append(text.mid(field, semicolon - field).toString());
        at = text.indexOf(kRecordStart, field);
    }
    return last;
}

}  // namespace

void DeviceManager::querySourceTable() {
    // A new request: the previous table's text, carried bytes and completion go.
    sourceList_.reset();
    ReceiverSession* s = receiver_.get();
    if (!s) {
        return;
    }
    if (deviceType_ == 1) {
        s->Send_NetLink_Source_List_Query();
    } else {
        s->Send_Gprs_GetList();
    }
}

bool DeviceManager::hasSourceTableHeader() const {
    return sourceList_.text().find(SourceListCollector::kStatusLine) != std::string::npos;
}

bool DeviceManager::hasSourceTableEnd() const {
    return sourceList_.text().find(SourceListCollector::kEnd) != std::string::npos;
}

QList<QString> DeviceManager::sourceTableRecords() {
    const std::string& bytes = sourceList_.text();
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QList<QString> names;
    parseSourceTable(text, names);
    sourceList_.replaceText(text.toStdString());
    return names;
}

void DeviceManager::parseSourceTable(QString& text, QList<QString>& names) {
    // One scan by index, then one cut of the text.
    const QStringView view(text);
    const qsizetype start = tableStart(view);
    const qsizetype end = tableEnd(view, start);
    const QStringView table = view.sliced(0, end);
    const qsizetype last = scanRecords(table, start, names);
    const qsizetype keep = last < 0 ? start : last;
    if (keep == 0 && end == text.size()) {
        return;
    }
    text = text.sliced(keep, end - keep);
}

void DeviceManager::stripBeforeHeader(QString& text) {
    text.remove(0, tableStart(text));
}

void DeviceManager::cutAfterEnd(QString& text) {
    text.truncate(tableEnd(text, 0));
}

bool DeviceManager::hasStrRecord(const QString& text) {
    return text.contains(kRecordStart);
}

void DeviceManager::extractMountPoints(QString& text, QList<QString>& names) {
    const qsizetype last = scanRecords(text, 0, names);
    if (last > 0) {
        text.remove(0, last);
    }
}

}  // namespace Varnok
