#include "password_store.h"

#include <QFile>
#include <QSaveFile>

#include "logic_context.h"
#include "md5.h"

namespace Varnok {

namespace {
const char kSalt[] = "738205194613";
}

PasswordStore& PasswordStore::instance() {
    static PasswordStore store;
    return store;
}

QString PasswordStore::path() const {
    return QString::fromStdString(LogicContext::authorityPath());
}

QString PasswordStore::saltedText(const QString& password) {
    return password + QLatin1String(kSalt);
}

QByteArray PasswordStore::digest(const QString& salted) {
    const QByteArray bytes = salted.toLatin1();
    unsigned char out[kDigestBytes] = {};
    md5String(bytes.constData(), out);
    return QByteArray(reinterpret_cast<const char*>(out), kDigestBytes);
}

bool PasswordStore::check(const QString& password) const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray stored = file.read(kDigestBytes);
    return stored.size() == kDigestBytes && stored == digest(saltedText(password));
}

bool PasswordStore::write(const QString& password) const {
    QSaveFile file(path());
    // Unbuffered, so a short write shows here and not only at commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const QByteArray d = digest(saltedText(password));
    if (file.write(d) != d.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool PasswordStore::fileExists() const {
    return QFile::exists(path());
}

}  // namespace Varnok
