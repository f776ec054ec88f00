#pragma once
// A registry in a temporary folder holding the library the build made, so that tests
// create its classes by ProgID or class id as hosts do.
#include <cstdlib>
#include <string>

#include "com/server.h"
#include "temp_folder.h"

namespace quillon::test {

class TemporaryRegistry {
public:
    explicit TemporaryRegistry(const std::string& name) : folder_(name) {
        ::setenv("VELMORA_REGISTRY", (folder_ / "registry").c_str(), 1);
        com::registerLibrary(QUILLON_LIBRARY);
    }
    ~TemporaryRegistry() { ::unsetenv("VELMORA_REGISTRY"); }
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

private:
    ::test::TempFolder folder_;
};

}  // namespace quillon::test
