#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// A local calendar time: seconds since the epoch together with the same instant broken down in
// the local time zone. Calendar fields go through mktime, so out-of-range fields are normalised.
class DateTime {
public:
    explicit DateTime(int64_t seconds = 0);
    // month 1-12; time of day 00:00:00.
    DateTime(int year, int month, int day);
    DateTime(int year, int month, int day, int hour, int minute, int second);

    void set(int year, int month, int day, int hour, int minute, int second);
    static DateTime currentDateTime();
    // Scans year, month, day, hour, minute, second in this order with a scanf format that
    // reads up to six ints. Missing fields stay 1970, 1, 1, 0, 0, 0; a year below 1900 becomes
    // 1970, a month or day below 0 becomes 1, a negative time field 0.
    void fromString(const std::string& text, const char* format);
    void fromString(const std::string& text) { fromString(text, "%d/%d/%d %d:%d:%d"); }

    int year() const { return local_.tm_year + 1900; }
    int month() const { return local_.tm_mon; }  // 0 is January
    int day() const { return local_.tm_mday; }
    int hour() const { return local_.tm_hour; }
    int minute() const { return local_.tm_min; }
    int second() const { return local_.tm_sec; }
    int dayOfWeek() const { return local_.tm_wday; }  // 0 is Sunday
    int dayOfYear() const { return local_.tm_yday; }
    int64_t seconds() const { return seconds_; }
    // The low 32 bits of the seconds.
    uint32_t toTime() const { return static_cast<uint32_t>(seconds_); }

    // strftime of the local time; "" when the result does not fit 255 characters.
    std::string format(const char* format) const;
    std::string toDateString() const { return format("%Y-%m-%d"); }
    std::string toString() const { return format("%Y-%m-%d %H:%M:%S"); }

    bool operator==(const DateTime& o) const { return seconds_ == o.seconds_; }
    bool operator!=(const DateTime& o) const { return seconds_ != o.seconds_; }
    bool operator<(const DateTime& o) const { return seconds_ < o.seconds_; }
    bool operator<=(const DateTime& o) const { return seconds_ <= o.seconds_; }
    bool operator>(const DateTime& o) const { return seconds_ > o.seconds_; }
    bool operator>=(const DateTime& o) const { return seconds_ >= o.seconds_; }
    // 1 when this value is later, 0 when equal, -1 when earlier.
    int compare(const DateTime& o) const;
    double secondsTo(const DateTime& o) const;

    void addSeconds(int64_t count) { addUnits(count, 1); }
    void addMinutes(int64_t count) { addUnits(count, 60); }
    void addHours(int64_t count) { addUnits(count, 3600); }
    void addDays(int64_t count) { addUnits(count, 86400); }
    void addWeeks(int64_t count) { addUnits(count, 604800); }
    // Same calendar fields years later; 29 February becomes 1 March in a common year.
    void addYears(int64_t count);

private:
    void setSeconds(int64_t seconds);
    void addUnits(int64_t count, int64_t unit);

    int64_t seconds_ = 0;
    struct tm local_ {};
};
