#include "mqtt/mqtt_password.h"

#include <QFile>

namespace kv::mqtt {

namespace {

// Longer than any password a broker takes; the rest of a huge file is
// never read.
constexpr qint64 MaxLineBytes = 4096;

} // namespace

std::optional<QByteArray> readBrokerPassword(const std::optional<QString>& file, QString& error) {
    if (!file)
        return qgetenv(PasswordVariable);
    QFile source(*file);
    if (!source.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("--mqtt-password-file: cannot read %1 (%2)")
                    .arg(*file, source.errorString());
        return std::nullopt;
    }
    QByteArray line = source.readLine(MaxLineBytes);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty()) {
        error = QStringLiteral("--mqtt-password-file: the first line of %1 is empty").arg(*file);
        return std::nullopt;
    }
    return line;
}

} // namespace kv::mqtt
