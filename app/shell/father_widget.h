#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

#include "widget.h"

class QAction;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace Varnok {

class MenuManager;

// The program's one window: a title, the page shown, and up to six soft keys. Pages are
// switched by name; Back returns through the stack of pages visited.
class FatherWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kSoftKeys = 6;

    explicit FatherWidget(QWidget* parent = nullptr);
    ~FatherWidget() override;

    // The vertical offset of the page area that lifts the focused editor's bottom y to two
    // thirds of the work area's bottom b; 0 when no lift is needed.
    static int clientOffset(bool panelShown, bool hasFocus, int bottom, int focusBottom);
    static QString versionTitle();

    // Registers a page under name; the frame takes ownership. For tests and tools.
    void registerPage(const QString& name, Widget* page);
    // For tests and tools.
    Widget* page(const QString& name) const { return registry_.value(name); }
    QStringList pageNames() const { return registry_.keys(); }
    Widget* currentPage() const { return stack_.isEmpty() ? nullptr : stack_.last(); }
    int stackDepth() const { return static_cast<int>(stack_.size()); }
    MenuManager* menu() const { return menu_; }
    // The soft-key row left to right: action texts, "|" for the filler.
    QStringList softKeys() const;
    QString titleText() const;
    QAction* backAction() const { return back_; }
    QAction* sipAction() const { return sip_; }
    Widget* pageLeftLast() const { return leftLast_; }

public slots:
    void onCommand(const QString& name);
    void onWorkingStatus(int status);
    // The link to the receiver was lost: back to the menu, then one message.
    void onLinkLost();
    void desktopResized(int screen = 0);
    void onSip();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createPages();
    void createSoftKeys();
    void createMenu();
    void createDevicePages();
    void retireDevicePages();
    void showPage(Widget* page);
    void leavePage();
    void setSoftKeys(Widget* page);
    void clearSoftKeys();
    void placeClientArea(bool panelShown);
    void connectCommand(Widget* page);
    // Leaves every page above the menu, whether or not it would close.
    void unwindToMenu();

    QWidget* area_ = nullptr;
    QVBoxLayout* clientLayout_ = nullptr;
    QHBoxLayout* toolLayout_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* filler_ = nullptr;
    QList<QToolButton*> buttons_;
    QAction* back_ = nullptr;
    QAction* sip_ = nullptr;
    MenuManager* menu_ = nullptr;

    QList<Widget*> stack_;
    QHash<QString, Widget*> registry_;
    // The pages of the last connection; earlier sets are deleted.
    QList<QPointer<Widget>> devicePages_;
    QPointer<Widget> leftLast_;
    int lastStatus_ = -1;
};

}  // namespace Varnok
