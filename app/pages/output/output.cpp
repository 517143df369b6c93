#include "output.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QTimerEvent>

#include "device_codes.h"
#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_output.h"

namespace Varnok {

namespace {

constexpr int kDefaultRate = 3;  // "1 Hz"
constexpr int kBauds[] = {9600, 19200, 38400, 57600, 115200};
// Marks a rate item added for a code the receiver's list has no name for.
constexpr int kReadItemRole = Qt::UserRole + 1;

// The codes whose baud rate the write sends back as the same code.
bool comCodeRoundTrips(int code) {
    return code == 3 || code == 5 || code == 6 || code == 8 || code == 9;
}

}  // namespace

Output::Output(QWidget* parent) : Widget(parent), ui_(std::make_unique<Ui::Output>()) {
    ui_->setupUi(this);
    pickAll_ = createAction(tr("AllPick"), this);
    accept_ = createAction(tr("Accept"), this);
    stop_ = createAction(tr("Stop"), this);
    connect(pickAll_, &QAction::triggered, this, &Output::onPickAll);
    connect(accept_, &QAction::triggered, this, &Output::onAccept);
    connect(stop_, &QAction::triggered, this, &Output::onStop);
    fillFixedCombos();
    ui_->checkBox->setChecked(false);
    ui_->cbMethods->setEnabled(false);
    ui_->scrollArea->setEnabled(false);
    pickAll_->setEnabled(false);
}

Output::~Output() = default;

int Output::rateOfListCode(int code) {
    switch (code) {
        case 2:
            return 255;
        case 5:
            return 13;
        case 6:
            return 1;
        case 7:
            return 2;
        case 8:
            return 11;
        case 9:
            return 3;
        case 10:
            return 4;
        case 11:
            return 5;
        case 12:
            return 6;
        case 0:
        case 1:
            return 0;
        default:
            // A code without a name is kept as read, so Accept sends it back unchanged.
            return code > 0 && code <= 0xFFFF ? DeviceCodes::kRawListCode + code : 0;
    }
}

int Output::baudOfComCode(int code) {
    switch (code) {
        case 5:
            return 19200;
        case 6:
            return 38400;
        case 8:
            return 57600;
        case 9:
        case 10:
            return 115200;
        default:
            return 9600;
    }
}

int Output::baudOfCode(int code) {
    switch (code) {
        case 1:
            return 19200;
        case 2:
            return 38400;
        case 3:
            return 57600;
        case 4:
            return 115200;
        default:
            return 9600;
    }
}

void Output::fillFixedCombos() {
    for (int baud : kBauds) {
        ui_->comboBox_baudrate->addItem(tr("%1 b/s").arg(baud), baud);
    }
    ui_->cbMethods->addItem(tr("BlueTooth"), 2);
    ui_->cbMethods->addItem(tr("Cable"), 1);
    ui_->cbMethods->addItem(tr("Both"), 3);
    ui_->cbMethods->setCurrentIndex(2);
    // Only a rate the user picks, or one read as a code the write gives back, goes out.
    connect(ui_->cbMethods, &QComboBox::activated, this, [this] { markInput(0, ui_->cbMethods); });
    connect(ui_->comboBox_baudrate, &QComboBox::activated, this, [this] {
        baudEdited_ = true;
        markInput(0, ui_->comboBox_baudrate);
    });
}

void Output::selectBaud(int baud) {
    ui_->comboBox_baudrate->setCurrentIndex(ui_->comboBox_baudrate->findData(baud));
}

void Output::takeReadBaud(int baud, bool writable) {
    selectBaud(baud);
    baudEdited_ = false;
    baudWritable_ = writable;
    readBaud_ = writable ? baud : 0;
    markInput(writable ? 0 : 1, ui_->comboBox_baudrate);
}

void Output::on_checkBox_stateChanged(int state) {
    const bool on = state == Qt::Checked;
    ui_->cbMethods->setEnabled(on);
    ui_->scrollArea->setEnabled(on);
    pickAll_->setEnabled(on);
}

void Output::setEditorsEnabled(bool on) {
    if (ui_->comboBox_baudrate->isVisible()) {
        ui_->comboBox_baudrate->setEnabled(on);
    }
    ui_->checkBox->setEnabled(on);
    const bool rows = on && ui_->checkBox->isChecked();
    ui_->cbMethods->setEnabled(rows);
    ui_->scrollArea->setEnabled(rows);
    // AllPick acts on the rows, so it follows them.
    pickAll_->setEnabled(rows);
    accept_->setEnabled(on);
    stop_->setEnabled(on);
    Widget::setEditorsEnabled(on);
}

void Output::buildRows() {
    while (ui_->formLayout->rowCount() > 0) {
        ui_->formLayout->removeRow(0);
    }
    rows_.clear();
    QStringList names;
    QList<int> ids;
    QStringList rateNames;
    QList<int> rateCodes;
    DeviceManager* dm = DeviceManager::instance();
    dm->nmeaSentenceNames(names, ids);
    dm->outputRateNames(rateNames, rateCodes);
    for (int i = 0; i < names.size() && i < ids.size(); ++i) {
        Row row;
        row.box = new QCheckBox(names.at(i), ui_->scrollAreaWidgetContents);
        row.rate = new QComboBox(ui_->scrollAreaWidgetContents);
        for (int r = 0; r < rateNames.size() && r < rateCodes.size(); ++r) {
            row.rate->addItem(tr(rateNames.at(r).toUtf8().constData()), rateCodes.at(r));
        }
        row.rate->setCurrentIndex(row.rate->findData(kDefaultRate));
        row.rate->setEnabled(false);
        row.id = ids.at(i);
        QComboBox* combo = row.rate;
        connect(row.box, &QCheckBox::toggled, combo, &QComboBox::setEnabled);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo] { markInput(0, combo); });
        ui_->formLayout->addRow(row.box, row.rate);
        rows_.push_back(row);
    }
}

