#include "SimState.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace varnok_sim {

namespace {

enum class Kind { Int, Real, Text, Choice };

struct Key {
    const char* name;
    const char* value;  // the default
    Kind kind;
    double low;           // Int and Real: range; Text: longest length
    double high;          // Int and Real: range
    const char* choices;  // Choice: the values, separated by '|'
};

constexpr double kIntMax = 4294967295.0;

// Every key the simulator knows. README.md describes them.
constexpr Key kKeys[] = {
    {"protocol", "new", Kind::Choice, 0, 0, "new|old"},
    {"mode", "normal", Kind::Choice, 0, 0, "normal|silent|garbage|stop_mid_answer"},
    {"delay_ms", "0", Kind::Int, 0, 60000, nullptr},
    {"close_after", "0", Kind::Int, 0, kIntMax, nullptr},
    {"baud", "0", Kind::Int, 0, 4000000, nullptr},
    // Answer controls by request name: "drop" (names separated by commas) logs those requests
    // and never answers them; "late" ("name:ms" pairs) sends their answers that much later.
    {"drop", "", Kind::Text, 1000, 0, nullptr},
    {"late", "", Kind::Text, 1000, 0, nullptr},
    {"serial", "SIM001", Kind::Text, 24, 0, nullptr},
    {"model", "", Kind::Text, 24, 0, nullptr},
    {"firmware", "", Kind::Text, 50, 0, nullptr},
    {"firmware_extra", "", Kind::Text, 49, 0, nullptr},
    {"hardware_id", "1", Kind::Int, 0, kIntMax, nullptr},
    {"hardware_kind", "2", Kind::Int, 0, kIntMax, nullptr},
    {"board", "2", Kind::Int, 0, 255, nullptr},
    {"sat_channels", "224", Kind::Int, 0, 255, nullptr},
    {"static_files", "", Kind::Text, 400, 0, nullptr},
    {"static_file_size", "200", Kind::Int, 0, 1000000, nullptr},
    {"static_status", "0", Kind::Int, 0, 255, nullptr},
    {"static_antenna", "", Kind::Text, 20, 0, nullptr},
    {"battery", "80", Kind::Int, 0, 100, nullptr},
    {"external_power", "0", Kind::Int, 0, 1, nullptr},
    // New protocol: the two battery levels as floats' bits or as whole percents.
    {"battery_form", "float", Kind::Choice, 0, 0, "float|percent"},
    {"radio_module", "1", Kind::Int, 0, 65535, nullptr},
    {"gprs_version", "3.60", Kind::Text, 4, 0, nullptr},
    // Old protocol's data link: the internal radio (a type of the library's band table), the
    // GPRS link with its scripted log-on, the automatic login and the service record.
    {"radio_type", "3", Kind::Int, 3, 10, nullptr},
    {"transmit_mode", "1", Kind::Int, 0, 255, nullptr},
    {"radio_baud_code", "0", Kind::Int, 0, 255, nullptr},
    {"radio_sensitivity", "2", Kind::Int, 0, 255, nullptr},
    {"radio_fec", "0", Kind::Int, 0, 255, nullptr},
    {"channel_spacing", "0", Kind::Int, 0, 2, nullptr},
    // Longer than the 14-character field, to play a receiver that sends more; a set takes 14.
    {"callsign", "", Kind::Text, 32, 0, nullptr},
    {"callsign_on", "0", Kind::Int, 0, 255, nullptr},
    {"callsign_interval", "10", Kind::Int, 0, 255, nullptr},
    {"gprs_address", "10.0.0.1", Kind::Text, 31, 0, nullptr},
    {"gprs_port", "9901", Kind::Int, 0, 65535, nullptr},
    {"gprs_protocol", "0", Kind::Int, 0, 3, nullptr},
    {"gprs_work_mode", "1", Kind::Int, 0, 255, nullptr},
    {"base_id", "", Kind::Text, 31, 0, nullptr},
    {"apn", "cmnet", Kind::Text, 54, 0, nullptr},
    {"dial", "*99***1#", Kind::Text, 54, 0, nullptr},
    {"gprs_user", "", Kind::Text, 54, 0, nullptr},
    {"gprs_password", "", Kind::Text, 54, 0, nullptr},
    {"gprs_status", "0", Kind::Int, 0, 255, nullptr},
    {"gprs_error", "0", Kind::Int, 0, 255, nullptr},
    {"logon_polls", "2", Kind::Int, 1, 1000, nullptr},
    {"logon_result", "4", Kind::Int, 0, 255, nullptr},
    {"logon_error", "0", Kind::Int, 0, 255, nullptr},
    {"logon_count", "-1", Kind::Int, -1, 1000, nullptr},
    {"login_mode", "0", Kind::Int, 0, 2, nullptr},
    // Longer than the program's record holds (19, 49, 19): a receiver may report more.
    {"cors_source", "", Kind::Text, 31, 0, nullptr},
    {"cors_user", "", Kind::Text, 63, 0, nullptr},
    {"cors_password", "", Kind::Text, 31, 0, nullptr},
    {"silent_at", "", Kind::Text, 200, 0, nullptr},
    {"radio_frequency", "438.125", Kind::Real, 0, 1e4, nullptr},
    {"radio_power", "10", Kind::Int, 0, kIntMax, nullptr},
    {"radio_stepper", "125", Kind::Int, 0, kIntMax, nullptr},
    {"radio_air_baud", "9600", Kind::Int, 0, kIntMax, nullptr},
    {"radio_protocol", "1", Kind::Int, 0, 65535, nullptr},
    {"elevation_mask", "10", Kind::Int, 0, 255, nullptr},
    {"base_list_radius", "0", Kind::Real, -1e9, 1e9, nullptr},
    {"base_list_limit", "10", Kind::Int, 0, 255, nullptr},
    {"wifi_mode", "1", Kind::Int, 0, 65535, nullptr},
    {"wifi_ssid", "SIM-AP", Kind::Text, 19, 0, nullptr},
    {"wifi_channel", "6", Kind::Int, 0, 65535, nullptr},
    {"wifi_password", "12345678", Kind::Text, 19, 0, nullptr},
    {"wifi_power", "1", Kind::Int, 0, 65535, nullptr},
    {"wifi_auto_open", "1", Kind::Int, 0, 255, nullptr},
    {"wifi_share", "1", Kind::Int, 0, 255, nullptr},
    {"wifi_share_auto", "0", Kind::Int, 0, 255, nullptr},
    {"modem_apn", "internet", Kind::Text, 19, 0, nullptr},
    {"modem_user", "", Kind::Text, 19, 0, nullptr},
    {"modem_password", "", Kind::Text, 19, 0, nullptr},
    {"modem_number", "*99#", Kind::Text, 19, 0, nullptr},
    {"modem_power", "1", Kind::Int, 0, 65535, nullptr},
    {"modem_auto_power", "1", Kind::Int, 0, 255, nullptr},
    {"modem_dial_status", "0", Kind::Int, 0, 65535, nullptr},
    {"modem_auto_dial", "0", Kind::Int, 0, 255, nullptr},
    {"modem_band", "0", Kind::Int, 0, 65535, nullptr},
    {"modem_work_mode", "0", Kind::Int, 0, 65535, nullptr},
    {"csd_number", "", Kind::Text, 19, 0, nullptr},
    {"csd_mode", "0", Kind::Int, 0, 255, nullptr},
    {"csd_status", "0", Kind::Int, 0, 65535, nullptr},
    // Records a session set, kept as hex; empty: built from the keys above.
    {"wifi_ap_raw", "", Kind::Text, 84, 0, nullptr},
    {"modem_dial_raw", "", Kind::Text, 200, 0, nullptr},
    {"csd_raw", "", Kind::Text, 42, 0, nullptr},
    // A dial command reaches its status after this many status queries.
    {"dial_polls", "2", Kind::Int, 0, 1000, nullptr},
    {"dial_target", "-1", Kind::Int, -1, 65535, nullptr},
    {"dial_left", "0", Kind::Int, 0, 1000, nullptr},
    {"latitude", "55.75", Kind::Real, -90, 90, nullptr},
    {"longitude", "37.62", Kind::Real, -180, 180, nullptr},
    {"height", "150.0", Kind::Real, -1e5, 1e5, nullptr},
    {"quality", "1", Kind::Int, 0, 9, nullptr},
    {"satellites", "12", Kind::Int, 0, 99, nullptr},
    {"position_ms", "200", Kind::Int, 0, 60000, nullptr},
    // Radio channel tables: the old protocol's sixteen channels (counts of the channel step),
    // their use (0-3) and the spacing code; the new protocol's ten-channel list and its three
    // band lists ("a,b/c/d,e"), in MHz.
    {"channel_counts",
     "0,36404,36444,36484,36524,36564,36604,36644,36684,36724,36764,36804,36844,36884,36924,36964",
     Kind::Text, 200, 0, nullptr},
    {"channel_types", "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", Kind::Text, 100, 0, nullptr},
    {"radio_channels", "", Kind::Text, 200, 0, nullptr},
    {"radio_channel_tables", "", Kind::Text, 1000, 0, nullptr},
    // Recording and static point (old protocol).
    {"record_mode", "0", Kind::Int, 0, 255, nullptr},
    {"record_session", "0", Kind::Int, 0, 255, nullptr},
    {"record_interval", "1", Kind::Int, 0, 255, nullptr},
    {"record_mask", "10", Kind::Int, 0, 255, nullptr},
    {"memory", "0", Kind::Int, 0, 255, nullptr},
    {"point_name", "", Kind::Text, 32, 0, nullptr},
    {"point_height_bits", "0", Kind::Int, 0, kIntMax, nullptr},
    {"point_antenna", "0", Kind::Int, 0, 255, nullptr},
    {"point_method", "1", Kind::Int, 0, 255, nullptr},
    // NMEA output (old protocol): the port byte "SB" sets (220 9600, 238 19200, 247 38400,
    // 250 57600, 253 115200), the output, the keep flag and the eleven rate codes.
    {"nmea_port", "220", Kind::Int, 0, 255, nullptr},
    {"nmea_output", "1", Kind::Int, 0, 255, nullptr},
    {"nmea_keep", "0", Kind::Int, 0, 1, nullptr},
    {"nmea_rates", "", Kind::Text, 64, 0, nullptr},
    // Recording and output (new protocol).
    {"record_status", "2", Kind::Int, 0, 65535, nullptr},
    {"record_auto_open", "0", Kind::Int, 0, 255, nullptr},
    {"record_minutes", "60", Kind::Int, 0, kIntMax, nullptr},
    {"record_code", "9", Kind::Int, 0, 65535, nullptr},
    // The rest of the settings record as last set, hex (43 bytes, the session and interval
    // fields 0: their keys hold them); empty: all zeros.
    {"record_param_raw", "", Kind::Text, 86, 0, nullptr},
    {"data_rates", "", Kind::Text, 400, 0, nullptr},
    // Sentence rates set on the serial port (IO 1) and on Bluetooth (IO 4); not answered.
    {"io1_rates", "", Kind::Text, 400, 0, nullptr},
    {"io4_rates", "", Kind::Text, 400, 0, nullptr},
    {"pdop_mask", "3", Kind::Int, 0, 255, nullptr},
    {"diff_type", "6", Kind::Int, 0, 65535, nullptr},
    {"base_mode", "2", Kind::Int, 0, 65535, nullptr},
    {"base_latitude_rad", "0", Kind::Real, -4, 4, nullptr},
    {"base_longitude_rad", "0", Kind::Real, -7, 7, nullptr},
    {"base_height", "0", Kind::Real, -1e6, 1e6, nullptr},
    {"io1_diff", "0", Kind::Int, 0, 65535, nullptr},
    {"io5_diff", "0", Kind::Int, 0, 65535, nullptr},
    {"io6_diff", "0", Kind::Int, 0, 65535, nullptr},
    {"com_baud", "3", Kind::Int, 0, 65535, nullptr},
    {"base_list_entries", "", Kind::Text, 255 * 40, 0, nullptr},
    {"output_mode", "0", Kind::Int, 0, 255, nullptr},
    {"log_mode", "0", Kind::Int, 0, 255, nullptr},
    {"session_length", "0", Kind::Int, 0, 255, nullptr},
    {"sample_interval", "0", Kind::Int, 0, 255, nullptr},
    {"rtk_elevation_mask", "10", Kind::Int, 0, 255, nullptr},
    {"transmit_port", "1", Kind::Int, 0, 255, nullptr},
    {"transmit_format", "3", Kind::Int, 0, 255, nullptr},
    {"start_mode", "0", Kind::Int, 0, 255, nullptr},
    {"output_rate_hz", "1", Kind::Int, 0, 255, nullptr},
    {"auto_base_distance", "0", Kind::Int, 0, 65535, nullptr},
    {"old_base_list", "", Kind::Text, 255 * 48, 0, nullptr},
    // New-protocol data link: the mode, the radio's power status (a stuck radio ignores the
    // switch) and switches, and the records kept raw as hex (zeros when empty).
    {"datalink_mode", "1", Kind::Int, 0, 65535, nullptr},
    {"radio_power_status", "2", Kind::Int, 0, 65535, nullptr},
    {"radio_power_stuck", "0", Kind::Int, 0, 1, nullptr},
    {"radio_auto_power", "0", Kind::Int, 0, 255, nullptr},
    {"radio_sensitivity", "1", Kind::Int, 0, 255, nullptr},
    {"radio_fec", "0", Kind::Int, 0, 255, nullptr},
    {"radio_callsign", "", Kind::Text, 38, 0, nullptr},
    {"radio_callsign_silent", "0", Kind::Int, 0, 1, nullptr},
    {"server_type", "2", Kind::Int, 0, 65535, nullptr},
    {"server_address", "", Kind::Text, 114, 0, nullptr},
    {"server_source", "", Kind::Text, 40, 0, nullptr},
    {"server_account", "", Kind::Text, 140, 0, nullptr},
    {"net_auto_open", "0", Kind::Int, 0, 255, nullptr},
    {"source_table", "", Kind::Text, 4095, 0, nullptr},
    {"source_piece", "4096", Kind::Int, 1, 4096, nullptr},
    {"source_frames", "vm", Kind::Choice, 0, 0, "vm|t"},
};

const Key* Find(const std::string& name) {
    for (const Key& k : kKeys) {
        if (name == k.name) {
            return &k;
        }
    }
    return nullptr;
}

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

bool Among(const std::string& value, const std::string& choices) {
    std::size_t at = 0;
    while (at <= choices.size()) {
        const std::size_t bar = choices.find('|', at);
        const std::size_t end = bar == std::string::npos ? choices.size() : bar;
        if (choices.compare(at, end - at, value) == 0) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

// The entries of a comma-separated list, empty ones left out.
std::vector<std::string> Entries(const std::string& list) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t end = list.find(',', at);
        if (end == std::string::npos) {
            end = list.size();
        }
        if (end > at) {
            out.push_back(list.substr(at, end - at));
        }
        at = end + 1;
    }
    return out;
}

constexpr long kLateMaxMs = 60000;

// "name:ms": the request's name and its extra delay; false when the entry is not of that form.
bool LateEntry(const std::string& entry, std::string* name, long* ms) {
    const std::size_t colon = entry.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= entry.size()) {
        return false;
    }
    char* end = nullptr;
    const long v = std::strtol(entry.c_str() + colon + 1, &end, 10);
    if (end == nullptr || *end != '\0' || v < 0 || v > kLateMaxMs) {
        return false;
    }
    *name = entry.substr(0, colon);
    *ms = v;
    return true;
}

