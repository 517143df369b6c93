#include "date_time.h"

#include <climits>
#include <cstdio>

namespace {

int64_t makeTime(struct tm* fields) {
    // -1: the zone's rules decide whether daylight saving applies at that time.
    fields->tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(fields));
}

}  // namespace

DateTime::DateTime(int64_t seconds) {
    setSeconds(seconds);
}

DateTime::DateTime(int year, int month, int day) {
    set(year, month, day, 0, 0, 0);
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second) {
    set(year, month, day, hour, minute, second);
}

void DateTime::set(int year, int month, int day, int hour, int minute, int second) {
    struct tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    setSeconds(makeTime(&fields));
}

DateTime DateTime::currentDateTime() {
    return DateTime(static_cast<int64_t>(std::time(nullptr)));
}

void DateTime::fromString(const std::string& text, const char* format) {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (format != nullptr) {
        std::sscanf(text.c_str(), format, &year, &month, &day, &hour, &minute, &second);
    }
    if (year < 1900) {
        year = 1970;
    }
    if (month < 0) {
        month = 1;
    }
    if (day < 0) {
        day = 1;
    }
    if (hour < 0) {
        hour = 0;
    }
    if (minute < 0) {
        minute = 0;
    }
    if (second < 0) {
        second = 0;
    }
    set(year, month, day, hour, minute, second);
}

std::string DateTime::format(const char* format) const {
    char buf[256];
    if (format == nullptr) {
        return std::string();
    }
    size_t n = std::strftime(buf, sizeof(buf), format, &local_);
    return std::string(buf, n);
}

int DateTime::compare(const DateTime& o) const {
    if (seconds_ > o.seconds_) {
        return 1;
    }
    return seconds_ == o.seconds_ ? 0 : -1;
}

double DateTime::secondsTo(const DateTime& o) const {
    const double d = static_cast<double>(seconds_) - static_cast<double>(o.seconds_);
    return d < 0 ? -d : d;
}

void DateTime::addYears(int64_t count) {
    struct tm fields = local_;
    const int64_t year = static_cast<int64_t>(fields.tm_year) + count;
    fields.tm_year = year > INT_MAX ? INT_MAX : (year < INT_MIN ? INT_MIN : static_cast<int>(year));
    setSeconds(makeTime(&fields));
}

void DateTime::setSeconds(int64_t seconds) {
    seconds_ = seconds;
    const time_t t = static_cast<time_t>(seconds);
    local_ = tm{};
    localtime_r(&t, &local_);
}

void DateTime::addUnits(int64_t count, int64_t unit) {
    int64_t delta = 0;
    int64_t result = 0;
    // Saturate rather than overflow on absurd counts.
    if (__builtin_mul_overflow(count, unit, &delta) ||
        __builtin_add_overflow(seconds_, delta, &result)) {
        result = (count < 0) ? INT64_MIN : INT64_MAX;
    }
    setSeconds(result);
}
