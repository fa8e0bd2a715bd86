#pragma once

// Pipes and devices for the tests of the file readers, and a guard so that a
// reader which blocks on them fails its test instead of hanging the run.

#include <QFile>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv::testing {

// A device that never ends: a reader that does not refuse it reads for ever.
inline const QString EndlessDevice = QStringLiteral("/dev/zero");

// Makes a FIFO at path; false when the file system has none.
inline bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Runs call on a thread of its own and returns its result. A reader stuck on
// a FIFO (in open() waiting for a writer, or in read() waiting for the end)
// is released by a writer that opens the FIFO, writes and closes it, so the
// test fails on its result instead of hanging. One that still does not
// return (reading a device without end) ends the test program with a
// message. The patience is a safety net only, not a measurement.
template <typename Call>
auto withoutHanging(Call call, const QString& fifo = {},
                    std::chrono::seconds patience = std::chrono::seconds(10)) {
    auto result = std::async(std::launch::async, std::move(call));
    if (result.wait_for(patience) == std::future_status::ready)
        return result.get();
    if (!fifo.isEmpty()) {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, "stuck", 5);
            ::close(fd);
        }
        if (result.wait_for(patience) == std::future_status::ready)
            return result.get();
    }
    std::fprintf(stderr, "A file reader did not return: it reads a pipe or device without end.\n");
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace kv::testing
