#include "temp_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "ado/error.h"

namespace ado::detail {

namespace fs = std::filesystem;

Ownership ownershipOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return {static_cast<mode_t>(st.st_mode & 07777), st.st_gid};
}

int applyOwnership(int fd, const Ownership& ownership) {
    // The group first: changing it may clear set-id bits that the mode then puts back.
    if (ownership.group != static_cast<gid_t>(-1) && ::fchown(fd, static_cast<uid_t>(-1), ownership.group) != 0) {
        // Not a member of that group: the file keeps the process's group, and the mode
        // below still keeps it from anyone the data file's mode keeps out.
    }
    return ::fchmod(fd, ownership.mode) == 0 ? 0 : errno;
}

namespace {

bool lockExclusive(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

}  // namespace

std::optional<HeldFile> HeldFile::create(const fs::path& file, const Ownership& ownership, int& error) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    HeldFile held(fd);
    lockExclusive(fd);  // new and unique: nobody else has it
    error = applyOwnership(fd, ownership);
    if (error != 0) {
        std::error_code ec;
        fs::remove(file, ec);
        return std::nullopt;
    }
    return held;
}

std::optional<HeldFile> HeldFile::takeOver(const fs::path& file, const Ownership& ownership) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Never through a link: a planted one would make the truncation below empty
        // whatever file it points to.
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) {
            const int error = errno;
            raise(errc::FileCopy, writeFailureCause(file, error));
        }
        HeldFile held(fd);
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_nlink != 1)
            raise(errc::FileCopy, "'" + file.string() + "' is not a plain file of its own; it is left alone.");
        if (!lockExclusive(fd)) return std::nullopt;  // a live compaction works on it
        // The name may have been removed or replaced between the open and the lock.
        if (::lstat(file.c_str(), &named) != 0 || opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
            continue;
        // Whatever is in it was left by a compaction that is gone.
        if (::ftruncate(fd, 0) != 0)
            raise(errc::FileCopy, "Cannot empty '" + file.string() + "': " + std::strerror(errno));
        std::error_code ec;
        fs::remove(fs::path(file.string() + "-journal"), ec);
        if (const int error = applyOwnership(fd, ownership); error != 0)
            raise(errc::FileCopy, "Cannot set the permissions of '" + file.string() + "': " + std::strerror(error));
        return held;
    }
    return std::nullopt;
}

HeldFile::HeldFile(HeldFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

HeldFile::~HeldFile() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

bool allDigits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

// The process id in ".NAME.PURPOSE-PID-N" (with or without "-journal"), or 0.
pid_t temporaryOwner(std::string_view name) {
    if (name.size() < 2 || name.front() != '.') return 0;
    for (const std::string_view suffix : {std::string_view("-journal"), std::string_view(".lock")})
        if (name.ends_with(suffix)) name.remove_suffix(suffix.size());
    const size_t lastDash = name.rfind('-');
    if (lastDash == std::string_view::npos || !allDigits(name.substr(lastDash + 1))) return 0;
    const size_t pidDash = name.rfind('-', lastDash - 1);
    if (pidDash == std::string_view::npos || !allDigits(name.substr(pidDash + 1, lastDash - pidDash - 1))) return 0;
    const std::string_view head = name.substr(0, pidDash);
    const size_t dot = head.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return 0;
    const std::string_view purpose = head.substr(dot + 1);
    if (purpose != "copy" && purpose != "compact" && purpose != "export") return 0;
    const std::string pid(name.substr(pidDash + 1, lastDash - pidDash - 1));
    try {
        return static_cast<pid_t>(std::stol(pid));
    } catch (...) {
        return 0;
    }
}

bool processAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// "NAME.XXXXXX" for one of the names: the temporary file of an atomic rewrite of NAME.
bool isRewriteTemporary(std::string_view name, std::span<const std::string_view> rewritten) {
    constexpr size_t SuffixSize = 6;
    for (const std::string_view original : rewritten) {
        if (name.size() != original.size() + 1 + SuffixSize || !name.starts_with(original) ||
            name[original.size()] != '.')
            continue;
        const std::string_view suffix = name.substr(original.size() + 1);
        if (std::all_of(suffix.begin(), suffix.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            return true;
    }
    return false;
}

}  // namespace

void removeStaleTemporaries(const fs::path& folder, std::span<const std::string_view> rewritten) {
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& file = it->path();
        const std::string name = file.filename().string();
        const pid_t owner = temporaryOwner(name);
        const bool ours = owner > 0 ? owner != ::getpid() && !processAlive(owner) : isRewriteTemporary(name, rewritten);
        if (!ours) continue;
        // Its process is gone (a rewrite's is when nobody holds its lock); one last look that
        // nobody (another machine) holds it. Only a plain file is ours: a link is not
        // followed, and a pipe planted under such a name is neither waited on (O_NONBLOCK)
        // nor removed.
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && lockExclusive(fd)) {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
        ::close(fd);
    }
}

void removeWithJournal(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    fs::remove(fs::path(file.string() + "-journal"), ec);
}

void removeLockFile(const fs::path& file) {
    std::error_code ec;
    fs::remove(fs::path(file.string() + ".lock"), ec);
}

std::string writeFailureCause(const fs::path& file, int error) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return text::folderMissing(folder);
    if (error == EACCES || error == EPERM || error == EROFS || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return text::folderNotWritable(folder);
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) return text::diskFull(file);
    return text::withDetail(text::notWritten(file), error != 0 ? std::strerror(error) : "");
}

}  // namespace ado::detail
