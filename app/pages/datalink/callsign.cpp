#include "callsign.h"

#include <QRegularExpressionValidator>

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
    ui_->lineEdit_callsign_message->setValidator(new QRegularExpressionValidator(
        QRegularExpression(LinkFields::callsignMessagePattern(),
                           QRegularExpression::UseUnicodePropertiesOption),
        this));
    ui_->lineEdit_callsign_message->setMaxLength(LinkFields::kCallsignMessageBytes);
}

Callsign::~Callsign() = default;

void Callsign::setParams(const ValueHash& values, Widget*) {
    // A later Back hands over nothing, so an earlier Ok is not taken for a fresh edit.
    this->values().clear();
    const bool state = values.value(QStringLiteral("CSState")).toBool();
    const int interval = values.value(QStringLiteral("CSInterval")).toInt();
    const int length = values.value(QStringLiteral("CSLength")).toInt();
    const QString message = values.value(QStringLiteral("CSMessage")).toString().left(length);
    ui_->comboBox_callsign_state->setCurrentIndex(ui_->comboBox_callsign_state->findData(state));
    ui_->lineEdit_callsign_interval->setText(QString::number(interval));
    ui_->lineEdit_callsign_message->setText(message);
}

void Callsign::onBack() {
    const QVariant state = ui_->comboBox_callsign_state->currentData();
    const QString message = ui_->lineEdit_callsign_message->text();
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
