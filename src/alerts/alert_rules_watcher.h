#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kv {

// Tells when the rules file changed: made, edited, replaced by a rename or
// removed. The file system's notices come first; a look every CheckMs
// catches what they miss (a file renamed over the watched one drops its
// watch, a folder that did not exist yet).
class AlertRulesWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckMs = 2000;

    explicit AlertRulesWatcher(const QString& path, QObject* parent = nullptr);

signals:
    void changed();

private:
    struct Stamp {
        bool exists = false;
        QDateTime modified;
        qint64 size = -1;
        quint64 inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stampNow() const;
    void check();
    void watch();

    QString path_;
    Stamp stamp_;
    QFileSystemWatcher watcher_;
    QTimer timer_;
};

} // namespace kv
