#pragma once

#include <memory>

#include "widget.h"

class QAction;
class QVBoxLayout;

namespace Ui {
class ServerConfig;
}

namespace Varnok {

class ServerWidget;

// "ServerConfig": the stored network servers, with New, Delete and Detail.
class ServerConfig : public Widget {
    Q_OBJECT

public:
    explicit ServerConfig(QWidget* parent = nullptr);
    ~ServerConfig() override;

    void activate() override;
    Ui::ServerConfig* form() const { return ui_.get(); }
    QAction* newAction() const { return new_; }
    QAction* deleteAction() const { return delete_; }
    QAction* detailAction() const { return detail_; }

signals:
    void command(const QString& page);

public slots:
    void add();
    void del();
    void detail();
    void onUpdateList();

private slots:
    void on_tableWidget_serverConfig_itemSelectionChanged();
    void on_tableWidget_serverConfig_itemDoubleClicked();
    void onListSort(int column);

private:
    void createActions();
    void setupTable();
    int currentKey() const;

    std::unique_ptr<Ui::ServerConfig> ui_;
    QAction* new_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* detail_ = nullptr;
};

// "Add": a new server on the server form.
class ServerConfig_Add : public Widget {
    Q_OBJECT

public:
    explicit ServerConfig_Add(QWidget* parent = nullptr);

    void activate() override;
    bool hasSipAction() const override { return true; }
    ServerWidget* serverWidget() const { return form_; }

signals:
    void backToConfig();

public slots:
    void set();

private:
    ServerWidget* form_ = nullptr;
};

// "Detail": the server whose key the list handed over, changed on the server form.
class ServerDetail : public Widget {
    Q_OBJECT

public:
    explicit ServerDetail(QWidget* parent = nullptr);

    void setParams(const ValueHash& values, Widget* from) override;
    bool hasSipAction() const override { return true; }
    ServerWidget* serverWidget() const { return form_; }
    int key() const { return key_; }

signals:
    void backToConfig();

public slots:
    void accepted();

private:
    ServerWidget* form_ = nullptr;
    int key_ = -1;
};

}  // namespace Varnok
