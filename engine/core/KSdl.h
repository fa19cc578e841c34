// SDL2, opened the first time the engine needs it (a thread, a mutex, the sound card) rather
// than by the program loader: the library and the sound, window and input back-ends it brings
// are then never loaded by a program, or before a moment, that plays nothing. The functions
// keep SDL's own signatures; call them as `KSdl_get()->CreateMutex()`.
#ifndef KSDL_H
#define KSDL_H

#include <SDL.h>

#define KSDL_FUNCTIONS(X)                                                                          \
    X(CreateMutex) X(DestroyMutex) X(LockMutex) X(UnlockMutex) X(GetError) X(CreateSemaphore)      \
    X(DestroySemaphore) X(SemWait) X(SemPost) X(SemValue) X(CreateThread) X(WaitThread)             \
    X(GetThreadID) X(SetHint) X(InitSubSystem) X(OpenAudioDevice) X(PauseAudioDevice)               \
    X(CloseAudioDevice) X(GetTicks) X(Delay)

struct KSdl {
#define KSDL_FIELD(name) decltype(&::SDL_##name) name;
    KSDL_FUNCTIONS(KSDL_FIELD)
#undef KSDL_FIELD
};

// The functions, the library opened on the first call (from any thread); null when it cannot be
// opened or lacks one of them, the reason then written once on the error output.
const KSdl *KSdl_get(void);

#endif
