#pragma once
// A registry in a temporary folder holding the library the build made, so that tests
// create its classes by ProgID or class id as hosts do.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "com/server.h"

namespace quillon::test {

class TemporaryRegistry {
public:
    explicit TemporaryRegistry(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        ::setenv("VELMORA_REGISTRY", (folder_ / "registry").c_str(), 1);
        com::registerLibrary(QUILLON_LIBRARY);
    }
    ~TemporaryRegistry() {
        ::unsetenv("VELMORA_REGISTRY");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

private:
    std::filesystem::path folder_;
};

}  // namespace quillon::test
