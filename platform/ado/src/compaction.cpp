#include "ado/compaction.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "ado/connection.h"
#include "ado/database_lock.h"
#include "ado/error.h"
#include "ado/workgroup.h"
#include "com/durable_file.h"
#include "connection_impl.h"
#include "sqlite_util.h"
#include "temp_files.h"

namespace ado {

namespace fs = std::filesystem;

namespace {

std::mutex hookMutex;
std::function<void(CompactStep)> stepHook;
std::function<void(CopyStep, const fs::path&)> copyHook;

void reachedCopy(CopyStep step, const fs::path& temp) {
    std::function<void(CopyStep, const fs::path&)> hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = copyHook;
    }
    if (hook) hook(step, temp);
}

// The engine's refusal of a copy: its code, the system's errno behind it and its text.
struct CopyFailure {
    int code;
    int systemError;
    std::string message;
};

void reached(CompactStep step) {
    std::function<void(CompactStep)> hook;
    {
        const std::lock_guard lock(hookMutex);
        hook = stepHook;
    }
    if (hook) hook(step);
}

bool isEmptyOrMissing(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return true;
    return fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0;
}

[[noreturn]] void raiseNotReplaced(const fs::path& dataFile, int error) {
    raise(errc::FileCopy, "Cannot replace '" + dataFile.string() + "': " + std::strerror(error));
}

// Checks the compacted copy before it replaces the data file: its size is the whole of the
// pages its header announces (a short or torn write shows here) and SQLite's structural
// check passes. The check costs about as much as the compaction again; the data file is
// worth it.
void checkCopy(const fs::path& file) {
    auto db = detail::openDatabase(file, detail::OpenMode::ReadOnly);
    auto pages = detail::prepare(db.get(), "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
    const int rc = sqlite3_step(pages.get());
    detail::check(db.get(), rc);
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (rc != SQLITE_ROW || ec || static_cast<uintmax_t>(sqlite3_column_int64(pages.get(), 0)) != size)
        raise(errc::NotADatabase, "The compacted copy '" + file.string() + "' is incomplete.");
    auto check = detail::prepare(db.get(), "PRAGMA quick_check");
    const int checked = sqlite3_step(check.get());
    detail::check(db.get(), checked);
    const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
    if (checked != SQLITE_ROW || !verdict || std::string_view(verdict) != "ok")
        raise(errc::NotADatabase,
              "The compacted copy '" + file.string() + "' fails its check: " + (verdict ? verdict : "no answer"));
}

// Removes the files it is given unless dismissed.
class Cleanup {
public:
    void add(fs::path p) { files_.push_back(std::move(p)); }
    void dismiss(const fs::path& p) { std::erase(files_, p); }
    ~Cleanup() {
        for (const auto& f : files_) detail::removeWithJournal(f);
    }

private:
    std::vector<fs::path> files_;
};

// Writes the compacted copy of `sourceFile` (opened read-only, never created) to `targetFile`.
void vacuumInto(const fs::path& sourceFile, const fs::path& targetFile) {
    if (!isEmptyOrMissing(targetFile))
        raise(com::errc::FileAlreadyExists, "The destination '" + targetFile.string() + "' already exists.");
    auto db = detail::openDatabase(sourceFile, detail::OpenMode::ReadOnly);
    auto stmt = detail::prepare(db.get(), "VACUUM INTO ?1");
    const std::string target = targetFile.string();
    sqlite3_bind_text(stmt.get(), 1, target.c_str(), static_cast<int>(target.size()), SQLITE_TRANSIENT);
    detail::check(db.get(), sqlite3_step(stmt.get()), "compaction");
}

}  // namespace

void JetEngine::CompactDatabase(std::string_view sourceConnection, std::string_view destinationConnection) {
    const auto source = parseConnectionString(sourceConnection);
    const auto destination = parseConnectionString(destinationConnection);
    const fs::path sourceFile = connectionValue(source, "Data Source");
    const fs::path targetFile = connectionValue(destination, "Data Source");
    if (sourceFile.empty() || targetFile.empty())
        raise(errc::BadConnectionString, "A compaction needs a source and a destination data file.");
    workgroup::authenticate(connectionValue(source, "Jet OLEDB:System database"), connectionValue(source, "User ID"),
                            connectionValue(source, "Password"));
    vacuumInto(sourceFile, targetFile);
}

bool compactDataFile(const fs::path& givenFile, const fs::path& tempFile) {
    try {
        std::error_code ec;
        if (!fs::is_regular_file(givenFile, ec)) return false;
        // Held on the file the name reaches, as every connection's is.
        const DatabaseLock lock(givenFile, DatabaseLock::Kind::Exclusive);
        if (!lock.held()) return false;  // in use: a connection has the file open, or it may not be written
        reached(CompactStep::Locked);
        // A data file reached through a link is replaced where it really is: replacing the
        // link would leave the real file, which others may use, behind with the old data.
        const fs::path dataFile = fs::canonical(givenFile);

        // The temporary file is locked while a compaction works on it (the export's
        // compaction may use the same one); one that nobody holds was left by a crash.
        const detail::Ownership ownership = detail::ownershipOf(dataFile);
        auto held = detail::HeldFile::takeOver(tempFile, ownership);
        if (!held) return false;
        Cleanup cleanup;  // declared after the lock on the temporary: removes it while held
        cleanup.add(tempFile);
        vacuumInto(dataFile, tempFile);
        reached(CompactStep::Compacted);

        const auto failure = com::replaceFile(tempFile, dataFile, [&] {
            reached(CompactStep::Flushed);
            checkCopy(tempFile);
            reached(CompactStep::Checked);
        });
        if (!failure) {
            cleanup.dismiss(tempFile);
        } else if (failure->step != com::ReplaceFailure::Step::Rename || failure->error != EXDEV) {
            raiseNotReplaced(dataFile, failure->error);
        } else {
            // Another file system: copy beside the data file first, so that the rename stays atomic.
            const fs::path sibling = detail::siblingTemp(dataFile, "compact");
            int error = 0;
            const auto heldSibling = detail::HeldFile::create(sibling, ownership, error);
            if (!heldSibling)
                raise(errc::FileCopy, "Cannot create '" + sibling.string() + "': " + std::strerror(error));
            cleanup.add(sibling);
            fs::copy_file(tempFile, sibling, fs::copy_options::overwrite_existing);
            if (const auto copied = com::replaceFile(sibling, dataFile)) raiseNotReplaced(dataFile, copied->error);
            cleanup.dismiss(sibling);
        }
        reached(CompactStep::Replaced);
        return true;
    } catch (...) {
        // The routine answers False for any failure; the data file is never touched before
        // the rename that replaces it whole.
        return false;
    }
}

void setCompactStepHook(std::function<void(CompactStep)> hook) {
    const std::lock_guard lock(hookMutex);
    stepHook = std::move(hook);
}

void setCopyStepHook(std::function<void(CopyStep, const fs::path&)> hook) {
    const std::lock_guard lock(hookMutex);
    copyHook = std::move(hook);
}

fs::path temporaryBeside(const fs::path& file, std::string_view purpose) { return detail::siblingTemp(file, purpose); }

void replaceFile(const fs::path& temporary, const fs::path& destination) {
    if (const auto failure = com::replaceFile(temporary, destination))
        raise(errc::FileCopy, detail::writeFailureCause(destination, failure->error));
    detail::removeLockFile(temporary);
}

TemporaryHold::TemporaryHold(const fs::path& file) : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_SH | LOCK_NB);
}

