// Category 8: the old protocol's survey-data answers (static file directory and data, static
// antenna and status, base-position list bytes and difference, radio channel lists, NMEA
// output), and the static data file requests that go with them.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "answer_rows.h"
#include "logic_context.h"
#include "record_view.h"

namespace Varnok {

namespace {

using A = DeviceAnswersAccess;

// The session keeps pieces of at most 55 bytes but its readers may copy one more; a larger,
// zeroed buffer takes whatever they copy, and the length is held to it.
constexpr int kPieceBuffer = 64;

template <void (ReceiverSession::*Get)(unsigned char*, int&)>
void copyPiece(ReceiverSession& s, CopiedBytes& out) {
    unsigned char piece[kPieceBuffer] = {};
    int length = 0;
    (s.*Get)(piece, length);
    length = std::clamp(length, 0, kPieceBuffer);
    out.assign(piece, piece + length);
}

void copyNothing(ReceiverSession&, CopiedBytes&) {}

bool applyDirectoryPiece(DeviceManager& m, const CopiedBytes& in) {
    A::staticDirectory(m).append(in.data(), in.size(), m.receiverId().toLatin1().toStdString(),
                                 A::staticFiles(m));
    return false;
}

bool endDirectory(DeviceManager& m, const CopiedBytes&) {
    A::staticDirectory(m).reset();
    return true;
}

bool applyFilePiece(DeviceManager& m, const CopiedBytes& in) {
    A::cache(m).staticFileLength = static_cast<int>(in.size());
    StaticFileDownload& download = A::staticDownload(m);
    if (download.isOpen() && !in.empty() && !download.write(in.data(), in.size())) {
        LogicContext::log(QStringLiteral("Static file: a data piece could not be written"));
    }
    return true;
}

bool endFile(DeviceManager& m, const CopiedBytes&) {
    A::staticDownload(m).close();
    return true;
}

void copyAntennaType(ReceiverSession& s, CopiedBytes& out) {
    char text[kPieceBuffer] = {};
    s.Get_Static_AntType(text);
    // The receiver's field holds 20 characters and the terminator.
    out.assign(text, std::find(text, text + 20, '\0'));
}

bool applyAntennaType(DeviceManager& m, const CopiedBytes& in) {
    A::staticAntennaType(m).assign(in.begin(), in.end());
    // The static point joins this field with the cached point, so the page shows the code.
    char(&field)[sizeof DeviceCache::staticAntType] = A::cache(m).staticAntType;
    const std::size_t kept = std::min(in.size(), sizeof field - 1);
    std::fill(std::begin(field), std::end(field), '\0');
    std::copy(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(kept), field);
    return false;
}

bool appendBaseListPiece(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).appendBytes(in.data(), in.size());
    return false;
}

bool endBaseList(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).appendBytes(in.data(), in.size());
    A::basePositions(m).parse();
    return true;
}

void copyDifference(ReceiverSession& s, CopiedBytes& out) {
    double value = 0;
    s.Get_BasePosition_Difference(value);
    putBytes(out, value);
}

bool applyDifference(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).setDifferenceAnswer(takeBytes<double>(in));
    return true;
}

// A list of plain values as their bytes.
template <class T, void (ReceiverSession::*Get)(std::vector<T>&)>
void copyList(ReceiverSession& s, CopiedBytes& out) {
    std::vector<T> values;
    (s.*Get)(values);
    const auto* b = reinterpret_cast<const unsigned char*>(values.data());
    out.assign(b, b + values.size() * sizeof(T));
}

template <class T>
std::vector<T> takeList(const CopiedBytes& in) {
    std::vector<T> values(in.size() / sizeof(T));
    if (!values.empty()) {
        std::memcpy(values.data(), in.data(), values.size() * sizeof(T));
    }
    return values;
}

bool applyChannelFreqs(DeviceManager& m, const CopiedBytes& in) {
    A::cache(m).channelFreqs = takeList<double>(in);
    return true;
}

bool applyChannelTypes(DeviceManager& m, const CopiedBytes& in) {
    A::cache(m).channelTypes = takeList<int>(in);
    return true;
}

