#pragma once
// A hospital's data folder made whole: the folder with backup/ and export/, the database from
// the reference data with the hospital in it, and the workgroup file with the accounts; or,
// on any failure, nothing (the folder as it was).
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mkdata {

// The folder of the schema and reference data scripts: share/velmora beside the folder of
// this program (bin/), in an installed tree as in the build tree.
std::filesystem::path referenceData();

// The reference data scripts after the schema, in the order they run.
const std::vector<std::string>& referenceScripts();

struct DataFolderRequest {
    std::filesystem::path folder;
    std::string databaseName = "Velmora.mdb";
    std::string workgroupName = "Velmora.mdw";
    std::string hospitalCode, hospitalName, county;  // the county by its name or IdJudet
    std::vector<std::string> accounts;
    std::optional<gid_t> group;  // the folders and files given to it, with group write
    std::filesystem::path data = referenceData();
};

struct NewHospital {
    int64_t idJudet = 0;
    int64_t idSpital = 0;
};

// The steps of makeDataFolder, for tests that make one of them fail.
enum class FolderStep { Folder, Subfolders, Workgroup, Hospital, Database };

// Checks what can be checked before anything is made (the folder holds neither file, the
// county exists, the accounts are named once each) and raises naming the file and the
// cause; `passwords` is asked for each account only then. `hook`, after each step, makes it
// fail when it raises.
NewHospital makeDataFolder(const DataFolderRequest& request,
                           const std::function<std::string(const std::string&)>& password,
                           const std::function<void(FolderStep)>& hook = {});

// The group of that name or number; raises for none.
gid_t groupNamed(const std::string& group);

// Raises when a name is given twice, case ignored, or is empty.
void checkAccountNames(const std::vector<std::string>& accounts);

}  // namespace mkdata