bool Check(const Key& k, const std::string& value, std::string* error) {
    const std::string what = std::string(k.name) + "=" + value + ": ";
    if (std::string(k.name) == "late") {
        for (const std::string& entry : Entries(value)) {
            std::string name;
            long ms = 0;
            if (!LateEntry(entry, &name, &ms)) {
                return Fail(error, what + "\"name:ms\" entries (0-60000 ms) are needed");
            }
        }
    }
    switch (k.kind) {
        case Kind::Int:
        case Kind::Real: {
            if (value.empty()) {
                return Fail(error, what + "a number is needed");
            }
            char* end = nullptr;
            errno = 0;
            const double v = k.kind == Kind::Int
                                 ? static_cast<double>(std::strtoll(value.c_str(), &end, 10))
                                 : std::strtod(value.c_str(), &end);
            if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(v)) {
                return Fail(error, what + "not a number");
            }
            if (v < k.low || v > k.high) {
                return Fail(error, what + "out of range");
            }
            return true;
        }
        case Kind::Text:
            if (value.size() > static_cast<std::size_t>(k.low)) {
                return Fail(error, what + "longer than " + std::to_string(int(k.low)));
            }
            return true;
        case Kind::Choice:
            if (!Among(value, k.choices)) {
                return Fail(error, what + "one of " + k.choices + " is needed");
            }
            return true;
    }
    return false;
}

}  // namespace

