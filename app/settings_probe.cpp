#include "settings_probe.h"

#include <QList>
#include <QStringList>
#include <QToolButton>

#include <cstdio>

#include "BVComm/Logger.h"
#include "config_paths.h"
#include "father_widget.h"
#include "logic_context.h"
#include "menu_manager.h"
#include "net_server_config.h"
#include "password_store.h"
#include "radio_config.h"
#include "widget.h"

namespace Varnok {

namespace {
const char kProbePassword[] = "probe-secret";
}

void runSettingsProbe(FatherWidget* frame) {
    for (QToolButton* b : frame->menu()->findChildren<QToolButton*>()) {
        if (b->text() == QLatin1String("Connection")) {
            b->click();
        }
    }
    const Widget* page = frame->currentPage();
    std::printf("page %s\n", page ? page->metaObject()->className() : "none");
    std::printf("configs %s\n", ConfigPaths::directory().c_str());
    std::printf("logs %s\n", Brevan2011::BVCore::logDirectory().c_str());

    RadioConfig& radio = RadioConfig::instance();
    const int status = radio.loadForType(1);
    std::printf("radioconfig %s %d %s\n", LogicContext::radioConfigPath().c_str(), status,
                radio.name().c_str());

    NetServerConfig& servers = NetServerConfig::instance();
    QList<NetServer> kept;
    servers.readAllServers(kept);
    QStringList names;
    for (const NetServer& s : kept) {
        names << s.name;
    }
    std::printf("servers %s\n", qPrintable(names.join(QLatin1Char('|'))));
    NetServer next;
    next.name = QStringLiteral("probe-%1").arg(kept.size() + 1);
    next.protocol = 1;
    next.address = QStringLiteral("127.0.0.1");
    next.port = 2101;
    next.user = QStringLiteral("surveyor");
    next.password = QStringLiteral("probe");
    servers.addServer(next);

    PasswordStore& store = PasswordStore::instance();
    const bool loggedIn = store.check(QString::fromLatin1(kProbePassword));
    std::printf("login %d\n", loggedIn ? 1 : 0);
    if (!loggedIn) {
        store.write(QString::fromLatin1(kProbePassword));
    }
    LogicContext::log(QStringLiteral("settings probe"));
    std::fflush(stdout);
}

}  // namespace Varnok
