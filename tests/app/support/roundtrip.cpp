#include "roundtrip.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <mutex>
#include <ostream>
#include <sstream>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_manager.h"
#include "device_test_support.h"
#include "father_widget.h"
#include "register_pages.h"
#include "shell_harness.h"
#include "timer_scale.h"
#include "widget.h"

namespace varnok_test {

namespace roundtrip {

namespace {

constexpr int kWaitMs = 30000;
constexpr int kSimCom = 44;

// ---- Qt's warnings about connections made by name.

std::mutex g_warningsMutex;
std::vector<std::string> g_connectWarnings;
QtMessageHandler g_previousHandler = nullptr;

bool IsConnectWarning(const QString& text) {
    return text.startsWith(QLatin1String("QObject::connect")) ||
           text.startsWith(QLatin1String("QObject::disconnect")) ||
           text.contains(QLatin1String("No such signal")) ||
           text.contains(QLatin1String("No such slot"));
}

void RecordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (IsConnectWarning(text)) {
        std::lock_guard<std::mutex> lock(g_warningsMutex);
        g_connectWarnings.push_back(text.toStdString());
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, text);
    }
}

// ---- The prompts: every message recorded, the scripted buttons given in order.

class ScriptedPrompts : public RecordingPrompts {
public:
    QMessageBox::StandardButton message(QWidget* parent, Kind kind, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons) override {
        RecordingPrompts::message(parent, kind, title, text, buttons);
        if (answers.empty()) {
            return QMessageBox::Ok;
        }
        const QMessageBox::StandardButton b = answers.front();
        answers.pop_front();
        return b;
    }
    std::deque<QMessageBox::StandardButton> answers;
};

std::string Describe(const State& before, const State& after, const std::vector<Change>& expected,
                     const std::vector<std::string>& ignored) {
    std::ostringstream out;
    std::vector<std::string> keys;
    for (const auto& [k, v] : before) {
        keys.push_back(k);
    }
    for (const auto& [k, v] : after) {
        if (before.count(k) == 0) {
            keys.push_back(k);
        }
    }
    for (const std::string& k : keys) {
        if (std::find(ignored.begin(), ignored.end(), k) != ignored.end()) {
            continue;
        }
        const auto b = before.find(k);
        const auto a = after.find(k);
        const std::string was = b == before.end() ? "(none)" : b->second;
        const std::string now = a == after.end() ? "(none)" : a->second;
        const auto want = std::find_if(expected.begin(), expected.end(),
                                       [&](const Change& c) { return c.key == k; });
        if (want != expected.end()) {
            const std::string value =
                want->sameAs.empty()
                    ? want->value
                    : (before.count(want->sameAs) ? before.at(want->sameAs) : "(none)");
            if (now != value) {
                out << "  " << k << ": expected \"" << value << "\" (" << want->why << "), was \""
                    << was << "\", now \"" << now << "\"\n";
            }
        } else if (was != now) {
            out << "  " << k << ": changed from \"" << was << "\" to \"" << now << "\"\n";
        }
    }
    return out.str();
}

QString ShownText(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentText();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        return spin->text();
    }
    return QStringLiteral("(no text)");
}

const char* LinkName(Link link) {
    return link == Link::Pty ? "Pty" : "Tcp";
}

}  // namespace

const std::vector<std::string>& volatileKeys() {
    // Counters of a running log-on or dial: queries move them.
    static const std::vector<std::string> keys = {"logon_count", "dial_left", "dial_target"};
    return keys;
}

std::vector<Param> expand(const std::vector<RoundTripCase>& rows) {
    std::vector<Param> out;
    for (const RoundTripCase& row : rows) {
        for (Link link : row.links) {
            out.push_back({&row, link});
        }
    }
    return out;
}

std::string paramName(const ::testing::TestParamInfo<Param>& info) {
    return info.param.row->name + "_" + LinkName(info.param.link);
}

void PrintTo(const Param& param, std::ostream* out) {
    *out << param.row->name << " over " << LinkName(param.link);
}

// ---- Driver.

