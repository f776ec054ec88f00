#pragma once
// The run-time's application object: where the program is, its name, help file and version.
#include <filesystem>
#include <string>

namespace com::app {

std::filesystem::path path();  // the program's folder
std::string exeName();         // the program's file name without extension
std::string helpFile();
void setHelpFile(std::string file);
struct Version {
    int major = 1, minor = 0, revision = 0;
};
Version version();
void setVersion(Version v);

}  // namespace com::app
