#pragma once

#include <QByteArray>
#include <QString>

namespace kv {

// The bytes of a file the user named, read with two guards: only a regular
// file is read (a pipe would block for ever, a device such as /dev/zero
// would never end), and never more than the limit plus one byte, so an
// over-long file costs no more memory than an acceptable one.
struct RegularFileRead {
    enum class Outcome {
        Read,       // data holds the whole file
        Missing,    // nothing at the path
        NotRegular, // a folder, pipe, socket or device
        TooLarge,   // longer than the limit
        Failed,     // opening or reading failed: see systemError
    };
    Outcome outcome = Outcome::Failed;
    QByteArray data;
    QString systemError; // the operating system's text
};

RegularFileRead readRegularFile(const QString& path, qint64 maxBytes);

} // namespace kv
