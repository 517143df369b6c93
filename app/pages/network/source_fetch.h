#pragma once

#include <QList>
#include <QObject>
#include <QtGlobal>
#include <QString>
#include <QStringDecoder>

#include <memory>

#include "caster_answer.h"
#include "source_table_pieces.h"

class QComboBox;
class QTimerEvent;
class QWidget;

namespace Varnok {

class Client;

// One fetch of a caster's source table for a network panel, by either way: over the handheld's
// own TCP connection, or through the receiver's modem (the panel brings the link up, this waits
// for the collected table; or, on new-protocol receivers, the dial status decides). The panel
// owns it, frames the fetch in its editors and fills its source list when finished(true)
// arrives; the messages are shown here, after finished(), with the panel as their parent.
class SourceFetch : public QObject {
    Q_OBJECT

public:
    // Which panel's message titles to use.
    enum Titles { OldPanel, NewPanel };
    enum Path { Idle, BySocket, ThroughReceiver, ThroughDial };

    static constexpr int kConnectWaitMs = 30000;
    static constexpr int kTimeoutMs = 60000;

    SourceFetch(QWidget* panel, Titles titles);
    ~SourceFetch() override;

    // Runs the method dialog: 0 by socket, 1 through the receiver, -1 cancelled.
    static int chooseMethod(QWidget* parent);
    // Replaces the combo's items by the names, each non-empty name once (case-sensitive), and
    // selects the item of the first name (firstName) or the first item.
    static void fillSourceList(QComboBox* box, const QList<QString>& names, bool firstName);

    // Starts connecting (up to 30 s, without blocking) and then sends the request; the answer
    // is joined until its end marker, 1 MiB or 60 s. A refusal, an HTTP error or a close before
    // the end marker ends the fetch at once with its message.
    void fetchBySocket(const QString& host, quint16 port);
    // Waits up to 60 s for the table the receiver collects; the panel calls requestTable()
    // once the receiver's link is up.
    void waitForReceiverTable();
    void requestTable();
    // New-protocol receivers: asks the dial status; a dialled modem gets the caster address
    // and the source-list query. False, nothing sent, when the address is not a dotted IPv4.
    bool fetchThroughDial(const QString& address, quint16 port);
    // Ends a running fetch without a word or a signal (the panel is being left or closed).
    void cancel();

    Path path() const { return path_; }
    bool isRunning() const { return path_ != Idle; }
    // The names of the last fetch that succeeded.
    const QList<QString>& names() const { return names_; }
    // The TCP client once a socket fetch has made it.
    Client* client() const { return client_.get(); }

signals:
    // Every end but cancel(): the panel re-enables its editors, and on success fills its list.
    void finished(bool ok);

public slots:
    void onGetSourceBySocket(QString& text);
    void onSocketConnected();
    void onSocketConnectFailed();
    void onSocketBytes(const QByteArray& bytes);
    void onSocketClosed();
    void onSourceTable();
    void onModemDialStatus();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void onSocketTimeout();
    void onQueryTimeout();
    void stop();
    void succeed();
    void fail(int kind, const char* title, const char* text);
    void failWith(int kind, const char* title, const QString& text);
    void addTableText(const std::string& bytes);

    QWidget* panel_;
    Titles titles_;
    Path path_ = Idle;
    std::unique_ptr<Client> client_;
    SourceTablePieces pieces_;
    CasterAnswer answer_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QList<QString> names_;
    quint32 address_ = 0;
    quint16 port_ = 0;
    int timer_ = -1;
};

}  // namespace Varnok
