// Kernel objects behind HANDLE values: files, find handles, threads, events, mutexes, heaps.
// A HANDLE is a pointer to a KernelObject; CloseHandle destroys it.
#pragma once

#include "platform/base/WinTypes.h"

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Waitable objects (threads, events, mutexes) override these; see platform/threads.
    virtual bool IsWaitable() const { return false; }
};

inline HANDLE ToHandle(KernelObject* object) {
    return static_cast<HANDLE>(object);
}

// The object behind a handle when it is of type T, else nullptr.
template <class T> T* HandleAs(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return nullptr;
    return dynamic_cast<T*>(static_cast<KernelObject*>(handle));
}

BOOL CloseHandle(HANDLE handle);
