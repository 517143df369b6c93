#include "father_widget.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethod>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "application.h"
#include "device_manager.h"
#include "device_observer.h"
#include "menu_manager.h"
#include "page_registry.h"
#include "prompts.h"
#include "sip_helper.h"

namespace Varnok {

namespace {
const char kRetired[] = "varnokRetired";

QFrame* makeLine(QWidget* parent, const QString& name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
}  // namespace

FatherWidget::FatherWidget(QWidget* parent) : Widget(parent) {
    setObjectName(QStringLiteral("FatherWidget"));
    setWindowTitle(tr("Varnok"));
    setWindowFlags(windowFlags() & ~(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowMaximizeButtonHint));

    auto* vertical = new QVBoxLayout(this);
    vertical->setObjectName(QStringLiteral("verticalLayout"));
    vertical->setSpacing(0);
    vertical->setContentsMargins(0, 0, 0, 0);
    area_ = new QWidget(this);
    area_->setObjectName(QStringLiteral("widget"));
    clientLayout_ = new QVBoxLayout(area_);
    clientLayout_->setObjectName(QStringLiteral("clientLayout"));
    clientLayout_->setSpacing(0);
    clientLayout_->setContentsMargins(0, 0, 0, 0);
    title_ = new QLabel(QStringLiteral("TextLabel"), area_);
    title_->setObjectName(QStringLiteral("WindowTitle"));
    title_->setAutoFillBackground(true);
    title_->setFrameShape(QFrame::Panel);
    title_->setFrameShadow(QFrame::Raised);
    title_->setLineWidth(1);
    title_->setAlignment(Qt::AlignCenter);
    clientLayout_->addWidget(title_, 1);
    clientLayout_->addWidget(makeLine(area_, QStringLiteral("line")));
    vertical->addWidget(area_);
    vertical->addWidget(makeLine(this, QStringLiteral("line_2")));
    toolLayout_ = new QHBoxLayout();
    toolLayout_->setObjectName(QStringLiteral("toolLayout"));
    toolLayout_->setSpacing(0);
    toolLayout_->setContentsMargins(0, 0, 0, 0);
    toolLayout_->setSizeConstraint(QLayout::SetMaximumSize);
    toolLayout_->setAlignment(Qt::AlignLeft);
    vertical->addLayout(toolLayout_);

    createPages();
    createSoftKeys();
    createMenu();
    for (Widget* p : std::as_const(registry_)) {
        p->hide();
    }
    connectQueued(DeviceObserver::instance(), this, SIGNAL(workingStatus(int)),
                  SLOT(onWorkingStatus(int)));
    connectQueued(DeviceObserver::instance(), this, SIGNAL(linkLost()), SLOT(onLinkLost()));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, [this] { desktopResized(0); });
    }
    if (QInputMethod* im = QGuiApplication::inputMethod()) {
        connect(im, &QInputMethod::keyboardRectangleChanged, this, [this] { desktopResized(0); });
    }
}

FatherWidget::~FatherWidget() {
    // Pages are children; the stack and registry only point at them.
    stack_.clear();
    registry_.clear();
}

QString FatherWidget::versionTitle() {
    return QStringLiteral("Varnok-v%1.%2.%3.%4").arg(1).arg(1).arg(0).arg(1108);
}

void FatherWidget::connectCommand(Widget* page) {
    connect(page, SIGNAL(command(QString)), this, SLOT(onCommand(QString)));
}

void FatherWidget::createPages() {
    for (const PageRow* row : PageRegistry::startRows()) {
        Widget* page = row->make(this);
        registry_.insert(QString::fromLatin1(row->name), page);
        if (row->commands) {
            connectCommand(page);
        }
    }
}

void FatherWidget::registerPage(const QString& name, Widget* page) {
    page->setParent(this);
    page->hide();
    registry_.insert(name, page);
}

