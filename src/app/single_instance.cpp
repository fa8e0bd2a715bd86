#include "app/single_instance.h"

#include "text/product.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace kv {

namespace {

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

QString SingleInstance::lockName() {
    // The product name followed by the digit 1.
    return QString::fromLatin1(product::Name) + QStringLiteral("1.lock");
}

SingleInstance::SingleInstance(const QString& folder)
    : path_(QDir(folder.isEmpty() ? runtimeFolder() : folder).filePath(lockName())) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (lock_ && lock_->isLocked())
        return true;
    lock_ = std::make_unique<QLockFile>(path_);
    // Never wait: a second copy ends at once.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

} // namespace kv
