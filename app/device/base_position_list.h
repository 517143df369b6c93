#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_NewRecords.h"

namespace Varnok {

// One position of the display list: degrees, degrees, metres.
struct BasePosition {
    double latitude = 0;
    double longitude = 0;
    double height = 0;
};

// The receiver's stored base positions. A new-protocol receiver keeps only what it is sent, so
// edits work on the copy of this connection's last list answer and return the whole list to
// send; an old-protocol receiver sends its list as bytes that are parsed here. Qt-free.
class BasePositionList {
public:
    using Record = Brevan2011::BVParse::BASE_POS_LIST_STRUCT;

    static constexpr double kDegToRad = 0.017453292519943295;
    static constexpr double kRadToDeg = 57.29577951308232;
    static constexpr double kEarthRadius = 6378137.0;
    static constexpr std::size_t kHeaderBytes = 16;
    static constexpr std::size_t kRecordBytes = 24;

    // A new connection: edits wait for its first list answer.
    void resetAnswered() { answered_ = false; }
    bool answered() const { return answered_; }

    // Empties the display list and the byte buffer (query and clear).
    void clearDisplay();

    // New protocol. Each returns false when nothing is to be sent.
    bool clear();
    bool remove(int index);
    bool add(double latitudeDeg, double longitudeDeg, double height);
    bool setDifference(double value);
    // The list answer: replaces the receiver list and the display list.
    void takeAnswer(const Record& record);
    const Record& record() const { return record_; }
    double difference() const { return difference_; }
    void setDifferenceAnswer(double value) { difference_ = value; }

    // Old protocol: appends a piece of the list bytes; parse() reads the buffer when it is whole
    // and returns false when it is not (the buffer is then kept).
    void appendBytes(const unsigned char* data, std::size_t count);
    bool parse();
    std::size_t bufferedBytes() const { return buffer_.size(); }

    const std::vector<BasePosition>& display() const { return display_; }

private:
    Record record_{};
    std::vector<BasePosition> display_;
    std::vector<unsigned char> buffer_;
    double difference_ = 0;
    bool answered_ = false;
};

}  // namespace Varnok
