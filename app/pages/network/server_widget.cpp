#include "server_widget.h"

#include <QMessageBox>
#include <QRegularExpressionValidator>

#include "logic_context.h"
#include "net_server_config.h"
#include "prompts.h"
#include "sip_helper.h"
#include "ui_server_widget.h"
#include "ui_source_add.h"
#include "valid_check_config.h"

namespace Varnok {

namespace {

constexpr int kNtripClient = 1;
constexpr int kTcpDirect = 3;

}  // namespace

ServerWidget::ServerWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::ServerWidget>()) {
    ui_->setupUi(this);
    fillProtocols();
    ui_->source_minButton->setEnabled(false);
    ui_->listWidget_source->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui_->listWidget_source->setSelectionMode(QAbstractItemView::SingleSelection);
    applyLengthLimits();
    updateFieldStates();
}

ServerWidget::~ServerWidget() = default;

void ServerWidget::fillProtocols() {
    QComboBox* box = ui_->comboBox_protocol;
    const QSignalBlocker block(box);
    box->clear();
    for (int code : {0, kNtripClient, kTcpDirect}) {
        box->addItem(LogicContext::translate(code), code);
    }
}

void ServerWidget::applyLengthLimits() {
    int name = 0;
    int baseId = 0;
    int address = 0;
    ValidCheckConfig::instance().serverLimits(name, baseId, address);
    int user = 0;
    int password = 0;
    int source = 0;
    int total = 0;
    ValidCheckConfig::instance().corsLimits(user, password, source, total);
    ui_->lineEdit_name->setMaxLength(name);
    ui_->lineEdit_BaseID->setMaxLength(baseId);
    ui_->lineEdit_address->setMaxLength(address);
    ui_->lineEdit_guestName->setMaxLength(user);
    ui_->lineEdit_psw->setMaxLength(password);
    ui_->lineEdit_port->setValidator(LogicContext::validator(3, -1, -1, ui_->lineEdit_port));
}

void ServerWidget::updateFieldStates() {
    const int code = ui_->comboBox_protocol->currentData().toInt();
    const bool baseId = code != kNtripClient && code != kTcpDirect;
    const bool ntrip = code == kNtripClient;
    ui_->label_baseID->setVisible(baseId);
    ui_->lineEdit_BaseID->setVisible(baseId);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->label_source), static_cast<QWidget*>(ui_->source_addButton),
          static_cast<QWidget*>(ui_->source_minButton),
          static_cast<QWidget*>(ui_->listWidget_source),
          static_cast<QWidget*>(ui_->label_guestName),
          static_cast<QWidget*>(ui_->lineEdit_guestName), static_cast<QWidget*>(ui_->label_psw),
          static_cast<QWidget*>(ui_->lineEdit_psw), static_cast<QWidget*>(ui_->cbSavePsw)}) {
        w->setVisible(ntrip);
    }
}

void ServerWidget::reset() {
    ui_->lineEdit_name->clear();
    ui_->lineEdit_address->clear();
    ui_->lineEdit_port->clear();
    ui_->lineEdit_BaseID->clear();
    ui_->lineEdit_guestName->clear();
    ui_->lineEdit_psw->clear();
    ui_->comboBox_protocol->setCurrentIndex(0);
    ui_->listWidget_source->clear();
    ui_->source_minButton->setEnabled(false);
    ui_->cbSavePsw->setChecked(true);
    updateFieldStates();
}

void ServerWidget::loadServer(int key) {
    NetServer server;
    if (!NetServerConfig::instance().serverByKey(server, key)) {
        return;
    }
    ui_->lineEdit_name->setText(server.name);
    ui_->comboBox_protocol->setCurrentIndex(ui_->comboBox_protocol->findData(server.protocol));
    ui_->lineEdit_address->setText(server.address);
    ui_->lineEdit_port->setText(QString::number(server.port));
    ui_->lineEdit_guestName->setText(server.user);
    ui_->lineEdit_BaseID->setText(server.baseId);
    if (!server.sources.isEmpty()) {
        ui_->listWidget_source->addItems(server.sources);
    }
    ui_->lineEdit_psw->setText(server.password);
    updateFieldStates();
}