void FatherWidget::createSoftKeys() {
    for (int i = 0; i < kSoftKeys; ++i) {
        auto* button = new QToolButton(this);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->hide();
        toolLayout_->addWidget(button);
        buttons_.append(button);
    }
    back_ = new QAction(tr("Back"), this);
    connect(back_, &QAction::triggered, this, &QWidget::close);
    sip_ = new QAction(tr("SIP"), this);
    sip_->setData(QStringLiteral("SIP"));
    connect(sip_, &QAction::triggered, this, &FatherWidget::onSip);
}

void FatherWidget::createMenu() {
    menu_ = new MenuManager(this);
    connect(menu_, &MenuManager::command, this, &FatherWidget::onCommand);
    stack_.append(menu_);
    showPage(menu_);
}

void FatherWidget::showPage(Widget* page) {
    if (leftLast_) {
        page->setParams(leftLast_->values(), leftLast_);
    }
    setSoftKeys(page);
    clientLayout_->addWidget(page, 8);
    const QString title = page->windowTitle();
    title_->setText(title.isEmpty() ? versionTitle() : title);
    page->activate();
    page->show();
}

void FatherWidget::leavePage() {
    if (stack_.isEmpty()) {
        return;
    }
    clearSoftKeys();
    Widget* page = stack_.last();
    disconnect(page, &Widget::editorEnabled, back_, &QAction::setEnabled);
    disconnect(page, &Widget::editorEnabled, sip_, &QAction::setEnabled);
    page->deactivate();
    page->leave();
    leftLast_ = page;
    page->hide();
    clientLayout_->removeWidget(page);
}

void FatherWidget::setSoftKeys(Widget* page) {
    QList<QAction*> list = page->actions();
    if (stack_.size() < 2) {
        SipHelper::instance()->setVisible(false);
    }
    if (page->hasSipAction()) {
        list.append(sip_);
    }
    back_->setEnabled(true);
    sip_->setEnabled(true);
    if (page->hasBackAction()) {
        list.prepend(back_);
        // Direct: pages emit on the GUI thread, so no late value arrives after leavePage.
        connect(page, &Widget::editorEnabled, back_, &QAction::setEnabled, Qt::UniqueConnection);
        connect(page, &Widget::editorEnabled, sip_, &QAction::setEnabled, Qt::UniqueConnection);
    }
    const int height = static_cast<int>(this->height() * 0.08);
    for (int i = 0; i < list.size() && i < kSoftKeys; ++i) {
        QToolButton* button = buttons_[i];
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setMinimumHeight(height);
        button->setMaximumHeight(height);
        button->setDefaultAction(list[i]);
        button->show();
    }
    if (!list.isEmpty() && list.size() <= 5) {
        filler_ = new QLabel(this);
        filler_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        toolLayout_->insertWidget(1, filler_);
        filler_->show();
    }
}

void FatherWidget::clearSoftKeys() {
    SipHelper::instance()->setVisible(false);
    if (filler_) {
        toolLayout_->removeWidget(filler_);
        delete filler_;
        filler_ = nullptr;
    }
    for (QToolButton* button : std::as_const(buttons_)) {
        if (QAction* a = button->defaultAction()) {
            button->removeAction(a);
        }
        button->setDefaultAction(nullptr);
        button->hide();
    }
}

QStringList FatherWidget::softKeys() const {
    QStringList keys;
    for (int i = 0; i < toolLayout_->count(); ++i) {
        QWidget* w = toolLayout_->itemAt(i)->widget();
        if (!w || w->isHidden()) {
            continue;
        }
        if (w == filler_) {
            keys << QStringLiteral("|");
        } else if (auto* b = qobject_cast<QToolButton*>(w)) {
            keys << (b->defaultAction() ? b->defaultAction()->text() : QString());
        }
    }
    return keys;
}

QString FatherWidget::titleText() const {
    return title_->text();
}

