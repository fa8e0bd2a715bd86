#include "device/version_info.h"

#include "build_commit.h"

#include <QSysInfo>
#include <QtGlobal>

#include <hidapi.h>

namespace kv {

QString versionLine(const QString& programName) {
    const QString system =
        QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelVersion();
    return QStringLiteral("%1 %2 (commit %3), %4, Qt %5, hidapi %6")
        .arg(programName, QStringLiteral(KV_VERSION), QStringLiteral(KV_BUILD_COMMIT), system,
             QString::fromLatin1(qVersion()), QString::fromLatin1(hid_version_str()));
}

} // namespace kv
