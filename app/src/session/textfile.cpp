#include "session/textfile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "com/error.h"

namespace GlobalUI {
namespace {

constexpr const char* kSource = "GlobalUI.ReadTextFile";

[[noreturn]] void raiseUnreadable(int32_t number, const std::filesystem::path& file, const std::string& cause) {
    com::raise(number, kSource, "Fisierul " + file.string() + " nu poate fi citit" + cause + ".");
}

class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { ::close(fd_); }
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string ReadTextFile(const std::filesystem::path& file) {
    // Not blocking: a pipe at that name must not hold the caller up.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            com::raise(com::errc::FileNotFound, kSource, "Fisierul " + file.string() + " nu a fost gasit.");
        if (error == EACCES || error == EPERM) raiseUnreadable(com::errc::PermissionDenied, file, ": acces refuzat");
        raiseUnreadable(com::errc::PathFileAccessError, file, "");
    }
    const OpenFile in(fd);
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) raiseUnreadable(com::errc::PathFileAccessError, file, "");
    if (S_ISDIR(status.st_mode)) raiseUnreadable(com::errc::PathFileAccessError, file, ": este un folder");
    if (!S_ISREG(status.st_mode)) raiseUnreadable(com::errc::PathFileAccessError, file, "");
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) raiseUnreadable(com::errc::PathFileAccessError, file, "");
        if (got == 0) return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace GlobalUI
