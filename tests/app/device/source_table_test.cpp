// The source-table parser, and the receiver path: pieces collected, announced once per request,
// cut into mount points.
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <cstring>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManager;
using Strings = std::vector<std::string>;

QList<QString> parsed(QString& text, QList<QString> names = {}) {
    DeviceManager::parseSourceTable(text, names);
    return names;
}

QByteArray corpusTable(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The mount points as a line-by-line reading finds them: the second field of every line that
// starts with "STR;", whatever the line ends.
QList<QString> scanStrLines(const QByteArray& table) {
    QList<QString> names;
    for (const QByteArray& raw : table.split('\n')) {
        if (raw.startsWith("STR;")) {
            names.append(QString::fromUtf8(raw.split(';').value(1)));
        }
    }
    return names;
}

struct Case {
    const char* what;
    QString text;
    QList<QString> names;
    QString left;
};

TEST(SourceTableParser, NamesAndWhatIsLeft) {
    const QString ok = QStringLiteral("SOURCETABLE 200 OK\r\n");
    const Case cases[] = {
        {"status line, two records, trailing text",
         QStringLiteral("xyz") + ok +
             QStringLiteral("STR;MP1;a;b\r\nSTR;MP2;c\r\nENDSOURCETABLE\r\ntrailing"),
         {"MP1", "MP2"},
         QStringLiteral("MP2;c\r\nENDSOURCETABLE")},
        {"empty first field",
         ok + QStringLiteral("STR;;x\r\nENDSOURCETABLE"),
         {""},
         QStringLiteral(";x\r\nENDSOURCETABLE")},
        {"last record without a separator keeps its rest and the marker",
         ok + QStringLiteral("STR;A;1\r\nSTR;LAST\r\nENDSOURCETABLE\r\nafter"),
         {"A", "LAST\r\nENDSOURCETABLE"},
         QStringLiteral("LAST\r\nENDSOURCETABLE")},
        {"a first-line record is not found",
         QStringLiteral("STR;FIRST;1\r\nSTR;SECOND;2\r\n"),
         {"SECOND"},
         QStringLiteral("SECOND;2\r\n")},
        {"records without a status line are found",
         QStringLiteral("CAS;x\r\nSTR;M;1\r\nENDSOURCETABLE"),
         {"M"},
         QStringLiteral("M;1\r\nENDSOURCETABLE")},
        {"no record: the text is only trimmed",
         QStringLiteral("junk") + ok + QStringLiteral("NET;a\r\nENDSOURCETABLE!!"),
         {},
         ok + QStringLiteral("NET;a\r\nENDSOURCETABLE")},
        {"a name holding a record start gives the names cutting record by record gives",
         ok + QStringLiteral("STR;ab\r\nSTR;cd;1\r\n"),
         {"ab\r\nSTR", "cd"},
         QStringLiteral("cd;1\r\n")},
        {"records after the end marker are cut off",
         ok + QStringLiteral("STR;IN;1\r\nENDSOURCETABLE\r\nSTR;OUT;2\r\n"),
         {"IN"},
         QStringLiteral("IN;1\r\nENDSOURCETABLE")},
        {"an end marker before the status line does not cut",
         QStringLiteral("ENDSOURCETABLE") + ok + QStringLiteral("STR;X;1\r\n"),
         {"X"},
         QStringLiteral("X;1\r\n")},
        {"empty", QString(), {}, QString()},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        EXPECT_EQ(parsed(text), c.names) << c.what;
        EXPECT_EQ(text, c.left) << c.what;

        // The helpers one after the other give the same.
        QString stepwise = c.text;
        QList<QString> names;
        DeviceManager::stripBeforeHeader(stepwise);
        DeviceManager::cutAfterEnd(stepwise);
        if (DeviceManager::hasStrRecord(stepwise)) {
            DeviceManager::extractMountPoints(stepwise, names);
        }
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(stepwise, c.left) << c.what;
    }
}

// The table cut the slow way: each step removes text from the front, one record at a time.
void cutRecordByRecord(QString& text, QList<QString>& names) {
    const QString status = QStringLiteral("SOURCETABLE 200 OK\r\n");
    const QString end = QStringLiteral("ENDSOURCETABLE");
    const QString record = QStringLiteral("\r\nSTR;");
    qsizetype p = text.indexOf(status);
    if (p >= 0) {
        text.remove(0, p);
    }
    const qsizetype q = text.indexOf(end);
    if (q >= 0) {
        text = text.left(q + end.size());
    }
    while (text.contains(record)) {
        text.remove(0, text.indexOf(record) + record.size());
        const qsizetype s = text.indexOf(u';');
        names.append(s < 0 ? text : text.left(s));
    }
}

TEST(SourceTableParser, TheOneScanCutsAsRecordByRecordRemovalDoes) {
    // Texts made of the pieces that matter, in any order.
    const QString tokens[] = {QStringLiteral("SOURCETABLE 200 OK\r\n"),
                              QStringLiteral("ENDSOURCETABLE"),
                              QStringLiteral("\r\nSTR;"),
                              QStringLiteral("\r\n"),
                              QStringLiteral("STR;"),
                              QStringLiteral(";"),
                              QStringLiteral("\r"),
                              QStringLiteral("MP"),
                              QString::fromUtf8("\xE3\x83\x86"),
                              QStringLiteral("x")};
    QRandomGenerator random(20);
    for (int round = 0; round < 5000; ++round) {
        QString text;
        const int count = static_cast<int>(random.bounded(24));
        for (int i = 0; i < count; ++i) {
            text += tokens[random.bounded(static_cast<int>(std::size(tokens)))];
        }
        QString slow = text;
        QList<QString> slowNames;
        cutRecordByRecord(slow, slowNames);
        QString fast = text;
        EXPECT_EQ(parsed(fast), slowNames) << text.toStdString();
        EXPECT_EQ(fast, slow) << text.toStdString();
    }
}

TEST(SourceTableParser, AppendsAfterTheListsEntriesAndASecondParseFindsNothing) {
    QString text = QStringLiteral("SOURCETABLE 200 OK\r\nSTR;MP1;a\r\nSTR;MP2;c\r\nENDSOURCETABLE");
    EXPECT_EQ(parsed(text, {"kept"}), (QList<QString>{"kept", "MP1", "MP2"}));
    EXPECT_TRUE(parsed(text).isEmpty());
}

TEST(SourceTableParser, CorpusTablesGiveTheNamesOfTheirStrLines) {
    const struct {
        const char* file;
        qsizetype count;
    } tables[] = {
        {"sapos_NI.sourcetable", 3}, {"geortk.sourcetable", 68}, {"frednet.sourcetable", 47}};
    for (const auto& t : tables) {
        const QByteArray bytes = corpusTable(t.file);
        ASSERT_FALSE(bytes.isEmpty()) << t.file;
        const QList<QString> expected = scanStrLines(bytes);
        ASSERT_EQ(expected.size(), t.count) << t.file;
        QString text = QString::fromUtf8(bytes);
        EXPECT_EQ(parsed(text), expected) << t.file;
        EXPECT_TRUE(text.endsWith(QLatin1String("ENDSOURCETABLE"))) << t.file;
    }
}

// ---- The receiver path over the fake session.

class SourceTableOverTheFake : public DeviceFixture {
protected:
    void connectAs(int deviceType) {
        ASSERT_TRUE(connectTcp(deviceType));
        hub->clear();
        fake.script->clear();
    }
    // The session's next source-list piece.
    void setPiece(std::string bytes) {
        auto piece = std::make_shared<std::string>(std::move(bytes));
        fake.script->answer<void(char*, int*)>("Get_Gprs_GetList", [piece](char* out, int* n) {
            std::memcpy(out, piece->data(), piece->size());
            *n = static_cast<int>(piece->size());
        });
    }
    // Sends text in pieces of the given size as the old (category 2) or new (category 6)
    // protocol reports them.
    void sendInPieces(const std::string& text, std::size_t size, bool newProtocol) {
        for (std::size_t at = 0; at < text.size(); at += size) {
            setPiece(text.substr(at, size));
            fireFromThread(fake.session(), newProtocol ? 6 : 2, newProtocol ? 0x2000u : 0x1000u);
        }
        deliver();
    }
};

TEST_F(SourceTableOverTheFake, EachRequestCollectsAfreshAndAnnouncesOnce) {
    for (int deviceType : {2, 1}) {
        SCOPED_TRACE(deviceType);
        connectAs(deviceType);
        const bool newProtocol = deviceType == 1;
        const QByteArray sapos = corpusTable("sapos_NI.sourcetable");
        const std::string table = sapos.toStdString();

        dm->querySourceTable();
        EXPECT_EQ(fake.script->lines(), Strings{newProtocol ? "Send_NetLink_Source_List_Query()"
                                                            : "Send_Gprs_GetList()"});
        // Junk, then the table cut into 7-byte pieces (the status line split too), twice.
        sendInPieces("noise before the table " + table + table, 7, newProtocol);
        EXPECT_EQ(hub->events(), Strings{"sourceTable()"});
        EXPECT_TRUE(dm->hasSourceTableHeader());
        EXPECT_TRUE(dm->hasSourceTableEnd());
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(sapos));
        EXPECT_TRUE(dm->sourceTableRecords().isEmpty());

        // A new request: the start of a status line that the last piece left is not carried
        // over into the next request.
        dm->querySourceTable();
        EXPECT_FALSE(dm->hasSourceTableHeader());
        EXPECT_FALSE(dm->hasSourceTableEnd());
        sendInPieces("xx SOURCETABLE 2", 4096, newProtocol);
        dm->querySourceTable();
        sendInPieces("00 OK\r\nSTR;NOT;1\r\nENDSOURCETABLE", 4096, newProtocol);
        EXPECT_EQ(hub->events(), Strings{"sourceTable()"});
        sendInPieces(table, 4096, newProtocol);
        EXPECT_EQ(hub->events(), (Strings{"sourceTable()", "sourceTable()"}));
        EXPECT_EQ(dm->sourceTableRecords(), scanStrLines(sapos));
        dm->closePort();
    }
}

TEST_F(SourceTableOverTheFake, AStatusLineWithoutItsLineEndIsNeverCollected) {
    // Without a session the request only forgets the text.
    dm->querySourceTable();
    EXPECT_TRUE(fake.script->lines().empty());

    connectAs(2);
    dm->querySourceTable();
    sendInPieces(corpusTable("frednet.sourcetable").toStdString(), 4096, false);
    EXPECT_TRUE(hub->events().empty());
    EXPECT_FALSE(dm->hasSourceTableHeader());
    EXPECT_TRUE(dm->sourceTableRecords().isEmpty());
}

}  // namespace
}  // namespace varnok_test
