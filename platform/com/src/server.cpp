#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <tuple>

#include "com/error.h"
#include "com/server.h"

namespace com {

namespace {

class ClassFactory final : public Object<IClassFactory> {
public:
    explicit ClassFactory(ComPtr<IUnknown> (*create)()) : create_(create) {}
    void* CreateInstance(const Guid& iid) override {
        const ComPtr<IUnknown> object = create_();
        return object ? object->QueryInterface(iid) : nullptr;
    }

private:
    ComPtr<IUnknown> (*create_)();
};

std::string hex(int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

// Libraries stay loaded for the life of the process: their objects may outlive any caller.
void* loadLibrary(const std::filesystem::path& library) {
    static std::mutex lock;
    static std::map<std::string, void*> loaded;
    std::lock_guard g(lock);
    const std::string key = library.string();
    if (auto it = loaded.find(key); it != loaded.end()) return it->second;
    void* handle = ::dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        raise(errc::DllLoadFailed, "CreateObject",
              "The library \"" + key + "\" cannot be loaded: " + (why ? why : "unknown reason"));
    }
    loaded.emplace(key, handle);
    return handle;
}

template <class Fn>
Fn entryPoint(void* handle, const std::filesystem::path& library, const char* name) {
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    if (!fn) raise(errc::DllLoadFailed, "CreateObject", "The library \"" + library.string() + "\" has no " + name);
    return fn;
}

// What tells one version of the registry file from another. The time stamp alone does not:
// two saves within one tick of a coarse clock share it, but each save renames a new file
// (another inode) into place.
using FileStamp = std::tuple<dev_t, ino_t, off_t, time_t, long, time_t, long>;

// The registry as last read, read again when the file changes.
Registry currentRegistry() {
    static std::mutex lock;
    static std::filesystem::path cachedPath;
    static FileStamp cachedStamp;
    static std::optional<Registry> cached;
    std::lock_guard g(lock);
    const auto path = Registry::defaultPath();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        raise(errc::CantCreateObject, "CreateObject", "The registry file \"" + path.string() + "\" is missing");
    const FileStamp stamp{info.st_dev,          info.st_ino,         info.st_size,        info.st_mtim.tv_sec,
                          info.st_mtim.tv_nsec, info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
    if (!cached || path != cachedPath || stamp != cachedStamp) {
        cached.emplace(path, true);
        cachedPath = path;
        cachedStamp = stamp;
    }
    return *cached;
}

void* instantiate(const Registry::Entry& entry, const Guid& iid) {
    void* handle = loadLibrary(entry.library);
    const auto getClassObject = entryPoint<DllGetClassObjectFn>(handle, entry.library, "DllGetClassObject");
    void* out = nullptr;
    const int32_t hr = getClassObject(&entry.clsid, &IClassFactory::iid, &out);
    if (hr != hresult::Ok || !out)
        raise(errc::CantCreateObject, "CreateObject",
              "The library \"" + entry.library.string() + "\" does not serve the class " + entry.progId + " (" +
                  hex(hr) + ")");
    const auto factory = ComPtr<IClassFactory>::adopt(static_cast<IClassFactory*>(out));
    void* object = factory->CreateInstance(iid);
    if (!object)
        raise(errc::CantCreateObject, "CreateObject",
              "The class " + entry.progId + " does not have the interface " + iid.toString());
    return object;
}

int32_t callRegistration(const std::filesystem::path& library, const char* name) {
    void* handle = loadLibrary(std::filesystem::absolute(library));
    return entryPoint<DllRegisterServerFn>(handle, library, name)();
}

// Serialises registrations of several processes (parallel builds register libraries at
// once): each one reads, changes and rewrites the whole registry file.
class RegistryWriteLock {
public:
    RegistryWriteLock() {
        const auto path = Registry::defaultPath().string() + ".lock";
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~RegistryWriteLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    RegistryWriteLock(const RegistryWriteLock&) = delete;
    RegistryWriteLock& operator=(const RegistryWriteLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace

namespace server {

int32_t getClassObject(std::span<const ClassInfo> classes, const Guid* clsid, const Guid* iid, void** out) {
    if (!out || !clsid || !iid) return hresult::Fail;
    *out = nullptr;
    for (const auto& c : classes) {
        if (c.clsid != *clsid) continue;
        const auto factory = make<ClassFactory, IClassFactory>(c.create);
        *out = factory->QueryInterface(*iid);
        return *out ? hresult::Ok : hresult::NoInterface;
    }
    return hresult::ClassNotAvailable;
}

int32_t canUnloadNow() { return liveObjectCount() == 0 ? hresult::Ok : hresult::False; }

int32_t registerServer(std::span<const ClassInfo> classes, const void* anyAddressInLibrary) {
    Dl_info info{};
    if (!::dladdr(anyAddressInLibrary, &info) || !info.dli_fname) return hresult::RegistryError;
    try {
        const auto library = std::filesystem::canonical(info.dli_fname);
        const RegistryWriteLock lock;
        Registry registry(Registry::defaultPath());
        for (const auto& c : classes) registry.add({std::string(c.progId), c.clsid, library});
        registry.save();
        return hresult::Ok;
    } catch (const std::exception&) {
        return hresult::RegistryError;
    }
}

int32_t unregisterServer(std::span<const ClassInfo> classes) {
    try {
        const RegistryWriteLock lock;
        Registry registry(Registry::defaultPath());
        for (const auto& c : classes) registry.removeClsid(c.clsid);
        registry.save();
        return hresult::Ok;
    } catch (const std::exception&) {
        return hresult::RegistryError;
    }
}

}  // namespace server

ComPtr<IDispatch> CreateObject(std::string_view progId) {
    const auto entry = currentRegistry().byProgId(progId);
    if (!entry)
        raise(errc::CantCreateObject, "CreateObject", "The class \"" + std::string(progId) + "\" is not registered");
    return ComPtr<IDispatch>::adopt(static_cast<IDispatch*>(instantiate(*entry, IDispatch::iid)));
}

void* CreateInstance(const Guid& clsid, const Guid& iid) {
    const auto entry = currentRegistry().byClsid(clsid);
    if (!entry) raise(errc::CantCreateObject, "CreateObject", "The class " + clsid.toString() + " is not registered");
    return instantiate(*entry, iid);
}

void registerLibrary(const std::filesystem::path& library) {
    if (const int32_t hr = callRegistration(library, "DllRegisterServer"); hr != hresult::Ok)
        raise(errc::CantLoadRegistry, "RegisterServer",
              "Registering \"" + library.string() + "\" into \"" + Registry::defaultPath().string() + "\" failed (" +
                  hex(hr) + ")");
}

void unregisterLibrary(const std::filesystem::path& library) {
    if (const int32_t hr = callRegistration(library, "DllUnregisterServer"); hr != hresult::Ok)
        raise(errc::CantLoadRegistry, "RegisterServer",
              "Unregistering \"" + library.string() + "\" from \"" + Registry::defaultPath().string() + "\" failed (" +
                  hex(hr) + ")");
}

}  // namespace com
