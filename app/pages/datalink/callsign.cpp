#include "callsign.h"

#include <QRegularExpressionValidator>

#include <algorithm>

#include "device_manager.h"
#include "prompts.h"

#include "link_fields.h"
#include "ui_callsign.h"

namespace Varnok {

Callsign::Callsign(QWidget* parent) : Widget(parent), ui_(std::make_unique<Ui::Callsign>()) {
    ui_->setupUi(this);
    connect(createAction(tr("Ok"), this), &QAction::triggered, this, &Callsign::onBack);
    ui_->comboBox_callsign_state->addItem(tr("On"), true);
    ui_->comboBox_callsign_state->addItem(tr("Off"), false);
    if (parent) {
        connect(this, &Callsign::finished, parent, &QWidget::close);
    }
    ui_->lineEdit_callsign_interval->setValidator(new QRegularExpressionValidator(
        QRegularExpression(LinkFields::callsignIntervalPattern()), this));
    messageValidator_ = new QRegularExpressionValidator(
        QRegularExpression(LinkFields::callsignMessagePattern(),
                           QRegularExpression::UseUnicodePropertiesOption),
        this);
    ui_->lineEdit_callsign_message->setMaxLength(LinkFields::kCallsignMessageBytes);
    ui_->lineEdit_callsign_message->setValidator(messageValidator_);
    ui_->label_callsign_cut->setVisible(false);
}

int Callsign::messageLimit() {
    return DeviceManager::instance()->isNewProtocolReceiver() ? LinkFields::kNewCallsignChars
                                                              : LinkFields::kCallsignMessageBytes;
}

Callsign::~Callsign() = default;

void Callsign::setParams(const ValueHash& values, Widget*) {
    // A later Back hands over nothing, so an earlier Ok is not taken for a fresh edit.
    this->values().clear();
    const bool state = values.value(QStringLiteral("CSState")).toBool();
    const int interval = values.value(QStringLiteral("CSInterval")).toInt();
    const int length = values.value(QStringLiteral("CSLength")).toInt();
    const QString message = values.value(QStringLiteral("CSMessage")).toString().left(length);
    const int limit = messageLimit();
    messageValidator_->setRegularExpression(QRegularExpression(
        LinkFields::callsignMessagePattern(limit), QRegularExpression::UseUnicodePropertiesOption));
    // A longer text handed over is shown whole, never cut: Ok refuses it.
    ui_->lineEdit_callsign_message->setMaxLength(std::max<int>(limit, message.size()));
    ui_->comboBox_callsign_state->setCurrentIndex(ui_->comboBox_callsign_state->findData(state));
    ui_->lineEdit_callsign_interval->setText(QString::number(interval));
    ui_->lineEdit_callsign_message->setText(message);
    cut_ = values.value(QStringLiteral("CSCut")).toBool();
    cutText_ = message;
    ui_->label_callsign_cut->setVisible(cut_);
    if (cut_) {
        markInput(1, ui_->lineEdit_callsign_message);
        ui_->label_callsign_cut->setText(
            tr("The receiver's call sign is longer than %1 characters.").arg(limit));
    } else {
        markInput(0, ui_->lineEdit_callsign_message);
    }
}

void Callsign::onBack() {
    const QVariant state = ui_->comboBox_callsign_state->currentData();
    const QString message = ui_->lineEdit_callsign_message->text();
    // Refused rather than sent as 0 minutes or cut to the receiver's field.
    if (ui_->lineEdit_callsign_interval->text().toInt() < 1) {
        markInput(1, ui_->lineEdit_callsign_interval);
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Call sign interval must be 1 to 30 minutes!"),
                                     QMessageBox::Ok);
        return;
    }
    markInput(0, ui_->lineEdit_callsign_interval);
    const int limit = messageLimit();
    // The cut text as read is not the receiver's call sign: only the user's own is sent.
    if (message.size() > limit || (cut_ && message == cutText_)) {
        markInput(1, ui_->lineEdit_callsign_message);
        Prompts::instance()->message(
            this, Prompts::Critical, tr("Error"),
            tr("Call sign message holds at most %1 characters!").arg(limit), QMessageBox::Ok);
        return;
    }
    markInput(0, ui_->lineEdit_callsign_message);
    ValueHash out;
    out.insert(QStringLiteral("CSState"), state.isValid() && state.toBool());
    out.insert(QStringLiteral("CSInterval"), ui_->lineEdit_callsign_interval->text().toInt());
    out.insert(QStringLiteral("CSMessage"), message);
    out.insert(QStringLiteral("CSLength"), static_cast<int>(message.size()));
    out.insert(QStringLiteral("InSetting"), true);
    values() = out;
    emit finished();
}

}  // namespace Varnok
