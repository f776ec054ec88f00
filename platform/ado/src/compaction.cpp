#include "ado/compaction.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "ado/connection.h"
#include "ado/error.h"
#include "ado/workgroup.h"
#include "connection_impl.h"
#include "sqlite_util.h"

namespace ado {

namespace fs = std::filesystem;

namespace {

std::mutex hookMutex;
std::function<void(CompactStep)> stepHook;

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

void renameOver(const fs::path& from, const fs::path& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        raise(errc::FileCopy, "Cannot rename '" + from.string() + "' to '" + to.string() + "': " + std::strerror(errno));
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
        raise(errc::NotADatabase, "The compacted copy '" + file.string() + "' fails its check: " +
                                      (verdict ? verdict : "no answer"));
}

// Removes the files it is given unless dismissed.
class Cleanup {
public:
    void add(fs::path p) { files_.push_back(std::move(p)); }
    void dismiss(const fs::path& p) { std::erase(files_, p); }
    ~Cleanup() {
        for (const auto& f : files_) {
            std::error_code ec;
            fs::remove(f, ec);
        }
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

bool compactDataFile(const fs::path& dataFile, const fs::path& tempFile) {
    Cleanup cleanup;
    try {
        std::error_code ec;
        if (!fs::is_regular_file(dataFile, ec)) return false;
        const detail::FileLock lock(dataFile, true);
        if (!lock.held()) return false;  // in use: another connection has the file open
        reached(CompactStep::Locked);

        const bool tempWasThere = fs::exists(tempFile, ec);
        if (!tempWasThere) cleanup.add(tempFile);
        vacuumInto(dataFile, tempFile);
        cleanup.add(tempFile);
        reached(CompactStep::Compacted);

        detail::syncFile(tempFile);
        reached(CompactStep::Flushed);

        checkCopy(tempFile);
        reached(CompactStep::Checked);

        if (std::rename(tempFile.c_str(), dataFile.c_str()) != 0) {
            if (errno != EXDEV) raise(errc::FileCopy, "Cannot replace '" + dataFile.string() + "': " + std::strerror(errno));
            // Another file system: copy beside the data file first, so that the rename stays atomic.
            const fs::path sibling = detail::siblingTemp(dataFile, "compact");
            cleanup.add(sibling);
            fs::copy_file(tempFile, sibling, fs::copy_options::overwrite_existing);
            detail::syncFile(sibling);
            renameOver(sibling, dataFile);
            cleanup.dismiss(sibling);
        } else {
            cleanup.dismiss(tempFile);
        }
        detail::syncFolder(dataFile.parent_path());
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

void copyDatabase(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        raise(errc::FileNotFound, "The database file '" + source.string() + "' does not exist.");
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        raise(errc::FileCopy, "The database file '" + source.string() + "' cannot be copied onto itself.");
    auto from = detail::openDatabase(source, detail::OpenMode::ReadOnly);
    const fs::path temp = detail::siblingTemp(destination, "copy");
    Cleanup cleanup;
    cleanup.add(temp);
    {
        auto to = detail::openDatabase(temp, detail::OpenMode::Create);
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (!backup) detail::raiseEngine(to.get(), sqlite3_errcode(to.get()), "copy");
        int rc;
        int attempts = 0;
        while (((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++attempts < 250)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const int finished = sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE || finished != SQLITE_OK)
            raise(errc::FileCopy, "The copy of '" + source.string() + "' failed: " + sqlite3_errmsg(to.get()));
    }
    detail::syncFile(temp);
    renameOver(temp, destination);
    cleanup.dismiss(temp);
    detail::syncFolder(destination.parent_path());
}

}  // namespace ado
