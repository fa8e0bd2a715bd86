#include "web/web_token.h"

#include "common/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv::web {

namespace {

constexpr qint64 LongestTokenFile = 4096;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool printable(const QByteArray& token) {
    for (char c : token)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

QByteArray newToken() {
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                          bytes.size() / int(sizeof(quint32)));
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

// Creates the file only if it does not exist, readable by its owner alone
// from the first byte on.
bool writeNewFile(const QString& path, const QByteArray& contents, QString& error) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QStringLiteral("cannot create %1: %2").arg(path, systemError());
        return false;
    }
    const bool written =
        ::write(fd, contents.constData(), size_t(contents.size())) == ssize_t(contents.size());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        error = QStringLiteral("cannot write %1: %2").arg(path, systemError());
        ::unlink(native.constData());
        return false;
    }
    return true;
}

} // namespace

TokenFile readTokenFile(const QString& path) {
    TokenFile result;
    const RegularFileRead read = readRegularFile(path, LongestTokenFile);
    switch (read.outcome) {
    case RegularFileRead::Outcome::Read:
        break;
    case RegularFileRead::Outcome::Missing:
        result.error = QStringLiteral("token file %1 not found").arg(path);
        return result;
    case RegularFileRead::Outcome::NotRegular:
        result.error = QStringLiteral("token file %1 is no regular file").arg(path);
        return result;
    case RegularFileRead::Outcome::TooLarge:
        result.error = QStringLiteral("token file %1 is too long").arg(path);
        return result;
    case RegularFileRead::Outcome::Failed:
        result.error = QStringLiteral("cannot read token file %1: %2").arg(path, read.systemError);
        return result;
    }
    const QByteArray token = read.data.split('\n').value(0).trimmed();
    if (token.size() < ShortestToken || !printable(token)) {
        result.error = QStringLiteral("the token in %1 must be at least %2 printable characters "
                                      "without spaces")
                           .arg(path)
                           .arg(ShortestToken);
        return result;
    }
    result.token = token;
    return result;
}

TokenFile ensureTokenFile(const QString& path) {
    if (QFileInfo::exists(path))
        return readTokenFile(path);
    TokenFile result;
    const QString folder = QFileInfo(path).absolutePath();
    const bool folderExisted = QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("cannot make the folder %1").arg(folder);
        return result;
    }
    if (!folderExisted)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    const QByteArray token = newToken();
    if (!writeNewFile(path, token + '\n', result.error))
        return result;
    result.token = token;
    result.created = true;
    return result;
}

QString defaultTokenPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kestvelqor/web-token");
}

bool readableByOthers(const QString& path) {
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return (info.st_mode & (S_IRWXG | S_IRWXO)) != 0;
}

} // namespace kv::web
