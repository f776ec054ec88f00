#pragma once
// The backup of the database file.
#include <filesystem>
#include <string>

#include <QDate>

namespace velmora {

// "VelmoraBck_" & "_" & the date as "dd.mm.yyyy" & ".mdb".
std::string backupFileName(QDate date);

// Copies the open database `source` into `folder` under the day's backup name, through the
// data layer (a consistent copy of a live database, written under a temporary name and then
// renamed). A same-day backup is replaced; a failure leaves it intact and raises com::Error,
// as does an empty `folder`.
// Returns the target's path.
std::filesystem::path backupDatabase(const std::filesystem::path& source, const std::filesystem::path& folder,
                                     QDate date);

}  // namespace velmora
