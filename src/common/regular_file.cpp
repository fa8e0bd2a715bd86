#include "common/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {

namespace {

using Outcome = RegularFileRead::Outcome;

RegularFileRead outcome(Outcome what, QString systemError = {}) {
    RegularFileRead result;
    result.outcome = what;
    result.systemError = std::move(systemError);
    return result;
}

// Opens the file for reading only when it is a regular one. On Unix the
// type is asked of the opened descriptor, so a path swapped for a pipe in
// between is still refused; opening without blocking keeps a pipe without a
// writer from hanging the open itself.
RegularFileRead openRegular(const QString& path, QFile& file) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return outcome(Outcome::Missing);
        return outcome(Outcome::Failed, qt_error_string(error));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return outcome(Outcome::Failed, qt_error_string(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return outcome(Outcome::NotRegular);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return outcome(Outcome::Failed, file.errorString());
    }
#else
    const QFileInfo info(path);
    if (!info.exists())
        return outcome(Outcome::Missing);
    if (!info.isFile())
        return outcome(Outcome::NotRegular);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return outcome(Outcome::Failed, file.errorString());
#endif
    return outcome(Outcome::Read);
}

} // namespace

RegularFileRead readRegularFile(const QString& path, qint64 maxBytes) {
    QFile file;
    RegularFileRead result = openRegular(path, file);
    if (result.outcome != Outcome::Read)
        return result;

    // In chunks up to one byte past the limit: the size the file claims is
    // not trusted, it may grow while it is read.
    constexpr qint64 Chunk = 64 * 1024;
    const qint64 cap = maxBytes + 1;
    while (result.data.size() < cap) {
        const qint64 before = result.data.size();
        const qint64 want = std::min(Chunk, cap - before);
        result.data.resize(before + want);
        const qint64 got = file.read(result.data.data() + before, want);
        if (got < 0) {
            result.data.clear();
            return outcome(Outcome::Failed, file.errorString());
        }
        result.data.resize(before + got);
        if (got == 0)
            break;
    }
    if (result.data.size() > maxBytes) {
        result.data.clear();
        return outcome(Outcome::TooLarge);
    }
    return result;
}

} // namespace kv
