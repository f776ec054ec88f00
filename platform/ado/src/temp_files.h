#pragma once
// Internal: the temporary files of compactions and copies, made by com::SaveFile: hidden,
// named after the writing process, locked (flock) by it for as long as it works on them, so
// that another process can tell a live one from one left behind by a crash; each takes the
// mode and group of the data file it will replace or copy, so that no copy is readable by
// more people than its source.
#include <sys/types.h>

#include <filesystem>

#include "com/save_file.h"

namespace ado::detail {

using Ownership = com::FileRights;

// The permission bits and group of an existing file; 0600 and no group when it cannot be read.
inline Ownership ownershipOf(const std::filesystem::path& file) { return com::rightsOf(file); }

// Gives an open file the ownership: the group where the process may set it, then the mode
// exactly. Answers 0 or the errno of the failure to set the mode.
inline int applyOwnership(int fd, const Ownership& ownership) { return com::applyRights(fd, ownership); }

// Removes, from a folder, the program's temporaries (named by com::temporaryName, with or
// without the "-journal" and ".lock" that the engine and connections make beside a data
// file) whose process is gone and that nobody holds locked. Any other name is a user's and
// stays. Only plain files go; a link is never followed, a pipe never waited on. Never raises.
void removeStaleTemporaries(const std::filesystem::path& folder);

// Removes the journal and the lock file that the engine and connections made beside a
// temporary data file (only for a file nobody else can know of); never raises.
void removeCompanions(const std::filesystem::path& file);

}  // namespace ado::detail
