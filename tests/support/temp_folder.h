#pragma once
// A folder of its own under the temporary folder for a test or a benchmark: made at once
// under a name no one else holds (mkdtemp), and removed with everything in it when the
// object goes, folders a test made read-only included.
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace test {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "velmora-test") : path_(create(prefix)) {}
    ~TempFolder() {
        makeRemovable(path_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    static std::filesystem::path create(const std::string& prefix) {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::system_error(errno, std::generic_category(), "cannot create a temporary folder " + pattern);
        return pattern;
    }
    // Gives the owner every right on the folder and the folders below it (not through links).
    static void makeRemovable(const std::filesystem::path& folder) {
        std::error_code ec;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) makeRemovable(it->path());
        }
    }

    std::filesystem::path path_;
};

}  // namespace test
