#include "ado/database_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <compare>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "ado/error.h"

namespace ado {

namespace fs = std::filesystem;

namespace {

// The byte the lock sits on: 2 GiB, away from SQLite's lock bytes (1 GiB and the 512 after).
constexpr off_t LockByte = off_t{1} << 31;

struct FileId {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FileId&) const = default;
};

FileId idOf(const struct stat& st) { return {st.st_dev, st.st_ino}; }

// The process's descriptors of locked database files, per file: none is closed while a lock
// of the process is held on its file, since the close would drop the record locks of the
// process's connections to it.
class Descriptors {
public:
    static Descriptors& instance() {
        static Descriptors table;
        return table;
    }

    // A descriptor of `file` opened for reading and writing, counted as in use until given
    // back; -1 with the errno in `error` (ENOENT too for a file that is not a plain file).
    int take(const fs::path& file, int& error) {
        const std::lock_guard guard(mutex_);
        forgetInherited();
        struct stat named {};
        if (::stat(file.c_str(), &named) == 0) {
            const auto it = files_.find(idOf(named));
            if (it != files_.end() && !it->second.idle.empty()) {
                const int fd = it->second.idle.back();
                it->second.idle.pop_back();
                ++it->second.inUse;
                return fd;
            }
        }
        // Not blocking: a pipe planted under the name is not waited on.
        const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            error = errno;
            return -1;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);  // no database: no connection of the process holds locks on it
            error = ENOENT;
            return -1;
        }
        ++files_[idOf(opened)].inUse;
        owners_[fd] = idOf(opened);
        return fd;
    }

    // Releases the lock on `fd` and gives the descriptor back.
    void giveBack(int fd) noexcept {
        struct flock unlock {};
        unlock.l_type = F_UNLCK;
        unlock.l_whence = SEEK_SET;
        unlock.l_start = LockByte;
        unlock.l_len = 1;
        ::fcntl(fd, F_OFD_SETLK, &unlock);
        const std::lock_guard guard(mutex_);
        forgetInherited();
        const auto owner = owners_.find(fd);
        if (owner == owners_.end()) return;  // inherited from the parent process: left to it
        const FileId file = owner->second;
        Entry& entry = files_[file];
        entry.idle.push_back(fd);
        if (--entry.inUse > 0) return;
        for (const int idle : entry.idle) {
            owners_.erase(idle);
            ::close(idle);
        }
        files_.erase(file);
    }

private:
    struct Entry {
        int inUse = 0;
        std::vector<int> idle;
    };

    // A child process (tests fork) shares its parent's descriptors; it starts a table of its own.
    void forgetInherited() {
        if (pid_ == ::getpid()) return;
        pid_ = ::getpid();
        files_.clear();
        owners_.clear();
    }

    std::mutex mutex_;
    pid_t pid_ = ::getpid();
    std::map<FileId, Entry> files_;
    std::map<int, FileId> owners_;
};

bool lockByte(int fd, DatabaseLock::Kind kind) {
    struct flock lock {};
    lock.l_type = kind == DatabaseLock::Kind::Shared ? F_RDLCK : F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = LockByte;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

DatabaseLock::DatabaseLock(const fs::path& database, Kind kind, std::chrono::milliseconds wait) {
    auto& descriptors = Descriptors::instance();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (int replaced = 0;;) {
        int error = 0;
        const int fd = descriptors.take(database, error);
        if (fd < 0) {
            error_ = error;
            const bool readable = error == EACCES && ::access(database.c_str(), R_OK) == 0;
            failure_ = error == ENOENT || error == ENOTDIR || error == EISDIR ? Failure::Missing
                       : error == EROFS || error == EPERM || readable         ? Failure::NotWritable
                                                                              : Failure::Other;
            return;
        }
        if (lockByte(fd, kind)) {
            // The name may name another file by now (a compaction renamed its copy into place
            // while this run waited): the lock is then taken again on that one.
            struct stat locked {
            }, named{};
            const bool stillNamed =
                ::fstat(fd, &locked) == 0 && ::stat(database.c_str(), &named) == 0 && idOf(locked) == idOf(named);
            if (stillNamed) {
                fd_ = fd;
                return;
            }
            descriptors.giveBack(fd);
            if (++replaced < 100) continue;
            failure_ = Failure::Busy;
            return;
        }
        const int error2 = errno;
        descriptors.giveBack(fd);
        if (error2 != EAGAIN && error2 != EACCES) {
            failure_ = Failure::Other;
            error_ = error2;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure_ = Failure::Busy;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

DatabaseLock DatabaseLock::take(const fs::path& database, Kind kind, std::chrono::milliseconds wait) {
    DatabaseLock lock(database, kind, wait);
    lock.raiseFailure(database);
    return lock;
}

void DatabaseLock::raiseFailure(const fs::path& database) const {
    switch (failure_) {
    case Failure::None: return;
    case Failure::Busy: raise(errc::InUse, text::inUse());
    case Failure::NotWritable: raise(errc::Engine, text::readOnlyDatabase(database));
    case Failure::Missing: raise(errc::FileNotFound, text::fileMissing(database));
    case Failure::Other:
        raise(errc::FileNotFound,
              text::withDetail("Fisierul " + database.string() + " nu poate fi deschis.", std::strerror(error_)));
    }
}

DatabaseLock::DatabaseLock(DatabaseLock&& other) noexcept
    : fd_(other.fd_), failure_(other.failure_), error_(other.error_) {
    other.fd_ = -1;
}

DatabaseLock& DatabaseLock::operator=(DatabaseLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        failure_ = other.failure_;
        error_ = other.error_;
        other.fd_ = -1;
    }
    return *this;
}

DatabaseLock::~DatabaseLock() { release(); }

void DatabaseLock::release() noexcept {
    if (fd_ >= 0) Descriptors::instance().giveBack(fd_);
    fd_ = -1;
}

}  // namespace ado
