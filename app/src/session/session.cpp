#include "session/session.h"

#include "com/application.h"
#include "errors/errors.h"

namespace GlobalUI {
namespace {

std::filesystem::path& folderOverride() {
    static std::filesystem::path folder;
    return folder;
}

}  // namespace

Session& session() {
    static Session state;
    return state;
}

SessionEvents& sessionEvents() {
    static SessionEvents events;
    return events;
}

void ReleaseCacheAndConnection() {
    Session& s = session();
    s.gCache.reset();
    if (!s.gConection) return;
    // Disconnect ignores its own errors and answers False; an error of the call itself is reported.
    Trapped("GlobalUI", "Disconnect", [&s] { s.gConection->Disconnect(); });
    s.gConection.reset();
}

std::filesystem::path programFolder() {
    if (!folderOverride().empty()) return folderOverride();
    return com::app::path();
}

void setProgramFolder(std::filesystem::path folder) { folderOverride() = std::move(folder); }

}  // namespace GlobalUI
