#include "store.h"

#include <sys/stat.h>

#include <cstring>
#include <stdexcept>

#include "com/save_file.h"
#include "com/error.h"

namespace mkdata {

namespace fs = std::filesystem;

namespace {

// The rights of a file made new: those the creator's umask gives, as any tool's files.
com::FileRights newFileRights() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return {static_cast<mode_t>(0666 & ~mask), static_cast<gid_t>(-1)};
}

}  // namespace

void writeWholeFile(const fs::path& target, const std::function<void(const fs::path&)>& fill) {
    // A hidden temporary of this run's own, which the program's clean-up removes if a crash
    // leaves it; a file that is replaced passes on its mode and group.
    std::error_code ec;
    const com::FileRights rights = fs::exists(target, ec) ? com::rightsOf(target) : newFileRights();
    com::SaveFile file(target, rights, com::TemporaryPurpose::Copy);
    const fs::path temporary = file.temporary();
    auto removeJournal = [&] { fs::remove(fs::path(temporary.string() + "-journal"), ec); };
    try {
        if (const auto& failure = file.failure())
            throw std::runtime_error(target.string() + ": cannot create it: " + std::strerror(failure->error));
        fill(temporary);
        removeJournal();
        if (const auto failure = file.commit())
            throw std::runtime_error(target.string() + ": cannot write it: " + std::strerror(failure->error));
    } catch (const std::exception& e) {
        removeJournal();
        // The file as the user named it: the temporary name means nothing to them.
        const auto* error = dynamic_cast<const com::Error*>(&e);
        std::string message = error ? error->description() : e.what();
        const std::string hidden = temporary.string();
        if (!hidden.empty())
            for (size_t at; (at = message.find(hidden)) != std::string::npos;)
                message.replace(at, hidden.size(), target.string());
        throw std::runtime_error(message);
    }
}

DatabaseHold holdDatabase(const fs::path& database) {
    std::error_code ec;
    if (!fs::exists(database, ec)) return DatabaseHold(ado::DatabaseLock());
    ado::DatabaseLock lock(database, ado::DatabaseLock::Kind::Exclusive);
    switch (lock.failure()) {
    case ado::DatabaseLock::Failure::None: return DatabaseHold(std::move(lock));
    case ado::DatabaseLock::Failure::Busy:
        throw std::runtime_error(database.string() +
                                 ": the program has the database open; close every run of it and try again");
    case ado::DatabaseLock::Failure::NotWritable:
        throw std::runtime_error(database.string() + ": cannot take its lock: you may not write it");
    case ado::DatabaseLock::Failure::Missing:
        throw std::runtime_error(database.string() + ": cannot take its lock: not a plain file");
    case ado::DatabaseLock::Failure::Other: break;
    }
    throw std::runtime_error(database.string() + ": cannot take its lock: " + std::strerror(lock.error()));
}

}  // namespace mkdata
