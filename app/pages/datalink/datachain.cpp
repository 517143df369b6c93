#include "datachain.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTimerEvent>

#include "datachain_net.h"
#include "datachain_radio.h"
#include "device_manager.h"
#include "device_observer.h"
#include "link_fields.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_datachain.h"

namespace Varnok {

DataChain::DataChain(QWidget* parent) : Widget(parent), ui_(std::make_unique<Ui::DataChain>()) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    connect(get_, &QAction::triggered, this, &DataChain::sendCommand);
    connect(set_, &QAction::triggered, this, &DataChain::setInfo);
    radio_ = new DataChain_Radio(this);
    net_ = new DataChain_Net(this);
    radio_->hide();
    net_->hide();
    ui_->cbDataChain->addItem(tr("GPRS"), 0);
    ui_->cbDataChain->addItem(tr("Internal UHF"), 1);
    ui_->cbDataChain->setCurrentIndex(-1);
    connect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this,
            &DataChain::onDataLinkTypeChanged);
    connect(net_, &DataChain_Net::enableInterface, this, &DataChain::onEnableNetInterface);
    connect(radio_, &DataChain_Radio::gotData, this, &DataChain::onGotRadioData);
}

DataChain::~DataChain() {
    joinMode(false);
}

void DataChain::stop(int& timer) {
    stopTimer(timer);
    timer = -1;
}

bool DataChain::anyTimerRunning() const {
    return linkTimer_ > 0 || netTimer_ > 0 || radioTimer_ > 0 || setTimer_ > 0;
}

void DataChain::joinMode(bool on) {
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    disconnect(hub, SIGNAL(radioProtocol()), this, SLOT(onRadioProtocol()));
    if (on) {
        // The answers are applied on this thread, so the slot runs as the answer lands.
        connect(hub, SIGNAL(radioProtocol()), this, SLOT(onRadioProtocol()));
    }
}

void DataChain::resetChoice() {
    disconnect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this,
               &DataChain::onDataLinkTypeChanged);
    ui_->cbDataChain->setCurrentIndex(-1);
    connect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this,
            &DataChain::onDataLinkTypeChanged);
}

void DataChain::activate() {
    if (radio_->inSetting()) {
        return;
    }
    resetChoice();
    joinMode(true);
    DeviceManager::instance()->queryDataLinkMode();
}

void DataChain::sendCommand() {
    setWaitCursor(true);
    joinMode(false);
    answerFlags_ = 0;
    resetChoice();
    setEditorsEnabled(false);
    joinMode(true);
    radio_->setInSetting(false);
    DeviceManager::instance()->queryDataLinkMode();
    stop(linkTimer_);
    linkTimer_ = startTimer(uiMs(kLinkTypeTimeoutMs));
}

void DataChain::onRadioProtocol() {
    const int mode = DeviceManager::instance()->radioProtocol();
    if (mode == -1) {
        return;
    }
    answerFlags_ |= kModeBit;
    mode_ = mode;
    ui_->cbDataChain->setCurrentIndex(mode != 0 ? 1 : 0);
    if (answerFlags_ == kModeBit) {
        joinMode(false);
        stop(linkTimer_);
    }
}

void DataChain::onDataLinkTypeChanged(int index) {
    if (index == 0) {
        showNet();
    } else if (index == 1) {
        showRadio();
    }
}

void DataChain::showPanel(Widget* panel) {
    if (!shown_.isEmpty()) {
        Widget* old = shown_.takeLast();
        old->hide();
        ui_->datachainLayout->removeWidget(old);
    }
    panel->show();
    shown_.append(panel);
    ui_->datachainLayout->addWidget(panel, 1, 0, 1, 2);
}

void DataChain::hidePanel() {
    stop(netTimer_);
    stop(radioTimer_);
    radio_->connectObserverSignals(false);
    net_->connectObserverSignals(false);
    net_->stopLogonWait();
    if (!shown_.isEmpty()) {
        Widget* old = shown_.takeLast();
        old->hide();
        ui_->datachainLayout->removeWidget(old);
    }
}

void DataChain::showNet() {
    net_->clearEditors();
    showPanel(net_);
    net_->connectObserverSignals(false);
    radio_->setInSetting(false);
    stop(radioTimer_);
    stop(netTimer_);
    netTimer_ = startTimer(uiMs(kNetQueryTimeoutMs));
    net_->connectObserverSignals(true);
    net_->queryInfo();
}

