#pragma once

#include <memory>

class QRegularExpressionValidator;

#include "widget.h"

namespace Ui {
class Callsign;
}

namespace Varnok {

// Edits the radio call sign handed over by a data link page: state, interval and message.
// Ok hands the edited values back with "InSetting" set; the page holds no receiver link.
class Callsign : public Widget {
    Q_OBJECT

public:
    explicit Callsign(QWidget* parent = nullptr);
    ~Callsign() override;

    void setParams(const ValueHash& values, Widget* from) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    static Widget* make(QWidget* parent) { return new Callsign(parent); }

public slots:
    void onBack();

signals:
    void finished();

private:
    // The connected receiver's call sign field: 16 characters on new-protocol receivers,
    // 14 on old ones.
    static int messageLimit();

    std::unique_ptr<Ui::Callsign> ui_;
    QRegularExpressionValidator* messageValidator_ = nullptr;
    // The receiver sent a longer call sign than its field holds; this is the part kept. Ok
    // refuses it until the user changes it.
    bool cut_ = false;
    QString cutText_;
};

}  // namespace Varnok
