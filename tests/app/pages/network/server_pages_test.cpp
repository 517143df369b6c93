// The server list and its add and details pages over a temporary server store.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QValidator>

#include <QFile>

#include "config_paths.h"
#include "net_server_config.h"
#include "network_test_support.h"
#include "server_pages.h"
#include "server_widget.h"
#include "ui_server_config.h"
#include "ui_server_widget.h"
#include "ui_source_add.h"

namespace varnok_test {
namespace {

using Varnok::ServerConfig;
using Varnok::ServerConfig_Add;
using Varnok::ServerDetail;

constexpr int kKeyRole = Qt::UserRole + 1;

NetServer server(const QString& name, int protocol, const QString& address, uint32_t port) {
    NetServer s;
    s.name = name;
    s.protocol = protocol;
    s.address = address;
    s.port = port;
    return s;
}

class ServerPagesTest : public NetworkPageTest {
protected:
    ServerConfig* list() const { return qobject_cast<ServerConfig*>(frame->page("ServerConfig")); }
    ServerConfig_Add* addPage() const {
        return qobject_cast<ServerConfig_Add*>(frame->page("Add"));
    }
    ServerDetail* detailPage() const { return qobject_cast<ServerDetail*>(frame->page("Detail")); }
    QTableWidget* table() const { return list()->form()->tableWidget_serverConfig; }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r) {
            out << table()->item(r, c)->text();
        }
        return out;
    }
    // Three servers: keys 0, 1, 2.
    void storeThree() {
        NetServerConfig& store = NetServerConfig::instance();
        store.addServer(server("Rover net", 1, "caster.example.org", 2101));
        store.addServer(server("Base A", 0, "10.0.0.2", 9));
        store.addServer(server("Direct", 3, "192.168.1.5", 10));
    }
    void openList() { frame->onCommand("ServerConfig"); }
    static NetServer stored(int key) {
        NetServer s;
        NetServerConfig::instance().serverByKey(s, key);
        return s;
    }
};

TEST_F(ServerPagesTest, AllThreePagesAreBuiltWithTheFrame) {
    ASSERT_NE(list(), nullptr);
    ASSERT_NE(addPage(), nullptr);
    ASSERT_NE(detailPage(), nullptr);
}

TEST_F(ServerPagesTest, AnEmptyStoreLeavesDeleteAndDetailOff) {
    openList();
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_FALSE(list()->deleteAction()->isEnabled());
    EXPECT_FALSE(list()->detailAction()->isEnabled());
    EXPECT_TRUE(list()->newAction()->isEnabled());
    EXPECT_EQ(frame->titleText(), "Server Settings");
}

TEST_F(ServerPagesTest, RowsComeInStoreOrderWithTheirKeys) {
    storeThree();
    openList();
    ASSERT_EQ(table()->rowCount(), 3);
    EXPECT_EQ(column(0), QStringList({"Rover net", "Base A", "Direct"}));
    EXPECT_EQ(column(1), QStringList({"Ntrip Client", "ORLO", "TCP Direct"}));
    EXPECT_EQ(column(3), QStringList({"2101", "9", "10"}));
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(table()->item(r, 0)->data(kKeyRole).toInt(), r);
    }
}

TEST_F(ServerPagesTest, SortedByNameDeleteRemovesTheChosenServerFromTheStore) {
    storeThree();
    openList();
    table()->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    QMetaObject::invokeMethod(list(), "onListSort", Q_ARG(int, 0));
    EXPECT_EQ(column(0), QStringList({"Base A", "Direct", "Rover net"}));
    table()->setCurrentCell(2, 0);  // "Rover net", key 0
    list()->deleteAction()->trigger();
    EXPECT_EQ(column(0), QStringList({"Base A", "Direct"}));
    QList<NetServer> left;
    NetServerConfig::instance().readAllServers(left);
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].name, "Base A");
    EXPECT_EQ(left[1].name, "Direct");
    // The last row went: the new last row is current.
    EXPECT_EQ(table()->currentRow(), 1);
    EXPECT_TRUE(list()->deleteAction()->isEnabled());
}

