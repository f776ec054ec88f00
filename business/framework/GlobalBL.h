#pragma once
// The library's per-thread module values (the shared connection and the last trapped
// error), the one routine that raises a failed operation's error, and compaction.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "ado/connection.h"
#include "com/error.h"

namespace Velmora_Business::GlobalBL {

// The program name that begins every error source of the library.
inline constexpr std::string_view ProgramName = "Ambrel_Core";

// The thread's one connection, created (closed) on first use.
com::ComPtr<ado::Connection>& gConn();
// Releases the thread's connection and puts a new, closed one in its place.
void renewConnection();
// Closes (errors ignored) and releases the thread's connection.
void dropConnection();

int32_t& gErrNumber();
std::string& gErrDescription();

// Raises `number` and `description` with the source "Ambrel_Core.<className>.<methodName>".
[[noreturn]] void RaiseError(int32_t number, const std::string& description, std::string_view className,
                             std::string_view methodName);

// Compacts the data file through the temporary file with the program's own file rights;
// the workgroup file is not used (no account is needed). True when the data file was compacted and replaced; never
// raises. The data file is never missing, whatever fails, and a file that a connection holds open is not compacted.
bool CompactDb(const std::filesystem::path& dataFile, const std::filesystem::path& tempFile,
               const std::filesystem::path& workgroupFile);

// Records the error being handled (number and description, or `replacement` as the
// description) and raises it again through RaiseError. Call from a catch block.
[[noreturn]] void reRaise(std::string_view className, std::string_view methodName,
                          std::optional<std::string_view> replacement = std::nullopt);

// The error convention of Load, LoadList, Save, Connect and Export: runs `body`; any error
// it raises is recorded and raised again with the class and method as its source. The
// body's recordsets are locals, so they are closed before the caller hears of the error.
template <class Body>
auto trapped(std::string_view className, std::string_view methodName, Body&& body,
             std::optional<std::string_view> replacement = std::nullopt) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        reRaise(className, methodName, replacement);
    }
}

}  // namespace Velmora_Business::GlobalBL
