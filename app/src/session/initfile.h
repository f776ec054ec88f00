#pragma once
// The installation's configuration file, Init.xml: read at start-up, four keys written back
// by the configuration screen.
#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

struct InitValues {
    std::string MyPath;
    std::string MyDataBase;
    std::string MyFiserAcces;
    std::string MyFiserDSN;
    std::string MyExport;
    std::string MyBackup;
    int32_t MyJudet = -1;
    int32_t MySpital = -1;
};

struct InitUpdate {
    int32_t MyJudet = -1;
    int32_t MySpital = -1;
    std::string MyExport;
    std::string MyBackup;
};

// Reads the eight keys (the first "//Initializare/Key" of each). Raises com::Error 53 for
// a missing file, 70 or 75 for one that cannot be read (ReadTextFile), 91 for a missing key
// or a text that does not parse, 13 for a county or hospital that is not an optional "-"
// and decimal digits, 6 for one beyond 32 bits.
InitValues readInitFile(const std::filesystem::path& file);

// Rewrites the four keys in the current file, keeping every other byte of it. The new file
// replaces the old one atomically: a failure leaves the old file as it was.
void writeInitFile(const std::filesystem::path& file, const InitUpdate& update);

}  // namespace velmora
