#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace Varnok {

// Joins the pieces of one caster answer as a TCP read delivers them, so that a record or the
// end marker cut between two reads is still whole. The text is parsed once, when the marker has
// arrived. Bounded like the receiver path's collector: beyond 1 MiB of text the answer is
// refused. Qt Core only.
class SourceTablePieces {
public:
    static constexpr qsizetype kMaxBytes = 1024 * 1024;

    enum State { Collecting, Complete, TooLarge };

    // Adds one piece (an empty one changes nothing) and says where the answer stands. Pieces
    // after completion or refusal are ignored.
    State add(QStringView piece);
    State state() const { return state_; }
    // The table's mount points, in order; empty until complete.
    QList<QString> names() const;
    void reset();

private:
    QString text_;
    qsizetype bytes_ = 0;
    State state_ = Collecting;
};

}  // namespace Varnok
