#include "KSdl.h"

#include <cstdio>

#include <dlfcn.h>

namespace {

// The run-time name of SDL2 (its soname), the one the program loader would have looked for.
const char *const LibraryName = "libSDL2-2.0.so.0";

bool load(KSdl &api)
{
    // Kept open for the rest of the run: threads and devices made through it may outlive any owner.
    void *library = dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "Cannot open %s: %s\n", LibraryName, dlerror());
        return false;
    }
#define KSDL_RESOLVE(name)                                                                         \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(library, "SDL_" #name));                 \
    if (!api.name) {                                                                               \
        std::fprintf(stderr, "%s has no SDL_%s\n", LibraryName, #name);                           \
        return false;                                                                              \
    }
    KSDL_FUNCTIONS(KSDL_RESOLVE)
#undef KSDL_RESOLVE
    return true;
}

} // namespace

const KSdl *KSdl_get(void)
{
    static KSdl api;
    static const bool loaded = load(api);
    return loaded ? &api : nullptr;
}
