#include "close_app_dialog.h"

#include "ui_close_app_dialog.h"

namespace Varnok {

CloseAppDialog::CloseAppDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CloseAppDialog>()) {
    ui_->setupUi(this);
    setWindowFlags(windowFlags() & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));
}

CloseAppDialog::~CloseAppDialog() = default;

int CloseAppDialog::choice() const {
    if (ui_->rbPowerOff->isChecked()) {
        return 1;
    }
    if (ui_->rbPassThrough->isChecked()) {
        return 2;
    }
    return 0;
}

void CloseAppDialog::on_pushButton_ok_clicked() {
    accept();
}

void CloseAppDialog::on_pushButton_cancel_clicked() {
    reject();
}

}  // namespace Varnok
