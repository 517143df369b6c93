// bench_startup [runs]: starts the built Varnok offscreen several times and prints the time
// from process start to its first painted frame and its resident memory then (median, min,
// max). The program reports both itself at its first paint and ends.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    std::vector<double> wallMs;
    std::vector<double> paintMs;
    std::vector<double> rssKiB;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void print(const char* what, const std::vector<double>& v, const char* unit) {
    if (v.empty()) {
        std::printf("%-22s no data\n", what);
        return;
    }
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    std::printf("%-22s median %8.1f %s  min %8.1f  max %8.1f\n", what, median(v), unit, *lo, *hi);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VARNOK_STARTUP_PROBE"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    Figures f;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(QStringLiteral(VARNOK_PROGRAM), {});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", i, p.readAllStandardError().constData());
            continue;
        }
        f.wallMs.push_back(static_cast<double>(clock.elapsed()));
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 2) {
                continue;
            }
            if (parts[0] == "first-paint-ms") {
                f.paintMs.push_back(parts[1].toDouble());
            } else if (parts[0] == "rss-kib") {
                f.rssKiB.push_back(parts[1].toDouble());
            }
        }
    }
    std::printf("Varnok start-up over %d offscreen runs (aim: first paint <= 500 ms)\n", runs);
    print("first painted frame", f.paintMs, "ms ");
    print("start to end (wall)", f.wallMs, "ms ");
    print("resident memory", f.rssKiB, "KiB");
    return f.paintMs.empty() ? 1 : 0;
}
