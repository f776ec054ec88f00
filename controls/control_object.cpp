#include "control_object.h"

#include <QtGlobal>

namespace quillon {

void reportWindowEventError(const std::string& control, const std::exception& error) {
    if (const auto* e = dynamic_cast<const com::Error*>(&error))
        qWarning("%s: an event handler failed: error %d (%s): %s", control.c_str(), e->number(),
                 e->source().c_str(), e->description().c_str());
    else
        qWarning("%s: an event handler failed: %s", control.c_str(), error.what());
}

void raiseFromMember(const com::Error& error, const std::string& control, std::string_view member) {
    const std::string prefix = control + "-";
    if (error.source().starts_with(prefix)) throw error;
    std::string source = member.empty() ? control : prefix + std::string(member);
    com::raise(error.number(), std::move(source), error.description());
}

}  // namespace quillon
