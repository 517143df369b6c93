#include "static_files.h"

#include <algorithm>
#include <cstring>

#include "device_codes.h"

namespace Varnok {

namespace {

constexpr std::uint32_t kSecondsPerWeek = 604800;
constexpr int kMinutesPerDay = 1440;

// Bytes each state takes: state 1 is the marker, states 3, 7 and 8 are skipped.
constexpr std::size_t kWidth[] = {0, 1, 4, 1, 2, 2, 2, 3, 0};

// The longest text each header field keeps: 76 characters in all, so the six lines always fit
// the 160 bytes with their terminator.
constexpr int kHeaderIdChars = 22;
constexpr int kHeaderDateChars = 24;
constexpr int kHeaderModelChars = 30;

}  // namespace

std::string staticFileName(const std::string& receiverId, int dayOfYear, int hour) {
    char tail[16];
    std::snprintf(tail, sizeof tail, "%03d%c", std::clamp(dayOfYear, 0, 999),
                  static_cast<char>('A' + std::clamp(hour, 0, 25)));
    return receiverId.substr(0, StaticFileDirectory::kIdInName) + tail;
}

std::string staticFileHeader(int boardType, const std::string& receiverId,
                             const std::string& dateText, const std::string& model) {
    char header[StaticFileDirectory::kHeaderBytes] = {};
    const auto cut = [](const std::string& s, int most) {
        return static_cast<int>(std::min<std::size_t>(std::strlen(s.c_str()), most));
    };
    // The version as fixed text: "%.1f" would follow a comma-decimal locale.
    std::snprintf(header, sizeof header,
                  "VELTANAV COLLECTED DATA FILE\r\nver %s\r\nReceiverID:%.*s\r\nDate:%.*s\r\n"
                  "Model:%.*s\r\nAntHigh:0.000\r\n",
                  boardType == 2 ? "54.0" : "60.0", cut(receiverId, kHeaderIdChars),
                  receiverId.c_str(), cut(dateText, kHeaderDateChars), dateText.c_str(),
                  cut(model, kHeaderModelChars), model.c_str());
    return std::string(header, sizeof header);
}

void StaticFileDirectory::reset() {
    buffer_.clear();
    state_ = 1;
    position_ = 0;
    record_.gpsTime = 0;
}

void StaticFileDirectory::append(const unsigned char* data, std::size_t count,
                                 const std::string& receiverId,
                                 std::vector<StaticFileRecord>& files) {
    if (data && count > 0) {
        buffer_.insert(buffer_.end(), data, data + count);
    }
    for (;;) {
        if (state_ == 1) {
            const auto from =
                buffer_.begin() + static_cast<std::ptrdiff_t>(std::min(position_, buffer_.size()));
            auto marker = std::find(from, buffer_.end(), '*');
            if (marker == buffer_.end()) {
                marker = std::find(from, buffer_.end(), '{');
            }
            if (marker == buffer_.end()) {
                reset();
                return;
            }
            buffer_.erase(buffer_.begin(), marker);
            position_ = 1;
            state_ = 2;
            continue;
        }
        if (state_ == 9) {
            if (record_.gpsTime != 0) {
                files.push_back(record_);
            }
            state_ = 1;
            record_.gpsTime = 0;
            position_ += kWidth[1];
            continue;
        }
        const std::size_t width = kWidth[state_];
        if (buffer_.size() < position_ + width + 2) {
            return;
        }
        takeField(buffer_.data() + position_, receiverId);
        position_ += width;
        ++state_;
    }
}

void StaticFileDirectory::takeField(const unsigned char* p, const std::string& receiverId) {
    switch (state_) {
        case 2: {
            const std::uint32_t t = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                    (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
            const int week = static_cast<int>(t / kSecondsPerWeek);
            const double second = static_cast<double>(t % kSecondsPerWeek);
            StaticFileTime& s = record_.start;
            DeviceCodes::gpsTimeToDate(week, second, &s.year, &s.month, &s.day, &s.hour, &s.minute,
                                       &s.second);
            int year = 0;
            int dayOfYear = 0;
            int hour = 0;
            int minute = 0;
            double secs = 0;
            DeviceCodes::gpsTimeToDayOfYear(week, second, year, dayOfYear, hour, minute, secs);
            record_.name = staticFileName(receiverId, dayOfYear, hour);
            record_.gpsTime = t;
            break;
        }
        case 4:
            sizeLow_[0] = p[0];
            sizeLow_[1] = p[1];
            break;
        case 5: {
            const int m = (p[0] | (p[1] << 8)) % kMinutesPerDay;
            record_.secondTime = StaticFileTime();
            record_.secondTime.hour = m / 60;
            record_.secondTime.minute = m % 60;
            break;
        }
        case 6: {
            const std::uint32_t field =
                (std::uint32_t{p[0]} << 16) | (std::uint32_t{sizeLow_[1]} << 8) | sizeLow_[0];
            record_.size = static_cast<int>((field & 0x7FFFFFu) >> 1);
            break;
        }
        default:
            break;
    }
}

bool StaticFileDownload::open(const char* path) {
    close();
    if (!path) {
        return false;
    }
    file_ = std::fopen(path, "ab+");
    written_ = 0;
    return file_ != nullptr;
}

bool StaticFileDownload::write(const void* data, std::size_t count) {
    if (!file_ || !data || count == 0) {
        return false;
    }
    const std::size_t n = std::fwrite(data, 1, count, file_);
    written_ += n;
    return n == count;
}

void StaticFileDownload::close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

}  // namespace Varnok
