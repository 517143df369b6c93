#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

#include "net_server.h"
#include "widget.h"

namespace Ui {
class ServerWidget;
class Source_Add;
}  // namespace Ui

namespace Varnok {

// The server form of the add and details pages: name, protocol, address, port, base ID, the
// NTRIP sources and login.
class ServerWidget : public Widget {
    Q_OBJECT

public:
    explicit ServerWidget(QWidget* parent = nullptr);
    ~ServerWidget() override;

    void reset();
    // Fills the form from the stored server with that key; leaves it when there is none.
    void loadServer(int key);
    void serverFromEditors(NetServer& server) const;
    // Marks the missing entries and says so; false when one is missing.
    bool checkInput();

    QStringList sources() const;
    Ui::ServerWidget* form() const { return ui_.get(); }

private slots:
    void on_source_addButton_clicked();
    void on_source_minButton_clicked();
    void on_comboBox_protocol_currentIndexChanged();
    void on_lineEdit_name_textChanged();
    void on_lineEdit_address_textChanged();
    void on_lineEdit_port_textChanged();
    void on_lineEdit_BaseID_textChanged();
    void on_listWidget_source_itemSelectionChanged();

private:
    void fillProtocols();
    void applyLengthLimits();
    void updateFieldStates();

    std::unique_ptr<Ui::ServerWidget> ui_;
};

// Asks for one source name that the form does not hold yet.
class Source_Add : public QDialog {
    Q_OBJECT

public:
    explicit Source_Add(QWidget* parent = nullptr);
    ~Source_Add() override;

    void setSources(const QStringList& sources) { sources_ = sources; }
    QString text() const;
    Ui::Source_Add* form() const { return ui_.get(); }

private slots:
    void on_lineEdit_textChanged();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    std::unique_ptr<Ui::Source_Add> ui_;
    QStringList sources_;
};

}  // namespace Varnok
