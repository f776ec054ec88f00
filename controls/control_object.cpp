#include "control_object.h"

namespace quillon {

namespace {

// The error as the object layer reports it: a com::Error, sourced `source` unless it
// carries a source of its own (or, with `force`, unless it names the control already).
com::Error windowEventError(const std::string& control, const std::exception& error, const std::string& source,
                            bool force) {
    const auto* e = dynamic_cast<const com::Error*>(&error);
    if (!e) return com::Error(com::errc::InvalidProcedureCall, source, error.what());
    const bool keep = force ? e->source().starts_with(control + "-") : !e->source().empty();
    return keep ? *e : com::Error(e->number(), source, e->description());
}

}  // namespace

void reportWindowEventError(const std::string& control, const std::exception& error) {
    com::reportWindowEventError(windowEventError(control, error, control, false));
}

void reportWindowEventError(const std::string& control, std::string_view operation, const std::exception& error) {
    com::reportWindowEventError(windowEventError(control, error, control + "-" + std::string(operation), true));
}

void raiseFromMember(const com::Error& error, const std::string& control, std::string_view member) {
    const std::string prefix = control + "-";
    if (error.source().starts_with(prefix)) throw error;
    std::string source = member.empty() ? control : prefix + std::string(member);
    com::raise(error.number(), std::move(source), error.description());
}

}  // namespace quillon
