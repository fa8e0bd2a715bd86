#pragma once

// Small settings files written and read whole by tests.

#include <QFile>
#include <QString>

namespace kv::testing {

inline QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

inline void writeText(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toLatin1());
}

} // namespace kv::testing
