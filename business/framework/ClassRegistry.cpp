#include "ClassRegistry.h"

namespace Velmora_Business {

namespace {
std::vector<com::ClassInfo>& classes() {
    static std::vector<com::ClassInfo> table;
    return table;
}
}  // namespace

ClassRegistration::ClassRegistration(const com::ClassInfo& info) { classes().push_back(info); }

}  // namespace Velmora_Business

// The table the library's entry points serve.
std::span<const com::ClassInfo> com::server::libraryClasses() { return Velmora_Business::classes(); }