void FatherWidget::onCommand(const QString& name) {
    if (name == QLatin1String("Exit")) {
        Application::exitApplication(this);
        return;
    }
    Widget* page = registry_.value(name);
    if (!page) {
        return;
    }
    leavePage();
    showPage(page);
    stack_.append(page);
}

void FatherWidget::closeEvent(QCloseEvent* event) {
    if (stack_.size() <= 1) {
        Application::exitApplication(this);
        if (stack_.isEmpty()) {
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    event->ignore();
    Widget* top = stack_.last();
    if (!top->close()) {
        return;
    }
    leavePage();
    stack_.removeLast();
    showPage(stack_.last());
    if (top->property(kRetired).toBool()) {
        top->deleteLater();
    }
}

void FatherWidget::onWorkingStatus(int status) {
    const bool entering = status == 4 && lastStatus_ != 4;
    lastStatus_ = status;
    if (entering) {
        createDevicePages();
    }
}

void FatherWidget::onLinkLost() {
    unwindToMenu();
    showWarning(this, tr("Confirm"), tr("Connection to the receiver was lost."));
}

void FatherWidget::unwindToMenu() {
    if (stack_.size() <= 1) {
        if (menu_ != nullptr && currentPage() == menu_) {
            menu_->activate();  // the connected menu becomes the disconnected one
        }
        return;
    }
    leavePage();
    while (stack_.size() > 1) {
        Widget* top = stack_.takeLast();
        if (top->property(kRetired).toBool()) {
            top->deleteLater();
        }
    }
    showPage(stack_.last());
}

void FatherWidget::retireDevicePages() {
    for (const QPointer<Widget>& p : std::as_const(devicePages_)) {
        if (!p) {
            continue;
        }
        for (auto it = registry_.begin(); it != registry_.end();) {
            it = it.value() == p ? registry_.erase(it) : std::next(it);
        }
        if (stack_.contains(p.data())) {
            // Still on the stack: it goes when Back pops it.
            p->setProperty(kRetired, true);
        } else {
            p->deleteLater();
        }
    }
    devicePages_.clear();
}

void FatherWidget::createDevicePages() {
    retireDevicePages();
    DeviceManager* dm = DeviceManager::instance();
    for (const PageRow* row : PageRegistry::deviceRows(dm->deviceType(), dm->isRadioChannelV2())) {
        Widget* page = row->make(this);
        page->hide();
        registry_.insert(QString::fromLatin1(row->name), page);
        devicePages_.append(page);
        if (row->commands) {
            connectCommand(page);
        }
    }
}

void FatherWidget::desktopResized(int) {
    const bool shown = SipHelper::instance()->isInputPanelShown();
    placeClientArea(shown);
    SipHelper::instance()->setButtonsVisible(shown);
}

void FatherWidget::onSip() {
    SipHelper::instance()->setVisible(!SipHelper::instance()->isInputPanelShown());
}

int FatherWidget::clientOffset(bool panelShown, bool hasFocus, int bottom, int focusBottom) {
    if (!panelShown || !hasFocus) {
        return 0;
    }
    const int target = 2 * bottom / 3;
    return target - focusBottom < 0 ? target - focusBottom : 0;
}

void FatherWidget::placeClientArea(bool panelShown) {
    QWidget* focus = area_->focusWidget();
    int bottom = 0;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        bottom = screen->availableGeometry().bottom();
    }
    if (QInputMethod* im = QGuiApplication::inputMethod(); im && panelShown) {
        const QRectF keys = im->keyboardRectangle();
        if (!keys.isEmpty()) {
            bottom = static_cast<int>(keys.top());
        }
    }
    int focusBottom = 0;
    if (focus) {
        focusBottom = focus->mapToGlobal(QPoint(0, focus->height() - 1)).y();
    }
    const int offset = clientOffset(panelShown, focus != nullptr, bottom, focusBottom);
    area_->move(0, offset);
}

}  // namespace Varnok
