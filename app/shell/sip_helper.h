#pragma once

namespace Varnok {

// Shows and hides the on-screen keyboard through the platform input method. The panel's
// own button windows do not exist here: those operations only count.
class SipHelper {
public:
    struct Counts {
        int shown = 0;
        int hidden = 0;
        int buttonsShown = 0;
        int buttonsHidden = 0;
    };

    static SipHelper* instance();

    void setVisible(bool visible);
    void showButtons();
    void hideButtons();
    void setButtonsVisible(bool visible);
    bool isInputPanelShown() const;

    const Counts& counts() const { return counts_; }
    void resetCounts() { counts_ = Counts{}; }

private:
    SipHelper();
    Counts counts_;
};

}  // namespace Varnok
