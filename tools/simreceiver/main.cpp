// varnok-simreceiver [key=value ...] [-f FILE]
// Serves a simulated receiver until SIGTERM or SIGINT. Prints "tcp <port>" and "pty <path>"
// first, then "request <name> <detail>" for each request it decodes (stdout, flushed).
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "SimReceiver/SimReceiver.h"

namespace {

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
    const timespec tick{0, 50 * 1000 * 1000};
    for (;;) {
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        const auto requests = sim.requests();
        for (; printed < requests.size(); ++printed) {
            std::printf("request %s %s\n", requests[printed].name.c_str(),
                        requests[printed].detail.c_str());
        }
        std::fflush(stdout);
        if (signal > 0) {
            break;
        }
        if (signal < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
    }
    sim.stop();
    return 0;
}