SimState::SimState() {
    for (const Key& k : kKeys) {
        values_[k.name] = k.value;
    }
}

bool SimState::set(const std::string& key, const std::string& value, std::string* error) {
    std::string name = key;
    std::string v = value;
    // The program's own word for the protocol: device type 1 speaks the new one.
    if (name == "device_type") {
        name = "protocol";
        v = (value == "1") ? "new" : "old";
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) {
            return Fail(error, "device_type=" + value + ": a number is needed");
        }
    }
    const Key* k = Find(name);
    if (k == nullptr) {
        return Fail(error, "unknown key \"" + key + "\"");
    }
    if (!Check(*k, v, error)) {
        return false;
    }
    values_[name] = v;
    return true;
}

std::string SimState::get(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

long SimState::number(const std::string& key) const {
    return static_cast<long>(std::strtoll(text(key).c_str(), nullptr, 10));
}

double SimState::real(const std::string& key) const {
    return std::strtod(text(key).c_str(), nullptr);
}

const std::string& SimState::text(const std::string& key) const {
    static const std::string empty;
    const auto it = values_.find(key);
    return it == values_.end() ? empty : it->second;
}

bool SimState::dropsAnswerTo(const std::string& request) const {
    for (const std::string& name : Entries(text("drop"))) {
        if (name == request) {
            return true;
        }
    }
    return false;
}

long SimState::lateMsFor(const std::string& request) const {
    long total = 0;
    for (const std::string& entry : Entries(text("late"))) {
        std::string name;
        long ms = 0;
        if (LateEntry(entry, &name, &ms) && name == request) {
            total = ms;
        }
    }
    return total;
}

std::string SimState::firmware() const {
    const std::string& f = text("firmware");
    if (!f.empty()) {
        return f;
    }
    return newProtocol() ? "1.2.3" : "8.20";
}

std::string SimState::model() const {
    const std::string& m = text("model");
    if (!m.empty()) {
        return m;
    }
    if (newProtocol()) {
        return "SIM-PN-01";
    }
    // Board ids the library recognises, by main-board type.
    switch (number("board")) {
        case 1:
            return "P53D";
        case 3:
            return "1907";
        case 4:
            return "6203";
        default:
            return "1905";
    }
}

}  // namespace varnok_sim
