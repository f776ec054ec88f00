#include "com/save_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <string>

namespace com {

namespace {

constexpr std::array<std::string_view, 4> purposeNames{"save", "copy", "compact", "export"};

std::string_view nameOf(TemporaryPurpose purpose) { return purposeNames.at(static_cast<size_t>(purpose)); }

bool allDigits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

// A name already taken (a file, link or pipe planted there) is passed over this many times.
constexpr int Attempts = 100;

}  // namespace

FileRights rightsOf(const std::filesystem::path& file, const FileRights& otherwise) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return otherwise;
    return {static_cast<mode_t>(st.st_mode & 07777), st.st_gid};
}

int applyRights(int fd, const FileRights& rights) {
    // The group first: changing it may clear set-id bits that the mode then puts back.
    if (rights.group != static_cast<gid_t>(-1) && ::fchown(fd, static_cast<uid_t>(-1), rights.group) != 0) {
        // Not a member of that group: the file keeps the process's group, and the mode
        // below still keeps out whoever the caller's mode keeps out.
    }
    return ::fchmod(fd, rights.mode) == 0 ? 0 : errno;
}

std::filesystem::path temporaryName(const std::filesystem::path& target, TemporaryPurpose purpose) {
    static std::atomic<unsigned> counter{0};
    std::string name(".");
    name.append(target.filename().string()).append(".").append(nameOf(purpose)).append("-");
    name.append(std::to_string(::getpid())).append("-").append(std::to_string(counter++));
    return target.parent_path() / name;
}

pid_t temporaryOwner(std::string_view name) {
    if (name.size() < 2 || name.front() != '.') return 0;
    const size_t lastDash = name.rfind('-');
    if (lastDash == std::string_view::npos || lastDash == 0 || !allDigits(name.substr(lastDash + 1))) return 0;
    const size_t pidDash = name.rfind('-', lastDash - 1);
    if (pidDash == std::string_view::npos) return 0;
    const std::string_view pid = name.substr(pidDash + 1, lastDash - pidDash - 1);
    if (!allDigits(pid)) return 0;
    const std::string_view head = name.substr(0, pidDash);
    const size_t dot = head.rfind('.');
    if (dot == std::string_view::npos || dot <= 1) return 0;  // ".NAME." with NAME not empty
    const std::string_view purpose = head.substr(dot + 1);
    bool known = false;
    for (const std::string_view p : purposeNames) known = known || p == purpose;
    if (!known) return 0;
    pid_t owner = 0;
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), owner);
    return error == std::errc() && end == pid.data() + pid.size() ? owner : 0;
}

SaveFile::SaveFile(std::filesystem::path target, const FileRights& rights, TemporaryPurpose purpose,
                   const std::filesystem::path& folder)
    : target_(std::move(target)) {
    int error = 0;
    for (int attempt = 0; attempt < Attempts && fd_ < 0; ++attempt) {
        temporary_ = temporaryName(target_, purpose);
        if (!folder.empty()) temporary_ = folder / temporary_.filename();
        // O_EXCL: made here and now, whatever is at the name (a link included) is left alone.
        fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        error = fd_ < 0 ? errno : 0;
        if (fd_ < 0 && error != EEXIST) break;
    }
    if (fd_ < 0) {
        temporary_.clear();
        failure_ = ReplaceFailure{ReplaceFailure::Step::Create, error};
        return;
    }
    // New and of a name nobody else makes: the lock is had at once. It tells another run's
    // clean-up that the file is in use, also from another machine.
    ::flock(fd_, LOCK_EX | LOCK_NB);
    if (const int refused = applyRights(fd_, rights); refused != 0) {
        ::unlink(temporary_.c_str());
        ::close(fd_);
        fd_ = -1;
        temporary_.clear();
        failure_ = ReplaceFailure{ReplaceFailure::Step::Create, refused};
    }
}

SaveFile::~SaveFile() {
    if (fd_ < 0) return;
    // Removed while still locked, so that no other run takes it for a leftover meanwhile.
    if (!committed_) ::unlink(temporary_.c_str());
    ::close(fd_);
}

bool SaveFile::write(std::string_view bytes) {
    if (failure_) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failure_ = ReplaceFailure{ReplaceFailure::Step::Write, written < 0 ? errno : EIO};
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::optional<ReplaceFailure> SaveFile::commit(const std::function<void()>& beforeRename) {
    if (failure_) return failure_;
    // Put in place while still locked; the lock goes with the descriptor once it is the target.
    failure_ = replaceFile(temporary_, target_, beforeRename);
    if (failure_) return failure_;
    committed_ = true;
    ::close(fd_);
    fd_ = -1;
    return std::nullopt;
}

}  // namespace com
