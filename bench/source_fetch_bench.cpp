// A large caster table (5,000 stream records made from the corpus tables' records) as the
// handheld's own TCP connection delivers it: 1,460-byte segments, each decoded as the client
// decodes a read, joined until the end marker and cut into mount points once. Times are
// printed in milliseconds.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <string>
#include <vector>

#include "source_table_pieces.h"

using Varnok::SourceTablePieces;

namespace {

constexpr int kRecords = 5000;
constexpr qsizetype kSegment = 1460;

QByteArray bigTable() {
    QList<QByteArray> records;
    QByteArray others;
    for (const char* name : {"sapos_NI.sourcetable", "geortk.sourcetable", "frednet.sourcetable"}) {
        QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (QByteArray line : f.readAll().split('\n')) {
            while (line.endsWith('\r')) {
                line.chop(1);
            }
            if (line.startsWith("STR;")) {
                records.append(line);
            } else if (line.startsWith("CAS;") || line.startsWith("NET;")) {
                others += line + "\r\n";
            }
        }
    }
    if (records.isEmpty()) {
        return {};
    }
    QByteArray table =
        "SOURCETABLE 200 OK\r\nServer: NTRIP Bench\r\nContent-Type: text/plain\r\n\r\n" + others;
    for (int i = 0; i < kRecords; ++i) {
        const QByteArray& r = records.at(i % records.size());
        const qsizetype end = r.indexOf(';', 4);
        table += "STR;" + r.mid(4, end < 0 ? -1 : end - 4) + '_' + QByteArray::number(i) +
                 (end < 0 ? QByteArray() : r.mid(end)) + "\r\n";
    }
    return table + "ENDSOURCETABLE\r\n";
}

void BM_SocketFetchIn1460BytePieces(benchmark::State& state) {
    const QByteArray table = bigTable();
    qsizetype names = 0;
    for (auto _ : state) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        SourceTablePieces pieces;
        for (qsizetype at = 0; at < table.size(); at += kSegment) {
            const QString text = decoder.decode(table.mid(at, kSegment));
            if (pieces.add(text) != SourceTablePieces::Collecting) {
                break;
            }
        }
        const QList<QString> list = pieces.names();
        names = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    if (names != kRecords) {
        state.SkipWithError("the pieces did not give the table's records");
    }
    state.counters["records"] = static_cast<double>(names);
    state.counters["pieces"] = static_cast<double>((table.size() + kSegment - 1) / kSegment);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table.size()));
}
BENCHMARK(BM_SocketFetchIn1460BytePieces)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
