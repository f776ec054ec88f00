// The four exported entry points of a class library, compiled into each one: they serve
// the library's own table of classes.
#include "com/server.h"

extern "C" {

int32_t DllGetClassObject(const com::Guid* clsid, const com::Guid* iid, void** out) {
    return com::server::getClassObject(com::server::libraryClasses(), clsid, iid, out);
}

int32_t DllCanUnloadNow() { return com::server::canUnloadNow(); }

// The entry point's own address names the library file it was loaded from.
int32_t DllRegisterServer() {
    return com::server::registerServer(com::server::libraryClasses(),
                                       reinterpret_cast<const void*>(&DllRegisterServer));
}

int32_t DllUnregisterServer() { return com::server::unregisterServer(com::server::libraryClasses()); }

}  // extern "C"
