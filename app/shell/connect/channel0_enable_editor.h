#pragma once

#include <QWidget>

#include <memory>

class QCloseEvent;

namespace Ui {
class Channel0EnableEditorClass;
}

namespace Varnok {

class ConnectingProgress;

// A service window: connects a receiver over a serial port, shows its identity and switches
// its radio's channel 0 between editable and locked. Closing it ends the program.
class Channel0EnableEditor : public QWidget {
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 60000;
    static constexpr int kUpdateMs = 2000;
    static constexpr unsigned char kLocked = 0xAA;

    explicit Channel0EnableEditor(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Channel0EnableEditor() override;

    // For tests and tools.
    Ui::Channel0EnableEditorClass* form() const { return ui_.get(); }
    ConnectingProgress* progress() const { return progress_; }
    int result() const { return result_; }

public slots:
    void on_pbConnect_clicked();
    void on_pbBreak_clicked();
    void on_pbUpdate_clicked();
    void on_cbAuto_stateChanged(int state);
    void onDeviceInfo();
    void exec();
    void onConnectingCanceled();
    void onConnectSucceeded();
    void exitApp();
    void updateFinish();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onConnectingTimedOut();

private:
    void failed();

    std::unique_ptr<Ui::Channel0EnableEditorClass> ui_;
    ConnectingProgress* progress_ = nullptr;
    int result_ = 0;
    bool updating_ = false;
};

}  // namespace Varnok
