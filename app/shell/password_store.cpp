#include "password_store.h"

#include <QFile>

#include "atomic_file.h"
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
    const QByteArray d = digest(saltedText(password));
    // Only the user may read the digest, whatever mode an earlier copy of the file had.
    return AtomicFile::write(LogicContext::authorityPath(), d.toStdString(), 0600);
}

bool PasswordStore::fileExists() const {
    return QFile::exists(path());
}

}  // namespace Varnok
