#include "source_table_pieces.h"

#include <QLatin1StringView>

#include "device_manager.h"

namespace Varnok {

namespace {

constexpr QLatin1StringView kEndMarker("ENDSOURCETABLE");

// UTF-8 length of the text, as the caster sent it.
qsizetype utf8Bytes(QStringView text) {
    qsizetype n = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            n += 1;
        } else if (u < 0x800 || QChar::isSurrogate(u)) {
            n += 2;  // a surrogate pair makes four
        } else {
            n += 3;
        }
    }
    return n;
}

}  // namespace

SourceTablePieces::State SourceTablePieces::add(QStringView piece) {
    if (state_ != Collecting || piece.isEmpty()) {
        return state_;
    }
    bytes_ += utf8Bytes(piece);
    if (bytes_ > kMaxBytes) {
        text_ = QString();
        state_ = TooLarge;
        return state_;
    }
    // The marker may start in the earlier text: look back one marker length less a character.
    const qsizetype from = qMax<qsizetype>(0, text_.size() - (kEndMarker.size() - 1));
    text_.append(piece);
    if (QStringView(text_).indexOf(kEndMarker, from) >= 0) {
        state_ = Complete;
    }
    return state_;
}

QList<QString> SourceTablePieces::names() const {
    QList<QString> names;
    if (state_ != Complete) {
        return names;
    }
    QString text = text_;
    DeviceManager::parseSourceTable(text, names);
    return names;
}

void SourceTablePieces::reset() {
    text_ = QString();
    bytes_ = 0;
    state_ = Collecting;
}

}  // namespace Varnok
