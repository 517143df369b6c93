#pragma once

// What the answer tables of every category share: the byte copies between the session's
// thread and the GUI thread, and the members of DeviceManager that the rows reach.
#include <cstring>
#include <type_traits>

#include "device_answers.h"
#include "device_manager.h"

namespace Varnok {

template <class T>
void putBytes(CopiedBytes& out, const T& value) {
    static_assert(std::is_trivially_copyable<T>::value, "copied records are plain bytes");
    out.resize(sizeof(T));
    std::memcpy(out.data(), &value, sizeof(T));
}

// The value, or a zero one when the bytes are not of its size.
template <class T>
T takeBytes(const CopiedBytes& in) {
    T value{};
    if (in.size() == sizeof(T)) {
        std::memcpy(&value, in.data(), sizeof(T));
    }
    return value;
}

// A getter that fills a record passed by reference, copied whole.
template <class T, void (ReceiverSession::*Get)(T&)>
void copyRecord(ReceiverSession& s, CopiedBytes& out) {
    T value{};
    (s.*Get)(value);
    putBytes(out, value);
}

// A getter that returns its value.
template <class T, T (ReceiverSession::*Get)()>
void copyResult(ReceiverSession& s, CopiedBytes& out) {
    putBytes(out, (s.*Get)());
}

// A record with the lengths its texts had as sent, read together on the session's thread.
template <class T>
struct WithLengths {
    T record;
    Text_Lengths lengths;
};

template <class T, void (ReceiverSession::*Get)(T&)>
void copyWithLengths(ReceiverSession& s, CopiedBytes& out) {
    WithLengths<T> a{};
    (s.*Get)(a.record);
    s.Get_Text_Lengths(a.lengths);
    putBytes(out, a);
}

// Members of DeviceManager reached by the rows (friend of DeviceManager).
struct DeviceAnswersAccess {
    static DeviceCache& cache(DeviceManager& m) { return m.cache_; }
    static BasePositionList& basePositions(DeviceManager& m) { return m.basePositions_; }
    static SourceListCollector& sourceList(DeviceManager& m) { return m.sourceList_; }
    static StaticFileDirectory& staticDirectory(DeviceManager& m) { return m.staticDirectory_; }
    static std::vector<StaticFileRecord>& staticFiles(DeviceManager& m) { return m.staticFiles_; }
    static StaticFileDownload& staticDownload(DeviceManager& m) { return m.staticDownload_; }
    static std::string& staticAntennaType(DeviceManager& m) { return m.staticAntennaType_; }
    static ReceiverSession* session(DeviceManager& m) { return m.receiver_.get(); }
    static int workingStatus(const DeviceManager& m) { return m.workingStatus_; }
    static void setWorkingStatus(DeviceManager& m, int s) { m.workingStatus_ = s; }
    static void markFirstAnswer(DeviceManager& m) { m.markFirstAnswer(); }
    static void setWifiShareAnswered(DeviceManager& m) { m.wifiShareAnswered_ = true; }
    static void takeIoList(DeviceManager& m, const QX_DATA_CONFIG_LIST& l) { m.takeIoList(l); }
    static void connectedAfterFirstAnswer(DeviceManager& m) {
        if (m.workingStatus_ == 2) {
            m.workingStatus_ = 4;
            m.announce(2);
        }
    }
    static void boardChanged(DeviceManager& m) {
        if (m.workingStatus_ == 3 && m.receiver_) {
            m.receiver_->Send_Gprs_Version();
            m.receiver_->Set_Gnss_PosFrq(GNSS_FRQ_3);
        }
    }
};

// The apply steps that only write one cache field.
template <class T, auto Field>
bool store(DeviceManager& m, const CopiedBytes& in) {
    DeviceAnswersAccess::cache(m).*Field = takeBytes<T>(in);
    return true;
}

// A byte where anything but 0 means on.
template <bool DeviceCache::*Field>
bool storeFlag(DeviceManager& m, const CopiedBytes& in) {
    DeviceAnswersAccess::cache(m).*Field = takeBytes<unsigned char>(in) != 0;
    return true;
}

// A byte where only 1 means on.
template <bool DeviceCache::*Field>
bool storeIsOne(DeviceManager& m, const CopiedBytes& in) {
    DeviceAnswersAccess::cache(m).*Field = takeBytes<unsigned char>(in) == 1;
    return true;
}

template <std::size_t N>
constexpr AnswerTable tableOf(const AnswerRow (&rows)[N]) {
    return AnswerTable{rows, N};
}

// A source-list piece (categories 2 and 6): the bytes the session holds, at most 4,096.
void copySourcePiece(ReceiverSession& s, CopiedBytes& out);
bool applySourcePiece(DeviceManager& m, const CopiedBytes& in);

// The position (categories 1 and 3): announced only with a solution.
void copyPosition(ReceiverSession& s, CopiedBytes& out);
bool applyPosition(DeviceManager& m, const CopiedBytes& in);

// The tables of the categories in their own files.
const AnswerTable& oldProtocolAnswers();
const AnswerTable& baseSettingsAnswers();
const AnswerTable& dataLinkAnswers();
const AnswerTable& surveyDataAnswers();

}  // namespace Varnok
