#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "device_manager.h"
#include "receiver_session.h"

namespace varnok_test {

using namespace Varnok;

// What every fake session of one test writes ("Send_WIFI_Share(null)") and what it answers.
// Shared by the sessions a factory makes, so a test sees the whole run in order.
class FakeScript {
public:
    void record(std::string line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
    }
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // The lines that start with prefix, in order.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : lines()) {
            if (l.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(l);
            }
        }
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }

    // Scripts the row name with signature Sig (e.g. int() or void(DEVICE_STR&)).
    template <class Sig>
    void answer(const std::string& name, std::function<Sig> fn) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[{name, std::type_index(typeid(Sig))}] =
            std::make_shared<std::function<Sig>>(std::move(fn));
    }
    template <class Sig>
    std::shared_ptr<std::function<Sig>> find(const std::string& name) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = answers_.find({name, std::type_index(typeid(Sig))});
        if (it == answers_.end()) {
            return nullptr;
        }
        return std::static_pointer_cast<std::function<Sig>>(it->second);
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::map<std::pair<std::string, std::type_index>, std::shared_ptr<void>> answers_;
};

// ---- How the fake prints an argument.
inline std::string fakeArg(bool v) {
    return v ? "true" : "false";
}
inline std::string fakeArg(const char* v) {
    return v ? "\"" + std::string(v) + "\"" : "null";
}
inline std::string fakeArg(char* v) {
    return fakeArg(static_cast<const char*>(v));
}
template <class T>
std::string fakeArg(const T& v) {
    using U = std::decay_t<T>;
    if constexpr (std::is_pointer_v<U>) {
        using P = std::remove_cv_t<std::remove_pointer_t<U>>;
        if (!v) {
            return "null";
        }
        if constexpr (std::is_arithmetic_v<P> || std::is_enum_v<P>) {
            return "&" + fakeArg(*v);
        } else {
            return "&{}";
        }
    } else if constexpr (std::is_enum_v<U>) {
        return std::to_string(static_cast<long long>(v));
    } else if constexpr (std::is_floating_point_v<U>) {
        std::ostringstream s;
        s << v;
        return s.str();
    } else if constexpr (std::is_arithmetic_v<U>) {
        return std::to_string(static_cast<long long>(v));
    } else {
        return "{}";
    }
}
inline std::string fakeArgs() {
    return std::string();
}
template <class First, class... Rest>
std::string fakeArgs(const First& first, const Rest&... rest) {
    std::string out = fakeArg(first);
    ((out += ", " + fakeArg(rest)), ...);
    return out;
}

template <class T>
T fakeDefault() {
    if constexpr (!std::is_void_v<T>) {
        return T{};
    }
}

// The recording fake session: logs each call as text, returns the scripted answers (0, false,
// null and untouched out-parameters when none) and fires the registered callbacks on whatever
// thread calls fireData or fireStatus.
class FakeSession : public ReceiverSession {
public:
    FakeSession(std::shared_ptr<FakeScript> script, GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board)
        : script_(std::move(script)) {
        script_->record("session(" + fakeArgs(maker, board) + ")");
    }
    ~FakeSession() override { script_->record("~session()"); }

    void fireData(int category, std::uint32_t id) {
        const _CALLBACKS_RECEIVER* cbs = callbacks_;
        if (cbs && cbs->Data_Callback) {
            cbs->Data_Callback(static_cast<Msg_Type>(category), id, nullptr);
        }
    }
    void fireStatus(bool changed) {
        const _CALLBACKS_RECEIVER* cbs = callbacks_;
        if (cbs && cbs->Status_Callback) {
            cbs->Status_Callback(changed, nullptr);
        }
    }
    bool hasCallbacks() const { return callbacks_ != nullptr; }

    bool setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board) override {
        script_->record("setReceiverType(" + fakeArgs(maker, board) + ")");
        return true;
    }
    void RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks, const void* user) override {
        script_->record("RegisterCbs_Receiver(" + fakeArg(user) + ")");
        callbacks_ = callbacks;
    }
    bool Port_Open(PARAM_COM p) override { return open("com " + fakeArgs(p.port, p.baud)); }
    bool Port_Open(PARAM_BT p) override { return open("bt " + fakeArgs(p.port, p.baud)); }
    bool Port_Open(PARAM_SOCK p) override {
        const auto* a = reinterpret_cast<const unsigned char*>(&p.address);
        std::ostringstream s;
        s << "sock " << int(a[0]) << '.' << int(a[1]) << '.' << int(a[2]) << '.' << int(a[3]) << ':'
          << p.port << ' ' << int(p.reserved);
        return open(s.str());
    }
    bool IsPortOpen() override { return open_; }
    bool Port_Close() override {
        script_->record("Port_Close()");
        open_ = false;
        return true;
    }
    void ReSetGnsMd(MAINBD_OEM_TYPE board) override {
        script_->record("ReSetGnsMd(" + fakeArg(board) + ")");
    }
    void Set_Gnss_ElevMask(unsigned int mask) override {
        script_->record("Set_Gnss_ElevMask(" + fakeArg(mask) + ")");
    }
    void Set_Com_Baudrate(QX_COM_BAUD_ENUM rate, QX_COM_PORT_ENUM port) override {
        script_->record("Set_Com_Baudrate(" + fakeArgs(rate, port) + ")");
    }
    void Set_Com_Baudrate(Com_Baudrate rate) override {
        script_->record("Set_Com_Baudrate(" + fakeArg(rate) + ")");
    }

#define VARNOK_FAKE_ROW(result, name, params, args)          \
    result name params override {                            \
        script_->record(#name "(" + fakeArgs args + ")");    \
        if (auto fn = script_->find<result params>(#name)) { \
            return (*fn)args;                                \
        }                                                    \
        return fakeDefault<result>();                        \
    }
#define VARNOK_OP(result, name, params, args, builder, builderArgs) \
    VARNOK_FAKE_ROW(result, name, params, args)
#define VARNOK_OPX(result, name, params, args) VARNOK_FAKE_ROW(result, name, params, args)
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX

#define VARNOK_GET(result, name, params, args, member, memberArgs) \
    VARNOK_FAKE_ROW(result, name, params, args)
#include "BVDevice/EmGnss_ReceiverGetters.def"
#undef VARNOK_GET
#undef VARNOK_FAKE_ROW

private:
    bool open(const std::string& what) {
        script_->record("Port_Open(" + what + ")");
        bool ok = true;
        if (auto fn = script_->find<bool(const std::string&)>("Port_Open")) {
            ok = (*fn)(what);
        }
        open_ = ok;
        return ok;
    }

    std::shared_ptr<FakeScript> script_;
    const _CALLBACKS_RECEIVER* callbacks_ = nullptr;
    bool open_ = false;
};

// A factory for DeviceManager that makes FakeSessions over one script and keeps the latest.
struct FakeFactory {
    std::shared_ptr<FakeScript> script = std::make_shared<FakeScript>();
    std::shared_ptr<FakeSession*> latest = std::make_shared<FakeSession*>(nullptr);

    DeviceManager::SessionFactory factory() const {
        auto s = script;
        auto l = latest;
        return [s, l](GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board) {
            auto session = std::make_unique<FakeSession>(s, maker, board);
            *l = session.get();
            return std::unique_ptr<ReceiverSession>(std::move(session));
        };
    }
    FakeSession* session() const { return *latest; }
};

}  // namespace varnok_test
