#include "com/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace com {

namespace {

// Flushes a file or folder to the disk; answers 0 or the errno of the failure.
int flush(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

}  // namespace

std::optional<ReplaceFailure> replaceFile(const std::filesystem::path& written, const std::filesystem::path& target,
                                          const std::function<void()>& beforeRename) {
    if (const int error = flush(written, O_RDONLY); error != 0)
        return ReplaceFailure{ReplaceFailure::Step::Flush, error};
    if (beforeRename) beforeRename();
    if (std::rename(written.c_str(), target.c_str()) != 0) return ReplaceFailure{ReplaceFailure::Step::Rename, errno};
    const std::filesystem::path folder = target.parent_path();
    flush(folder.empty() ? std::filesystem::path(".") : folder, O_RDONLY | O_DIRECTORY);
    return std::nullopt;
}

}  // namespace com