void Output::activate() {
    DeviceManager* dm = DeviceManager::instance();
    // The handheld's own rate, shown until the receiver's is read; never written unless chosen.
    selectBaud(dm->baudRate());
    baudEdited_ = false;
    baudWritable_ = false;
    readBaud_ = 0;
    markInput(0, ui_->comboBox_baudrate);
    buildRows();
    if (dm->hasNmeaOutputQuery()) {
        stopTimer(startDelayTimer_);
        startDelayTimer_ = startTimer(uiMs(kStartDelayMs));
    }
}

void Output::deactivate() {
    // Nothing of a hidden page may ask or write later.
    stopTimer(startDelayTimer_);
    stopTimer(setTimer_);
    stopTimer(stopTimer_);
    startDelayTimer_ = -1;
    setTimer_ = -1;
    stopTimer_ = -1;
    leave();
    setEditorsEnabled(true);
}

void Output::onQueryInfo() {
    for (Row& row : rows_) {
        row.box->setChecked(false);
        dropReadItem(row);
        row.rate->setCurrentIndex(-1);
    }
    ui_->comboBox_baudrate->setCurrentIndex(-1);
    markInput(0, ui_->comboBox_baudrate);
    baudEdited_ = false;
    baudWritable_ = false;
    readBaud_ = 0;
    startQuery(kQueryMs,
               {{SIGNAL(nmeaConfigs()), SLOT(onNMEAConfigs())},
                {SIGNAL(ioConfigs()), SLOT(onIOConfigs())},
                {SIGNAL(comBaud()), SLOT(onComBaud())}},
               [] { DeviceManager::instance()->queryNmeaOutputConfigs(); });
}

void Output::queryTimedOut(unsigned) {
    // The new protocol's wait always ends here; a silent receiver leaves the rows cleared.
}

void Output::dropReadItem(Row& row) {
    for (int i = row.rate->count() - 1; i >= 0; --i) {
        if (row.rate->itemData(i, kReadItemRole).toBool()) {
            row.rate->removeItem(i);
        }
    }
}

void Output::applyRate(Row& row, int rate, int readCode) {
    dropReadItem(row);
    int index = row.rate->findData(rate);
    if (index < 0 && rate != 0) {
        // A rate no item carries is shown by its code and sent back unchanged.
        row.rate->addItem(tr("Code %1").arg(readCode), rate);
        index = row.rate->count() - 1;
        row.rate->setItemData(index, true, kReadItemRole);
    }
    row.rate->setCurrentIndex(index);
    const bool on = rate != 0;
    row.box->setChecked(on);
    row.rate->setEnabled(on);
}

void Output::onNMEAConfigs() {
    endQuery();
    NMEAConfigList list;
    DeviceManager::instance()->nmeaOutputConfigs(list);
    // A port byte the library does not know comes as -1: not written unless chosen.
    const bool known = list.port >= 0 && list.port <= 4;
    takeReadBaud(known ? baudOfCode(list.port) : 0, known);
    // An output code no item carries is shown as none: Accept must not write "Both" for it.
    const int method = ui_->cbMethods->findData(list.value);
    ui_->cbMethods->setCurrentIndex(method);
    readMethod_ = list.value;
    markInput(method >= 0 ? 0 : 1, ui_->cbMethods);
    bool any = false;
    for (const NmeaRate& pair : list.messages) {
        for (Row& row : rows_) {
            if (row.id == pair.Nmea_Id) {
                applyRate(row, pair.Rate_Id, pair.Rate_Id);
            }
        }
        any = any || pair.Rate_Id != 0;
    }
    ui_->checkBox->setChecked(any);
    setEditorsEnabled(true);
}

void Output::onIOConfigs() {
    QX_DATA_CONFIG_LIST list{};
    // Only IO 0's list is this page's: another page's lists may still be arriving.
    if (!DeviceManager::instance()->ioConfigs(0, list)) {
        return;
    }
    bool any = false;
    for (std::size_t id = 0; id < DataConfigList::kCodes; ++id) {
        const int code = DataConfigList::code(list, id);
        const int rate = rateOfListCode(code);
        for (Row& row : rows_) {
            if (row.id == static_cast<int>(id)) {
                applyRate(row, rate, code);
            }
        }
        any = any || rate != 0;
    }
    ui_->checkBox->setChecked(any);
    setEditorsEnabled(isQuerying() ? false : true);
}

