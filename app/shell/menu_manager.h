#pragma once

#include <QList>

#include "widget.h"

class QAction;
class QVBoxLayout;

namespace Varnok {

// The main menu: one large button per page the connected receiver supports.
class MenuManager : public Widget {
    Q_OBJECT

public:
    explicit MenuManager(QWidget* parent = nullptr);

    void activate() override;
    bool hasBackAction() const override { return false; }

    // The labels of the buttons shown, top to bottom, and the spacer's stretch (0 hidden).
    QStringList buttonLabels() const;
    int spacerStretch() const;

signals:
    void command(const QString& page);

public slots:
    void onAction(QAction* action);
    void onWorkingStatus(int status);

private:
    QAction* createAction(const QString& label, const QString& page);
    QList<QAction*> disconnectedActions();
    QList<QAction*> connectedActions();
    void clearButtons();
    void insertButtons(const QList<QAction*>& actions, int first);
    void showDisconnectedMenu();
    void showConnectedMenu();

    int status_ = -1;
    QVBoxLayout* layout_ = nullptr;
    QWidget* spacer_ = nullptr;
};

}  // namespace Varnok
