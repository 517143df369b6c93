#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varnok_test {

// A private system bus (dbus-daemon with a permissive configuration of type system) with
// python3-dbusmock's BlueZ template on it; DBUS_SYSTEM_BUS_ADDRESS points at it while it runs.
// The template starts adapters powered, finds no device by itself, publishes no service UUIDs
// and never calls an agent: tests add devices, switch power and play BlueZ's agent calls.
// Every call below opens a connection of its own and closes it again.
class MockBluez {
public:
    MockBluez() = default;
    ~MockBluez();
    MockBluez(const MockBluez&) = delete;
    MockBluez& operator=(const MockBluez&) = delete;

    // Starts the bus and, unless withBluez is false, the mock, and waits until it owns
    // org.bluez. False with a message.
    bool start(std::string* error, bool withBluez = true);
    void stop();
    const std::string& address() const { return address_; }

    // org.bluez.Mock: the object paths made.
    std::string addAdapter(const std::string& name, const std::string& systemName);
    std::string addDevice(const std::string& adapter, const std::string& address,
                          const std::string& alias);
    bool pairDevice(const std::string& adapter, const std::string& address);
    static std::string devicePath(const std::string& adapter, const std::string& address);

    // org.freedesktop.DBus.Properties on a mock object.
    bool setBool(const std::string& path, const std::string& interface, const std::string& name,
                 bool value);
    bool setString(const std::string& path, const std::string& interface, const std::string& name,
                   const std::string& value);
    bool getBool(const std::string& path, const std::string& interface, const std::string& name,
                 bool* value);
    // A string value of the adapter's stored discovery filter ("" when not set).
    std::string discoveryFilterString(const std::string& adapter, const std::string& key);

    // org.freedesktop.DBus.Mock: replaces a method with Python code, and lists the mock methods
    // called on an object so far, oldest first.
    bool addMethod(const std::string& path, const std::string& interface, const std::string& name,
                   const std::string& in, const std::string& out, const std::string& code);
    std::vector<std::string> calls(const std::string& path);

    // The log of the mock (its calls, its Python errors), for a failing test's message.
    std::string log() const;

    // Polls until done() holds or the bound passes; returns done().
    static bool waitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds bound = std::chrono::seconds(10));

private:
    std::string dir_;
    std::string address_;
    std::string previousAddress_;
    bool hadPrevious_ = false;
    pid_t daemon_ = -1;
    pid_t mock_ = -1;
};

}  // namespace varnok_test