void Output::onComBaud() {
    const int code = DeviceManager::instance()->comBaudrate();
    const int baud = baudOfComCode(code);
    // Code 10 shows as 115200, but a write would send 9: only a choice writes it.
    takeReadBaud(comCodeRoundTrips(code) || code == 10 ? baud : 0, comCodeRoundTrips(code));
}

bool Output::collectRates() {
    rates_.clear();
    selected_ = false;
    bool complete = true;
    const bool newProtocol = DeviceManager::instance()->isNewProtocolReceiver();
    for (Row& row : rows_) {
        const bool checked = row.box->isChecked();
        int rate = 0;
        if (checked) {
            rate = row.rate->currentIndex() >= 0 ? row.rate->currentData().toInt() : 0;
            if (row.rate->currentIndex() < 0) {
                markInput(1, row.rate);
                complete = false;
            }
            selected_ = true;
        }
        if (newProtocol || checked) {
            rates_.push_back(NmeaRate{row.id, rate});
        }
    }
    return complete;
}

void Output::onAccept() {
    const bool complete = collectRates();
    DeviceManager* dm = DeviceManager::instance();
    if (ui_->checkBox->isChecked()) {
        if (!selected_) {
            Prompts::instance()->message(this, Prompts::Warning, tr("Varnok"),
                                         tr("No data selected."), QMessageBox::Yes);
            return;
        }
        if (!complete) {
            Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                         tr("Please enter parameters."), QMessageBox::Ok);
            return;
        }
        if (ui_->cbMethods->currentIndex() < 0) {
            markInput(1, ui_->cbMethods);
            Prompts::instance()->message(
                this, Prompts::Warning, tr("Warning"),
                tr("Output Method: the receiver reports %1, which no item carries. Choose one "
                   "to set it.")
                    .arg(readMethod_),
                QMessageBox::Ok);
            return;
        }
        bool reboot = false;
        if (dm->isOldProtocolReceiver()) {
            reboot = Prompts::instance()->message(this, Prompts::Question, tr("Varnok"),
                                                  tr("Output selected data after reboot?"),
                                                  QMessageBox::Yes | QMessageBox::No) ==
                     QMessageBox::Yes;
        }
        dm->setNmeaOutput(rates_, reboot, ui_->cbMethods->currentData().toInt());
    }
    // The port's rate goes out only when it was read or chosen: a logger on that port
    // would go deaf at another rate.
    const bool writeBaud =
        ui_->comboBox_baudrate->currentIndex() >= 0 && (baudEdited_ || baudWritable_);
    if (writeBaud) {
        dm->setComBaudrate(ui_->comboBox_baudrate->currentData().toInt());
        sentBaud_ = ui_->comboBox_baudrate->currentData().toInt();
    } else {
        sentBaud_ = 0;
        if (!ui_->checkBox->isChecked()) {
            markInput(1, ui_->comboBox_baudrate);
            Prompts::instance()->message(
                this, Prompts::Warning, tr("Warning"),
                tr("Baudrate was not read from the receiver: choose one to write it."),
                QMessageBox::Ok);
            return;
        }
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetMs));
}

void Output::onStop() {
    setWaitCursor(true);
    setEditorsEnabled(false);
    collectRates();
    for (NmeaRate& r : rates_) {
        r.Rate_Id = 0;
    }
    DeviceManager* dm = DeviceManager::instance();
    const int output = dm->isOldProtocolReceiver() ? 3 : ui_->cbMethods->currentData().toInt();
    dm->setNmeaOutput(rates_, false, output);
    stopTimer(stopTimer_);
    stopTimer_ = startTimer(uiMs(kStopMs));
}

void Output::onSetTimeout() {
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void Output::onPickAll() {
    for (Row& row : rows_) {
        row.box->click();
    }
}

void Output::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == setTimer_ && setTimer_ > 0) {
        stopTimer(setTimer_);
        setTimer_ = -1;
        onSetTimeout();
        DeviceManager* dm = DeviceManager::instance();
        // The rate read written back changes nothing, whatever rate the link runs at.
        if (dm->isSerialConnection() && sentBaud_ != 0 && sentBaud_ != readBaud_ &&
            sentBaud_ != dm->baudRate()) {
            showWarning(this, tr("Warning"),
                        tr("Serial port's baud rate has been changed, reconnect if you want to "
                           "continue using it."));
        }
        return;
    }
    if (id == stopTimer_ && stopTimer_ > 0) {
        stopTimer(stopTimer_);
        stopTimer_ = -1;
        onSetTimeout();
        return;
    }
    if (id == startDelayTimer_ && startDelayTimer_ > 0) {
        stopTimer(startDelayTimer_);
        startDelayTimer_ = -1;
        onQueryInfo();
        return;
    }
    Widget::timerEvent(event);
}

}  // namespace Varnok
