#include "session/textfile.h"

#include <fstream>
#include <iterator>

#include "com/error.h"

namespace GlobalUI {

std::string ReadTextFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        com::raise(com::errc::FileNotFound, "GlobalUI.ReadTextFile", "Fisierul " + file.string() + " nu a fost gasit.");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        com::raise(com::errc::PathFileAccessError, "GlobalUI.ReadTextFile",
                   "Fisierul " + file.string() + " nu poate fi citit.");
    return text;
}

}  // namespace GlobalUI
