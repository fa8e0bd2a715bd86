#pragma once

#include <QByteArray>
#include <QString>

namespace kv::mqtt {

// One message the bridge sends.
struct Publication {
    QString topic;
    QByteArray payload;
    bool retained = true;

    bool operator==(const Publication&) const = default;
};

} // namespace kv::mqtt
