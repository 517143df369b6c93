#include "select_get_source_method.h"

#include "ui_select_get_source_method.h"

namespace Varnok {

SelectGetSourceMethod::SelectGetSourceMethod(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SelectGetSourceMethodClass>()) {
    ui_->setupUi(this);
    setWindowTitle(tr("Get source table"));
    ui_->radioButton_socket->setText(tr("Mobile Net"));
    ui_->radioButton_socket->setChecked(true);
    // A title bar without close or help buttons: the choice ends through OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

SelectGetSourceMethod::~SelectGetSourceMethod() = default;

int SelectGetSourceMethod::method() const {
    return ui_->radioButton_deviceNet->isChecked() ? 1 : 0;
}

void SelectGetSourceMethod::on_okButton_clicked() {
    accept();
}

void SelectGetSourceMethod::on_cancelButton_clicked() {
    reject();
}

}  // namespace Varnok
