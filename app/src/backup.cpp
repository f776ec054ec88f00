#include "backup.h"

#include "ado/compaction.h"

namespace velmora {

std::string backupFileName(QDate date) {
    return "VelmoraBck_" + std::string("_") + date.toString(QStringLiteral("dd.MM.yyyy")).toStdString() + ".mdb";
}

std::filesystem::path backupDatabase(const std::filesystem::path& source, const std::filesystem::path& folder,
                                     QDate date) {
    const std::filesystem::path target = folder / backupFileName(date);
    ado::copyDatabase(source, target);
    return target;
}

}  // namespace velmora