QStringList ServerWidget::sources() const {
    QStringList list;
    for (int i = 0; i < ui_->listWidget_source->count(); ++i) {
        list << ui_->listWidget_source->item(i)->text();
    }
    return list;
}

void ServerWidget::serverFromEditors(NetServer& server) const {
    server.address = ui_->lineEdit_address->text();
    server.port = ui_->lineEdit_port->text().toUInt();
    server.protocol = ui_->comboBox_protocol->currentData().toInt();
    server.name = ui_->lineEdit_name->text();
    server.user = ui_->lineEdit_guestName->text();
    server.baseId = ui_->lineEdit_BaseID->text();
    server.sources = sources();
    server.password = ui_->cbSavePsw->isChecked() ? ui_->lineEdit_psw->text() : QString();
}

bool ServerWidget::checkInput() {
    bool ok = true;
    auto require = [this, &ok](bool present, QWidget* editor) {
        if (!present) {
            markInput(1, editor);
            ok = false;
        }
    };
    require(!ui_->comboBox_protocol->currentText().isEmpty(), ui_->comboBox_protocol);
    require(!ui_->lineEdit_address->text().isEmpty(), ui_->lineEdit_address);
    require(!ui_->lineEdit_port->text().isEmpty(), ui_->lineEdit_port);
    require(!ui_->lineEdit_name->text().isEmpty(), ui_->lineEdit_name);
    if (!ok) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
    }
    return ok;
}

void ServerWidget::on_source_addButton_clicked() {
    const QStringList current = sources();
    SipHelper::instance()->setVisible(true);
    Source_Add dialog(this);
    dialog.setSources(current);
    if (execDialog(&dialog) == QDialog::Accepted) {
        ui_->listWidget_source->addItem(dialog.text());
    }
    SipHelper::instance()->setVisible(false);
}

void ServerWidget::on_source_minButton_clicked() {
    QListWidget* list = ui_->listWidget_source;
    const int row = list->currentRow();
    if (row < 0) {
        return;
    }
    delete list->takeItem(row);
    if (list->count() > 0) {
        list->setCurrentRow(qMin(row, list->count() - 1));
    } else {
        ui_->source_minButton->setEnabled(false);
    }
}

void ServerWidget::on_comboBox_protocol_currentIndexChanged() {
    markInput(0, ui_->comboBox_protocol);
    updateFieldStates();
}

void ServerWidget::on_lineEdit_name_textChanged() {
    markInput(0, ui_->lineEdit_name);
}

void ServerWidget::on_lineEdit_address_textChanged() {
    markInput(0, ui_->lineEdit_address);
}

void ServerWidget::on_lineEdit_port_textChanged() {
    markInput(0, ui_->lineEdit_port);
}

void ServerWidget::on_lineEdit_BaseID_textChanged() {
    markInput(0, ui_->lineEdit_BaseID);
}

void ServerWidget::on_listWidget_source_itemSelectionChanged() {
    ui_->source_minButton->setEnabled(!ui_->listWidget_source->selectedItems().isEmpty());
}

// ---- Source_Add

Source_Add::Source_Add(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::Source_Add>()) {
    ui_->setupUi(this);
    setWindowModality(Qt::WindowModal);
    // No context-help or OK button in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    int user = 0;
    int password = 0;
    int source = 0;
    int total = 0;
    ValidCheckConfig::instance().corsLimits(user, password, source, total);
    ui_->lineEdit->setMaxLength(source);
    ui_->okButton->setEnabled(false);
}

Source_Add::~Source_Add() = default;

QString Source_Add::text() const {
    return ui_->lineEdit->text();
}

void Source_Add::on_lineEdit_textChanged() {
    ui_->label->setText(tr("Enter source:"));
    ui_->okButton->setEnabled(!ui_->lineEdit->text().isEmpty());
}

void Source_Add::on_okButton_clicked() {
    if (sources_.contains(ui_->lineEdit->text(), Qt::CaseSensitive)) {
        ui_->lineEdit->clear();
        ui_->lineEdit->setFocus();
        ui_->label->setText(tr("Already existed..."));
        return;
    }
    accept();
}

void Source_Add::on_cancelButton_clicked() {
    reject();
}

}  // namespace Varnok
