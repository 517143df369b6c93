// BlueZ over the system D-Bus (sd-bus): the adapter's state and power, a timed discovery, the
// paired devices, and pairing with an agent that asks the user for a PIN. Each operation opens
// its own bus connection, and no connection is used by two threads at once: a search's Stop only
// sets a flag and writes an eventfd that the searching thread polls beside the bus.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <systemd/sd-bus.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BVComm/BluetoothBackend.h"
#include "BVComm/WinsockErrors.h"
#include "Backends.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

constexpr const char* kService = "org.bluez";
constexpr const char* kAdapterInterface = "org.bluez.Adapter1";
constexpr const char* kDeviceInterface = "org.bluez.Device1";
constexpr const char* kAgentInterface = "org.bluez.Agent1";
constexpr const char* kAgentPath = "/org/varnok/bluetooth/agent";
constexpr const char* kAgentCapability = "KeyboardOnly";
constexpr std::uint64_t kCallTimeoutUs = 3'000'000;
// Longer than the program's own wait for a PIN, so a late answer still reaches BlueZ.
constexpr std::uint64_t kPairTimeoutUs = 90'000'000;
constexpr int kDefaultSearchMs = 10000;
constexpr std::size_t kMaxPinLength = 16;
constexpr unsigned long kMaxPasskey = 999999;

constexpr int kAccessDenied = 5;
constexpr int kGeneralFailure = 31;
constexpr int kNotAuthenticated = 1244;
constexpr int kRadioOff = 2206;
constexpr int kNoAdapter = 10050;

struct BusClose {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
struct SlotUnref {
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;
using Slot = std::unique_ptr<sd_bus_slot, SlotUnref>;

struct BusError {
    sd_bus_error e{};  // SD_BUS_ERROR_NULL, without its C99 literal
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&e); }
    bool is(const char* name) const { return sd_bus_error_has_name(&e, name) > 0; }
};

Bus openBus() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) {
        return Bus();
    }
    return Bus(bus);
}

// A method call on BlueZ; append (when given) adds the arguments. 0 or a negative errno.
template <class Append>
int call(sd_bus* bus, const char* path, const char* interface, const char* member, BusError& error,
         Message* reply, Append append, std::uint64_t timeoutUs = kCallTimeoutUs) {
    sd_bus_message* raw = nullptr;
    int r = sd_bus_message_new_method_call(bus, &raw, kService, path, interface, member);
    if (r < 0) {
        return r;
    }
    Message m(raw);
    r = append(m.get());
    if (r < 0) {
        return r;
    }
    sd_bus_message* out = nullptr;
    r = sd_bus_call(bus, m.get(), timeoutUs, &error.e, &out);
    if (reply != nullptr) {
        reply->reset(out);
    } else {
        sd_bus_message_unref(out);
    }
    return r < 0 ? r : 0;
}

int noArguments(sd_bus_message*) {
    return 0;
}

// "AA:BB:CC:DD:EE:FF" as the 48-bit number with AA on top; false for anything else.
bool parseAddress(const std::string& text, std::uint64_t* address) {
    if (text.size() != 17) {
        return false;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % 3 == 2) {
            if (c != ':') {
                return false;
            }
            continue;
        }
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    *address = value;
    return true;
}

// What the program reads of one BlueZ object; values of a wrong type are left out.
struct BluezObject {
    std::string path;
    bool adapter = false;
    bool device = false;
    bool hasPowered = false;
    bool powered = false;
    bool hasName = false;
    std::string name;
    bool hasAddress = false;
    std::uint64_t address = 0;
    std::string addressType;
    std::string adapterPath;
    bool paired = false;
};

bool isString(const char* contents) {
    return contents != nullptr && std::strcmp(contents, "s") == 0;
}

