#pragma once

#include <QString>

namespace kv {

// One line that says which program this is and what it runs on: version,
// the build's commit, the operating system, the Qt and hidapi versions. The
// window's log opens with it and `kestvelqorctl --version` prints it, so a
// report of a problem carries everything in one copy.
QString versionLine(const QString& programName);

} // namespace kv
