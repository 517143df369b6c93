#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class SelectGetSourceMethodClass;
}

namespace Varnok {

// Asks how a caster's source table is fetched: by the handheld's own connection ("Mobile
// Net") or by the receiver's modem ("Device GPRS"). Ends only through its own buttons.
class SelectGetSourceMethod : public QDialog {
    Q_OBJECT

public:
    explicit SelectGetSourceMethod(QWidget* parent = nullptr);
    ~SelectGetSourceMethod() override;

    // 1 for "Device GPRS", else 0.
    int method() const;
    Ui::SelectGetSourceMethodClass* form() const { return ui_.get(); }

public slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    std::unique_ptr<Ui::SelectGetSourceMethodClass> ui_;
};

}  // namespace Varnok
