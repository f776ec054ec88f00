#include "errors/errors.h"

#include <sstream>

#include "errors/messages.h"

namespace GlobalUI {

void ShowError(int32_t number, const std::string& description, const std::string& procedure,
               const std::string& module) {
    std::ostringstream text;
    text << "Numar Eroare: " << number << ".\r\n"
         << "Descriere Eroare: " << description << "\r\n"
         << "Modulul: " << module << "\r\n"
         << "Subrutina/Functia: " << procedure << "\r\n";
    velmora::showMessage({text.str(), velmora::kTitle, velmora::MsgIcon::Critical, velmora::MsgButtons::Ok});
}

void ShowWindowEventError(const com::Error& error) {
    const std::string& source = error.source();
    const auto dash = source.find('-');
    if (dash == std::string::npos) ShowError(error.number(), error.description(), "", source);
    else ShowError(error.number(), error.description(), source.substr(dash + 1), source.substr(0, dash));
}

bool Trapped(const std::string& module, const std::string& procedure, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const com::Error& e) {
        ShowError(e.number(), e.description(), procedure, module);
    } catch (const std::exception& e) {
        ShowError(com::errc::InvalidProcedureCall, e.what(), procedure, module);
    }
    return false;
}

}  // namespace GlobalUI
