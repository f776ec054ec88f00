#pragma once
// Replacing a file so that a crash at any moment leaves either the old file or the whole new one.
#include <filesystem>
#include <functional>
#include <optional>

namespace com {

// The step of a replacement that failed, with the system's error number (errno). Making and
// writing the new file are SaveFile's steps.
struct ReplaceFailure {
    enum class Step { Create, Write, Flush, Rename };
    Step step;
    int error;
};

// Puts `written`, a finished and closed file beside `target` (in its folder, so on the same file
// system), in the place of `target`: flushes its bytes to the disk, calls `beforeRename` (a
// check of the new file, or a test's hook; what it raises passes through and nothing is
// renamed), renames it over `target` in one step and flushes the folder, so that the rename
// itself outlives a crash. Answers nullopt when done, else the step that failed: `target` is
// then as it was and `written` is left for the caller to remove. The file's mode, its
// temporary name and the words of a failure are the caller's. A folder that cannot be flushed
// after the rename (one the process may write into but not read) is no failure: the rename
// stands and nothing could undo it.
[[nodiscard]] [[gnu::visibility("default")]] std::optional<ReplaceFailure> replaceFile(
    const std::filesystem::path& written, const std::filesystem::path& target,
    const std::function<void()>& beforeRename = {});

}  // namespace com