QWidget* Driver::widget(const char* object) const {
    QWidget* w = page_ ? page_->findChild<QWidget*>(QString::fromLatin1(object)) : nullptr;
    EXPECT_NE(w, nullptr) << "no widget " << object;
    return w;
}

void Driver::typeText(const char* object, const QString& text) const {
    auto* edit = qobject_cast<QLineEdit*>(widget(object));
    ASSERT_NE(edit, nullptr) << object << " is no line edit";
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    ASSERT_EQ(edit->text(), text) << object << " did not take the text";
}

void Driver::choose(const char* object, int data) const {
    auto* box = qobject_cast<QComboBox*>(widget(object));
    ASSERT_NE(box, nullptr) << object << " is no combo box";
    const int index = box->findData(data);
    ASSERT_GE(index, 0) << object << " has no item " << data;
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Driver::chooseText(const char* object, const QString& text) const {
    auto* box = qobject_cast<QComboBox*>(widget(object));
    ASSERT_NE(box, nullptr) << object << " is no combo box";
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << object << " has no item " << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Driver::click(const char* object) const {
    auto* button = qobject_cast<QAbstractButton*>(widget(object));
    ASSERT_NE(button, nullptr) << object << " is no button";
    button->click();
}

bool Driver::pressKey(const char* text) const {
    auto find = [&]() -> QAction* {
        for (QAction* a : page_->actions()) {
            if (a->text() == QString::fromLatin1(text)) {
                return a;
            }
        }
        return nullptr;
    };
    QAction* key = find();
    if (key == nullptr || !key->isEnabled()) {
        ADD_FAILURE() << "no enabled key " << text;
        return false;
    }
    key->trigger();
    ShellHarness::deliver();
    const bool back = waitFor([&] {
        QAction* a = find();
        return !page_->holdsWaitCursor() && a != nullptr && a->isEnabled();
    });
    EXPECT_TRUE(back) << text << " did not come back";
    return back;
}

bool Driver::waitFor(const std::function<bool()>& done, int timeoutMs) {
    return ShellHarness::waitFor(done, std::chrono::milliseconds(timeoutMs));
}

}  // namespace roundtrip

using namespace roundtrip;

struct RoundTrip::Impl {
    QTemporaryDir logs;
    std::unique_ptr<ShellHarness> harness;
    ScriptedPrompts prompts;
    varnok_sim::SimProcess sim;
    Varnok::FatherWidget* frame = nullptr;
    std::unique_ptr<Driver> driver;

    static Varnok::DeviceManager* dm() { return Varnok::DeviceManager::instance(); }

    QAction* key(const char* text) const {
        Varnok::Widget* page = driver->page();
        for (QAction* a : page->actions()) {
            if (a->text() == QString::fromLatin1(text)) {
                return a;
            }
        }
        return nullptr;
    }
    std::vector<std::string> names() const { return sim.requestNames(); }

    // Every write queued before this has reached the simulator once two battery queries
    // queued back to back show up next to each other: the session writes in queue order, and
    // no page asks for the battery twice in a row. *at: where the pair begins in the log, so
    // every request before it has been logged too.
    bool barrier(std::size_t* at = nullptr) {
        const std::size_t from = names().size();
        dm()->sendBattery();
        dm()->sendBattery();
        return Driver::waitFor([&] {
            const std::vector<std::string> n = names();
            for (std::size_t i = from; i + 1 < n.size(); ++i) {
                if (n[i] == "Send_Battery" && n[i + 1] == "Send_Battery") {
                    if (at != nullptr) {
                        *at = i;
                    }
                    return true;
                }
            }
            return false;
        });
    }

    bool dump(State* out) {
        std::string error;
        const bool ok = sim.state(out, &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }

    bool idle(const char* pressKey) {
        return Driver::waitFor([&] {
            QAction* a = key(pressKey);
            return !driver->page()->holdsWaitCursor() && a != nullptr && a->isEnabled();
        });
    }
};

void RoundTrip::SetUp() {
    // The singletons (device manager, stores, password flag) and the configs folder live as
    // long as the process: a second case in the same process runs as a process of its own.
    static int casesRun = 0;
    ShellHarness::application();
    if (casesRun++ > 0) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString filter = QStringLiteral("--gtest_filter=%1.%2")
                                   .arg(QString::fromLatin1(info->test_suite_name()),
                                        QString::fromLatin1(info->name()));
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {filter});
        child.waitForFinished(-1);
        delegated_ = true;
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            delegatedFailure_ = child.readAll().toStdString();
        }
        return;
    }

    {
        std::lock_guard<std::mutex> lock(g_warningsMutex);
        g_connectWarnings.clear();
    }
    g_previousHandler = qInstallMessageHandler(RecordWarnings);

    impl_ = std::make_shared<Impl>();
    ASSERT_TRUE(impl_->logs.isValid());
    Brevan2011::BVComm::SetLogDirectory(impl_->logs.path().toStdString());
    static const bool registered = [] {
        Varnok::registerPages();
        return true;
    }();
    (void)registered;
    impl_->harness = std::make_unique<ShellHarness>();
    Varnok::Prompts::setInstance(&impl_->prompts);
    impl_->frame = impl_->harness->makeFrame();
    Varnok::DeviceManagerTestAccess::cache(*Impl::dm()) = Varnok::DeviceCache{};
    Impl::dm()->setSessionFactory({});  // the landed session
    // Answers come in real time; a loaded machine must not turn them into time-outs.
    Varnok::setUiScale(1.0);
    impl_->driver = std::make_unique<Driver>(impl_->frame, &impl_->sim);
}

