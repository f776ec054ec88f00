#include "shell/backup.h"

#include "ado/compaction.h"
#include "com/error.h"

namespace velmora {

std::string backupFileName(QDate date) {
    return "VelmoraBck_" + std::string("_") + date.toString(QStringLiteral("dd.MM.yyyy")).toStdString() + ".mdb";
}

std::filesystem::path backupDatabase(const std::filesystem::path& source, const std::filesystem::path& folder,
                                     QDate date) {
    // No configured folder would put the copy wherever the program happens to run from.
    if (folder.empty()) com::raise(com::errc::PathNotFound, "Backup", "Folderul de backup nu este configurat.");
    const std::filesystem::path target = folder / backupFileName(date);
    ado::copyDatabase(source, target);
    return target;
}

}  // namespace velmora