TemporaryHold::~TemporaryHold() {
    if (fd_ >= 0) ::close(fd_);
}

void removeTemporary(const fs::path& temporary) {
    detail::removeWithJournal(temporary);
    detail::removeLockFile(temporary);
}

void removeLeftovers(const fs::path& folder, std::span<const std::string_view> rewritten) {
    detail::removeStaleTemporaries(folder, rewritten);
}

int shareOwnership(int fd, const fs::path& database) {
    return detail::applyOwnership(fd, detail::ownershipOf(database));
}

namespace {

// Writes the copy of `from` into the held temporary file and flushes it.
void writeCopy(sqlite3* from, const fs::path& temp) {
    detail::DbHandle to;
    try {
        to = detail::openDatabase(temp, detail::OpenMode::Create);
    } catch (const com::Error&) {
        throw CopyFailure{SQLITE_CANTOPEN, 0, "the copy could not be opened"};
    }
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from, "main");
    if (!backup) throw CopyFailure{sqlite3_errcode(to.get()), sqlite3_system_errno(to.get()), sqlite3_errmsg(to.get())};
    int rc;
    int attempts = 0;
    while (((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++attempts < 250)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK)
        throw CopyFailure{rc != SQLITE_DONE ? rc : finished, sqlite3_system_errno(to.get()), sqlite3_errmsg(to.get())};
}

}  // namespace

void copyDatabase(const fs::path& source, const fs::path& destination, const fs::path& reportedAs) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) raise(errc::FileNotFound, text::fileMissing(source));
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        raise(errc::FileCopy, "Baza de date " + source.string() + " nu poate fi copiata peste ea insasi.");
    const fs::path folder = destination.parent_path().empty() ? fs::path(".") : destination.parent_path();
    // The description names the file the caller chose and why it could not be written,
    // never the hidden temporary name.
    const fs::path shown = reportedAs.empty() ? destination : reportedAs;
    auto failed = [&](int error, const std::string& otherwise = {}) {
        if (error == 0 && !otherwise.empty())
            raise(errc::FileCopy, text::withDetail(text::notWritten(shown), otherwise));
        raise(errc::FileCopy, detail::writeFailureCause(shown, error));
    };
    if (!fs::is_directory(folder, ec) || ::access(folder.c_str(), W_OK | X_OK) != 0) failed(errno);
    detail::removeStaleTemporaries(folder);

    auto from = detail::openDatabase(source, detail::OpenMode::ReadOnly);
    // A name already taken (a link or file planted there) is passed over for the next one.
    fs::path temp;
    int error = 0;
    std::optional<detail::HeldFile> held;
    for (int attempt = 0; attempt < 100 && !held; ++attempt) {
        temp = detail::siblingTemp(destination, "copy");
        held = detail::HeldFile::create(temp, detail::ownershipOf(source), error);
        if (!held && error != EEXIST) break;
    }
    if (!held) failed(error);
    Cleanup cleanup;  // after the lock: the files go while still held
    cleanup.add(temp);
    try {
        writeCopy(from.get(), temp);
    } catch (const CopyFailure& f) {
        failed((f.code & 0xff) == SQLITE_FULL ? ENOSPC : f.systemError, f.message);
    }
    reachedCopy(CopyStep::Copied, temp);
    if (const auto failure = com::replaceFile(temp, destination, [&] { reachedCopy(CopyStep::Flushed, temp); }))
        failed(failure->error);
    cleanup.dismiss(temp);
}

}  // namespace ado
