#pragma once
// In-process class servers: class factories, the four exported entry points, the
// registry file and object creation by ProgID or class id.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "com/dispatch.h"

namespace com {

namespace hresult {
inline constexpr int32_t Ok = 0;
inline constexpr int32_t False = 1;
inline constexpr int32_t NoInterface = static_cast<int32_t>(0x80004002u);
inline constexpr int32_t Fail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t ClassNotAvailable = static_cast<int32_t>(0x80040111u);
inline constexpr int32_t RegistryError = static_cast<int32_t>(0x80040151u);  // SELFREG_E_CLASS
}  // namespace hresult

class IClassFactory : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr Guid iid = Guid::of("{00000001-0000-0000-C000-000000000046}");
    // A new object of the class, answering for the interface asked (nullptr if it has none).
    virtual void* CreateInstance(const Guid& iid) = 0;

protected:
    ~IClassFactory() = default;
};

// One creatable class of a library.
struct ClassInfo {
    std::string_view progId;  // "Library.Class"
    Guid clsid;
    ComPtr<IUnknown> (*create)();
};

// What a library's exported entry points do, given its table of classes. The entry
// points are written once in the object layer (src/entry_points.cpp), compiled into
// every class library; they serve the table the library gives by libraryClasses.
namespace server {
// The library's creatable classes: each class library defines it.
std::span<const ClassInfo> libraryClasses();

[[gnu::visibility("default")]] int32_t getClassObject(std::span<const ClassInfo> classes, const Guid* clsid,
                                                      const Guid* iid, void** out);
[[gnu::visibility("default")]] int32_t canUnloadNow();
// Registers the classes with the library file that holds `anyAddressInLibrary`.
[[gnu::visibility("default")]] int32_t registerServer(std::span<const ClassInfo> classes,
                                                      const void* anyAddressInLibrary);
[[gnu::visibility("default")]] int32_t unregisterServer(std::span<const ClassInfo> classes);
}  // namespace server

// The entry points' C signatures, as the loader looks them up.
using DllGetClassObjectFn = int32_t (*)(const Guid*, const Guid*, void**);
using DllCanUnloadNowFn = int32_t (*)();
using DllRegisterServerFn = int32_t (*)();
using DllUnregisterServerFn = int32_t (*)();

// The registry: one text file of lines "ProgID<TAB>{clsid}<TAB>library path". Its path is
// $VELMORA_REGISTRY, else "registry" beside the program.
class [[gnu::visibility("default")]] Registry {
public:
    struct Entry {
        std::string progId;
        Guid clsid;
        std::filesystem::path library;
    };

    static std::filesystem::path defaultPath();

    // Reads the file (a missing file is an empty registry when `mustExist` is false);
    // a malformed line raises naming the file and the line.
    explicit Registry(std::filesystem::path file, bool mustExist = false);

    std::optional<Entry> byProgId(std::string_view progId) const;  // without regard to case
    std::optional<Entry> byClsid(const Guid& clsid) const;
    const std::vector<Entry>& entries() const { return entries_; }

    void add(Entry entry);  // replaces an entry of the same ProgID or class id
    void removeClsid(const Guid& clsid);
    // Writes the file atomically (temporary file, then rename).
    void save() const;

private:
    std::filesystem::path file_;
    std::vector<Entry> entries_;
};

// Creates an object registered in the registry at Registry::defaultPath(). Errors raise
// com::Error 429 (unknown ProgID or class id, or a factory that fails) or 48 (a library
// that will not load or lacks the entry point), with a description naming what failed.
[[gnu::visibility("default")]] ComPtr<IDispatch> CreateObject(std::string_view progId);
[[gnu::visibility("default")]] void* CreateInstance(const Guid& clsid, const Guid& iid);
template <class I>
ComPtr<I> createInstance(const Guid& clsid) {
    return ComPtr<I>::adopt(static_cast<I*>(CreateInstance(clsid, I::iid)));
}
// Loads a library file and calls its DllRegisterServer / DllUnregisterServer.
[[gnu::visibility("default")]] void registerLibrary(const std::filesystem::path& library);
[[gnu::visibility("default")]] void unregisterLibrary(const std::filesystem::path& library);

}  // namespace com

// The four entry points of every class library, and the only symbols it exports: a
// class library is built with hidden visibility, and these declarations mark them.
extern "C" {
[[gnu::visibility("default")]] int32_t DllGetClassObject(const com::Guid* clsid, const com::Guid* iid, void** out);
[[gnu::visibility("default")]] int32_t DllCanUnloadNow();
[[gnu::visibility("default")]] int32_t DllRegisterServer();
[[gnu::visibility("default")]] int32_t DllUnregisterServer();
}
