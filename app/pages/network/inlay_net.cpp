#include "inlay_net.h"

#include <QAction>
#include <QFormLayout>
#include <QTimerEvent>

#include <algorithm>

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
    limits_ = {LF::editorLimit(accessPoint, LF::kSvcTextBytes),
               LF::editorLimit(dial, LF::kSvcTextBytes), LF::editorLimit(user, LF::kSvcTextBytes),
               LF::editorLimit(password, LF::kSvcTextBytes)};
    for (int i = 0; i < kFields; ++i) {
        editor(i)->setMaxLength(limits_[i]);
    }
}

QLineEdit* InlayNet_Widget::editor(int field) const {
    switch (field) {
        case 0:
            return ui_->lineEdit_APN;
        case 1:
            return ui_->lineEdit_serverNum;
        case 2:
            return ui_->lineEdit_guestName;
        default:
            return ui_->lineEdit_psw;
    }
}

QString InlayNet_Widget::fieldName(int field) {
    switch (field) {
        case 0:
            return tr("APN");
        case 1:
            return tr("Dial Number");
        case 2:
            return tr("User Name");
        default:
            return tr("Password");
    }
}

void InlayNet_Widget::showRead(const QStringList& values) {
    // A text longer than its editor's limit shows whole: it may go back as it came.
    read_ = values;
    for (int i = 0; i < kFields; ++i) {
        const QString text = values.value(i);
        editor(i)->setMaxLength(std::max(limits_[i], static_cast<int>(text.size())));
        editor(i)->setText(text);
    }
}

void InlayNet_Widget::forgetRead() {
    read_.clear();
    for (int i = 0; i < kFields; ++i) {
        editor(i)->setMaxLength(limits_[i]);
    }
}

bool InlayNet_Widget::edited(int field) const {
    return field >= read_.size() || editor(field)->text() != read_.at(field);
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
    // A typed text outside Latin-1 has no bytes in the record.
    for (int i = 0; i < kFields; ++i) {
        if (edited(i) && !LF::isLatin1(editor(i)->text())) {
            markInput(1, editor(i));
            missing = true;
        }
    }
    if (missing) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return 0;
    }
    // Untouched texts go back as the receiver sent them; edited ones keep their limits. Either
    // must fit its 55-byte field with the terminator.
    for (int i = 0; i < kFields; ++i) {
        const QString text = editor(i)->text();
        const int limit = edited(i) ? limits_[i] : LF::kSvcTextBytes - 1;
        if (text.size() > limit || !LF::fitsLatin1Field(text, LF::kSvcTextBytes)) {
            markInput(1, editor(i));
            Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                         LF::tooLongText(fieldName(i), std::min(limit, 54)),
                                         QMessageBox::Ok);
            return -1;
        }
    }
    if ((edited(2) || edited(3)) &&
        ui_->lineEdit_guestName->text().size() + ui_->lineEdit_psw->text().size() > total_) {
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
    form_->forgetRead();
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
    form_->showRead({f.apn, f.dial, f.user, f.password});
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
