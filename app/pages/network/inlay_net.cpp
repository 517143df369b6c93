#include "inlay_net.h"

#include <QAction>
#include <QFormLayout>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "link_fields.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_inlay_net_widget.h"
#include "valid_check_config.h"

namespace Varnok {

namespace LF = LinkFields;

InlayNet_Widget::InlayNet_Widget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::InlayNet_Widget>()) {
    ui_->setupUi(this);
    int accessPoint = 31, dial = 14, user = 32, password = 16;
    ValidCheckConfig::instance().apnLimits(accessPoint, dial, user, password, total_);
    ui_->lineEdit_APN->setMaxLength(LF::editorLimit(accessPoint, LF::kSvcTextBytes));
    ui_->lineEdit_serverNum->setMaxLength(LF::editorLimit(dial, LF::kSvcTextBytes));
    ui_->lineEdit_guestName->setMaxLength(LF::editorLimit(user, LF::kSvcTextBytes));
    ui_->lineEdit_psw->setMaxLength(LF::editorLimit(password, LF::kSvcTextBytes));
}

InlayNet_Widget::~InlayNet_Widget() = default;

QLineEdit* InlayNet_Widget::apn() const {
    return ui_->lineEdit_APN;
}
QLineEdit* InlayNet_Widget::dialNumber() const {
    return ui_->lineEdit_serverNum;
}
QLineEdit* InlayNet_Widget::userName() const {
    return ui_->lineEdit_guestName;
}
QLineEdit* InlayNet_Widget::password() const {
    return ui_->lineEdit_psw;
}

void InlayNet_Widget::on_lineEdit_APN_textChanged() {
    markInput(0, ui_->lineEdit_APN);
}
void InlayNet_Widget::on_lineEdit_serverNum_textChanged() {
    markInput(0, ui_->lineEdit_serverNum);
}
void InlayNet_Widget::on_lineEdit_guestName_textChanged() {
    markInput(0, ui_->lineEdit_guestName);
}
void InlayNet_Widget::on_lineEdit_psw_textChanged() {
    markInput(0, ui_->lineEdit_psw);
}

int InlayNet_Widget::checkInput() {
    bool missing = false;
    for (QLineEdit* e : {ui_->lineEdit_APN, ui_->lineEdit_serverNum}) {
        if (e->text().isEmpty()) {
            markInput(1, e);
            missing = true;
        }
    }
    // Text the 55-byte fields cannot hold (read from the receiver, or typed outside Latin-1).
    for (QLineEdit* e :
         {ui_->lineEdit_APN, ui_->lineEdit_serverNum, ui_->lineEdit_guestName, ui_->lineEdit_psw}) {
        if (!LF::fitsLatin1Field(e->text(), LF::kSvcTextBytes)) {
            markInput(1, e);
            missing = true;
        }
    }
    if (missing) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return 0;
    }
    if (ui_->lineEdit_guestName->text().size() + ui_->lineEdit_psw->text().size() > total_) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Total length of\nuser name and password\nis beyond %1!",
                                        "How to describe this error is not sure.")
                                         .arg(total_),
                                     QMessageBox::Ok);
        return -1;
    }
    return 1;
}

InlayNet::InlayNet(QWidget* parent) : Widget(parent) {
    setWindowTitle(tr("APN Settings"));
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form_ = new InlayNet_Widget(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    connect(get_, &QAction::triggered, this, &InlayNet::sendCommand);
    connect(set_, &QAction::triggered, this, &InlayNet::setInfo);
    layout->addRow(form_);
}

InlayNet::~InlayNet() {
    cutAnswer();
}

void InlayNet::cutAnswer() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(wirelessParamters()), this);
    }
}

void InlayNet::activate() {
    cutAnswer();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(wirelessParamters()),
                  SLOT(onWirelessParamters()));
    DeviceManager::instance()->queryModemSettings();
}

void InlayNet::sendCommand() {
    setWaitCursor(true);
    cutAnswer();
    answered_ = 0;
    form_->apn()->clear();
    form_->dialNumber()->clear();
    form_->userName()->clear();
    form_->password()->clear();
    setEditorsEnabled(false);
    connectQueued(DeviceObserver::instance(), this, SIGNAL(wirelessParamters()),
                  SLOT(onWirelessParamters()));
    DeviceManager::instance()->queryModemSettings();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryTimeoutMs));
}

void InlayNet::onWirelessParamters() {
    answered_ |= 8;
    const LF::WirelessFields f = LF::readWirelessInfo(DeviceManager::instance()->wirelessInfo());
    form_->apn()->setText(f.apn);
    form_->dialNumber()->setText(f.dial);
    form_->userName()->setText(f.user);
    form_->password()->setText(f.password);
    if (answered_ == 8) {
        setWaitCursor(false);
        setEditorsEnabled(true);
        cutAnswer();
        stopTimer(queryTimer_);
        queryTimer_ = -1;
    }
}

void InlayNet::setInfo() {
    setFocus(Qt::OtherFocusReason);
    if (form_->checkInput() != 1) {
        return;
    }
    SvcInfo info{};
    if (!LF::buildSvcInfo(form_->userName()->text(), form_->password()->text(),
                          form_->apn()->text(), form_->dialNumber()->text(), info)) {
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager::instance()->setGprsSvcInfo(info);
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetPauseMs));
}

void InlayNet::onSetTimeout() {
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void InlayNet::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == queryTimer_) {
        setWaitCursor(false);
        stopTimer(queryTimer_);
        queryTimer_ = -1;
        cutAnswer();
        if (answered_ == 0) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
        setEditorsEnabled(true);
    } else if (id == setTimer_) {
        stopTimer(setTimer_);
        setTimer_ = -1;
        onSetTimeout();
    } else {
        Widget::timerEvent(event);
    }
}

void InlayNet::deactivate() {
    stopTimer(queryTimer_);
    stopTimer(setTimer_);
    queryTimer_ = -1;
    setTimer_ = -1;
    cutAnswer();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void InlayNet::setEditorsEnabled(bool enabled) {
    form_->apn()->setEnabled(enabled);
    form_->dialNumber()->setEnabled(enabled);
    form_->userName()->setEnabled(enabled);
    form_->password()->setEnabled(enabled);
    get_->setEnabled(enabled);
    set_->setEnabled(enabled);
    emit editorEnabled(enabled);
}

}  // namespace Varnok
