#pragma once

#include <QByteArray>
#include <QString>

namespace Varnok {

// The salted MD5 digest of the password in the authority file, and whether the user has
// logged in during this run.
class PasswordStore {
public:
    static constexpr int kDigestBytes = 16;

    static PasswordStore& instance();

    bool check(const QString& password) const;
    // Replaces the file as a whole; on failure the old file stays as it was.
    bool write(const QString& password) const;
    bool fileExists() const;
    bool isLoggedIn() const { return loggedIn_; }
    void setLoggedIn(bool on) { loggedIn_ = on; }

    static QString saltedText(const QString& password);
    static QByteArray digest(const QString& salted);
    QString path() const;

private:
    PasswordStore() = default;
    bool loggedIn_ = false;
};

}  // namespace Varnok
