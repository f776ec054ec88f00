#include "ado/compaction.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "ado/connection.h"
#include "ado/database_lock.h"
#include "ado/error.h"
#include "ado/workgroup.h"
#include "com/save_file.h"
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

// A temporary data file of this run's own; its journal and lock file go with it.
struct DataTemporary {
    DataTemporary(const fs::path& target, const detail::Ownership& ownership, const fs::path& folder = {})
        : file(target, ownership, com::TemporaryPurpose::Compact, folder) {}
    ~DataTemporary() {
        if (!file.temporary().empty()) detail::removeCompanions(file.temporary());
    }
    com::SaveFile file;
};

// Copies the bytes of `from` into the writer; false when they could not all be read or written.
bool copyBytes(const fs::path& from, com::SaveFile& to) {
    std::ifstream in(from, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in.gcount() > 0 && !to.write({buffer.data(), static_cast<size_t>(in.gcount())})) return false;
    }
    return in.eof();
}

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

        // In the folder the caller names, under a name of this run's own: a file named as
        // the caller's (a user's "Temp.mdb") is no temporary of the program's.
        const detail::Ownership ownership = detail::ownershipOf(dataFile);
        const fs::path folder = tempFile.parent_path().empty() ? fs::path(".") : tempFile.parent_path();
        detail::removeStaleTemporaries(folder);  // what compactions that crashed left there
        DataTemporary compacted(dataFile, ownership, folder);
        if (compacted.file.failure()) return false;
        vacuumInto(dataFile, compacted.file.temporary());
        reached(CompactStep::Compacted);

        const auto failure = compacted.file.commit([&] {
            reached(CompactStep::Flushed);
            checkCopy(compacted.file.temporary());
            reached(CompactStep::Checked);
        });
        if (failure && (failure->step != com::ReplaceFailure::Step::Rename || failure->error != EXDEV))
            raiseNotReplaced(dataFile, failure->error);
        if (failure) {
            // Another file system: copied beside the data file first, so that the rename stays atomic.
            DataTemporary sibling(dataFile, ownership);
            if (const auto& refused = sibling.file.failure())
                raise(errc::FileCopy,
                      "Cannot create a copy beside '" + dataFile.string() + "': " + std::strerror(refused->error));
            if (!copyBytes(compacted.file.temporary(), sibling.file))
                raiseNotReplaced(dataFile, sibling.file.failure() ? sibling.file.failure()->error : EIO);
            if (const auto copied = sibling.file.commit()) raiseNotReplaced(dataFile, copied->error);
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

void removeLeftovers(const fs::path& folder) { detail::removeStaleTemporaries(folder); }

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

// The copy's rights, once everything that refuses it before a file is made has been checked.
com::FileRights checkedRights(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) raise(errc::FileNotFound, text::fileMissing(source));
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        raise(errc::FileCopy, "Baza de date " + source.string() + " nu poate fi copiata peste ea insasi.");
    const fs::path folder = destination.parent_path().empty() ? fs::path(".") : destination.parent_path();
    if (!fs::is_directory(folder, ec) || ::access(folder.c_str(), W_OK | X_OK) != 0)
        raise(errc::FileCopy, text::writeFailure(destination, errno));
    detail::removeStaleTemporaries(folder);
    return detail::ownershipOf(source);
}

}  // namespace

DatabaseCopy::DatabaseCopy(const fs::path& source, const fs::path& destination, com::TemporaryPurpose purpose)
    : destination_(destination), temporary_(destination, checkedRights(source, destination), purpose) {
    if (const auto& refused = temporary_.failure()) failed(refused->error);
    try {
        auto from = detail::openDatabase(source, detail::OpenMode::ReadOnly);
        try {
            writeCopy(from.get(), file());
        } catch (const CopyFailure& f) {
            failed((f.code & 0xff) == SQLITE_FULL ? ENOSPC : f.systemError, f.message);
        }
        reachedCopy(CopyStep::Copied, file());
        if (::fsync(temporary_.descriptor()) != 0) failed(errno);
        reachedCopy(CopyStep::Flushed, file());
    } catch (...) {
        // The destructor does not run for an object that was never made.
        detail::removeCompanions(file());
        throw;
    }
}

DatabaseCopy::~DatabaseCopy() {
    if (!file().empty()) detail::removeCompanions(file());
}

void DatabaseCopy::commit() {
    if (const auto failure = temporary_.commit()) failed(failure->error);
}

// The description names the file the caller chose and why it could not be written, never the
// hidden temporary name.
void DatabaseCopy::failed(int error, const std::string& otherwise) const {
    if (error == 0 && !otherwise.empty())
        raise(errc::FileCopy, text::withDetail(text::notWritten(destination_), otherwise));
    raise(errc::FileCopy, text::writeFailure(destination_, error));
}

void copyDatabase(const fs::path& source, const fs::path& destination) { DatabaseCopy(source, destination).commit(); }

}  // namespace ado
