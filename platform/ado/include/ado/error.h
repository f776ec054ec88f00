#pragma once
// Error numbers of the data layer. Every failure of the layer is raised as com::Error
// with one of these numbers, the source "ado" (or the object's name) and a description.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "com/error.h"

namespace ado {

namespace errc {
// The database engine refused a statement or a file (SQLite's message in the description).
// A unique or primary-key violation has this number and a description containing
// "duplicate values".
inline constexpr int32_t Engine = -2147467259;        // 0x80004005
inline constexpr int32_t ObjectClosed = 3704;         // operation on a closed object
inline constexpr int32_t ObjectOpen = 3705;           // Open on an object already open
inline constexpr int32_t ItemNotFound = 3265;         // no column of that name
inline constexpr int32_t NoCurrentRecord = 3021;      // EOF, or the current row was deleted
inline constexpr int32_t NotAllowed = 3219;           // operation not allowed in this context
inline constexpr int32_t NotUpdatable = 3251;         // write on a read-only recordset
inline constexpr int32_t NoTransaction = 3034;        // Commit/Rollback without BeginTrans
inline constexpr int32_t BadConnectionString = 3706;  // malformed connection string
inline constexpr int32_t BadSql = 3709;               // statement the Jet translator cannot read
inline constexpr int32_t FileNotFound = 3024;         // data or workgroup file missing
inline constexpr int32_t NotAuthorised = 3029;        // unknown account or wrong password
inline constexpr int32_t NotADatabase = 3343;         // the file is not a database or is corrupt
inline constexpr int32_t InUse = 3045;                // the file is in use (compaction refused)
inline constexpr int32_t FileCopy = 3051;             // a database copy failed
inline constexpr int32_t BadArguments = 3001;         // arguments of the wrong type or number
inline constexpr int32_t UntypedMoney = 3464;         // money passed through an expression the layer cannot type
inline constexpr int32_t Cancelled = 3712;            // the caller's progress check stopped the statement
}  // namespace errc

[[noreturn]] void raise(int32_t number, std::string description);

// The descriptions of the failures a user meets, as the layer tells them (a file or folder
// named as the caller gave it). The engine's or the system's own text, when kept, follows
// on a line of its own (withDetail).
namespace text {
inline constexpr std::string_view LineBreak = "\r\n";
std::string inUse();  // another program holds the database
[[gnu::visibility("default")]] std::string diskFull(const std::filesystem::path& file);
[[gnu::visibility("default")]] std::string folderNotWritable(const std::filesystem::path& folder);
[[gnu::visibility("default")]] std::string folderMissing(const std::filesystem::path& folder);
std::string fileMissing(const std::filesystem::path& file);
std::string accessDenied(const std::filesystem::path& file);  // a folder on its way may not be entered
std::string readOnlyDatabase(const std::filesystem::path& file);
std::string notADatabase(const std::filesystem::path& file);
[[gnu::visibility("default")]] std::string notWritten(const std::filesystem::path& file);  // any other cause
std::string refusedAccount();
// Why `file` could not be written, from the errno of the failure (0 when unknown): its
// folder missing or not writable, the disk full, or notWritten with the system's text.
[[gnu::visibility("default")]] std::string writeFailure(const std::filesystem::path& file, int error);
// Money passed through an expression the layer cannot type, named by the money column.
[[gnu::visibility("default")]] std::string untypedMoney(std::string_view column);
// `description`, then `detail` on a line of its own (nothing added for an empty detail).
[[gnu::visibility("default")]] std::string withDetail(std::string description, std::string_view detail);
// The first line of a description.
[[gnu::visibility("default")]] std::string firstLine(std::string_view description);
}  // namespace text

}  // namespace ado
