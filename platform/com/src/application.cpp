#include "com/application.h"

#include <mutex>

namespace com::app {

namespace {
struct State {
    std::mutex lock;
    std::string helpFile;
    Version version;
};
State& state() {
    static State s;
    return s;
}
std::filesystem::path executable() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}
}  // namespace

std::filesystem::path path() { return executable().parent_path(); }

std::string exeName() { return executable().stem().string(); }

std::string helpFile() {
    std::lock_guard g(state().lock);
    return state().helpFile;
}

void setHelpFile(std::string file) {
    std::lock_guard g(state().lock);
    state().helpFile = std::move(file);
}

Version version() {
    std::lock_guard g(state().lock);
    return state().version;
}

void setVersion(Version v) {
    std::lock_guard g(state().lock);
    state().version = v;
}

}  // namespace com::app
