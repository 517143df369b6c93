#pragma once

#include <memory>

#include "BVParse/Em_NewRecords.h"
#include "widget.h"

struct NetServer;

namespace Ui {
class WirelessWidgetClass;
}

namespace Varnok {

class SourceFetch;

// The network panel of the new-protocol data link page: server type, IPv4 address and port,
// source or base ID, account and Auto Login, read from the receiver on activation and sent
// in one batch; servers are kept in the server store.
class WirelessWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 3000;
    static constexpr int kPauseMs = 2000;
    // Received-answers bits.
    static constexpr int kTypeBit = 1;
    static constexpr int kAddressBit = 2;
    static constexpr int kSourceBit = 4;
    static constexpr int kAccountBit = 8;
    static constexpr int kLoginBit = 16;
    static constexpr int kAllAnswers = 31;
    // Operation states of the source-table fetch.
    static constexpr int kFetchThroughReceiver = 3;
    static constexpr int kFetchBySocket = 4;
    static constexpr int kFetchStartMs = 5;
    static constexpr int kFetchConnectMs = 50;

    explicit WirelessWidget(QWidget* parent = nullptr);
    ~WirelessWidget() override;

    void clearEditors();
    void setInfo();
    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }

    static int toStoredProtocol(int serverType);
    static int toServerType(int storedCode);

    Ui::WirelessWidgetClass* form() const { return ui_.get(); }
    int operationState() const { return state_; }
    bool anyTimerRunning() const {
        return queryTimer_ > 0 || pauseTimer_ > 0 || fetchStartTimer_ > 0 || connectTimer_ > 0;
    }
    int queryTimerId() const { return queryTimer_; }
    int pauseTimerId() const { return pauseTimer_; }
    SourceFetch* sourceFetch() const { return fetch_; }

signals:
    void busy(bool on);

public slots:
    void onProtocolChanged(int index);
    void onServerChanged(int index);
    void onServerEdited(const QString& text);
    void onSourceEdit();
    void on_leAddress_textChanged();
    void on_lePort_textChanged();
    void on_cbSource_currentIndexChanged();
    void on_leBaseID_textChanged();
    void on_leUserName_textChanged();
    void on_lePsw_textChanged();
    void onServerType();
    void onServerAddress();
    void onServerDataSource();
    void onServerAccount();
    void onLoginMode();
    void on_tbGetSource_clicked();
    void onFetchFinished(bool ok);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void refreshChoices();
    void connectServerSignals(bool on);
    void answered(int bit);
    void endQuery();
    void clearServerFields();
    void loadServer(int key);
    void addSourceItem(const QString& name, bool select);
    int currentType() const;
    bool checkInput();
    bool checkLengths();
    NetServer serverFromEditors() const;
    bool saveServer(NetServer& server);
    void sendSettings();
    void startOperation();
    void endOperation();
    void begin();
    void end();
    bool checkLinkFields();
    void chooseSourceMethod();
    void startFetch();

    std::unique_ptr<Ui::WirelessWidgetClass> ui_;
    int received_ = 0;
    // The editors of the items when the query ended, for those it did not answer.
    struct Unread {
        QString source;
        QString user;
        QString password;
        QString baseId;
        bool autoLogin = false;
    } unread_;
    int queryTimer_ = -1;
    int pauseTimer_ = -1;
    int state_ = 0;
    int running_ = 0;
    bool enabled_ = true;
    SourceFetch* fetch_ = nullptr;
    int fetchStartTimer_ = -1;
    int connectTimer_ = -1;
};

}  // namespace Varnok