TEST_F(ServerPagesTest, PortsSortAsTexts) {
    storeThree();
    openList();
    table()->horizontalHeader()->setSortIndicator(3, Qt::AscendingOrder);
    QMetaObject::invokeMethod(list(), "onListSort", Q_ARG(int, 3));
    EXPECT_EQ(column(3), QStringList({"10", "2101", "9"}));
}

TEST_F(ServerPagesTest, HeaderClicksSortOneWayThenTheOther) {
    storeThree();
    openList();
    QHeaderView* header = table()->horizontalHeader();
    const QPoint name(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, name);
    const QStringList first = column(0);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, name);
    const QStringList second = column(0);
    QStringList ascending = {"Base A", "Direct", "Rover net"};
    QStringList descending = {"Rover net", "Direct", "Base A"};
    EXPECT_TRUE((first == ascending && second == descending) ||
                (first == descending && second == ascending))
        << first.join(',').toStdString() << " / " << second.join(',').toStdString();
    // Each name keeps its key.
    for (int r = 0; r < 3; ++r) {
        const int key = table()->item(r, 0)->data(kKeyRole).toInt();
        EXPECT_EQ(stored(key).name, table()->item(r, 0)->text());
    }
}

TEST_F(ServerPagesTest, DeletingTheOnlyRowTurnsDeleteAndDetailOff) {
    NetServerConfig::instance().addServer(server("Only", 1, "h", 1));
    openList();
    table()->setCurrentCell(0, 0);
    EXPECT_TRUE(list()->detailAction()->isEnabled());
    list()->deleteAction()->trigger();
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_FALSE(list()->deleteAction()->isEnabled());
    EXPECT_FALSE(list()->detailAction()->isEnabled());
    QList<NetServer> left;
    NetServerConfig::instance().readAllServers(left);
    EXPECT_TRUE(left.isEmpty());
}

TEST_F(ServerPagesTest, DetailHandsTheKeyToTheDetailsPage) {
    storeThree();
    openList();
    table()->setCurrentCell(1, 0);
    list()->detailAction()->trigger();
    EXPECT_EQ(frame->currentPage(), detailPage());
    EXPECT_EQ(frame->titleText(), "Server Details");
    EXPECT_EQ(list()->values().value("Key").toInt(), 1);
    EXPECT_EQ(detailPage()->key(), 1);
    const auto* f = detailPage()->serverWidget()->form();
    EXPECT_EQ(f->lineEdit_name->text(), "Base A");
    EXPECT_EQ(f->comboBox_protocol->currentText(), "ORLO");
    EXPECT_EQ(f->lineEdit_port->text(), "9");
    EXPECT_FALSE(f->lineEdit_BaseID->isHidden());
    // A double click on a row does the same.
    frame->backAction()->trigger();
    table()->setCurrentCell(2, 0);
    emit table()->itemDoubleClicked(table()->item(2, 0));
    EXPECT_EQ(frame->currentPage(), detailPage());
    EXPECT_EQ(detailPage()->key(), 2);
    EXPECT_EQ(f->lineEdit_name->text(), "Direct");
}

