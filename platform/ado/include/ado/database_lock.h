#pragma once
// The program's lock on a database file. Every run that uses the file holds it shared for as
// long as it has the file open; whatever replaces the file or changes it outside a
// connection (the compaction, a tool that rewrites registers) takes it exclusively, and so
// never while a run has the file open.
//
// The lock is an open-file-description lock (F_OFD_SETLK) on one byte of the database file
// itself, far from the bytes SQLite locks, taken through a descriptor opened for reading and
// writing:
// - only a user who may write the database can open it so, and an exclusive lock needs such
//   a descriptor: no lock file exists that a reader could open, or that anyone could delete,
//   replace or link elsewhere to defeat the lock or turn it on another file;
// - it lives on the file, not on a name: after taking it the name is checked to still be
//   that file (a compaction renames a new one into place) and it is taken again on the file
//   the name now holds, so a run that waited through a compaction holds the new file;
// - OFD locks neither conflict with nor are released by SQLite's own record locks (which sit
//   on other bytes) but, like them, any close() of a descriptor of the file drops the record
//   locks the process's connections hold on it. The descriptors are therefore kept in one
//   table of the process per file and closed only when no lock of the process is held on
//   that file any more (after its connections have closed); in between they are reused.
#include <chrono>
#include <filesystem>

namespace ado {

class [[gnu::visibility("default")]] DatabaseLock {
public:
    enum class Kind { Shared, Exclusive };
    // Why a lock is not held.
    enum class Failure {
        None,
        Busy,         // another run (or a compaction) holds it
        NotWritable,  // the user may only read the file, or its file system is read-only
        Missing,      // no such file, or not a plain file
        Other         // the file could not be opened (errno())
    };

    DatabaseLock() = default;
    // Tries for up to `wait` while another holder keeps it. Never raises.
    DatabaseLock(const std::filesystem::path& database, Kind kind,
                 std::chrono::milliseconds wait = std::chrono::milliseconds::zero());
    DatabaseLock(DatabaseLock && other) noexcept;
    DatabaseLock& operator=(DatabaseLock&& other) noexcept;
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;
    ~DatabaseLock();  // release it only after every connection of the holder to the file has closed

    // Takes the lock or raises why it cannot be had, as the user is told it: 3045 "Baza de date
    // este folosita de alt program. ..." while another run holds it; "Baza de date <file> este
    // protejata la scriere." for a user who may only read it; 3024 for a missing file; the
    // system's cause otherwise. A tool that changes the database outside the program takes it
    // Exclusive for as long as it works on the file, and so refuses while any run uses it.
    static DatabaseLock take(const std::filesystem::path& database, Kind kind,
                             std::chrono::milliseconds wait = std::chrono::milliseconds::zero());

    bool held() const { return fd_ >= 0; }
    Failure failure() const { return failure_; }
    int error() const { return error_; }
    // Raises the failure as take() does; nothing when the lock is held.
    void raiseFailure(const std::filesystem::path& database) const;

private:
    void release() noexcept;
    int fd_ = -1;
    Failure failure_ = Failure::None;
    int error_ = 0;
};

}  // namespace ado
