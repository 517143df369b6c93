// The password store and the login dialog.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "login_dialog.h"
#include "password_store.h"
#include "shell_test_pages.h"

namespace varnok_test {
namespace {

using Varnok::LoginDialog;
using Varnok::PasswordStore;

class LoginTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        PasswordStore::instance().setLoggedIn(false);
    }
    void TearDown() override {
        PasswordStore::instance().setLoggedIn(false);
        ShellTest::TearDown();
    }
    static QByteArray fileBytes() {
        QFile f(PasswordStore::instance().path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeRaw(const QByteArray& bytes) {
        QFile f(PasswordStore::instance().path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
};

struct Form {
    explicit Form(LoginDialog& d)
        : psw(d.findChild<QLineEdit*>("lePsw")),
          newPsw(d.findChild<QLineEdit*>("leNewPsw")),
          confirm(d.findChild<QLineEdit*>("leConfirmPsw")),
          tips(d.findChild<QLabel*>("lblTips")),
          login(d.findChild<QPushButton*>("pbLogin")) {}
    QLineEdit* psw;
    QLineEdit* newPsw;
    QLineEdit* confirm;
    QLabel* tips;
    QPushButton* login;
};

bool isRed(QLineEdit* e) {
    return e->palette().color(QPalette::Base) == QColor(Qt::red);
}

TEST_F(LoginTest, TheStoreVerifiesWhatItWrote) {
    PasswordStore& store = PasswordStore::instance();
    EXPECT_FALSE(store.fileExists());
    EXPECT_FALSE(store.check("secret1")) << "no file refuses every password";
    ASSERT_TRUE(store.write("secret1"));
    EXPECT_TRUE(store.check("secret1"));
    EXPECT_FALSE(store.check("secret2"));
    EXPECT_EQ(fileBytes(), PasswordStore::digest("secret1738205194613"));

    const QByteArray digest = fileBytes();
    writeRaw(digest.left(15));
    EXPECT_FALSE(store.check("secret1")) << "15 bytes never verify";
    writeRaw(digest + "tail");
    EXPECT_TRUE(store.check("secret1")) << "the first 16 bytes are compared";
}

TEST_F(LoginTest, DigestsHoldingLineEndsVerify) {
    for (char end : {'\n', '\r'}) {
        QString password;
        for (int i = 0; password.isEmpty(); ++i) {
            const QString p = QStringLiteral("pass%1").arg(i);
            if (PasswordStore::digest(PasswordStore::saltedText(p)).contains(end)) {
                password = p;
            }
        }
        ASSERT_TRUE(PasswordStore::instance().write(password));
        EXPECT_EQ(fileBytes().size(), 16);
        EXPECT_TRUE(PasswordStore::instance().check(password)) << password.toStdString();
    }
}

TEST_F(LoginTest, AFailedWriteKeepsTheOldFileAndSaysSo) {
    ASSERT_TRUE(PasswordStore::instance().write("oldpass1"));
    PasswordStore::instance().setLoggedIn(true);
    const QByteArray before = fileBytes();
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Files may grow to 8 bytes: the 16-byte digest cannot be written.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        int result = 0;
        if (PasswordStore::instance().write("newpass1")) {
            result |= 1;
        }
        LoginDialog dialog;
        Form form(dialog);
        form.login->click();  // Modify
        form.newPsw->setText("newpass1");
        form.confirm->setText("newpass1");
        form.login->click();  // OK
        if (form.tips->text() != " Note: Failed to modify password.") {
            result |= 2;
        }
        if (!isRed(form.newPsw) || !isRed(form.confirm)) {
            result |= 4;
        }
        _exit(result);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "write reported success";
    EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "no failure note";
    EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "editors not marked";
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(PasswordStore::instance().check("oldpass1"));
}

mode_t modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST_F(LoginTest, TheDigestIsTheUsersAlone) {
    const mode_t oldMask = ::umask(022);
    const QString path = PasswordStore::instance().path();
    ASSERT_TRUE(PasswordStore::instance().write("secret1"));
    EXPECT_EQ(modeOf(path), 0600u);
    // A copy made readable by others is closed again by the next change of password.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_TRUE(PasswordStore::instance().write("secret2"));
    EXPECT_EQ(modeOf(path), 0600u);
    ::umask(oldMask);
}

// The README's command that provisions the password makes a file the store accepts.
TEST_F(LoginTest, TheReadmeProvisioningCommandWritesAFileTheStoreAccepts) {
    QFile readme(QStringLiteral(VARNOK_FIXTURES_DIR "/../../README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList commands;
    for (const QString& line : QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("738205194613")) &&
            line.contains(QLatin1String("md5sum"))) {
            commands << line.trimmed();
        }
    }
    ASSERT_EQ(commands.size(), 1) << "one provisioning command in the README";
    const QString folder = QFileInfo(PasswordStore::instance().path()).absolutePath();
    QFile::remove(PasswordStore::instance().path());

    QProcess shell;
    shell.setWorkingDirectory(folder);
    shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), commands.front()});
    ASSERT_TRUE(shell.waitForStarted());
    shell.write("fieldpass7\n");
    shell.closeWriteChannel();
    ASSERT_TRUE(shell.waitForFinished(30000));
    ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();

    EXPECT_EQ(fileBytes().size(), 16);
    EXPECT_EQ(modeOf(PasswordStore::instance().path()), 0600u);
    EXPECT_TRUE(PasswordStore::instance().check("fieldpass7"));
    EXPECT_FALSE(PasswordStore::instance().check("fieldpass8"));
}

TEST_F(LoginTest, ModesFollowTheLogin) {
    ASSERT_TRUE(PasswordStore::instance().write("secret1"));
    LoginDialog dialog;
    Form form(dialog);
    EXPECT_EQ(dialog.mode(), 0);
    EXPECT_EQ(dialog.windowTitle(), "UnLoged");
    EXPECT_EQ(form.login->text(), "Login");
    EXPECT_TRUE(form.newPsw->isHidden());

    form.psw->setText("secret1");
    form.login->click();
    EXPECT_EQ(dialog.mode(), 1);
    EXPECT_EQ(dialog.windowTitle(), "Logged");
    EXPECT_EQ(form.login->text(), "Modify");
    EXPECT_FALSE(form.psw->isEnabled());
    EXPECT_TRUE(PasswordStore::instance().isLoggedIn());

    form.login->click();
    EXPECT_EQ(dialog.mode(), 2);
    EXPECT_EQ(dialog.windowTitle(), "Modify Password");
    EXPECT_EQ(form.login->text(), "OK");
    EXPECT_TRUE(form.psw->isHidden());
    EXPECT_FALSE(form.newPsw->isHidden());

    LoginDialog again;
    EXPECT_EQ(again.mode(), 1) << "the flag lasts for the run";
    EXPECT_EQ(Form(again).psw->text(), "xxxxxx");
}

TEST_F(LoginTest, LoginNotes) {
    ASSERT_TRUE(PasswordStore::instance().write("secret1"));
    const std::pair<const char*, const char*> cases[] = {
        {"", " Note: Password should not be empty."},
        {"abc12", " Note: Length of Password should be 6 - 15."},
        {"wrong12", " Note: Password is invalid."},
    };
    for (const auto& [typed, note] : cases) {
        LoginDialog dialog;
        Form form(dialog);
        form.psw->setText(typed);
        form.login->click();
        EXPECT_EQ(form.tips->text(), note) << typed;
        EXPECT_TRUE(isRed(form.psw)) << typed;
        EXPECT_EQ(dialog.mode(), 0);
        form.psw->setText(QStringLiteral("x"));
        EXPECT_FALSE(isRed(form.psw)) << "typing clears the mark";
    }
}

TEST_F(LoginTest, ModifyNotes) {
    ASSERT_TRUE(PasswordStore::instance().write("secret1"));
    struct Case {
        const char* n;
        const char* c;
        const char* note;
        bool newRed;
        bool confirmRed;
    };
    const Case cases[] = {
        {"", "", " Note: New Password should not be empty.", true, false},
        {"abc", "", " Note: Length of New Password should be 6 - 15.", true, false},
        {"newpass1", "", " Note: Confirm Password should not be empty.", false, true},
        {"newpass1", "abc", " Note: Length of Confirm Password should be 6 - 15.", false, true},
        {"newpass1", "Newpass1", " Note: Confirm Password is different with the New Password.",
         false, true},
        {"secret1", "secret1", " Note: New Password should not be the same as the old one.", true,
         true},
        {"newpass1", "newpass1", " Note: Succeed to modify password.", false, false},
    };
    for (const Case& c : cases) {
        PasswordStore::instance().setLoggedIn(true);
        LoginDialog dialog;
        Form form(dialog);
        form.login->click();
        form.newPsw->setText(c.n);
        form.confirm->setText(c.c);
        form.login->click();
        EXPECT_EQ(form.tips->text(), c.note) << c.n << "/" << c.c;
        EXPECT_EQ(isRed(form.newPsw), c.newRed) << c.n << "/" << c.c;
        EXPECT_EQ(isRed(form.confirm), c.confirmRed) << c.n << "/" << c.c;
        EXPECT_EQ(dialog.mode(), 2);
    }
    EXPECT_TRUE(PasswordStore::instance().check("newpass1"));
    EXPECT_FALSE(PasswordStore::instance().check("secret1"));
}

TEST_F(LoginTest, EditorsTakeFifteenAsciiCharacters) {
    LoginDialog dialog;
    for (QLineEdit* e : dialog.findChildren<QLineEdit*>()) {
        EXPECT_EQ(e->maxLength(), 15);
        e->setText(QString(16, QLatin1Char('a')));
        EXPECT_EQ(e->text().size(), 15) << "a 16th character is refused";
        QString high(QChar(0x80));
        int pos = 0;
        EXPECT_EQ(e->validator()->validate(high, pos), QValidator::Invalid);
        QString ascii = QStringLiteral("a~\x7f");
        EXPECT_EQ(e->validator()->validate(ascii, pos), QValidator::Acceptable);
    }
}

}  // namespace
}  // namespace varnok_test