// One property value (the variant after its key).
int readProperty(sd_bus_message* m, const std::string& key, BluezObject& o) {
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, nullptr, &contents);
    if (r < 0) {
        return r;
    }
    const bool text = isString(contents);
    const bool flag = contents != nullptr && std::strcmp(contents, "b") == 0;
    const bool object = contents != nullptr && std::strcmp(contents, "o") == 0;
    if (text && (key == "Name" || key == "Address" || key == "AddressType")) {
        const char* value = nullptr;
        r = sd_bus_message_read(m, "v", "s", &value);
        if (r < 0) {
            return r;
        }
        const std::string s = value != nullptr ? value : "";
        if (key == "Name") {
            o.hasName = true;
            o.name = s;
        } else if (key == "Address") {
            o.hasAddress = parseAddress(s, &o.address);
        } else {
            o.addressType = s;
        }
        return 0;
    }
    if (flag && (key == "Powered" || key == "Paired")) {
        int value = 0;
        r = sd_bus_message_read(m, "v", "b", &value);
        if (r < 0) {
            return r;
        }
        if (key == "Powered") {
            o.hasPowered = true;
            o.powered = value != 0;
        } else {
            o.paired = value != 0;
        }
        return 0;
    }
    if (object && key == "Adapter") {
        const char* value = nullptr;
        r = sd_bus_message_read(m, "v", "o", &value);
        if (r >= 0 && value != nullptr) {
            o.adapterPath = value;
        }
        return r < 0 ? r : 0;
    }
    return sd_bus_message_skip(m, "v");
}

