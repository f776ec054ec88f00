// Registers (or with -u unregisters) the classes of class libraries into the registry
// named by $VELMORA_REGISTRY, else the file "registry" beside this tool.
#include <cstring>
#include <iostream>

#include "com/error.h"
#include "com/server.h"

int main(int argc, char** argv) {
    bool unregister = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "-u") == 0) {
        unregister = true;
        first = 2;
    }
    if (first >= argc) {
        std::cerr << "usage: regsvr [-u] library.so...\n";
        return 2;
    }
    int failures = 0;
    for (int i = first; i < argc; ++i) {
        try {
            if (unregister) com::unregisterLibrary(argv[i]);
            else com::registerLibrary(argv[i]);
            std::cout << (unregister ? "unregistered " : "registered ") << argv[i] << " in "
                      << com::Registry::defaultPath().string() << "\n";
        } catch (const com::Error& e) {
            std::cerr << "regsvr: " << e.description() << " (" << e.number() << ")\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
