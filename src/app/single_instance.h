#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace kv {

// Makes sure one copy of the program runs per user: a lock file named after
// the product in the user's runtime folder. The lock is held for the life of
// this object (the process); a lock left by a copy that died is taken over.
class SingleInstance {
public:
    // The lock of "KestVELQOR1" in the runtime folder (or the given folder).
    explicit SingleInstance(const QString& folder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the only copy; false when another holds the lock or
    // the lock cannot be made (the program then ends silently).
    bool acquire();
    QString lockPath() const { return path_; }

    static QString lockName();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace kv
