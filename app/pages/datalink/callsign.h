#pragma once

#include <memory>

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
    std::unique_ptr<Ui::Callsign> ui_;
};

}  // namespace Varnok
