#include "com_port_map.h"

#include <QStringList>

#include <cstdio>

#include "BVComm/PortPaths.h"

namespace Varnok {

int applyComPortMap(const QString& map) {
    int applied = 0;
    for (const QString& entry : map.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        bool ok = false;
        const int number = eq > 0 ? entry.left(eq).trimmed().toInt(&ok) : 0;
        const QString path = eq > 0 ? entry.mid(eq + 1).trimmed() : QString();
        if (!ok || number < 1 || number > 255 || path.isEmpty()) {
            std::fprintf(stderr, "Varnok: COM map entry skipped: %s\n", qPrintable(entry));
            continue;
        }
        Brevan2011::BVComm::SetComPortPath(number, path.toStdString());
        ++applied;
    }
    return applied;
}

}  // namespace Varnok