// An a{sv} of properties.
int readProperties(sd_bus_message* m, BluezObject& o) {
    int r = sd_bus_message_enter_container(m, 'a', "{sv}");
    if (r <= 0) {
        return r;
    }
    while ((r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(m, "s", &key);
        if (r < 0) {
            return r;
        }
        r = readProperty(m, key != nullptr ? key : "", o);
        if (r < 0) {
            return r;
        }
        r = sd_bus_message_exit_container(m);
        if (r < 0) {
            return r;
        }
    }
    if (r < 0) {
        return r;
    }
    return sd_bus_message_exit_container(m);
}

// An a{sa{sv}} of interfaces with their properties.
int readInterfaces(sd_bus_message* m, BluezObject& o) {
    int r = sd_bus_message_enter_container(m, 'a', "{sa{sv}}");
    if (r <= 0) {
        return r;
    }
    while ((r = sd_bus_message_enter_container(m, 'e', "sa{sv}")) > 0) {
        const char* interface = nullptr;
        r = sd_bus_message_read(m, "s", &interface);
        if (r < 0) {
            return r;
        }
        const std::string name = interface != nullptr ? interface : "";
        if (name == kAdapterInterface || name == kDeviceInterface) {
            (name == kAdapterInterface ? o.adapter : o.device) = true;
            r = readProperties(m, o);
        } else {
            r = sd_bus_message_skip(m, "a{sv}");
        }
        if (r < 0) {
            return r;
        }
        r = sd_bus_message_exit_container(m);
        if (r < 0) {
            return r;
        }
    }
    if (r < 0) {
        return r;
    }
    return sd_bus_message_exit_container(m);
}

// The unique name of BlueZ's connection, so that signals and agent calls are taken from it only.
int bluezOwner(sd_bus* bus, std::string* owner) {
    BusError error;
    sd_bus_message* reply = nullptr;
    int r =
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", &error.e, &reply, "s", kService);
    Message hold(reply);
    if (r < 0) {
        return r;
    }
    const char* name = nullptr;
    r = sd_bus_message_read(reply, "s", &name);
    if (r < 0 || name == nullptr) {
        return r < 0 ? r : -EBADMSG;
    }
    *owner = name;
    return 0;
}

// BlueZ's adapters and devices, by path.
struct Snapshot {
    std::vector<BluezObject> objects;

    const BluezObject* firstAdapter() const {
        for (const BluezObject& o : objects) {
            if (o.adapter) {
                return &o;
            }
        }
        return nullptr;
    }
};

int readSnapshot(sd_bus* bus, Snapshot& snapshot) {
    BusError error;
    Message reply;
    int r = call(bus, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", error, &reply,
                 noArguments);
    if (r < 0) {
        return r;
    }
    sd_bus_message* m = reply.get();
    r = sd_bus_message_enter_container(m, 'a', "{oa{sa{sv}}}");
    if (r < 0) {
        return r;
    }
    while ((r = sd_bus_message_enter_container(m, 'e', "oa{sa{sv}}")) > 0) {
        const char* path = nullptr;
        r = sd_bus_message_read(m, "o", &path);
        if (r < 0) {
            return r;
        }
        BluezObject o;
        o.path = path != nullptr ? path : "";
        r = readInterfaces(m, o);
        if (r < 0) {
            return r;
        }
        if (o.adapter || o.device) {
            snapshot.objects.push_back(std::move(o));
        }
        r = sd_bus_message_exit_container(m);
        if (r < 0) {
            return r;
        }
    }
    if (r < 0) {
        return r;
    }
    std::sort(snapshot.objects.begin(), snapshot.objects.end(),
              [](const BluezObject& a, const BluezObject& b) { return a.path < b.path; });
    return 0;
}

bool under(const std::string& path, const std::string& parent) {
    return path.size() > parent.size() + 1 && path.compare(0, parent.size(), parent) == 0 &&
           path[parent.size()] == '/';
}

// A device path's own address ("…/dev_AA_BB_CC_DD_EE_FF"), for signals that carry none.
bool addressFromPath(const std::string& path, std::uint64_t* address) {
    const std::size_t at = path.rfind("/dev_");
    if (at == std::string::npos) {
        return false;
    }
    std::string text = path.substr(at + 5);
    std::replace(text.begin(), text.end(), '_', ':');
    return parseAddress(text, address);
}

int errnoOf(int r, const BusError& error) {
    if (error.is("org.freedesktop.DBus.Error.AccessDenied") ||
        error.is("org.bluez.Error.NotAuthorized") || error.is("org.bluez.Error.NotPermitted")) {
        return EPERM;
    }
    if (error.is("org.bluez.Error.Blocked")) {
        return ERFKILL;
    }
    if (error.is("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error.is("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        error.is("org.freedesktop.DBus.Error.UnknownObject")) {
        return ENODEV;
    }
    return r < 0 ? -r : EIO;
}

// A search: known devices first, then what discovery brings, each address once and once it
// has a name; nameless ones at the end.
class Lookup {
public:
    Lookup() = default;
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    ~Lookup() {
        stopDiscovery();
        added_.reset();
        changed_.reset();
        bus_.reset();
        if (wake_ >= 0) {
            ::close(wake_);
        }
    }

    int begin(int searchMs) {
        wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) {
            return WinsockErrorFromErrno(errno);
        }
        bus_ = openBus();
        if (!bus_ || bluezOwner(bus_.get(), &owner_) < 0) {
            return kNoAdapter;
        }
        // Watch before reading what BlueZ knows, so that nothing falls between the two.
        const std::string addedRule =
            "type='signal',sender='" + owner_ +
            "',path='/',interface='org.freedesktop.DBus.ObjectManager',member='InterfacesAdded'";
        sd_bus_slot* slot = nullptr;
        if (sd_bus_add_match(bus_.get(), &slot, addedRule.c_str(), &Lookup::onAdded, this) < 0) {
            return kGeneralFailure;
        }
        added_.reset(slot);
        Snapshot snapshot;
        if (readSnapshot(bus_.get(), snapshot) < 0) {
            return kNoAdapter;
        }
        const BluezObject* adapter = snapshot.firstAdapter();
        if (adapter == nullptr) {
            return kNoAdapter;
        }
        if (!adapter->powered) {
            return kRadioOff;
        }
        adapter_ = adapter->path;
        const std::string changedRule =
            "type='signal',sender='" + owner_ +
            "',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
            "path_namespace='" +
            adapter_ + "'";
        slot = nullptr;
        if (sd_bus_add_match(bus_.get(), &slot, changedRule.c_str(), &Lookup::onChanged, this) <
            0) {
            return kGeneralFailure;
        }
        changed_.reset(slot);
        for (const BluezObject& o : snapshot.objects) {
            if (o.device && under(o.path, adapter_)) {
                note(o.path, o);
            }
        }
        // RFCOMM runs over classic Bluetooth only; an older BlueZ without the filter still
        // searches.
        BusError filterError;
        call(bus_.get(), adapter_.c_str(), kAdapterInterface, "SetDiscoveryFilter", filterError,
             nullptr, [](sd_bus_message* m) {
                 return sd_bus_message_append(m, "a{sv}", 1, "Transport", "s", "bredr");
             });
        BusError error;
        const int r = call(bus_.get(), adapter_.c_str(), kAdapterInterface, "StartDiscovery", error,
                           nullptr, noArguments);
        if (r < 0 && !error.is("org.bluez.Error.InProgress")) {
            if (error.is("org.bluez.Error.NotReady")) {
                return kRadioOff;
            }
            return WinsockErrorFromErrno(errnoOf(r, error));
        }
        discovering_ = true;
        deadline_ = Clock::now() + std::chrono::milliseconds(std::max(searchMs, 0));
        return 0;
    }

    int next(BluetoothLookupResult& result) {
        std::lock_guard<std::mutex> guard(mutex_);
        for (;;) {
            if (cancelled_) {
                stopDiscovery();
                return kLookupCancelled;
            }
            if (!ready_.empty()) {
                result = ready_.front();
                ready_.pop_front();
                return 0;
            }
            if (endCode_ != 0) {
                stopDiscovery();
                return endCode_;
            }
            if (!bus_) {
                return kLookupNoMoreResults;
            }
            const auto now = Clock::now();
            if (now >= deadline_) {
                // What arrived before the time ran out still counts.
                while (sd_bus_process(bus_.get(), nullptr) > 0) {
                }
                if (!ready_.empty()) {
                    continue;
                }
                if (!unnamedReported_) {
                    unnamedReported_ = true;
                    for (auto& [path, seen] : seen_) {
                        if (!seen.reported && seen.hasAddress) {
                            seen.reported = true;
                            BluetoothLookupResult unnamed;
                            unnamed.address = seen.address;
                            ready_.push_back(unnamed);
                        }
                    }
                    if (!ready_.empty()) {
                        continue;
                    }
                }
                stopDiscovery();
                return kLookupNoMoreResults;
            }
            const int r = sd_bus_process(bus_.get(), nullptr);
            if (r < 0) {
                discovering_ = false;  // the connection is gone, and with it the discovery
                return WinsockErrorFromErrno(-r);
            }
            if (r > 0) {
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - now).count() + 1;
            pollfd fds[2] = {
                {sd_bus_get_fd(bus_.get()), static_cast<short>(sd_bus_get_events(bus_.get())), 0},
                {wake_, POLLIN, 0}};
            if (::poll(fds, 2, static_cast<int>(std::min<long long>(left, 60000))) < 0 &&
                errno != EINTR) {
                return WinsockErrorFromErrno(errno);
            }
            if ((fds[1].revents & POLLIN) != 0) {
                eventfd_t value = 0;
                (void)::eventfd_read(wake_, &value);
            }
        }
    }

    // Any thread; touches no bus.
    void cancel() {
        cancelled_ = true;
        if (wake_ >= 0) {
            (void)::eventfd_write(wake_, 1);
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Seen {
        bool hasAddress = false;
        std::uint64_t address = 0;
        std::string name;
        bool reported = false;
        bool skipped = false;
    };

    static int onAdded(sd_bus_message* m, void* userdata, sd_bus_error*) {
        auto* self = static_cast<Lookup*>(userdata);
        const char* path = nullptr;
        if (sd_bus_message_read(m, "o", &path) < 0 || path == nullptr ||
            !under(path, self->adapter_)) {
            return 0;
        }
        BluezObject o;
        if (readInterfaces(m, o) >= 0 && o.device) {
            self->note(path, o);
        }
        return 0;
    }

    static int onChanged(sd_bus_message* m, void* userdata, sd_bus_error*) {
        auto* self = static_cast<Lookup*>(userdata);
        const char* path = sd_bus_message_get_path(m);
        const char* interface = nullptr;
        if (path == nullptr || sd_bus_message_read(m, "s", &interface) < 0 ||
            interface == nullptr) {
            return 0;
        }
        BluezObject o;
        if (readProperties(m, o) < 0) {
            return 0;
        }
        if (std::strcmp(interface, kDeviceInterface) == 0 && under(path, self->adapter_)) {
            self->note(path, o);
        } else if (std::strcmp(interface, kAdapterInterface) == 0 && self->adapter_ == path &&
                   o.hasPowered && !o.powered) {
            self->endCode_ = kRadioOff;  // switched off during the search
        }
        return 0;
    }

    void note(const std::string& path, const BluezObject& o) {
        Seen& seen = seen_[path];
        if (o.addressType == "random") {
            seen.skipped = true;  // a Low Energy device: no RFCOMM
        }
        if (!seen.hasAddress && o.hasAddress) {
            seen.hasAddress = true;
            seen.address = o.address;
        } else if (!seen.hasAddress) {
            seen.hasAddress = addressFromPath(path, &seen.address);
        }
        if (o.hasName) {
            seen.name = o.name;
        }
        if (!seen.reported && !seen.skipped && seen.hasAddress && !seen.name.empty()) {
            seen.reported = true;
            BluetoothLookupResult found;
            found.name = seen.name;
            found.address = seen.address;
            ready_.push_back(found);
        }
    }

    void stopDiscovery() {
        if (!discovering_ || !bus_) {
            return;
        }
        discovering_ = false;
        BusError error;
        call(bus_.get(), adapter_.c_str(), kAdapterInterface, "StopDiscovery", error, nullptr,
             noArguments);
    }

    Bus bus_;
    Slot added_;
    Slot changed_;
    int wake_ = -1;
    std::string owner_;
    std::string adapter_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;  // one next() at a time; the fields below belong to it
    bool discovering_ = false;
    bool unnamedReported_ = false;
    int endCode_ = 0;
    Clock::time_point deadline_{};
    std::map<std::string, Seen> seen_;
    std::deque<BluetoothLookupResult> ready_;
};

// The agent of one pairing: answers BlueZ's requests for the device being paired.
struct Agent {
    const BluetoothPinRequest* pin = nullptr;
    std::string owner;
    std::string devicePath;
    std::string deviceName;
};

Agent* askedByBluez(sd_bus_message* m, void* userdata, bool forDevice) {
    auto* agent = static_cast<Agent*>(userdata);
    const char* sender = sd_bus_message_get_sender(m);
    if (sender == nullptr || agent->owner != sender) {
        return nullptr;
    }
    if (forDevice) {
        const char* device = nullptr;
        if (sd_bus_message_read(m, "o", &device) < 0 || device == nullptr ||
            agent->devicePath != device) {
            return nullptr;
        }
    }
    return agent;
}

bool askUser(Agent* agent, std::string& answer) {
    return agent->pin != nullptr && *agent->pin && (*agent->pin)(agent->deviceName, answer);
}

int rejected(sd_bus_message* m) {
    return sd_bus_reply_method_errorf(m, "org.bluez.Error.Rejected", "Not accepted");
}

int agentRequestPinCode(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Agent* agent = askedByBluez(m, userdata, true);
    if (agent == nullptr) {
        return rejected(m);
    }
    std::string pin;
    const bool given = askUser(agent, pin) && !pin.empty() && pin.size() <= kMaxPinLength;
    const int r = given ? sd_bus_reply_method_return(m, "s", pin.c_str())
                        : sd_bus_reply_method_errorf(m, "org.bluez.Error.Canceled", "No PIN");
    std::fill(pin.begin(), pin.end(), '\0');
    return r;
}

int agentRequestPasskey(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Agent* agent = askedByBluez(m, userdata, true);
    if (agent == nullptr) {
        return rejected(m);
    }
    std::string text;
    bool given = askUser(agent, text) && !text.empty() && text.size() <= 6;
    unsigned long passkey = 0;
    for (char c : text) {
        given = given && c >= '0' && c <= '9';
        passkey = passkey * 10 + static_cast<unsigned long>(c - '0');
    }
    std::fill(text.begin(), text.end(), '\0');
    if (!given || passkey > kMaxPasskey) {
        return sd_bus_reply_method_errorf(m, "org.bluez.Error.Canceled", "No passkey");
    }
    return sd_bus_reply_method_return(m, "u", static_cast<std::uint32_t>(passkey));
}

int agentEmpty(sd_bus_message* m, void* userdata, sd_bus_error*) {
    if (askedByBluez(m, userdata, false) == nullptr) {
        return rejected(m);
    }
    return sd_bus_reply_method_return(m, "");
}

int agentRejects(sd_bus_message* m, void*, sd_bus_error*) {
    return rejected(m);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#ifdef __clang__
#pragma clang diagnostic ignored "-Wc++20-designator"
#endif
const sd_bus_vtable kAgentVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Release", "", "", agentEmpty, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("RequestPinCode", "o", "s", agentRequestPinCode, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("DisplayPinCode", "os", "", agentEmpty, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("RequestPasskey", "o", "u", agentRequestPasskey, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("DisplayPasskey", "ouq", "", agentEmpty, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("RequestConfirmation", "ou", "", agentRejects, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("RequestAuthorization", "o", "", agentRejects, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("AuthorizeService", "os", "", agentRejects, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Cancel", "", "", agentEmpty, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};
#pragma GCC diagnostic pop

struct PairCall {
    bool done = false;
    int code = 0;
};

int pairCode(const sd_bus_error* e) {
    const auto is = [e](const char* name) { return sd_bus_error_has_name(e, name) > 0; };
    if (is("org.bluez.Error.AlreadyExists")) {
        return 0;
    }
    if (is("org.bluez.Error.AuthenticationFailed") ||
        is("org.bluez.Error.AuthenticationCanceled") ||
        is("org.bluez.Error.AuthenticationRejected") ||
        is("org.bluez.Error.AuthenticationTimeout") || is("org.bluez.Error.Canceled") ||
        is("org.bluez.Error.Rejected")) {
        return kNotAuthenticated;
    }
    if (is("org.bluez.Error.ConnectionAttemptFailed") || is("org.bluez.Error.PageTimeout")) {
        return kWsaEhostunreach;
    }
    if (is("org.freedesktop.DBus.Error.Timeout") || is("org.freedesktop.DBus.Error.NoReply")) {
        return kWsaEtimedout;
    }
    if (is("org.freedesktop.DBus.Error.AccessDenied")) {
        return kAccessDenied;
    }
    if (is("org.bluez.Error.NotReady")) {
        return kRadioOff;
    }
    if (is("org.freedesktop.DBus.Error.UnknownObject") ||
        is("org.freedesktop.DBus.Error.UnknownMethod") || is("org.bluez.Error.DoesNotExist")) {
        return kPairUnknownDevice;
    }
    return kGeneralFailure;
}

int onPairReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* state = static_cast<PairCall*>(userdata);
    state->done = true;
    state->code =
        sd_bus_message_is_method_error(m, nullptr) ? pairCode(sd_bus_message_get_error(m)) : 0;
    return 0;
}

class BluezDbusBackend : public BluetoothBackend {
public:
    BluetoothAdapterState adapterState() override {
        Bus bus = openBus();
        Snapshot snapshot;
        if (!bus || readSnapshot(bus.get(), snapshot) < 0) {
            return BluetoothAdapterState::None;
        }
        const BluezObject* adapter = snapshot.firstAdapter();
        if (adapter == nullptr) {
            return BluetoothAdapterState::None;
        }
        return adapter->powered ? BluetoothAdapterState::Up : BluetoothAdapterState::Down;
    }

    int powerOn() override {
        Bus bus = openBus();
        Snapshot snapshot;
        if (!bus || readSnapshot(bus.get(), snapshot) < 0) {
            return ENODEV;
        }
        const BluezObject* adapter = snapshot.firstAdapter();
        if (adapter == nullptr) {
            return ENODEV;
        }
        if (adapter->powered) {
            return 0;
        }
        BusError error;
        const int r = sd_bus_set_property(bus.get(), kService, adapter->path.c_str(),
                                          kAdapterInterface, "Powered", &error.e, "b", 1);
        return r < 0 ? errnoOf(r, error) : 0;
    }

    void setSearchTime(int milliseconds) override { searchMs_ = milliseconds; }

    int beginLookup() override {
        auto lookup = std::make_shared<Lookup>();
        const int code = lookup->begin(searchMs_.load());
        if (code != 0) {
            return code;
        }
        std::shared_ptr<Lookup> previous;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            previous.swap(lookup_);
            lookup_ = lookup;
        }
        if (previous) {
            previous->cancel();
        }
        return 0;
    }

    int nextResult(BluetoothLookupResult& result) override {
        std::shared_ptr<Lookup> lookup = current();
        return lookup ? lookup->next(result) : kLookupCancelled;
    }

    void cancelLookup() override {
        if (std::shared_ptr<Lookup> lookup = current()) {
            lookup->cancel();
        }
    }

    void endLookup() override {
        std::shared_ptr<Lookup> lookup;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            lookup.swap(lookup_);
        }
        if (lookup) {
            // Freed here, or by a search still running once it returns.
            lookup->cancel();
        }
    }

    int bind(unsigned int, std::uint64_t, std::uint8_t, const GUID&) override { return ENODEV; }
    int release(unsigned int) override { return ENODEV; }

    int pairedDevices(std::vector<BluetoothLookupResult>& devices) override {
        devices.clear();
        Bus bus = openBus();
        Snapshot snapshot;
        if (!bus || readSnapshot(bus.get(), snapshot) < 0 || snapshot.firstAdapter() == nullptr) {
            return kNoAdapter;
        }
        for (const BluezObject& o : snapshot.objects) {
            if (!o.device || !o.paired || !o.hasAddress) {
                continue;
            }
            const bool listed = std::any_of(
                devices.begin(), devices.end(),
                [&o](const BluetoothLookupResult& d) { return d.address == o.address; });
            if (!listed) {
                BluetoothLookupResult d;
                d.name = o.name;
                d.address = o.address;
                devices.push_back(d);
            }
        }
        return 0;
    }

    int pair(std::uint64_t address, const BluetoothPinRequest& pin) override {
        Bus bus = openBus();
        Agent agent;
        Snapshot snapshot;
        if (!bus || bluezOwner(bus.get(), &agent.owner) < 0 ||
            readSnapshot(bus.get(), snapshot) < 0) {
            return kPairUnknownDevice;
        }
        const BluezObject* device = nullptr;
        for (const BluezObject& o : snapshot.objects) {
            if (o.device && o.hasAddress && o.address == address) {
                device = &o;
                break;
            }
        }
        if (device == nullptr) {
            return kPairUnknownDevice;
        }
        if (device->paired) {
            return 0;
        }
        agent.pin = &pin;
        agent.devicePath = device->path;
        agent.deviceName = device->name;

        sd_bus_slot* raw = nullptr;
        if (sd_bus_add_object_vtable(bus.get(), &raw, kAgentPath, kAgentInterface, kAgentVtable,
                                     &agent) < 0) {
            return kGeneralFailure;
        }
        Slot object(raw);
        BusError registerError;
        int r = call(bus.get(), "/org/bluez", "org.bluez.AgentManager1", "RegisterAgent",
                     registerError, nullptr, [](sd_bus_message* m) {
                         return sd_bus_message_append(m, "os", kAgentPath, kAgentCapability);
                     });
        if (r < 0 && !registerError.is("org.bluez.Error.AlreadyExists")) {
            return registerError.is("org.freedesktop.DBus.Error.AccessDenied") ? kAccessDenied
                                                                               : kGeneralFailure;
        }

        // Asynchronous, so that BlueZ's requests to the agent are answered while it waits.
        PairCall state;
        sd_bus_message* request = nullptr;
        Slot pending;
        r = sd_bus_message_new_method_call(bus.get(), &request, kService, device->path.c_str(),
                                           kDeviceInterface, "Pair");
        Message hold(request);
        if (r >= 0) {
            sd_bus_slot* slot = nullptr;
            r = sd_bus_call_async(bus.get(), &slot, request, onPairReply, &state, kPairTimeoutUs);
            pending.reset(slot);
        }
        if (r < 0) {
            state.done = true;
            state.code = kGeneralFailure;
        }
        while (!state.done) {
            r = sd_bus_process(bus.get(), nullptr);
            if (r < 0) {
                state.code = kGeneralFailure;
                break;
            }
            if (r == 0) {
                r = sd_bus_wait(bus.get(), UINT64_MAX);
                if (r < 0 && r != -EINTR) {
                    state.code = kGeneralFailure;
                    break;
                }
            }
        }
        pending.reset();
        BusError unregisterError;
        call(bus.get(), "/org/bluez", "org.bluez.AgentManager1", "UnregisterAgent", unregisterError,
             nullptr, [](sd_bus_message* m) { return sd_bus_message_append(m, "o", kAgentPath); });
        return state.code;
    }

private:
    std::shared_ptr<Lookup> current() {
        std::lock_guard<std::mutex> guard(mutex_);
        return lookup_;
    }

    std::atomic<int> searchMs_{kDefaultSearchMs};
    std::mutex mutex_;
    std::shared_ptr<Lookup> lookup_;
};

}  // namespace

std::unique_ptr<BluetoothBackend> MakeBluezDbusBackend() {
    return std::make_unique<BluezDbusBackend>();
}

bool BluezDbusAnswers() {
    Bus bus = openBus();
    if (!bus) {
        return false;
    }
    BusError error;
    sd_bus_message* reply = nullptr;
    int r =
        sd_bus_call_method(bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error.e, &reply, "s", kService);
    Message hold(reply);
    int owned = 0;
    if (r >= 0 && sd_bus_message_read(reply, "b", &owned) >= 0 && owned != 0) {
        return true;
    }
    // Started on demand by the bus when it is asked.
    BusError listError;
    sd_bus_message* list = nullptr;
    r = sd_bus_call_method(bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "ListActivatableNames", &listError.e, &list, "");
    Message holdList(list);
    if (r < 0 || sd_bus_message_enter_container(list, 'a', "s") < 0) {
        return false;
    }
    const char* name = nullptr;
    while (sd_bus_message_read(list, "s", &name) > 0) {
        if (name != nullptr && std::strcmp(name, kService) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace BVComm
}  // namespace Brevan2011
