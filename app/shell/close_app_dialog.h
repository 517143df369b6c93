#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class CloseAppDialog;
}

namespace Varnok {

// Asks what becomes of a connected receiver when the program ends.
class CloseAppDialog : public QDialog {
    Q_OBJECT

public:
    explicit CloseAppDialog(QWidget* parent = nullptr);
    ~CloseAppDialog() override;

    // 1 power off, 2 pass-through, 0 exit only.
    int choice() const;

private slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();

private:
    std::unique_ptr<Ui::CloseAppDialog> ui_;
};

}  // namespace Varnok
