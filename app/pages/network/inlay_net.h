#pragma once

#include <QStringList>

#include <array>
#include <memory>

#include "widget.h"

class QLineEdit;

namespace Ui {
class InlayNet_Widget;
}

namespace Varnok {

// The four dial-up texts of an old-protocol receiver's GPRS module.
class InlayNet_Widget : public Widget {
    Q_OBJECT

public:
    explicit InlayNet_Widget(QWidget* parent = nullptr);
    ~InlayNet_Widget() override;

    QLineEdit* apn() const;
    QLineEdit* dialNumber() const;
    QLineEdit* userName() const;
    QLineEdit* password() const;
    int totalLimit() const { return total_; }

    // The receiver's four texts (APN, dial number, user name, password), shown whole.
    void showRead(const QStringList& values);
    void forgetRead();
    // True when the field's text is not the one the receiver sent (or none was read).
    bool edited(int field) const;

    // 1 valid; 0 a missing or unstorable text (marked, message shown); -1 a text too long
    // for its field or too long in all (message shown).
    int checkInput();

public slots:
    void on_lineEdit_APN_textChanged();
    void on_lineEdit_serverNum_textChanged();
    void on_lineEdit_guestName_textChanged();
    void on_lineEdit_psw_textChanged();

private:
    static constexpr int kFields = 4;
    QLineEdit* editor(int field) const;
    static QString fieldName(int field);

    std::unique_ptr<Ui::InlayNet_Widget> ui_;
    int total_ = 48;
    std::array<int, kFields> limits_{};
    QStringList read_;
};

// "WirelessConfig" of old-protocol receivers: reads and sets APN, dial number, user name and
// password.
class InlayNet : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryTimeoutMs = 3000;
    static constexpr int kSetPauseMs = 1000;

    explicit InlayNet(QWidget* parent = nullptr);
    ~InlayNet() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    InlayNet_Widget* form() const { return form_; }

    static Widget* make(QWidget* parent) { return new InlayNet(parent); }

public slots:
    void sendCommand();
    void setInfo();
    void onSetTimeout();
    void onWirelessParamters();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void cutAnswer();

    InlayNet_Widget* form_ = nullptr;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    int answered_ = 0;
    int queryTimer_ = -1;
    int setTimer_ = -1;
};

}  // namespace Varnok
