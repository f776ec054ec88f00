#include "shell/singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include "com/error.h"

namespace velmora {
namespace {

std::unique_ptr<QLockFile>& held() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

}  // namespace

QString SingleInstance::defaultLockPath() {
    const QString configured = qEnvironmentVariable("VELMORA_LOCK_FILE");
    if (!configured.isEmpty()) return configured;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("velmora.lock"));
}

bool SingleInstance::acquire(const QString& path) {
    if (held()) return true;
    const QString file = path.isEmpty() ? defaultLockPath() : path;
    auto lock = std::make_unique<QLockFile>(file);
    lock->setStaleLockTime(0);  // only a lock whose process is gone counts as stale
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) return false;
        // No lock at all is not another instance: say what is wrong instead of refusing.
        com::raise(com::errc::PermissionDenied, "SingleInstance",
                   "Fisierul de blocare " + file.toStdString() + " nu poate fi creat.");
    }
    held() = std::move(lock);
    return true;
}

void SingleInstance::release() { held().reset(); }

}  // namespace velmora
