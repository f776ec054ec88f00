#pragma once
// One running instance per user: a lock file in the user's runtime folder, held for the
// life of the process. A lock left by a process that died is taken over.
#include <memory>

#include <QString>

class QLockFile;

namespace velmora {

class SingleInstance {
public:
    // The lock's path: $VELMORA_LOCK_FILE, else "velmora.lock" in the runtime folder.
    static QString defaultLockPath();

    // Takes the process-wide lock at `path` (the default path when empty); false when
    // another instance holds it. Once taken it stays taken until release(). A lock file that
    // cannot be made at all raises com::Error.
    static bool acquire(const QString& path = {});
    static void release();
};

}  // namespace velmora
