// The round-trip check: every page, in each protocol it serves, on the program's own stack (the
// real DeviceManager over the landed session) against varnok-simreceiver over a pseudo-terminal
// and over loopback TCP. For each case:
//   1. the simulator starts with the case's settings (its edge state) and the program connects;
//   2. the simulator's whole state is taken ("dump");
//   3. the page is opened and its query runs to its end; what it shows is checked;
//   4. its Set (Accept, Ok...) is pressed without touching anything; once every write has gone
//      out (a battery query queued after them has reached the simulator) the state is taken
//      again: nothing may change but the case's expected writes, each with the behaviour that
//      requires it, and the messages shown must be the case's. A press that sends nothing and
//      shows nothing fails: a refusal is a message, never a silent no-op;
//   5. one field is edited and the key pressed again: exactly the case's edited items change.
// A Qt warning about a connection made by name ("QObject::connect: No such signal ...") fails
// the case. Each case runs in a process of its own, so no singleton or configs folder is shared.
//
// Adding a page: write tests/app/support/roundtrip_cases_<area>.cpp (CMake finds it), with a
// function returning a static std::vector<RoundTripCase>, and end the file with
//   VARNOK_ROUNDTRIP_ROWS(Area, AreaCases);
// Fill each case with
//   name      unique in the area, letters, digits and '_' ("OldBoard2TextsAtTheirLimit");
//   page      the page name the frame registers ("Info", "Static", "0183OutPut"), or open;
//   protocol  Old or New; deviceType for an old receiver of another type (0, 2, 4, 5);
//   links     Pty, Tcp or both;
//   sim       the simulator's settings for the edge state (tools/simreceiver/README.md; "drop"
//             and "late" leave answers out or hold them back, by request name);
//   query     a request the page's query sends, waited for before the page counts as idle;
//   press     the soft key's text; answers: the buttons the prompts answer, in order;
//   prepare   what runs once the page is idle (tick a box and press "Get", wait for a state);
//   shows     object name and text a field must show then (a combo's current text, a check
//             box's "checked" or "unchecked");
//   expected  the writes the untouched press must make (key, value or sameAs, why in words);
//   messages  the texts the untouched press must show (a refusal);
//   edit      edits one field (use typeText, choose, click so the page sees a user's edit);
//   edited    what that edit and the press must change, nothing else;
//   ignore    simulator keys that change by themselves for this page (counters);
//   polls     requests the page sends on a timer of its own (not counted as the press's).
#pragma once

#include <QMessageBox>
#include <QString>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace Varnok {
class FatherWidget;
class Widget;
}  // namespace Varnok

namespace varnok_sim {
class SimProcess;
}

namespace varnok_test {

class ShellHarness;

namespace roundtrip {

enum class Protocol { Old, New };
enum class Link { Pty, Tcp };

using State = std::map<std::string, std::string>;

// One simulator key that a press must change: to value, or to the value another key had
// before the press (sameAs). why says which behaviour requires the write.
struct Change {
    Change(std::string key_, std::string value_, const char* why_, std::string sameAs_ = {})
        : key(std::move(key_)), value(std::move(value_)), why(why_), sameAs(std::move(sameAs_)) {}
    std::string key;
    std::string value;
    const char* why;
    std::string sameAs;
};

// A shown field: the widget's object name and the text it must show (line edit, label or the
// combo box's current text).
struct Shown {
    const char* object;
    QString text;
};

class Driver;
using Hook = std::function<void(Driver&)>;

struct RoundTripCase {
    std::string name;
    const char* page = nullptr;
    Protocol protocol = Protocol::Old;
    int deviceType = 0;  // old protocol only; new-protocol receivers are type 1
    std::vector<Link> links = {Link::Pty, Link::Tcp};
    std::vector<std::string> sim;
    const char* query = nullptr;
    const char* press = "Set";
    std::vector<QMessageBox::StandardButton> answers;
    std::vector<Shown> shows;
    std::vector<Change> expected;
    std::vector<QString> messages;
    Hook edit;
    std::vector<Change> edited;
    std::vector<QMessageBox::StandardButton> editAnswers;
    std::vector<QString> editMessages;
    // Over the pty (a serial connection) the edit shows these instead, when set (the baud
    // rate warning).
    std::vector<QString> editMessagesOverSerial;
    std::vector<std::string> ignore;
    // Requests the page sends by itself on a timer (status polls): not counted as the press's.
    std::vector<std::string> polls;
    // Runs after the page is idle, before the shown fields are checked and the untouched
    // press (e.g. a box the page needs ticked and read, or a wait for a later state); null
    // when nothing is to be done.
    Hook prepare;
    // Opens the page; null shows it by name.
    std::function<Varnok::Widget*(Driver&)> open;
};

// What a case's hooks reach: the page, the frame, the simulator and the prompts.
class Driver {
public:
    Driver(Varnok::FatherWidget* frame, varnok_sim::SimProcess* sim) : frame_(frame), sim_(sim) {}

    Varnok::Widget* page() const { return page_; }
    void setPage(Varnok::Widget* page) { page_ = page; }
    Varnok::FatherWidget* frame() const { return frame_; }
    varnok_sim::SimProcess& sim() const { return *sim_; }

    // The page's child of that object name; fails the case when there is none.
    QWidget* widget(const char* object) const;
    // Typed as a user types: the old text selected and replaced key by key (validators apply).
    void typeText(const char* object, const QString& text) const;
    // Picks the combo box item with that data, as a user's choice (activated).
    void choose(const char* object, int data) const;
    void chooseText(const char* object, const QString& text) const;
    void click(const char* object) const;
    // Presses the page's soft key and waits until the page is idle with the key enabled again
    // (e.g. "Get" in a prepare hook); false when it is missing, disabled or never comes back.
    bool pressKey(const char* text) const;
    // Runs the event loop until done() holds (bounded); false when it did not.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000);

private:
    Varnok::FatherWidget* frame_;
    varnok_sim::SimProcess* sim_;
    Varnok::Widget* page_ = nullptr;
};

struct Param {
    const RoundTripCase* row = nullptr;
    Link link = Link::Pty;
};

// One parameter per case and link.
std::vector<Param> expand(const std::vector<RoundTripCase>& rows);
std::string paramName(const ::testing::TestParamInfo<Param>& info);
void PrintTo(const Param& param, std::ostream* out);

// The keys whose values the simulator changes by itself (answer controls, counters).
const std::vector<std::string>& volatileKeys();

}  // namespace roundtrip

class RoundTrip : public ::testing::TestWithParam<roundtrip::Param> {
protected:
    void SetUp() override;
    void TearDown() override;
    void run();

    // Set when this case ran in a process of its own because another case ran here first.
    bool delegated_ = false;
    // The child process's failure output, when delegated.
    std::string delegatedFailure_;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace varnok_test

#define VARNOK_ROUNDTRIP_ROWS(area, rows)                                                   \
    INSTANTIATE_TEST_SUITE_P(area, RoundTrip,                                               \
                             ::testing::ValuesIn(::varnok_test::roundtrip::expand(rows())), \
                             ::varnok_test::roundtrip::paramName)
