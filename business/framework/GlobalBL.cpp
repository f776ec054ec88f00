#include "GlobalBL.h"

#include "ado/compaction.h"
#include "com/server.h"

namespace Velmora_Business::GlobalBL {

namespace {
thread_local com::ComPtr<ado::Connection> connection;
thread_local int32_t errNumber = 0;
thread_local std::string errDescription;
}  // namespace

com::ComPtr<ado::Connection>& gConn() {
    if (!connection) connection = ado::Connection::create();
    return connection;
}

void renewConnection() { connection = ado::Connection::create(); }

void dropConnection() {
    try {
        gConn()->Close();
    } catch (const com::Error&) {
        // Closing a connection that is not open is no failure of a disconnect.
    }
    connection.reset();
}

int32_t& gErrNumber() { return errNumber; }

std::string& gErrDescription() { return errDescription; }

void RaiseError(int32_t number, const std::string& description, std::string_view className,
                std::string_view methodName) {
    std::string source(ProgramName);
    source.append(".").append(className).append(".").append(methodName);
    throw com::Error(number, std::move(source), description);
}

bool CompactDb(const std::filesystem::path& dataFile, const std::filesystem::path& tempFile,
               const std::filesystem::path&) {
    // The compaction is the program's own file operation: no account of the workgroup file.
    return ado::compactDataFile(dataFile, tempFile);
}

void reRaise(std::string_view className, std::string_view methodName, std::optional<std::string_view> replacement) {
    try {
        throw;
    } catch (const com::Error& e) {
        errNumber = e.number();
        errDescription = e.description();
    } catch (const std::exception& e) {
        errNumber = com::hresult::Fail;
        errDescription = e.what();
    }
    if (replacement) errDescription = *replacement;
    RaiseError(errNumber, errDescription, className, methodName);
}

}  // namespace Velmora_Business::GlobalBL
