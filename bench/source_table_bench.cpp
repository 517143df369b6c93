// A large caster table (5,000 stream records made from the corpus tables' records, about
// 0.7 MB) cut into mount points: by the parser alone, as the TCP client's text is, and along the
// receiver path, where the table arrives as new-protocol source-list frames of 4,096-byte pieces
// that the protocol decodes, the collector joins and the parser cuts (as sourceTableRecords does).
// Times are printed in milliseconds.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QList>
#include <QString>

#include <cstring>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "device_manager.h"
#include "source_list_collector.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using Varnok::DeviceManager;
using Varnok::SourceListCollector;

namespace {

constexpr int kRecords = 5000;
constexpr std::size_t kPiece = 4096;
// The network link's query operation, which the receiver's answer carries back.
constexpr std::uint16_t kNetLinkQueryReply = 0x2F;

std::vector<std::string> corpusLines(const char* name) {
    QFile f(QStringLiteral(VARNOK_CORPUS_DIR "/ntrip-sourcetables/") + QLatin1String(name));
    std::vector<std::string> lines;
    if (!f.open(QIODevice::ReadOnly)) {
        return lines;
    }
    for (QByteArray line : f.readAll().split('\n')) {
        while (line.endsWith('\r')) {
            line.chop(1);
        }
        lines.push_back(line.toStdString());
    }
    return lines;
}

// The status line and header, the corpus's other records, then 5,000 stream records taken in
// turn from the corpus, each mount point made unique.
std::string bigTable() {
    std::vector<std::string> records;
    std::string others;
    for (const char* name : {"sapos_NI.sourcetable", "geortk.sourcetable", "frednet.sourcetable"}) {
        for (const std::string& line : corpusLines(name)) {
            if (line.rfind("STR;", 0) == 0) {
                records.push_back(line);
            } else if (line.rfind("CAS;", 0) == 0 || line.rfind("NET;", 0) == 0) {
                others += line + "\r\n";
            }
        }
    }
    if (records.empty()) {
        return {};
    }
    std::string table =
        "SOURCETABLE 200 OK\r\nServer: NTRIP Bench\r\nContent-Type: text/plain\r\n\r\n";
    table += others;
    for (int i = 0; i < kRecords; ++i) {
        const std::string& r = records[static_cast<std::size_t>(i) % records.size()];
        const std::size_t end = r.find(';', 4);
        table += "STR;" + r.substr(4, end - 4) + "_" + std::to_string(i) +
                 (end == std::string::npos ? std::string() : r.substr(end)) + "\r\n";
    }
    return table + "ENDSOURCETABLE\r\n";
}

const std::string& table() {
    static const std::string t = bigTable();
    return t;
}

void BM_ParseSourceTable(benchmark::State& state) {
    const QString text = QString::fromStdString(table());
    qsizetype names = 0;
    for (auto _ : state) {
        QString copy = text;
        QList<QString> list;
        DeviceManager::parseSourceTable(copy, list);
        names = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    if (names != kRecords) {
        state.SkipWithError("the table did not give its records");
    }
    state.counters["records"] = static_cast<double>(names);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table().size()));
}
BENCHMARK(BM_ParseSourceTable)->Unit(benchmark::kMillisecond);

// The receiver's answers on the wire: one source-list frame per piece, in "$$" chunks.
std::vector<std::uint8_t> receiverStream() {
    std::vector<std::uint8_t> stream;
    std::uint8_t sequence = 0;
    const std::string& t = table();
    for (std::size_t at = 0; at < t.size(); at += kPiece) {
        const std::size_t n = std::min(kPiece, t.size() - at);
        std::vector<std::uint8_t> value = NewWire::U32(static_cast<std::uint32_t>(n));
        value.insert(value.end(), t.begin() + static_cast<long>(at),
                     t.begin() + static_cast<long>(at + n));
        const std::vector<std::uint8_t> frame =
            NewWire::MakeFrame(kNetLinkQueryReply, {{0x1106, value}});
        const std::vector<std::uint8_t> wire = NewWire::ChunkFrame(frame, &sequence);
        stream.insert(stream.end(), wire.begin(), wire.end());
    }
    return stream;
}

struct ReceiverPath {
    Em_Gnss* gnss = nullptr;
    SourceListCollector collector;
    int complete = 0;
};

// What the manager's callback and apply step do with a source-list answer.
void onData(Msg_Type, std::uint32_t, const void* user) {
    auto* path = static_cast<ReceiverPath*>(const_cast<void*>(user));
    char piece[SourceListCollector::kPieceBytes + 1] = {};
    int length = 0;
    path->gnss->Get_Gprs_GetList(piece, &length);
    if (length > 0 && path->collector.addPiece(piece, static_cast<std::size_t>(length))) {
        ++path->complete;
    }
}

void BM_ReceiverPathInPieces(benchmark::State& state) {
    const std::vector<std::uint8_t> stream = receiverStream();
    const _CALLBACKS_RECEIVER callbacks{onData, nullptr};
    qsizetype names = 0;
    int complete = 0;
    for (auto _ : state) {
        Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
        ReceiverPath path;
        path.gnss = &gnss;
        gnss.Reg_Callbacks(&callbacks, &path);
        for (std::size_t at = 0; at < stream.size(); at += kPiece) {
            const std::size_t n = std::min(kPiece, stream.size() - at);
            gnss.RcvData(stream.data() + at, static_cast<unsigned>(n));
            gnss.ParseData();
        }
        // sourceTableRecords: the collected bytes as text, cut, the rest kept.
        const std::string& bytes = path.collector.text();
        QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        QList<QString> list;
        DeviceManager::parseSourceTable(text, list);
        path.collector.replaceText(text.toStdString());
        names = list.size();
        complete = path.complete;
    }
    if (names != kRecords || complete != 1) {
        state.SkipWithError("the pieces did not give the table's records once");
    }
    state.counters["records"] = static_cast<double>(names);
    state.counters["pieces"] = static_cast<double>((table().size() + kPiece - 1) / kPiece);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table().size()));
}
BENCHMARK(BM_ReceiverPathInPieces)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