void RoundTrip::TearDown() {
    if (delegated_) {
        EXPECT_TRUE(delegatedFailure_.empty()) << delegatedFailure_;
        return;
    }
    if (impl_) {
        Impl::dm()->closePort();
        ShellHarness::deliver();
        impl_->harness.reset();
        impl_->sim.stop();
        impl_.reset();
    }
    Brevan2011::BVComm::ClearComPortPath(kSimCom, false);
    qInstallMessageHandler(g_previousHandler);
    std::lock_guard<std::mutex> lock(g_warningsMutex);
    for (const std::string& w : g_connectWarnings) {
        ADD_FAILURE() << "Qt: " << w;
    }
}

void RoundTrip::run() {
    if (delegated_) {
        return;
    }
    ASSERT_TRUE(impl_);
    Impl& t = *impl_;
    const RoundTripCase& c = *GetParam().row;
    const Link link = GetParam().link;

    // The receiver in its edge state, and the program connected to it.
    std::vector<std::string> settings = c.sim;
    settings.insert(settings.begin(),
                    c.protocol == Protocol::New ? "protocol=new" : "protocol=old");
    std::string error;
    ASSERT_TRUE(t.sim.start(settings, &error)) << error;
    Varnok::DeviceManager* dm = Impl::dm();
    dm->setDeviceType(c.protocol == Protocol::New ? 1 : c.deviceType);
    if (link == Link::Pty) {
        Brevan2011::BVComm::SetComPortPath(kSimCom, t.sim.ptyPath());
        ASSERT_TRUE(dm->connectDevice(0, kSimCom, 9600, Varnok::SocketTarget{}));
    } else {
        Varnok::SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = t.sim.tcpPort();
        ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
    }
    ASSERT_TRUE(Driver::waitFor([&] { return dm->workingStatus() == 4; })) << "not connected";
    ASSERT_TRUE(Driver::waitFor([&] { return t.frame->page(QString::fromLatin1(c.page)); }))
        << "no page " << c.page;
    ASSERT_TRUE(t.barrier()) << "the connection's requests did not end";

    std::vector<std::string> ignored = volatileKeys();
    ignored.insert(ignored.end(), c.ignore.begin(), c.ignore.end());
    State before;
    ASSERT_TRUE(t.dump(&before));

    // The page, its query run to its end.
    const std::size_t askedBefore = t.names().size();
    Varnok::Widget* page = nullptr;
    if (c.open) {
        page = c.open(*t.driver);
    } else {
        t.frame->onCommand(QString::fromLatin1(c.page));
        ShellHarness::deliver();
        page = t.frame->currentPage();
    }
    ASSERT_NE(page, nullptr);
    t.driver->setPage(page);
    if (c.query != nullptr) {
        ASSERT_TRUE(Driver::waitFor([&] {
            const std::vector<std::string> n = t.names();
            return std::find(n.begin() + static_cast<long>(std::min(askedBefore, n.size())),
                             n.end(), c.query) != n.end();
        })) << "the page did not ask "
            << c.query;
    }
    ASSERT_TRUE(t.idle(c.press)) << "the page's query did not end, or " << c.press
                                 << " stayed disabled";
    if (c.prepare) {
        c.prepare(*t.driver);
        ASSERT_FALSE(HasFatalFailure());
    }
    for (const Shown& s : c.shows) {
        QWidget* w = t.driver->widget(s.object);
        if (w != nullptr) {
            EXPECT_EQ(ShownText(w).toStdString(), s.text.toStdString()) << s.object;
        }
    }

    // One press: the writes go out, then the state is compared.
    auto press = [&](const std::vector<QMessageBox::StandardButton>& answers,
                     const std::vector<QString>& messages, const State& from,
                     const std::vector<Change>& expected, const char* step, State* after) {
        SCOPED_TRACE(step);
        t.prompts.shown.clear();
        t.prompts.answers.assign(answers.begin(), answers.end());
        // What the page sent before the press is logged before the first pair.
        std::size_t sentBefore = 0;
        ASSERT_TRUE(t.barrier(&sentBefore)) << "the page's requests did not end";
        sentBefore += 2;
        QAction* key = t.key(c.press);
        ASSERT_NE(key, nullptr) << "no key " << c.press;
        ASSERT_TRUE(key->isEnabled()) << c.press << " is disabled";
        key->trigger();
        ShellHarness::deliver();
        ASSERT_TRUE(t.idle(c.press)) << c.press << " did not come back";
        std::size_t sentAfter = 0;
        ASSERT_TRUE(t.barrier(&sentAfter)) << "the writes did not reach the receiver";
        std::vector<QString> shown;
        for (const auto& s : t.prompts.shown) {
            shown.push_back(s.text);
        }
        EXPECT_EQ(shown, messages);
        const std::vector<std::string> n = t.names();
        std::size_t sent = 0;
        for (std::size_t i = sentBefore; i < sentAfter && i < n.size(); ++i) {
            sent += std::find(c.polls.begin(), c.polls.end(), n[i]) == c.polls.end() ? 1 : 0;
        }
        EXPECT_TRUE(sent > 0 || !shown.empty())
            << c.press << " sent nothing and said nothing: a refusal needs a message";
        ASSERT_TRUE(t.dump(after));
        const std::string differences = Describe(from, *after, expected, ignored);
        EXPECT_TRUE(differences.empty()) << "the receiver's state:\n" << differences;
    };

    State set;
    press(c.answers, c.messages, before, c.expected, "untouched", &set);
    if (HasFatalFailure() || !c.edit) {
        return;
    }
    c.edit(*t.driver);
    if (HasFatalFailure()) {
        return;
    }
    State edited;
    const bool serial = link == Link::Pty && !c.editMessagesOverSerial.empty();
    press(c.editAnswers, serial ? c.editMessagesOverSerial : c.editMessages, set, c.edited,
          "one field edited", &edited);
}

TEST_P(RoundTrip, Case) {
    run();
}

// The harness itself: a connection by name to a signal that does not exist is caught.
TEST(RoundTripHarness, ConnectionsToMissingSignalsAreCaught) {
    ShellHarness::application();
    {
        std::lock_guard<std::mutex> lock(g_warningsMutex);
        g_connectWarnings.clear();
    }
    g_previousHandler = qInstallMessageHandler(RecordWarnings);
    QObject sender;
    QObject receiver;
    QObject::connect(&sender, SIGNAL(noSuchSignal()), &receiver, SLOT(deleteLater()));
    qInstallMessageHandler(g_previousHandler);
    std::lock_guard<std::mutex> lock(g_warningsMutex);
    ASSERT_EQ(g_connectWarnings.size(), 1u);
    EXPECT_NE(g_connectWarnings[0].find("No such signal"), std::string::npos);
    g_connectWarnings.clear();
}

}  // namespace varnok_test
