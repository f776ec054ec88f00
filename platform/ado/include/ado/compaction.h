#pragma once
// Compaction and copies of database files.
#include <filesystem>
#include <functional>
#include <string>

#include "com/save_file.h"

namespace ado {

// The Jet engine object of the replication objects: only CompactDatabase.
class [[gnu::visibility("default")]] JetEngine {
public:
    // Checks the source string's account against its workgroup file, opens the source data
    // file read-only (never creating it) and writes its compacted copy to the destination
    // string's "Data Source" (VACUUM INTO). Raises as Connection::Open does, 58 (file already
    // exists) when the destination exists and is not empty, and the engine's error otherwise.
    static void CompactDatabase(std::string_view sourceConnection, std::string_view destinationConnection);
};

// The steps of compactDataFile, for tests that make one of them fail.
enum class CompactStep { Locked, Compacted, Flushed, Checked, Replaced };

// Compacts `dataFile` in place, with the program's own file rights (no account is
// involved): refuses at once when the data file is in use (any open Connection, of this
// process or another, holds its lock), writes the compacted copy to a hidden temporary of
// this run's own (com::SaveFile) in the folder of `tempFile`, flushes it, checks it (it
// opens, and its size matches its page count) and replaces the data file by an atomic rename
// (through a second temporary beside the data file when that folder is on another file
// system); a data file reached through a link is replaced where the link points, the link
// kept. No file of `tempFile`'s own name is made, opened or removed: one found there is
// not the program's. Whatever fails, the data file stays whole and the temporary is
// removed; the temporaries of runs that are gone are removed from that folder first. Answers true when the file was
// compacted and replaced; never raises.
[[gnu::visibility("default")]] bool compactDataFile(const std::filesystem::path& dataFile,
                                                    const std::filesystem::path& tempFile);

// Test hook: called after each step; a throw from it fails the compaction at that point.
[[gnu::visibility("default")]] void setCompactStepHook(std::function<void(CompactStep)> hook);

// The steps of copyDatabase, and its hook (given the temporary file), likewise for tests.
enum class CopyStep { Copied, Flushed };
[[gnu::visibility("default")]] void setCopyStepHook(std::function<void(CopyStep, const std::filesystem::path&)> hook);

// Removes from `folder` the program's temporaries that runs that crashed left there: those of
// copies, compactions, exports and rewrites whose process is gone (with their journals and
// lock files). Only plain files that nobody holds locked go; a link is never followed, and a
// file of any other name (a user's) is never touched. Never raises.
[[gnu::visibility("default")]] void removeLeftovers(const std::filesystem::path& folder);

// A copy of a database file (which may be open, in this process or another), made through
// SQLite's online backup API into a hidden temporary of this run's own beside `destination`
// (com::SaveFile, with the source's mode and group) and flushed; it may be worked on through
// `file()` (opened, changed, compacted) and then takes the destination's name whole by
// `commit()`, replacing a file of that name. Refuses a missing or non-database source and a
// destination that is the source itself. A failure leaves any earlier destination intact and
// raises com::Error: 3051 naming `destination` and the cause (folder missing, folder not
// writable, disk full), 3024 for a missing source, 3343 for a file that is no database.
// Temporaries of copies whose process is gone are removed from the folder first; whatever
// is not committed goes, with its journal and lock file, when the object goes.
class [[gnu::visibility("default")]] DatabaseCopy {
public:
    DatabaseCopy(const std::filesystem::path& source, const std::filesystem::path& destination,
                 com::TemporaryPurpose purpose = com::TemporaryPurpose::Copy);
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;
    ~DatabaseCopy();

    const std::filesystem::path& file() const { return temporary_.temporary(); }
    void commit();

private:
    [[noreturn]] void failed(int error, const std::string& otherwise = {}) const;
    std::filesystem::path destination_;
    com::SaveFile temporary_;
};

// Copies a database file whole, as DatabaseCopy does, straight to `destination`.
[[gnu::visibility("default")]] void copyDatabase(const std::filesystem::path& source,
                                                 const std::filesystem::path& destination);

}  // namespace ado
