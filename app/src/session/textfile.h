#pragma once
// Whole text files, as the configuration file is read.
#include <filesystem>
#include <string>

namespace GlobalUI {

// The whole content of a text file. A missing file raises error 53, one the user may not
// read 70, a folder or anything else that is not a plain file 75, each naming the cause.
std::string ReadTextFile(const std::filesystem::path& file);

}  // namespace GlobalUI
