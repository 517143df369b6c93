#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Varnok {

// A calendar time of a static file's directory entry.
struct StaticFileTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    double second = 0;
};

// One file of an old-protocol receiver's static-data directory.
struct StaticFileRecord {
    std::string name;  // receiver ID (at most 17 characters), day of year, hour letter
    StaticFileTime start;
    // The directory's minutes field as hours and minutes; the other fields stay 0.
    StaticFileTime secondTime;
    int size = 0;
    std::uint32_t gpsTime = 0;  // seconds since the GPS epoch; 0 marks an empty entry
};

// The name a receiver's file goes by: the receiver ID cut to 17 characters, the day of the
// year in three digits and 'A' + the hour of the day, 21 characters at most.
std::string staticFileName(const std::string& receiverId, int dayOfYear, int hour);

// The 160-byte text header of a downloaded data file: the fields are cut where the text would
// not fit, and the rest is zero bytes.
std::string staticFileHeader(int boardType, const std::string& receiverId,
                             const std::string& dateText, const std::string& model);

// Reads the receiver's directory stream as it arrives in pieces. Each entry is a marker ('*' or
// '{') and 14 bytes of fields; a field is taken only once two more bytes follow it, and the
// byte after an entry is skipped. Qt-free.
class StaticFileDirectory {
public:
    static constexpr std::size_t kHeaderBytes = 160;
    static constexpr std::size_t kIdInName = 17;

    // Empties the buffer and starts over at a marker.
    void reset();
    // Adds a piece and appends every entry it completes (GPS time not 0) to `files`; names are
    // made with receiverId.
    void append(const unsigned char* data, std::size_t count, const std::string& receiverId,
                std::vector<StaticFileRecord>& files);
    std::size_t bufferedBytes() const { return buffer_.size(); }

private:
    void takeField(const unsigned char* p, const std::string& receiverId);

    std::vector<unsigned char> buffer_;
    int state_ = 1;
    std::size_t position_ = 0;
    unsigned char sizeLow_[2] = {0, 0};
    StaticFileRecord record_;
};

// The local file a download writes into, opened for appending ("ab+"): a second download into
// the same file adds another header and its data at the end. Closed when replaced or destroyed.
class StaticFileDownload {
public:
    StaticFileDownload() = default;
    ~StaticFileDownload() { close(); }
    StaticFileDownload(const StaticFileDownload&) = delete;
    StaticFileDownload& operator=(const StaticFileDownload&) = delete;

    // Closes any open file first; false when the path cannot be opened (UTF-8 path).
    bool open(const char* path);
    bool isOpen() const { return file_ != nullptr; }
    // Writes when a file is open; false when nothing was written or the write fell short.
    bool write(const void* data, std::size_t count);
    void close();
    // Bytes written since the file was opened.
    std::size_t written() const { return written_; }

private:
    std::FILE* file_ = nullptr;
    std::size_t written_ = 0;
};

}  // namespace Varnok