TEST_F(ServerPagesTest, AddStoresANewServerAndRefusesATakenName) {
    storeThree();
    openList();
    list()->newAction()->trigger();
    ASSERT_EQ(frame->currentPage(), addPage());
    auto* f = addPage()->serverWidget()->form();
    f->lineEdit_name->setText("Base A");
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    f->lineEdit_address->setText("ntrip.example.net");
    f->lineEdit_port->setText("2101");
    f->lineEdit_guestName->setText("user");
    f->lineEdit_psw->setText("p-secret");
    addPage()->set();
    ASSERT_EQ(texts(), std::vector<QString>{"Server with the name exits."});
    EXPECT_EQ(frame->currentPage(), addPage());
    // Names differ by case only: another name.
    f->lineEdit_name->setText("base a");
    addPage()->set();
    ASSERT_EQ(harness->prompts.shown.size(), 2u);
    EXPECT_EQ(harness->prompts.shown[1].title, "Information");
    EXPECT_EQ(harness->prompts.shown[1].text, "Create the configuration successfully!");
    // Back on the list, rebuilt from the store.
    EXPECT_EQ(frame->currentPage(), list());
    EXPECT_EQ(column(0), QStringList({"Rover net", "Base A", "Direct", "base a"}));
    const NetServer s = stored(3);
    EXPECT_EQ(s.address, "ntrip.example.net");
    EXPECT_EQ(s.port, 2101u);
    EXPECT_EQ(s.protocol, 1);
    EXPECT_EQ(s.password, "p-secret");
    // In the file at once, as the network panels read it.
    QStringList names;
    QList<int> keys;
    NetServerConfig other(harness->configsDir().toStdString() + "/netserver.vnk");
    other.readServerList(names, keys, 1);
    EXPECT_TRUE(names.contains("base a"));
}

TEST_F(ServerPagesTest, MissingEntriesAreMarkedAndNothingIsStored) {
    openList();
    list()->newAction()->trigger();
    addPage()->set();
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].kind, Varnok::Prompts::Critical);
    EXPECT_EQ(harness->prompts.shown[0].title, "Error");
    EXPECT_EQ(harness->prompts.shown[0].text, "Please enter parameters.");
    QList<NetServer> all;
    NetServerConfig::instance().readAllServers(all);
    EXPECT_TRUE(all.isEmpty());
}

TEST_F(ServerPagesTest, WithoutSavePasswordTheStoredPasswordIsEmpty) {
    openList();
    list()->newAction()->trigger();
    auto* f = addPage()->serverWidget()->form();
    f->lineEdit_name->setText("N");
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    f->lineEdit_address->setText("a");
    f->lineEdit_port->setText("1");
    f->lineEdit_psw->setText("p-secret");
    f->cbSavePsw->setChecked(false);
    addPage()->set();
    EXPECT_EQ(stored(0).password, "");
    // New Server again: an empty form, the password included, Save Password on.
    list()->newAction()->trigger();
    EXPECT_EQ(f->lineEdit_name->text(), "");
    EXPECT_EQ(f->lineEdit_psw->text(), "");
    EXPECT_TRUE(f->cbSavePsw->isChecked());
    EXPECT_EQ(f->comboBox_protocol->currentIndex(), 0);
}

TEST_F(ServerPagesTest, RenameToItsOwnNamePassesToAnothersIsRefused) {
    storeThree();
    openList();
    table()->setCurrentCell(0, 0);
    list()->detailAction()->trigger();
    auto* f = detailPage()->serverWidget()->form();
    f->lineEdit_name->setText("Direct");
    detailPage()->accepted();
    EXPECT_EQ(texts(), std::vector<QString>{"Server with the name exits."});
    EXPECT_EQ(stored(0).name, "Rover net");
    f->lineEdit_name->setText("Rover net");
    f->lineEdit_address->setText("other.example.org");
    detailPage()->accepted();
    EXPECT_EQ(harness->prompts.shown.size(), 1u);  // no box on success
    EXPECT_EQ(stored(0).address, "other.example.org");
    EXPECT_EQ(frame->currentPage(), list());
}

