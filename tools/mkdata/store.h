#pragma once
// The two ways mkdata touches the files the program shares: every whole file it writes goes
// through writeWholeFile, and every change to an existing data folder is made while
// holdDatabase keeps the program out.
#include <filesystem>
#include <functional>

#include "ado/database_lock.h"

namespace mkdata {

// Writes `target` whole, so that a failure or a crash leaves either the old file (or none)
// or the whole new one: `fill` makes the new content in the file it is given, a name beside
// `target`, and may set that file's mode and group; a `target` that exists passes on its
// own mode and group. Raises naming `target` and the cause; nothing is left behind then.
void writeWholeFile(const std::filesystem::path& target, const std::function<void(const std::filesystem::path&)>& fill);

// Kept for as long as a command changes a data folder: while it is held, the program
// cannot open the database, and it is not had while the program holds the database.
class DatabaseHold {
public:
    explicit DatabaseHold(ado::DatabaseLock lock) : lock_(std::move(lock)) {}

private:
    ado::DatabaseLock lock_;
};

// Raises, naming the database, when a run of the program holds it or its lock cannot be
// taken. A database that does not exist needs no hold.
[[nodiscard]] DatabaseHold holdDatabase(const std::filesystem::path& database);

}  // namespace mkdata
