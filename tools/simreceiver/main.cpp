// varnok-simreceiver [key=value ...] [-f FILE]
// Serves a simulated receiver until SIGTERM or SIGINT. Prints "tcp <port>" and "pty <path>"
// first, then "request <name> <detail>" for each request it decodes (stdout, flushed). Each line
// on standard input is more settings, answered "ok" or "error <message>"; the line "dump" is
// answered with one line "state key=value ..." holding every key.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "SimReceiver/SimReceiver.h"

namespace {

constexpr int kTickMs = 50;

int usage(const char* why) {
    std::fprintf(stderr,
                 "varnok-simreceiver: %s\nusage: varnok-simreceiver [key=value ...] [-f FILE]\n",
                 why);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    varnok_sim::SimReceiver sim;
    for (int i = 1; i < argc; ++i) {
        std::string script;
        if (std::strcmp(argv[i], "-f") == 0) {
            if (i + 1 >= argc) {
                return usage("-f needs a file");
            }
            std::ifstream file(argv[++i]);
            if (!file) {
                return usage((std::string("cannot read ") + argv[i]).c_str());
            }
            std::stringstream text;
            text << file.rdbuf();
            script = text.str();
        } else {
            script = argv[i];
        }
        std::string error;
        if (!sim.configure(script, &error)) {
            return usage(error.c_str());
        }
    }

    // The signals are taken by sigtimedwait below; the serving thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "varnok-simreceiver: %s\n", error.c_str());
        return 1;
    }
    std::printf("tcp %u\npty %s\n", static_cast<unsigned>(sim.tcpPort()), sim.ptyPath().c_str());
    std::fflush(stdout);

    std::size_t printed = 0;
    bool input = true;
    std::string pending;
    for (;;) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, input ? 1 : 0, kTickMs) > 0) {
            char buffer[1024];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                input = false;  // no more settings; serving goes on
            } else {
                pending.append(buffer, static_cast<std::size_t>(n));
            }
        }
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::string error;
            if (line == "dump") {
                std::string state = "state";
                for (const auto& [key, value] : sim.state()) {
                    state += " " + key + "=" + value;
                }
                std::printf("%s\n", state.c_str());
            } else if (sim.configure(line, &error)) {
                std::printf("ok\n");
            } else {
                std::printf("error %s\n", error.c_str());
            }
        }
        const auto requests = sim.requests();
        for (; printed < requests.size(); ++printed) {
            std::printf("request %s %s\n", requests[printed].name.c_str(),
                        requests[printed].detail.c_str());
        }
        std::fflush(stdout);
        const timespec now{0, 0};
        if (sigtimedwait(&stopSignals, nullptr, &now) > 0) {
            break;
        }
    }
    sim.stop();
    return 0;
}
