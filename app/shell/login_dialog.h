#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class LoginDialogClass;
}

namespace Varnok {

// Logs the user in against the password store and, once logged in, changes the password.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    // 0 not logged in, 1 logged in, 2 changing the password.
    enum Mode { NotLoggedIn = 0, LoggedIn = 1, Modifying = 2 };

    explicit LoginDialog(QWidget* parent = nullptr);
    ~LoginDialog() override;

    int mode() const { return mode_; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void on_pbLogin_clicked();
    void on_pbCancel_clicked();
    void on_lePsw_textChanged(const QString& text);
    void on_leNewPsw_textChanged(const QString& text);
    void on_leConfirmPsw_textChanged(const QString& text);

private:
    void init();
    void updateMode();
    void login();
    void modifyPassword();
    void note(const char* text);

    std::unique_ptr<Ui::LoginDialogClass> ui_;
    int mode_ = NotLoggedIn;
};

}  // namespace Varnok
