#include "temp_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace ado::detail {

namespace fs = std::filesystem;

namespace {

// The process that made a temporary, its journal or its lock file; 0 for a user's file.
pid_t temporaryOwner(std::string_view name) {
    for (const std::string_view companion : {std::string_view("-journal"), std::string_view(".lock")})
        if (name.ends_with(companion)) name.remove_suffix(companion.size());
    return com::temporaryOwner(name);
}

bool processAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

void removeStaleTemporaries(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& file = it->path();
        const pid_t owner = temporaryOwner(file.filename().string());
        if (owner <= 0 || owner == ::getpid() || processAlive(owner)) continue;
        // Its process is gone; one last look that nobody (another machine) holds it. Only a
        // plain file is ours: a link is not followed, and a pipe planted under such a name is
        // neither waited on (O_NONBLOCK) nor removed.
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
        ::close(fd);
    }
}

void removeCompanions(const fs::path& file) {
    std::error_code ec;
    fs::remove(fs::path(file.string() + "-journal"), ec);
    fs::remove(fs::path(file.string() + ".lock"), ec);
}

}  // namespace ado::detail
