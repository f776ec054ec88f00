#pragma once
// Writing a file whole: the bytes go to a hidden temporary beside it that only this run has
// made and holds, which takes the file's name in one step when it is finished (replaceFile)
// and is removed otherwise. The file is then always the earlier one or the whole new one, and
// nothing but a new plain file of the program's own is ever opened for writing.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "com/durable_file.h"

namespace com {

// The rights a new file is made with: its permission bits exactly (the umask aside) and its
// group where the process may set it (-1: the process's own).
struct FileRights {
    mode_t mode = 0600;
    gid_t group = static_cast<gid_t>(-1);
};

// The permission bits and group of an existing file; `otherwise` when it cannot be read.
[[gnu::visibility("default")]] FileRights rightsOf(const std::filesystem::path& file, const FileRights& otherwise = {});

// Gives an open file the rights: the group where the process may set it (a group it is not a
// member of leaves the file in the process's group), then the mode exactly. Answers 0 or the
// errno of the failure to set the mode.
[[gnu::visibility("default")]] int applyRights(int fd, const FileRights& rights);

// What a temporary is for: a part of its name, so that a leftover tells what left it.
enum class TemporaryPurpose { Save, Copy, Compact, Export };

// The next name of a temporary of this process beside `target`, ".NAME.PURPOSE-PID-N" (N
// counts the process's temporaries).
[[gnu::visibility("default")]] std::filesystem::path temporaryName(const std::filesystem::path& target,
                                                                   TemporaryPurpose purpose);

// The process id in a file name made by temporaryName, 0 for any other name (a user's file).
[[gnu::visibility("default")]] pid_t temporaryOwner(std::string_view fileName);

class [[gnu::visibility("default")]] SaveFile {
public:
    // Makes the temporary beside `target` (in `folder` when one is given: on another file
    // system the commit then fails with EXDEV): a new file (O_EXCL, so never an existing file,
    // a link, a pipe or a device; a name already taken is passed over for the next one), with
    // `rights`, locked (flock) for as long as the object holds it. When it cannot be made,
    // `failure()` says why (step Create) and there is no temporary.
    SaveFile(std::filesystem::path target, const FileRights& rights, TemporaryPurpose purpose = TemporaryPurpose::Save,
             const std::filesystem::path& folder = {});
    ~SaveFile();  // removes the temporary unless it has become the target
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporary() const { return temporary_; }
    // The open temporary, for a writer of its own (e.g. a database engine given the name);
    // -1 when it could not be made.
    int descriptor() const { return fd_; }
    // The first failure; nullopt while there is none.
    const std::optional<ReplaceFailure>& failure() const { return failure_; }

    // Appends the bytes; false, with the failure kept (step Write), when not all were written.
    bool write(std::string_view bytes);
    // Puts the finished temporary in the target's place through replaceFile (whose
    // `beforeRename` it passes on) and lets it go. Answers nullopt when done, else the first
    // failure (an earlier one included, which renames nothing): the target is then as it was,
    // and the temporary stays until the object goes.
    [[nodiscard]] std::optional<ReplaceFailure> commit(const std::function<void()>& beforeRename = {});

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool committed_ = false;
    std::optional<ReplaceFailure> failure_;
};

}  // namespace com
