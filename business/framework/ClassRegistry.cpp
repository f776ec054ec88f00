#include "ClassRegistry.h"

namespace Velmora_Business {

namespace {
std::vector<com::ClassInfo>& classes() {
    static std::vector<com::ClassInfo> table;
    return table;
}
}  // namespace

std::span<const com::ClassInfo> registeredClasses() {
    return classes();
}

ClassRegistration::ClassRegistration(const com::ClassInfo& info) {
    classes().push_back(info);
}

}  // namespace Velmora_Business

// The library's exported entry points.
extern "C" {

int32_t DllGetClassObject(const com::Guid* clsid, const com::Guid* iid, void** out) {
    return com::server::getClassObject(Velmora_Business::registeredClasses(), clsid, iid, out);
}

int32_t DllCanUnloadNow() {
    return com::server::canUnloadNow();
}

int32_t DllRegisterServer() {
    return com::server::registerServer(Velmora_Business::registeredClasses(),
                                       reinterpret_cast<const void*>(&DllRegisterServer));
}

int32_t DllUnregisterServer() {
    return com::server::unregisterServer(Velmora_Business::registeredClasses());
}

}  // extern "C"
