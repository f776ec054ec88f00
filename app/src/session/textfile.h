#pragma once
// Whole text files, as the configuration file is read.
#include <filesystem>
#include <string>

namespace GlobalUI {

// The whole content of a text file; a missing file raises error 53.
std::string ReadTextFile(const std::filesystem::path& file);

}  // namespace GlobalUI
