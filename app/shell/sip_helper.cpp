#include "sip_helper.h"

#include <QGuiApplication>
#include <QInputMethod>

namespace Varnok {

SipHelper* SipHelper::instance() {
    static SipHelper helper;
    return &helper;
}

SipHelper::SipHelper() {
    setVisible(false);
    counts_ = Counts{};
}

void SipHelper::setVisible(bool visible) {
    if (QInputMethod* im = QGuiApplication::inputMethod()) {
        if (visible) {
            im->show();
        } else {
            im->hide();
        }
    }
    if (visible) {
        ++counts_.shown;
        showButtons();
    } else {
        ++counts_.hidden;
        hideButtons();
    }
}

void SipHelper::showButtons() {
    ++counts_.buttonsShown;
}

void SipHelper::hideButtons() {
    ++counts_.buttonsHidden;
}

void SipHelper::setButtonsVisible(bool visible) {
    if (visible) {
        showButtons();
    } else {
        hideButtons();
    }
}

bool SipHelper::isInputPanelShown() const {
    QInputMethod* im = QGuiApplication::inputMethod();
    return im && im->isVisible();
}

}  // namespace Varnok
