#include "store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "ado/compaction.h"
#include "com/durable_file.h"
#include "com/error.h"

namespace mkdata {

namespace fs = std::filesystem;

namespace {

// Gives `file` the mode and group of `model`, as the file it replaces had them.
void takeOwnershipOf(const fs::path& file, const fs::path& model) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int error = fd < 0 ? errno : ado::shareOwnership(fd, model);
    if (fd >= 0) ::close(fd);
    if (error != 0) throw std::runtime_error(file.string() + ": cannot set its mode: " + std::strerror(error));
}

}  // namespace

void writeWholeFile(const fs::path& target, const std::function<void(const fs::path&)>& fill) {
    // A hidden name that the program's clean-up knows for a copy left behind by a crash.
    const fs::path temporary = ado::temporaryBeside(target, "copy");
    try {
        fill(temporary);
        std::error_code ec;
        if (fs::exists(target, ec)) takeOwnershipOf(temporary, target);
        if (const auto failure = com::replaceFile(temporary, target))
            throw std::runtime_error(target.string() + ": cannot write it: " + std::strerror(failure->error));
    } catch (const std::exception& e) {
        ado::removeTemporary(temporary);
        // The file as the user named it: the temporary name means nothing to them.
        const auto* error = dynamic_cast<const com::Error*>(&e);
        std::string message = error ? error->description() : e.what();
        const std::string hidden = temporary.string();
        for (size_t at; (at = message.find(hidden)) != std::string::npos;)
            message.replace(at, hidden.size(), target.string());
        throw std::runtime_error(message);
    }
}

DatabaseHold holdDatabase(const fs::path& database) {
    std::error_code ec;
    if (!fs::exists(database, ec)) return DatabaseHold(ado::detail::FileLock());
    ado::detail::FileLock lock(database, true);
    if (lock.refused())
        throw std::runtime_error(database.string() +
                                 ": the program has the database open; close every run of it and try again");
    if (!lock.held())
        throw std::runtime_error(database.string() + ".lock: cannot take the lock: " + std::strerror(errno));
    return DatabaseHold(std::move(lock));
}

}  // namespace mkdata
