#include "login_dialog.h"

#include <QEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "logic_context.h"
#include "password_store.h"
#include "sip_helper.h"
#include "ui_login_dialog.h"

namespace Varnok {

namespace {
constexpr int kMinLength = 6;
constexpr int kMaxLength = 15;

bool badLength(const QString& text) {
    return text.size() < kMinLength || text.size() > kMaxLength;
}

QString translated(const char* text) {
    return QCoreApplication::translate("LoginDialog", text);
}
}  // namespace

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::LoginDialogClass>()) {
    ui_->setupUi(this);
    init();
}

LoginDialog::~LoginDialog() {
    SipHelper::instance()->setVisible(false);
}

void LoginDialog::init() {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const QRegularExpression ascii(QStringLiteral("^[\\x01-\\x7F]+$"));
    for (QLineEdit* e : {ui_->lePsw, ui_->leNewPsw, ui_->leConfirmPsw}) {
        e->setEchoMode(QLineEdit::PasswordEchoOnEdit);
        e->setMaxLength(kMaxLength);
        e->setValidator(new QRegularExpressionValidator(ascii, e));
        e->installEventFilter(this);
    }
    // Room for the longest note on two lines, so no note is cut off.
    ui_->lblTips->setMinimumHeight(2 * ui_->lblTips->fontMetrics().lineSpacing() + 4);
    mode_ = PasswordStore::instance().isLoggedIn() ? LoggedIn : NotLoggedIn;
    updateMode();
    SipHelper::instance()->setVisible(true);
}

void LoginDialog::note(const char* text) {
    ui_->lblTips->setText(translated(text));
}

void LoginDialog::updateMode() {
    const bool changing = mode_ == Modifying;
    ui_->lblPsw->setVisible(!changing);
    ui_->lePsw->setVisible(!changing);
    ui_->lblNewPsw->setVisible(changing);
    ui_->leNewPsw->setVisible(changing);
    ui_->lblConfirm->setVisible(changing);
    ui_->leConfirmPsw->setVisible(changing);
    switch (mode_) {
        case NotLoggedIn:
            ui_->pbLogin->setText(translated("Login"));
            ui_->lePsw->setEnabled(true);
            ui_->pbLogin->setDefault(true);
            setWindowTitle(translated("UnLoged"));
            break;
        case LoggedIn:
            ui_->pbLogin->setText(translated("Modify"));
            ui_->lePsw->setEnabled(false);
            if (ui_->lePsw->text().isEmpty()) {
                ui_->lePsw->setText(QStringLiteral("xxxxxx"));
            }
            ui_->pbLogin->setDefault(false);
            ui_->pbCancel->setDefault(true);
            ui_->lblTips->clear();
            setWindowTitle(translated("Logged"));
            break;
        default:
            ui_->pbLogin->setText(translated("OK"));
            ui_->pbCancel->setDefault(false);
            ui_->pbLogin->setDefault(true);
            setWindowTitle(translated("Modify Password"));
            break;
    }
}

void LoginDialog::on_pbLogin_clicked() {
    switch (mode_) {
        case NotLoggedIn:
            login();
            break;
        case LoggedIn:
            mode_ = Modifying;
            updateMode();
            break;
        default:
            modifyPassword();
            break;
    }
}

void LoginDialog::on_pbCancel_clicked() {
    reject();
}

void LoginDialog::login() {
    const QString p = ui_->lePsw->text();
    if (p.isEmpty()) {
        note(" Note: Password should not be empty.");
    } else if (badLength(p)) {
        note(" Note: Length of Password should be 6 - 15.");
    } else if (!PasswordStore::instance().check(p)) {
        note(" Note: Password is invalid.");
    } else {
        PasswordStore::instance().setLoggedIn(true);
        mode_ = LoggedIn;
        updateMode();
        return;
    }
    LogicContext::setWidgetBrush(1, ui_->lePsw);
}

void LoginDialog::modifyPassword() {
    const QString n = ui_->leNewPsw->text();
    const QString c = ui_->leConfirmPsw->text();
    QLineEdit* newEdit = ui_->leNewPsw;
    QLineEdit* confirmEdit = ui_->leConfirmPsw;
    if (n.isEmpty()) {
        note(" Note: New Password should not be empty.");
        LogicContext::setWidgetBrush(1, newEdit);
    } else if (badLength(n)) {
        note(" Note: Length of New Password should be 6 - 15.");
        LogicContext::setWidgetBrush(1, newEdit);
    } else if (c.isEmpty()) {
        note(" Note: Confirm Password should not be empty.");
        LogicContext::setWidgetBrush(1, confirmEdit);
    } else if (badLength(c)) {
        note(" Note: Length of Confirm Password should be 6 - 15.");
        LogicContext::setWidgetBrush(1, confirmEdit);
    } else if (n != c) {
        note(" Note: Confirm Password is different with the New Password.");
        LogicContext::setWidgetBrush(1, confirmEdit);
    } else if (PasswordStore::instance().check(n)) {
        note(" Note: New Password should not be the same as the old one.");
        LogicContext::setWidgetBrush(1, newEdit);
        LogicContext::setWidgetBrush(1, confirmEdit);
    } else if (!PasswordStore::instance().write(n)) {
        // The old file stays; say so instead of claiming success.
        note(" Note: Failed to modify password.");
        LogicContext::setWidgetBrush(1, newEdit);
        LogicContext::setWidgetBrush(1, confirmEdit);
    } else {
        note(" Note: Succeed to modify password.");
    }
}

void LoginDialog::on_lePsw_textChanged(const QString&) {
    LogicContext::setWidgetBrush(0, ui_->lePsw);
}

void LoginDialog::on_leNewPsw_textChanged(const QString&) {
    LogicContext::setWidgetBrush(0, ui_->leNewPsw);
}

void LoginDialog::on_leConfirmPsw_textChanged(const QString&) {
    LogicContext::setWidgetBrush(0, ui_->leConfirmPsw);
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        (watched == ui_->lePsw || watched == ui_->leNewPsw || watched == ui_->leConfirmPsw)) {
        note("Note: Input 6-15 characters of half-width characters can be seen.");
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace Varnok
