#include "menu_manager.h"

#include <QAction>
#include <QToolButton>
#include <QVBoxLayout>

#include "device_manager.h"
#include "device_observer.h"

namespace Varnok {

namespace {
struct MenuEntry {
    const char* page;
    const char* label;
    int bit;
};
// In button order; "WirelessConfig" takes its label from the device type.
const MenuEntry kEntries[] = {
    {"Info", QT_TRANSLATE_NOOP("Varnok::MenuManager", "Device Info."), 1},
    {"Static", QT_TRANSLATE_NOOP("Varnok::MenuManager", "Internal Recording"), 2},
    {"RTK", QT_TRANSLATE_NOOP("Varnok::MenuManager", "RTK"), 4},
    {"DataLink", QT_TRANSLATE_NOOP("Varnok::MenuManager", "GPRS And Internal UHF"), 8},
    {"WirelessConfig", nullptr, 16},
    {"0183OutPut", QT_TRANSLATE_NOOP("Varnok::MenuManager", "NMEA Output"), 32},
    {"DataMonitor", QT_TRANSLATE_NOOP("Varnok::MenuManager", "Com Monitor Controller"), 256},
    {"RadioChannel", QT_TRANSLATE_NOOP("Varnok::MenuManager", "Radio Channel"), 64},
    {"ServerConfig", QT_TRANSLATE_NOOP("Varnok::MenuManager", "Server Settings"), 128},
};
}  // namespace

MenuManager::MenuManager(QWidget* parent) : Widget(parent) {
    setObjectName(QStringLiteral("MenuManagerClass"));
    layout_ = new QVBoxLayout(this);
    layout_->setObjectName(QStringLiteral("verticalLayout"));
    layout_->setSpacing(2);
    layout_->setContentsMargins(0, 0, 0, 0);
    spacer_ = new QWidget(this);
    spacer_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout_->addWidget(spacer_);
    showDisconnectedMenu();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(workingStatus(int)),
                  SLOT(onWorkingStatus(int)));
}

void MenuManager::activate() {
    showDisconnectedMenu();
    if (status_ == 4) {
        showConnectedMenu();
    }
}

void MenuManager::onAction(QAction* action) {
    emit command(action->data().toString());
}

void MenuManager::onWorkingStatus(int status) {
    status_ = status;
}

QAction* MenuManager::createAction(const QString& label, const QString& page) {
    auto* action = new QAction(label, this);
    action->setData(page);
    return action;
}

QList<QAction*> MenuManager::disconnectedActions() {
    return {createAction(tr("Connection"), QStringLiteral("Connection")),
            createAction(tr("Exit"), QStringLiteral("Exit"))};
}

QList<QAction*> MenuManager::connectedActions() {
    DeviceManager* dm = DeviceManager::instance();
    int mask = 0;
    dm->supportedPages(&mask);
    QList<QAction*> list{createAction(tr("Connection"), QStringLiteral("Connection"))};
    for (const MenuEntry& e : kEntries) {
        if ((mask & e.bit) == 0) {
            continue;
        }
        QString label;
        if (e.label) {
            label = tr(e.label);
        } else {
            label = dm->deviceType() == 1 ? tr("Wireless Settings") : tr("APN Settings");
        }
        list.append(createAction(label, QString::fromLatin1(e.page)));
    }
    list.append(createAction(tr("Exit"), QStringLiteral("Exit")));
    return list;
}

void MenuManager::clearButtons() {
    while (layout_->count() >= 2) {
        QLayoutItem* item = layout_->takeAt(0);
        if (QWidget* w = item->widget()) {
            auto* button = qobject_cast<QToolButton*>(w);
            QAction* action = button ? button->defaultAction() : nullptr;
            delete w;
            delete action;
        }
        delete item;
    }
}

void MenuManager::insertButtons(const QList<QAction*>& actions, int first) {
    for (int i = 0; i < actions.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setDefaultAction(actions[i]);
        connect(button, &QToolButton::triggered, this, &MenuManager::onAction);
        layout_->insertWidget(first + i, button, 1);
    }
}

void MenuManager::showDisconnectedMenu() {
    clearButtons();
    insertButtons(disconnectedActions(), 0);
    spacer_->show();
    layout_->setStretchFactor(spacer_, 8);
}

void MenuManager::showConnectedMenu() {
    clearButtons();
    const QList<QAction*> actions = connectedActions();
    insertButtons(actions, 0);
    const int n = static_cast<int>(actions.size());
    if (n <= 9) {
        spacer_->show();
        layout_->setStretchFactor(spacer_, 10 - n);
    } else {
        spacer_->hide();
    }
}

QStringList MenuManager::buttonLabels() const {
    QStringList labels;
    for (int i = 0; i + 1 < layout_->count(); ++i) {
        if (auto* b = qobject_cast<QToolButton*>(layout_->itemAt(i)->widget())) {
            labels << b->text();
        }
    }
    return labels;
}

int MenuManager::spacerStretch() const {
    if (spacer_->isHidden()) {
        return 0;
    }
    return layout_->stretch(layout_->count() - 1);
}

}  // namespace Varnok
