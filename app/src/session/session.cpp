#include "session/session.h"

#include "com/application.h"

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

void Session::setConfiguration(Configuration next, std::string listaSpitale) {
    config_ = std::move(next);
    lists_.spitale_ = std::move(listaSpitale);
    emit sessionEvents().configurationChanged();
}

SessionEvents& sessionEvents() {
    static SessionEvents events;
    return events;
}

std::filesystem::path programFolder() {
    if (!folderOverride().empty()) return folderOverride();
    return com::app::path();
}

void setProgramFolder(std::filesystem::path folder) { folderOverride() = std::move(folder); }

}  // namespace GlobalUI