// The NMEA output configuration: its four numbers, then the (sentence, rate) pairs.
struct NmeaHead {
    std::int32_t port;
    std::uint8_t keepAfterRestart;
    std::int32_t value;
    std::int32_t count;
};

void copyNmeaConfigs(ReceiverSession& s, CopiedBytes& out) {
    NMEAConfigList list;
    s.Get_NMEA_Output_Configs(list);
    const NmeaHead head{list.port, list.keepAfterRestart, list.value, list.count};
    putBytes(out, head);
    const auto* b = reinterpret_cast<const unsigned char*>(list.messages.data());
    out.insert(out.end(), b, b + list.messages.size() * sizeof(_set_nmea));
}

bool applyNmeaConfigs(DeviceManager& m, const CopiedBytes& in) {
    NMEAConfigList& list = A::cache(m).nmeaConfigs;
    list = NMEAConfigList();
    if (in.size() >= sizeof(NmeaHead)) {
        NmeaHead head{};
        std::memcpy(&head, in.data(), sizeof head);
        list.port = head.port;
        list.keepAfterRestart = head.keepAfterRestart;
        list.value = head.value;
        list.count = head.count;
        list.messages = takeList<_set_nmea>(CopiedBytes(in.begin() + sizeof head, in.end()));
    }
    return true;
}

const AnswerRow kRows[] = {
    {0x2u | 0x4u, copyPiece<&ReceiverSession::Get_Static_FileDir>, applyDirectoryPiece, 0, nullptr},
    {0x4u, copyNothing, endDirectory, 31, nullptr},
    {0x8u | 0x10u, copyPiece<&ReceiverSession::Get_Read_Static_File>, applyFilePiece, 33, nullptr},
    {0x10u, copyNothing, endFile, 32, nullptr},
    {0x20u, copyAntennaType, applyAntennaType, 0, nullptr},
    {0x40u, copyPiece<&ReceiverSession::Get_BasePosition_List>, appendBaseListPiece, 0, nullptr},
    {0x80u, copyPiece<&ReceiverSession::Get_BasePosition_List>, endBaseList, 68, nullptr},
    {0x100u, copyDifference, applyDifference, 69, nullptr},
    {0x400u, copyList<double, &ReceiverSession::Get_Radio_ChannelList_Freq>, applyChannelFreqs, 71,
     nullptr},
    {0x200u, copyList<int, &ReceiverSession::Get_Radio_ChannelList_Type>, applyChannelTypes, 70,
     nullptr},
    {0x800u, copyNmeaConfigs, applyNmeaConfigs, 72, nullptr},
    {0x1000u, copyRecord<bool, &ReceiverSession::GetStaticStatus>,
     store<bool, &DeviceCache::staticStatus>, 39, nullptr},
};

const AnswerTable kTable = tableOf(kRows);

}  // namespace

const AnswerTable& surveyDataAnswers() {
    return kTable;
}

// ---- Static data file requests.

void DeviceManager::queryStaticFileDir() {
    staticFiles_.clear();
    staticDirectory_.reset();
    if (receiver_) {
        receiver_->Send_Static_FileDir();
    }
}

bool DeviceManager::openStaticFileDownload(std::uint32_t file, const char* localPath,
                                           const char* dateText) {
    if (!receiver_) {
        return false;
    }
    if (!staticDownload_.open(localPath)) {
        LogicContext::log(QStringLiteral("Static file: cannot open ") +
                          QString::fromUtf8(localPath ? localPath : ""));
        return false;
    }
    const std::string header = staticFileHeader(
        DeviceRecord::boardType(cache_.deviceInfo), receiverId_.toLatin1().toStdString(),
        dateText ? dateText : "", DeviceRecord::model(cache_.deviceInfo));
    if (!staticDownload_.write(header.data(), header.size())) {
        staticDownload_.close();
        LogicContext::log(QStringLiteral("Static file: cannot write the header"));
        return false;
    }
    receiver_->Send_Read_Static_File(file);
    return true;
}

void DeviceManager::writeStaticFile(const void* bytes, std::size_t count) {
    staticDownload_.write(bytes, count);
}

void DeviceManager::closeStaticFile() {
    staticDownload_.close();
}

QString DeviceManager::staticAntennaType() const {
    return QString::fromLatin1(staticAntennaType_.c_str());
}

}  // namespace Varnok
