#pragma once
// Compaction and copies of database files.
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

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

// Compacts `dataFile` in place through `tempFile`, with the program's own file rights (no
// account is involved): refuses at once when the data file is in use (any open Connection, of this process or
// another, holds its lock), writes the compacted copy to `tempFile`, flushes it, checks it
// (it opens, and its size matches its page count) and replaces the data file by an atomic rename (through a sibling
// temporary file when `tempFile` is on another file system); a data file reached through a
// link is replaced where the link points, the link kept. Whatever fails, the data file
// stays whole and `tempFile` is removed. Answers true when the file was compacted and
// replaced; never raises.
[[gnu::visibility("default")]] bool compactDataFile(const std::filesystem::path& dataFile,
                                                    const std::filesystem::path& tempFile);

// Test hook: called after each step; a throw from it fails the compaction at that point.
[[gnu::visibility("default")]] void setCompactStepHook(std::function<void(CompactStep)> hook);

// The steps of copyDatabase, and its hook (given the temporary file), likewise for tests.
enum class CopyStep { Copied, Flushed };
[[gnu::visibility("default")]] void setCopyStepHook(std::function<void(CopyStep, const std::filesystem::path&)> hook);

// A hidden name beside `file` for a temporary file of the given purpose, unique per process
// and call (".NAME.PURPOSE-PID-N"); copyDatabase removes those of processes that are gone.
[[gnu::visibility("default")]] std::filesystem::path temporaryBeside(const std::filesystem::path& file,
                                                                     std::string_view purpose);

// Renames a finished temporary data file over `destination` (atomically, flushed first,
// the folder flushed after) and removes the lock file its connections left. Raises 3051
// naming `destination` and the cause.
[[gnu::visibility("default")]] void replaceFile(const std::filesystem::path& temporary,
                                                const std::filesystem::path& destination);

// Marks a temporary file of this process as in use for the object's life (a lock that the
// removal of dead processes' temporary files respects, also from another machine). Let it
// go only after every connection to the file has closed.
class [[gnu::visibility("default")]] TemporaryHold {
public:
    explicit TemporaryHold(const std::filesystem::path& file);
    ~TemporaryHold();
    TemporaryHold(const TemporaryHold&) = delete;
    TemporaryHold& operator=(const TemporaryHold&) = delete;

private:
    int fd_ = -1;
};

// Removes a temporary data file, its journal and its lock file; never raises.
[[gnu::visibility("default")]] void removeTemporary(const std::filesystem::path& temporary);

// Removes from `folder` what runs that crashed left there: the hidden temporary files of
// copies, compactions and exports whose process is gone (with their journals and lock
// files), and the temporary files of the atomic rewrite of each file named in `rewritten`
// ("NAME.XXXXXX") that no run holds locked. Only plain files that nobody holds locked go; a
// link is never followed. Never raises.
[[gnu::visibility("default")]] void removeLeftovers(const std::filesystem::path& folder,
                                                    std::span<const std::string_view> rewritten = {});

// Gives the open file `fd`, made to receive what is read from `database`, the database's mode
// and group (as copies take them). Answers 0 or the errno of the failure to set the mode.
[[gnu::visibility("default")]] int shareOwnership(int fd, const std::filesystem::path& database);

// Copies a database file (which may be open, in this process or another) through SQLite's
// online backup API into a temporary name in the target folder (with the source's mode),
// flushes it and renames it to `destination`, replacing a file of that name. Refuses a
// missing or non-database source and a destination that is the source itself. A failure
// removes the temporary file and its journal, leaves any earlier destination intact and
// raises com::Error: 3051 naming `destination` and the cause (folder missing, folder not
// writable, disk full), 3024 for a missing source, 3343 for a file that is no database.
// Temporary files of copies whose process is gone are removed from the folder first.
// `reportedAs`, when given, is the name the descriptions use for the destination (the
// final name of a file that is built under a temporary one).
[[gnu::visibility("default")]] void copyDatabase(const std::filesystem::path& source,
                                                 const std::filesystem::path& destination,
                                                 const std::filesystem::path& reportedAs = {});

}  // namespace ado
