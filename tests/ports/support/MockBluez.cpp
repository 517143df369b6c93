#include "MockBluez.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

extern char** environ;

namespace varnok_test {

namespace {

constexpr const char* kMockInterface = "org.bluez.Mock";
constexpr const char* kDBusMockInterface = "org.freedesktop.DBus.Mock";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";

struct BusClose {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
struct MessageUnref {
    void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

struct Error {
    sd_bus_error e{};  // SD_BUS_ERROR_NULL, without its C99 literal
    ~Error() { sd_bus_error_free(&e); }
};

Bus connect(const std::string& address) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        return Bus();
    }
    Bus owned(bus);
    if (sd_bus_set_address(bus, address.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
        return Bus();
    }
    return owned;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out);
}

pid_t spawn(const std::vector<std::string>& args, int stdoutFd, int stderrFd, bool searchPath) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    }
    if (stderrFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);
    }
    pid_t pid = -1;
    const int rc = searchPath ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                              : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

void end(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}

bool nameOwned(const std::string& address, const char* name) {
    Bus bus = connect(address);
    if (!bus) {
        return false;
    }
    Error error;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error.e, &reply, "s",
                           name) < 0) {
        return false;
    }
    Message hold(reply);
    int owned = 0;
    return sd_bus_message_read(reply, "b", &owned) >= 0 && owned != 0;
}

}  // namespace

MockBluez::~MockBluez() {
    stop();
}

bool MockBluez::waitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool MockBluez::start(std::string* error, bool withBluez) {
    const auto fail = [error](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/varnok-bluez-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        return fail("no temporary folder: " + std::string(std::strerror(errno)));
    }
    dir_ = pattern;
    const std::string config = dir_ + "/system.conf";
    if (!writeFile(config,
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration "
                   "1.0//EN\"\n \"http://www.freedesktop.org/standards/dbus/1.0/"
                   "busconfig.dtd\">\n"
                   "<busconfig>\n"
                   "  <type>system</type>\n"
                   "  <listen>unix:path=" +
                       dir_ +
                       "/system_bus_socket</listen>\n"
                       "  <auth>EXTERNAL</auth>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow user=\"*\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "    <allow send_type=\"method_call\"/>\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow receive_sender=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n")) {
        return fail("cannot write " + config);
    }
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return fail("no pipe");
    }
    // Its complaints (an unprivileged daemon cannot raise its file limit) go to the log.
    const std::string logPath = dir_ + "/mock.log";
    const int logFd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    daemon_ = spawn({"dbus-daemon", "--config-file=" + config, "--print-address", "--nofork"},
                    out[1], logFd, true);
    ::close(out[1]);
    if (daemon_ < 0) {
        ::close(out[0]);
        if (logFd >= 0) {
            ::close(logFd);
        }
        return fail("dbus-daemon could not be started");
    }
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd p{out[0], POLLIN, 0};
        char buffer[256];
        if (::poll(&p, 1, 20000) <= 0) {
            break;
        }
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (line.find('\n') == std::string::npos) {
        if (logFd >= 0) {
            ::close(logFd);
        }
        return fail("dbus-daemon printed no address: " + line);
    }
    address_ = line.substr(0, line.find('\n'));
    const char* previous = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    hadPrevious_ = previous != nullptr;
    previousAddress_ = previous != nullptr ? previous : "";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    if (!withBluez) {
        if (logFd >= 0) {
            ::close(logFd);
        }
        return true;
    }

    // Debian's interpreter, not one on the PATH that lacks the dbusmock module.
    const bool system = ::access("/usr/bin/python3", X_OK) == 0;
    mock_ = spawn({system ? "/usr/bin/python3" : "python3", "-m", "dbusmock", "--system",
                   "--template", "bluez5"},
                  logFd, logFd, !system);
    if (logFd >= 0) {
        ::close(logFd);
    }
    if (mock_ < 0) {
        return fail("python3 -m dbusmock could not be started");
    }
    if (!waitFor([this] { return nameOwned(address_, "org.bluez"); }, std::chrono::seconds(30))) {
        return fail("the BlueZ mock did not appear on the bus:\n" + log());
    }
    return true;
}

void MockBluez::stop() {
    end(mock_);
    end(daemon_);
    if (!address_.empty()) {
        if (hadPrevious_) {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", previousAddress_.c_str(), 1);
        } else {
            ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        }
        address_.clear();
    }
    if (!dir_.empty()) {
        for (const char* name : {"/system.conf", "/mock.log", "/system_bus_socket"}) {
            ::unlink((dir_ + name).c_str());
        }
        ::rmdir(dir_.c_str());
        dir_.clear();
    }
}

