#pragma once
// The run-time's application object: where the program is, its name, help file and version.
#include <filesystem>
#include <string>

namespace com::app {

[[gnu::visibility("default")]] std::filesystem::path path();  // the program's folder
std::string exeName();                                        // the program's file name without extension
[[gnu::visibility("default")]] std::string helpFile();
[[gnu::visibility("default")]] void setHelpFile(std::string file);
struct Version {
    int major = 1, minor = 0, revision = 0;
};
Version version();
void setVersion(Version v);

}  // namespace com::app