void DataChain::showRadio() {
    if (radio_->inSetting()) {
        return;
    }
    radio_->clearEditors();
    showPanel(radio_);
    radio_->connectObserverSignals(false);
    disconnect(radio_->callsignButton(), &QPushButton::clicked, this, &DataChain::onCallsign);
    stop(netTimer_);
    stop(radioTimer_);
    radioTimer_ = startTimer(uiMs(kRadioQueryTimeoutMs));
    connect(radio_->callsignButton(), &QPushButton::clicked, this, &DataChain::onCallsign);
    radio_->connectObserverSignals(true);
    radio_->queryInfo();
    radio_->selectProtocol(mode_);
}

void DataChain::onGotRadioData() {
    radio_->connectObserverSignals(false);
    stop(radioTimer_);
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void DataChain::onEnableNetInterface(bool on) {
    if (on) {
        if (netTimer_ > 0) {
            stop(netTimer_);
            net_->connectObserverSignals(false);
        }
        stop(setTimer_);
        setWaitCursor(false);
        setEditorsEnabled(true);
    } else {
        setWaitCursor(true);
        setEditorsEnabled(false);
    }
}

int DataChain::checkInput() {
    QList<int> results;
    const int index = ui_->cbDataChain->currentIndex();
    results << (index >= 0 ? 1 : 0);
    if (index >= 0) {
        const int value = ui_->cbDataChain->currentData().toInt();
        results << (value != 0 && index >= 1 ? radio_->checkInput() : net_->checkInput());
    }
    if (results.contains(0)) {
        showWarning(this, tr("Warning"), tr("Please enter parameters!"));
        return 0;
    }
    return results.contains(-1) ? -1 : 1;
}

void DataChain::setInfo() {
    setFocus(Qt::OtherFocusReason);
    if (checkInput() != 1) {
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    stop(setTimer_);
    if (ui_->cbDataChain->currentData().toInt() == 1) {
        radio_->setInfo();
        setTimer_ = startTimer(uiMs(kRadioSetMs));
        return;
    }
    if (!net_->setInfo()) {
        setWaitCursor(false);
        setEditorsEnabled(true);
        return;
    }
    setTimer_ = startTimer(uiMs(kNetSetMs));
}

void DataChain::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id < 1 || (id != linkTimer_ && id != netTimer_ && id != radioTimer_ && id != setTimer_)) {
        Widget::timerEvent(event);
        return;
    }
    stopTimer(id);
    setWaitCursor(false);
    if (id == linkTimer_) {
        linkTimer_ = -1;
        joinMode(false);
        if (answerFlags_ != kModeBit) {
            // No link is known: the panel of an earlier read would show values as if read.
            hidePanel();
            showWarning(this, tr("Warning"), tr("Failed to get data link type!"));
            setEditorsEnabled(true);
        }
    } else if (id == netTimer_) {
        netTimer_ = -1;
        net_->connectObserverSignals(false);
        if (net_->nothingReceived()) {
            showWarning(this, tr("Warning"), tr("Failed to get net parameters!"));
        }
        setEditorsEnabled(true);
    } else if (id == radioTimer_) {
        radioTimer_ = -1;
        radio_->connectObserverSignals(false);
        if (radio_->nothingReceived()) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
        setEditorsEnabled(true);
    } else {
        setTimer_ = -1;
        onSetTimeout();
    }
}

void DataChain::onSetTimeout() {
    setWaitCursor(false);
    setEditorsEnabled(true);
    if (ui_->cbDataChain->currentIndex() >= 0 && ui_->cbDataChain->currentData().toInt() == 0) {
        net_->onSetTimeout();
    }
}

void DataChain::onCallsign() {
    values() = LinkFields::callsignToHash(radio_->callsign());
    values().insert(QStringLiteral("CSCut"), radio_->callsignCut());
    emit command(QStringLiteral("CallSign"));
}

void DataChain::setParams(const ValueHash& values, Widget*) {
    const bool edited = values.value(QStringLiteral("InSetting")).toBool();
    // Only the call sign page's Ok brings a call sign; anything else leaves none known, so
    // a Set writes none until the radio has been read again.
    radio_->setCallsign(edited ? LinkFields::callsignFromHash(values) : Radio_Callsign{}, edited);
    radio_->setInSetting(edited);
}

void DataChain::deactivate() {
    stop(linkTimer_);
    stop(netTimer_);
    stop(radioTimer_);
    stop(setTimer_);
    joinMode(false);
    radio_->connectObserverSignals(false);
    net_->connectObserverSignals(false);
    net_->stopLogonWait();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void DataChain::setEditorsEnabled(bool enabled) {
    onSetEditorEnabled(enabled);
    net_->setEditorsEnabled(enabled);
    radio_->setEditorsEnabled(enabled);
    emit editorEnabled(enabled);
}

void DataChain::onSetEditorEnabled(bool on) {
    ui_->cbDataChain->setEnabled(on);
    get_->setEnabled(on);
    set_->setEnabled(on);
}

}  // namespace Varnok
