#include "server_pages.h"

#include <QAction>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "logic_context.h"
#include "net_server_config.h"
#include "prompts.h"
#include "server_widget.h"
#include "ui_server_config.h"

namespace Varnok {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

// The page's own layout around the server form.
ServerWidget* embedForm(Widget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* form = new ServerWidget(page);
    layout->addWidget(form);
    page->resize(240, 320);
    return form;
}

void connectBack(Widget* page, QWidget* parent) {
    if (parent != nullptr) {
        QObject::connect(page, SIGNAL(backToConfig()), parent, SLOT(close()));
    }
}

}  // namespace

// ---- ServerConfig

ServerConfig::ServerConfig(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::ServerConfig>()) {
    ui_->setupUi(this);
    createActions();
    setupTable();
    delete_->setEnabled(false);
    detail_->setEnabled(false);
}

ServerConfig::~ServerConfig() = default;

void ServerConfig::createActions() {
    new_ = createAction(tr("New"), this);
    new_->setData(QStringLiteral("Add"));
    connect(new_, &QAction::triggered, this, &ServerConfig::add);
    delete_ = createAction(tr("Delete"), this);
    connect(delete_, &QAction::triggered, this, &ServerConfig::del);
    detail_ = createAction(tr("Detail"), this);
    detail_->setData(QStringLiteral("Detail"));
    connect(detail_, &QAction::triggered, this, &ServerConfig::detail);
}

void ServerConfig::setupTable() {
    QTableWidget* table = ui_->tableWidget_serverConfig;
    table->setContentsMargins(2, 2, 2, 2);
    table->verticalHeader()->hide();
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSectionsClickable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    // Sorting stays off: turned on, the table re-sorts at each item set and parts the names
    // from their keys while filling.
    table->setSortingEnabled(false);
    connect(header, &QHeaderView::sectionClicked, this, &ServerConfig::onListSort);
}

void ServerConfig::activate() {
    onUpdateList();
}

void ServerConfig::onUpdateList() {
    QTableWidget* table = ui_->tableWidget_serverConfig;
    if (table->rowCount() > 0) {
        table->clearContents();
    }
    QList<NetServer> servers;
    NetServerConfig::instance().readAllServers(servers);
    table->setRowCount(static_cast<int>(servers.size()));
    for (int row = 0; row < servers.size(); ++row) {
        const NetServer& s = servers[row];
        auto* name = new QTableWidgetItem(s.name);
        name->setData(kKeyRole, s.key);
        table->setItem(row, 0, name);
        table->setItem(row, 1, new QTableWidgetItem(LogicContext::translate(s.protocol)));
        table->setItem(row, 2, new QTableWidgetItem(s.address));
        table->setItem(row, 3, new QTableWidgetItem(QString::number(s.port)));
    }
    on_tableWidget_serverConfig_itemSelectionChanged();
}

void ServerConfig::onListSort(int column) {
    QHeaderView* header = ui_->tableWidget_serverConfig->horizontalHeader();
    ui_->tableWidget_serverConfig->sortItems(column, header->sortIndicatorOrder());
}

int ServerConfig::currentKey() const {
    const QTableWidget* table = ui_->tableWidget_serverConfig;
    const int row = table->currentRow();
    const QTableWidgetItem* item = row >= 0 ? table->item(row, 0) : nullptr;
    return item != nullptr ? item->data(kKeyRole).toInt() : -1;
}

void ServerConfig::add() {
    emit command(new_->data().toString());
}

void ServerConfig::detail() {
    const int key = currentKey();
    if (key < 0) {
        return;
    }
    values().insert(QStringLiteral("Key"), key);
    emit command(detail_->data().toString());
}

void ServerConfig::on_tableWidget_serverConfig_itemDoubleClicked() {
    detail();
}

void ServerConfig::del() {
    QTableWidget* table = ui_->tableWidget_serverConfig;
    const int row = table->currentRow();
    if (row < 0) {
        return;
    }
    const int key = currentKey();
    if (key >= 0) {
        NetServerConfig::instance().removeServer(key);
    }
    table->removeRow(row);
    const int rows = table->rowCount();
    if (rows > 0) {
        table->setCurrentCell(qMin(row, rows - 1), 0);
    } else {
        delete_->setEnabled(false);
        detail_->setEnabled(false);
    }
}

void ServerConfig::on_tableWidget_serverConfig_itemSelectionChanged() {
    const QItemSelectionModel* selection = ui_->tableWidget_serverConfig->selectionModel();
    const int n = selection != nullptr ? static_cast<int>(selection->selectedRows().size()) : 0;
    delete_->setEnabled(n > 0);
    detail_->setEnabled(n == 1);
}

// ---- ServerConfig_Add

ServerConfig_Add::ServerConfig_Add(QWidget* parent) : Widget(parent) {
    setWindowTitle(tr("New Server"));
    form_ = embedForm(this);
    QAction* ok = createAction(tr("OK"), this);
    connect(ok, &QAction::triggered, this, &ServerConfig_Add::set);
    connectBack(this, parent);
}

void ServerConfig_Add::activate() {
    form_->reset();
}

void ServerConfig_Add::set() {
    if (!form_->checkInput()) {
        return;
    }
    NetServer server;
    form_->serverFromEditors(server);
    NetServerConfig& store = NetServerConfig::instance();
    if (store.nameExists(server.name, -1)) {
        showWarning(this, tr("Warning"), tr("Server with the name exits."));
        return;
    }
    store.addServer(server);
    Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                 tr("Create the configuration successfully!"), QMessageBox::Ok);
    emit backToConfig();
}

// ---- ServerDetail

ServerDetail::ServerDetail(QWidget* parent) : Widget(parent) {
    setWindowTitle(tr("Server Details"));
    form_ = embedForm(this);
    QAction* ok = createAction(tr("OK"), this);
    connect(ok, &QAction::triggered, this, &ServerDetail::accepted);
    connectBack(this, parent);
}

void ServerDetail::setParams(const ValueHash& values, Widget*) {
    const auto it = values.constFind(QStringLiteral("Key"));
    if (it == values.constEnd()) {
        return;
    }
    key_ = it->toInt();
    form_->reset();
    form_->loadServer(key_);
}

void ServerDetail::accepted() {
    if (!form_->checkInput()) {
        return;
    }
    NetServer server;
    form_->serverFromEditors(server);
    NetServerConfig& store = NetServerConfig::instance();
    if (store.nameExists(server.name, key_)) {
        showWarning(this, tr("Warning"), tr("Server with the name exits."));
        return;
    }
    server.key = key_;
    store.updateServer(server);
    emit backToConfig();
}

}  // namespace Varnok