TEST_F(ServerPagesTest, ProtocolDecidesTheRowsAndHiddenTextsAreKept) {
    openList();
    list()->newAction()->trigger();
    auto* f = addPage()->serverWidget()->form();
    struct Case {
        int code;
        bool baseId;
        bool ntrip;
    };
    for (const Case& c : {Case{0, true, false}, Case{1, false, true}, Case{3, false, false}}) {
        f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(c.code));
        EXPECT_EQ(!f->lineEdit_BaseID->isHidden(), c.baseId) << c.code;
        EXPECT_EQ(!f->label_baseID->isHidden(), c.baseId) << c.code;
        for (QWidget* w :
             {static_cast<QWidget*>(f->listWidget_source),
              static_cast<QWidget*>(f->source_addButton),
              static_cast<QWidget*>(f->lineEdit_guestName), static_cast<QWidget*>(f->lineEdit_psw),
              static_cast<QWidget*>(f->cbSavePsw)}) {
            EXPECT_EQ(!w->isHidden(), c.ntrip) << c.code << " " << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(f->comboBox_protocol->count(), 3);
    // A base ID typed under ORLO stays in the record after the switch to Ntrip Client.
    f->comboBox_protocol->setCurrentIndex(0);
    f->lineEdit_BaseID->setText("0042");
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    NetServer record;
    addPage()->serverWidget()->serverFromEditors(record);
    EXPECT_EQ(record.baseId, "0042");
    EXPECT_EQ(record.protocol, 1);
}

// The details page writes what the form holds now: every source removed stays removed, an
// ORLO server made an NTRIP one offers no base ID as a mount point, and a deleted server's
// user name and password leave the file.
TEST_F(ServerPagesTest, DetailsAndDeleteKeepOnlyWhatTheFormHolds) {
    NetServerConfig& store = NetServerConfig::instance();
    NetServer ntrip = server("Caster", 1, "caster.example.org", 2101);
    ntrip.user = "surveyor";
    ntrip.password = "pass-word-1";
    ntrip.sources = QStringList{"MNT1", "MNT2"};
    store.addServer(ntrip);
    NetServer orlo = server("Base A", 0, "10.0.0.2", 9);
    orlo.baseId = "0042";
    store.addServer(orlo);
    openList();
    auto* f = detailPage()->serverWidget()->form();
    auto details = [&](int row) {
        table()->setCurrentCell(row, 0);
        list()->detailAction()->trigger();
        ASSERT_EQ(frame->currentPage(), detailPage());
    };

    details(0);
    f->listWidget_source->setCurrentRow(0);
    f->source_minButton->click();
    f->source_minButton->click();
    ASSERT_EQ(f->listWidget_source->count(), 0);
    detailPage()->accepted();
    EXPECT_TRUE(stored(0).sources.isEmpty());
    EXPECT_EQ(stored(0).user, "surveyor");
    details(0);
    EXPECT_EQ(f->listWidget_source->count(), 0);
    frame->backAction()->trigger();

    details(1);
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    detailPage()->accepted();
    EXPECT_EQ(stored(1).protocol, 1);
    EXPECT_TRUE(stored(1).sources.isEmpty());
    details(1);
    EXPECT_EQ(f->listWidget_source->count(), 0);
    frame->backAction()->trigger();

    table()->setCurrentCell(0, 0);
    list()->deleteAction()->trigger();
    QFile file(QString::fromStdString(ConfigPaths::filePath("netserver")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("surveyor"));
    EXPECT_FALSE(text.contains("pass-word-1"));
    EXPECT_TRUE(store.endpointExists(1, "caster.example.org", 2101, -1));
}

// The details page's OK without an edit keeps every record as stored, each protocol's
// fields included (texts at the editors' limits too); one edit changes only that field.
TEST_F(ServerPagesTest, DetailsOkUntouchedKeepsTheRecord) {
    NetServerConfig& store = NetServerConfig::instance();
    NetServer ntrip = server(QString(64, 'n'), 1, QString(31, 'a'), 65535);
    ntrip.user = QString(31, 'u');
    ntrip.password = QString(31, 'p');
    ntrip.sources = QStringList{"MNT1", QString(31, 'm')};
    store.addServer(ntrip);
    NetServer orlo = server("Base A", 0, "10.0.0.2", 9);
    orlo.baseId = QString(26, 'b');
    store.addServer(orlo);
    store.addServer(server("Direct", 3, "192.168.1.5", 10));
    openList();
    const auto same = [](const NetServer& a, const NetServer& b) {
        return a.name == b.name && a.protocol == b.protocol && a.address == b.address &&
               a.port == b.port && a.user == b.user && a.password == b.password &&
               a.sources == b.sources && a.baseId == b.baseId;
    };
    for (int key = 0; key < 3; ++key) {
        const NetServer before = stored(key);
        table()->setCurrentCell(key, 0);
        list()->detailAction()->trigger();
        ASSERT_EQ(frame->currentPage(), detailPage()) << key;
        detailPage()->accepted();
        EXPECT_TRUE(harness->prompts.shown.empty()) << key;
        EXPECT_TRUE(same(stored(key), before)) << key;
        EXPECT_EQ(frame->currentPage(), list()) << key;
    }
    table()->setCurrentCell(1, 0);
    list()->detailAction()->trigger();
    detailPage()->serverWidget()->form()->lineEdit_port->setText("9902");
    detailPage()->accepted();
    NetServer expected = orlo;
    expected.port = 9902;
    EXPECT_TRUE(same(stored(1), expected));
}

TEST_F(ServerPagesTest, PortEditorTakesZeroTo65535) {
    openList();
    list()->newAction()->trigger();
    QLineEdit* port = addPage()->serverWidget()->form()->lineEdit_port;
    const QValidator* v = port->validator();
    ASSERT_NE(v, nullptr);
    for (const char* text : {"0", "1", "2101", "65535"}) {
        QString s = QString::fromLatin1(text);
        int pos = 0;
        EXPECT_EQ(v->validate(s, pos), QValidator::Acceptable) << text;
    }
    for (const char* text : {"65536", "70000", "-1", "12a"}) {
        QString s = QString::fromLatin1(text);
        int pos = 0;
        EXPECT_NE(v->validate(s, pos), QValidator::Acceptable) << text;
    }
}

TEST_F(ServerPagesTest, SourcesAreAddedOnceAndRemovedByPosition) {
    openList();
    list()->newAction()->trigger();
    Varnok::ServerWidget* w = addPage()->serverWidget();
    auto* f = w->form();
    f->comboBox_protocol->setCurrentIndex(f->comboBox_protocol->findData(1));
    auto addSource = [&](const QString& name) {
        harness->prompts.answerNextDialog([name](QDialog* d) {
            auto* dialog = qobject_cast<Varnok::Source_Add*>(d);
            EXPECT_FALSE(dialog->form()->okButton->isEnabled());  // empty: no OK
            dialog->form()->lineEdit->setText(name);
            dialog->form()->okButton->click();
            return d->result();
        });
        f->source_addButton->click();
    };
    addSource("MOUNT1");
    addSource("MOUNT2");
    addSource("MOUNT3");
    EXPECT_EQ(w->sources(), QStringList({"MOUNT1", "MOUNT2", "MOUNT3"}));
    EXPECT_EQ(harness->prompts.dialogsRun.size(), 3u);
    EXPECT_EQ(harness->prompts.dialogsRun[0], "Source_Add");
    // A name the list holds keeps the dialog open with its note.
    harness->prompts.answerNextDialog([](QDialog* d) {
        auto* dialog = qobject_cast<Varnok::Source_Add*>(d);
        dialog->form()->lineEdit->setText("MOUNT2");
        dialog->form()->okButton->click();
        EXPECT_EQ(dialog->form()->label->text(), "Already existed...");
        EXPECT_EQ(dialog->form()->lineEdit->text(), "");
        EXPECT_FALSE(dialog->form()->okButton->isEnabled());
        dialog->form()->lineEdit->setText("M");
        EXPECT_EQ(dialog->form()->label->text(), "Enter source:");
        return int(QDialog::Rejected);
    });
    f->source_addButton->click();
    EXPECT_EQ(w->sources().size(), 3);
    // "-" removes the current one; the next takes its place, the last falls back.
    EXPECT_FALSE(f->source_minButton->isEnabled());
    f->listWidget_source->setCurrentRow(2);
    EXPECT_TRUE(f->source_minButton->isEnabled());
    f->source_minButton->click();
    EXPECT_EQ(f->listWidget_source->currentRow(), 1);
    f->source_minButton->click();
    f->source_minButton->click();
    EXPECT_EQ(f->listWidget_source->count(), 0);
    EXPECT_FALSE(f->source_minButton->isEnabled());
}

}  // namespace
}  // namespace varnok_test
