#include "alerts/alert_rules_watcher.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace kv {

AlertRulesWatcher::AlertRulesWatcher(const QString& path, QObject* parent)
    : QObject(parent), path_(path) {
    stamp_ = stampNow();
    watch();
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &AlertRulesWatcher::check);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &AlertRulesWatcher::check);
    timer_.setInterval(CheckMs);
    connect(&timer_, &QTimer::timeout, this, &AlertRulesWatcher::check);
    timer_.start();
}

AlertRulesWatcher::Stamp AlertRulesWatcher::stampNow() const {
    Stamp stamp;
    const QFileInfo info(path_);
    stamp.exists = info.exists();
    if (!stamp.exists)
        return stamp;
    stamp.modified = info.lastModified();
    stamp.size = info.size();
    // A file renamed over the old one may keep its size and second: its
    // inode tells it apart.
    struct stat status {};
    if (::stat(QFileInfo(path_).absoluteFilePath().toLocal8Bit().constData(), &status) == 0)
        stamp.inode = quint64(status.st_ino);
    return stamp;
}

void AlertRulesWatcher::watch() {
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    const QFileInfo info(path_);
    if (info.exists())
        watcher_.addPath(info.absoluteFilePath());
    if (info.absoluteDir().exists())
        watcher_.addPath(info.absolutePath());
}

void AlertRulesWatcher::check() {
    const Stamp now = stampNow();
    if (now == stamp_)
        return;
    stamp_ = now;
    watch();
    emit changed();
}

} // namespace kv
