#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

#include "device_manager.h"
#include "widget.h"

struct NetServer;
class QComboBox;
class QLineEdit;

namespace Varnok {
class SourceFetch;
}

namespace Ui {
class DataChain_Net;
}

namespace Varnok {

// The GPRS panel of the old-protocol data link page: work mode, server (from and into the
// server store), protocol, address, port, source or base ID, login and Auto Login. Its Set
// sends link and login, then polls the receiver's GPRS status and error once a second until
// it logs on, reports an error or radio mode, or the host's set time-out ends the wait.
class DataChain_Net : public Widget {
    Q_OBJECT

public:
    static constexpr int kPollMs = 1000;
    // Received-answers bits.
    static constexpr int kWirelessBit = 8;
    static constexpr int kCorsBit = 32;
    static constexpr int kLoginModeBit = 64;
    static constexpr int kAllAnswers = kWirelessBit | kCorsBit | kLoginModeBit;

    explicit DataChain_Net(QWidget* parent = nullptr);
    ~DataChain_Net() override;

    void clearEditors();
    void connectObserverSignals(bool on);
    void queryInfo();
    bool nothingReceived() const { return received_ == 0; }
    // 1 valid; 0 a missing or unusable value (marked); -1 too long in all (message shown).
    int checkInput();
    // Saves the server when asked, then sends; false when the server name was refused.
    bool setInfo();
    void onSetTimeout();
    // Ends a running log-on wait without a word: polls stopped, signals cut, nothing pending.
    void stopLogonWait();
    void setEditorsEnabled(bool enabled) override;

    int pendingRequest() const { return pending_; }
    SourceFetch* sourceFetch() const { return fetch_; }
    bool isPolling() const { return statusTimer_ > 0 || errorTimer_ > 0; }
    Ui::DataChain_Net* form() const { return ui_.get(); }

signals:
    void enableInterface(bool on);

public slots:
    void onWorkModeChanged(int index);
    void onProtocolChanged(int index);
    void onServerChanged(int index);
    void on_comboBox_server_editTextChanged(const QString& text);
    void on_lineEdit_address_textChanged();
    void on_lineEdit_port_textChanged();
    void on_lineEdit_BaseID_textChanged();
    void onSourceListTextChanged(const QString& text);
    void onClearSource();
    void onSourceEditFinished();
    void onWirelessParameters();
    void onCorsInfo();
    void onLoginMode();
    void onWirelessStatus();
    void onWirelessError();
    void updateSaveButtonStatus(bool on);
    void on_getsourceButton_clicked();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void initChoices();
    void applyLengthLimits();
    void connectEditorSignals();
    void updateFieldStates(int protocolIndex, int workModeIndex);
    void setSupportedProtocols(std::uint32_t word);
    void fillProtocols();
    void fillServerList();
    void clearServerFields();
    void loadServer(int key);
    NetServer serverFromEditors() const;
    int checkRequired();
    bool checkLengths();
    int checkTotalLength();
    bool sendSettings();
    void startPolls();
    void stopPolls();
    void answered(int bit);
    int currentProtocol() const;
    int currentWorkMode() const;
    void selectData(QComboBox* box, int value);
    // Source-table fetch.
    void fetchSourceBySocket();
    void fetchSourceByReceiver();
    void setFetchActive(bool active);
    void onFetchFinished(bool ok);
    void endWait();
    bool linkUnchanged() const;
    bool addressAccepted() const;
    void fillSourceList();

    std::unique_ptr<Ui::DataChain_Net> ui_;
    QList<int> supported_;
    // Stored texts longer than their editors take: the editor shows them cut.
    QList<QPair<QLineEdit*, QString>> cutTexts_;
    // Editors whose text the receiver sent longer than its record holds, so it arrived cut;
    // an editor leaves the list when the user edits it.
    QList<QWidget*> cutByReceiver_;
    void noteReceiverText(QWidget* editor, int reportedLength, int fieldBytes);
    // Texts the receiver sent, shown whole even past their editors' configured lengths so
    // an untouched Set sends them as read; a text typed there keeps the configured length.
    QHash<QLineEdit*, QString> receiverTexts_;
    QHash<QLineEdit*, int> limits_;
    void showReceiverText(QLineEdit* editor, const QString& text);
    int received_ = 0;
    // Changed by the user since the query: sent even when its answer never came.
    bool corsTouched_ = false;
    bool autoLoginTouched_ = false;
    bool autoLoginSupported_ = false;
    bool sourceFetchSupported_ = false;
    bool hostName_ = false;
    int pending_ = 0;
    int baseIdLength_ = 0;
    int totalLimit_ = 49;
    int statusTimer_ = -1;
    int errorTimer_ = -1;
    WirelessInfo info_{};
    // Source-table fetch.
    SourceFetch* fetch_ = nullptr;
    bool sourceRequested_ = false;
    QList<QString> fetched_;
};

}  // namespace Varnok
