#pragma once
// Internal: the temporary files of compactions and copies. Each is locked (flock) by the
// process writing it for as long as it works on it, so that another process can tell a
// live one from one left behind by a crash; each takes the mode and group of the data file
// it will replace or copy, so that no copy is readable by more people than its source.
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ado::detail {

struct Ownership {
    mode_t mode = 0600;
    gid_t group = static_cast<gid_t>(-1);
};

// The permission bits and group of an existing file; 0600 and no group when it cannot be read.
Ownership ownershipOf(const std::filesystem::path& file);

// Gives an open file the ownership: the group where the process may set it, then the mode
// exactly. Answers 0 or the errno of the failure to set the mode.
int applyOwnership(int fd, const Ownership& ownership);

class HeldFile {
public:
    // A new file of a name not in use (O_EXCL), locked, with the ownership (the mode exactly,
    // the umask aside; the group where the process may set it); nullopt with
    // the errno of the failure in `error` when it cannot be made.
    static std::optional<HeldFile> create(const std::filesystem::path& file, const Ownership& ownership, int& error);
    // The fixed-name temporary file of a compaction: taken over, emptied, when no live
    // compaction holds its lock (a file left behind is stale); nullopt when one does.
    // Raises 3051 when it cannot be made.
    static std::optional<HeldFile> takeOver(const std::filesystem::path& file, const Ownership& ownership);

    HeldFile(HeldFile&& other) noexcept;
    HeldFile& operator=(HeldFile&& other) noexcept;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile();  // releases the lock; the file itself stays

private:
    explicit HeldFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Removes, from a folder, the temporary files of copies and compactions (".NAME.copy-PID-N",
// ".NAME.compact-PID-N", ".NAME.export-PID-N", their "-journal" and ".lock") whose process is gone
// and that nobody holds locked, and the temporary files of the atomic rewrite of each file
// named in `rewritten` ("NAME.XXXXXX", six letters or digits) that nobody holds locked. Only
// plain files go; a link is never followed. Never raises.
void removeStaleTemporaries(const std::filesystem::path& folder, std::span<const std::string_view> rewritten = {});

// Removes a temporary file and its journal; never raises.
void removeWithJournal(const std::filesystem::path& file);
// Removes the lock file that connections to a temporary data file made beside it (only for
// a file nobody else can know of); never raises.
void removeLockFile(const std::filesystem::path& file);

// Why `file` could not be written, as the user is told it: "Folderul <folder> nu exista.",
// "Folderul <folder> este protejat la scriere.", "Discul este plin: fisierul <file> nu a putut
// fi scris." or, for another cause, "Fisierul <file> nu a putut fi scris." with the system's
// text on a line of its own; from the errno of the failure (0 when unknown).
std::string writeFailureCause(const std::filesystem::path& file, int error);

}  // namespace ado::detail
