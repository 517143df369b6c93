// The pieces of one caster answer joined before parsing: records and the end marker cut
// between reads, the 1 MiB bound, and what comes after completion.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>

#include "source_table_pieces.h"

using Varnok::SourceTablePieces;

namespace {

QByteArray corpusTable(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QString> strNames(const QByteArray& table) {
    QList<QString> names;
    for (const QByteArray& raw : table.split('\n')) {
        if (raw.startsWith("STR;")) {
            names.append(QString::fromUtf8(raw.split(';').value(1)));
        }
    }
    return names;
}

// Feeds the bytes cut at the given places, decoded as the client decodes them; returns the
// state after the last piece and the number of pieces after which it was complete.
SourceTablePieces::State feed(SourceTablePieces& p, const QByteArray& bytes, QList<qsizetype> cuts,
                              int* completeAfter = nullptr) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    cuts.append(bytes.size());
    qsizetype from = 0;
    int piece = 0;
    SourceTablePieces::State state = p.state();
    for (qsizetype cut : cuts) {
        const QString text = decoder.decode(bytes.mid(from, cut - from));
        state = p.add(text);
        from = cut;
        ++piece;
        if (completeAfter && state == SourceTablePieces::Complete && *completeAfter < 0) {
            *completeAfter = piece;
        }
    }
    return state;
}

TEST(SourceTablePieces, EveryCorpusTableCutAnywhereGivesAllItsNames) {
    const struct {
        const char* file;
        int names;
    } tables[] = {
        {"sapos_NI.sourcetable", 3}, {"frednet.sourcetable", 47}, {"geortk.sourcetable", 68}};
    for (const auto& t : tables) {
        const QByteArray table = corpusTable(t.file);
        ASSERT_FALSE(table.isEmpty()) << t.file;
        const QList<QString> expected = strNames(table);
        ASSERT_EQ(expected.size(), t.names) << t.file;
        const qsizetype marker = table.indexOf("ENDSOURCETABLE");
        ASSERT_GT(marker, 0);

        QList<QList<qsizetype>> schedules = {{}};
        QList<qsizetype> everyByte, every1460;
        for (qsizetype i = 1; i < table.size(); ++i) {
            everyByte.append(i);
        }
        for (qsizetype i = 1460; i < table.size(); i += 1460) {
            every1460.append(i);
        }
        schedules << everyByte << every1460;
        // Inside the marker at each of its characters, and inside every record line start.
        for (qsizetype k = 1; k < 14; ++k) {
            schedules.append(QList<qsizetype>{marker + k});
        }
        for (qsizetype at = table.indexOf("\nSTR;"); at >= 0;
             at = table.indexOf("\nSTR;", at + 1)) {
            schedules.append(QList<qsizetype>{at + 1, at + 3});
        }
        for (const QList<qsizetype>& cuts : schedules) {
            SourceTablePieces p;
            int completeAfter = -1;
            ASSERT_EQ(feed(p, table, cuts, &completeAfter), SourceTablePieces::Complete)
                << t.file << " cuts " << cuts.size();
            EXPECT_EQ(p.names(), expected) << t.file << " cuts " << cuts.size();
            // Complete with the piece that brought the marker's last character, not later.
            int piecesToMarker = 1;
            for (qsizetype c : cuts) {
                piecesToMarker += c < marker + 14 ? 1 : 0;
            }
            EXPECT_EQ(completeAfter, piecesToMarker) << t.file;
        }
    }
}

TEST(SourceTablePieces, BoundsEmptyPiecesAndWhatFollowsTheEnd) {
    const QString head = QStringLiteral("SOURCETABLE 200 OK\r\nSTR;A;1\r\n");
    {
        SourceTablePieces p;
        EXPECT_EQ(p.add(QString()), SourceTablePieces::Collecting);
        EXPECT_EQ(p.add(head), SourceTablePieces::Collecting);
        EXPECT_TRUE(p.names().isEmpty());  // not complete yet
        EXPECT_EQ(p.add(QString()), SourceTablePieces::Collecting);
        EXPECT_EQ(p.add(QStringLiteral("STR;B;2\r\nENDSOURCE")), SourceTablePieces::Collecting);
        EXPECT_EQ(p.add(QStringLiteral("TABLE\r\nSTR;LATE;3\r\n")), SourceTablePieces::Complete);
        // Later pieces change nothing.
        EXPECT_EQ(p.add(QStringLiteral("STR;LATER;4\r\n")), SourceTablePieces::Complete);
        EXPECT_EQ(p.names(), (QList<QString>{"A", "B"}));
        p.reset();
        EXPECT_EQ(p.state(), SourceTablePieces::Collecting);
        EXPECT_TRUE(p.names().isEmpty());
    }
    {
        // Exactly 1 MiB of text is taken, one byte more is refused for good, even when the
        // marker follows; counted in the caster's bytes, so three-byte characters count three.
        SourceTablePieces p;
        const QString filler(SourceTablePieces::kMaxBytes - head.size(), QLatin1Char('x'));
        EXPECT_EQ(p.add(head), SourceTablePieces::Collecting);
        EXPECT_EQ(p.add(filler), SourceTablePieces::Collecting);
        EXPECT_EQ(p.add(QStringLiteral("y")), SourceTablePieces::TooLarge);
        EXPECT_EQ(p.add(QStringLiteral("ENDSOURCETABLE")), SourceTablePieces::TooLarge);
        EXPECT_TRUE(p.names().isEmpty());

        SourceTablePieces wide;
        const QString kana(SourceTablePieces::kMaxBytes / 3, QChar(0x30A2));
        EXPECT_EQ(wide.add(kana), SourceTablePieces::Collecting);
        EXPECT_EQ(wide.add(QStringLiteral("a")), SourceTablePieces::Collecting);  // 1 MiB
        EXPECT_EQ(wide.add(QStringLiteral("b")), SourceTablePieces::TooLarge);
    }
}

}  // namespace