std::string MockBluez::log() const {
    std::ifstream in(dir_ + "/mock.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string MockBluez::devicePath(const std::string& adapter, const std::string& address) {
    std::string path = "/org/bluez/" + adapter + "/dev_" + address;
    for (char& c : path) {
        if (c == ':') {
            c = '_';
        }
    }
    return path;
}

std::string MockBluez::addAdapter(const std::string& name, const std::string& systemName) {
    Bus bus = connect(address_);
    Error error;
    sd_bus_message* reply = nullptr;
    if (!bus || sd_bus_call_method(bus.get(), "org.bluez", "/", kMockInterface, "AddAdapter",
                                   &error.e, &reply, "ss", name.c_str(), systemName.c_str()) < 0) {
        return std::string();
    }
    Message hold(reply);
    const char* path = nullptr;
    return sd_bus_message_read(reply, "s", &path) >= 0 && path != nullptr ? path : "";
}

std::string MockBluez::addDevice(const std::string& adapter, const std::string& address,
                                 const std::string& alias) {
    Bus bus = connect(address_);
    Error error;
    sd_bus_message* reply = nullptr;
    if (!bus ||
        sd_bus_call_method(bus.get(), "org.bluez", "/", kMockInterface, "AddDevice", &error.e,
                           &reply, "sss", adapter.c_str(), address.c_str(), alias.c_str()) < 0) {
        return std::string();
    }
    Message hold(reply);
    const char* path = nullptr;
    return sd_bus_message_read(reply, "s", &path) >= 0 && path != nullptr ? path : "";
}

bool MockBluez::pairDevice(const std::string& adapter, const std::string& address) {
    Bus bus = connect(address_);
    Error error;
    return bus &&
           sd_bus_call_method(bus.get(), "org.bluez", "/", kMockInterface, "PairDevice", &error.e,
                              nullptr, "ssi", adapter.c_str(), address.c_str(), 0x1F00) >= 0;
}

bool MockBluez::setBool(const std::string& path, const std::string& interface,
                        const std::string& name, bool value) {
    Bus bus = connect(address_);
    Error error;
    return bus && sd_bus_call_method(bus.get(), "org.bluez", path.c_str(), kProperties, "Set",
                                     &error.e, nullptr, "ssv", interface.c_str(), name.c_str(), "b",
                                     value ? 1 : 0) >= 0;
}

bool MockBluez::setString(const std::string& path, const std::string& interface,
                          const std::string& name, const std::string& value) {
    Bus bus = connect(address_);
    Error error;
    return bus && sd_bus_call_method(bus.get(), "org.bluez", path.c_str(), kProperties, "Set",
                                     &error.e, nullptr, "ssv", interface.c_str(), name.c_str(), "s",
                                     value.c_str()) >= 0;
}

bool MockBluez::getBool(const std::string& path, const std::string& interface,
                        const std::string& name, bool* value) {
    Bus bus = connect(address_);
    Error error;
    int v = 0;
    if (!bus || sd_bus_get_property_trivial(bus.get(), "org.bluez", path.c_str(), interface.c_str(),
                                            name.c_str(), &error.e, 'b', &v) < 0) {
        return false;
    }
    *value = v != 0;
    return true;
}

std::string MockBluez::discoveryFilterString(const std::string& adapter, const std::string& key) {
    Bus bus = connect(address_);
    Error error;
    sd_bus_message* reply = nullptr;
    if (!bus || sd_bus_call_method(bus.get(), "org.bluez", ("/org/bluez/" + adapter).c_str(),
                                   kProperties, "Get", &error.e, &reply, "ss", "org.bluez.Adapter1",
                                   "DiscoveryFilter") < 0) {
        return std::string();
    }
    Message hold(reply);
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(reply, nullptr, &contents) < 0 || contents == nullptr ||
        std::strcmp(contents, "a{sv}") != 0 ||
        sd_bus_message_enter_container(reply, 'v', "a{sv}") < 0 ||
        sd_bus_message_enter_container(reply, 'a', "{sv}") < 0) {
        return std::string();
    }
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
        const char* k = nullptr;
        sd_bus_message_read(reply, "s", &k);
        const char* inner = nullptr;
        sd_bus_message_peek_type(reply, nullptr, &inner);
        if (k != nullptr && key == k && inner != nullptr && std::strcmp(inner, "s") == 0) {
            const char* value = nullptr;
            sd_bus_message_read(reply, "v", "s", &value);
            return value != nullptr ? value : "";
        }
        sd_bus_message_skip(reply, "v");
        sd_bus_message_exit_container(reply);
    }
    return std::string();
}

bool MockBluez::addMethod(const std::string& path, const std::string& interface,
                          const std::string& name, const std::string& in, const std::string& out,
                          const std::string& code) {
    Bus bus = connect(address_);
    Error error;
    return bus && sd_bus_call_method(bus.get(), "org.bluez", path.c_str(), kDBusMockInterface,
                                     "AddMethod", &error.e, nullptr, "sssss", interface.c_str(),
                                     name.c_str(), in.c_str(), out.c_str(), code.c_str()) >= 0;
}

std::vector<std::string> MockBluez::calls(const std::string& path) {
    std::vector<std::string> names;
    Bus bus = connect(address_);
    Error error;
    sd_bus_message* reply = nullptr;
    if (!bus || sd_bus_call_method(bus.get(), "org.bluez", path.c_str(), kDBusMockInterface,
                                   "GetCalls", &error.e, &reply, "") < 0) {
        return names;
    }
    Message hold(reply);
    if (sd_bus_message_enter_container(reply, 'a', "(tsav)") < 0) {
        return names;
    }
    while (sd_bus_message_enter_container(reply, 'r', "tsav") > 0) {
        std::uint64_t when = 0;
        const char* name = nullptr;
        if (sd_bus_message_read(reply, "ts", &when, &name) < 0 ||
            sd_bus_message_skip(reply, "av") < 0) {
            break;
        }
        names.push_back(name != nullptr ? name : "");
        sd_bus_message_exit_container(reply);
    }
    return names;
}

}  // namespace varnok_test
