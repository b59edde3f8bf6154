// Threads, events, mutexes, waits, critical sections, the stop signal, the pause gate and
// private heaps, in the shape the system's code expects of its operating system.
#pragma once

#include "platform/base/Handle.h"
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <functional>

using LPTHREAD_START_ROUTINE = DWORD (*)(void* argument);

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD CREATE_SUSPENDED = 0x4;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD HEAP_NO_SERIALIZE = 0x1;
constexpr DWORD HEAP_ZERO_MEMORY = 0x8;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// Thread priorities as the handheld numbers them: 0 is the highest, 7 idle.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// A thread runs routine(argument) on a std::thread; its handle is signalled when it ends.
// Closing the handle of a running thread detaches it (the thread goes on).
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE routine, void* argument,
                    DWORD flags, DWORD* threadId);
BOOL ResumeThread(HANDLE thread); // starts a thread created with CREATE_SUSPENDED
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, DWORD* code);
DWORD GetCurrentThreadId();

HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, const char16_t* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// A named mutex that already exists in this process, or in another process on the same device
// root, sets ERROR_ALREADY_EXISTS (waits and ownership stay within the process).
HANDLE CreateMutexW(void* security, BOOL initialOwner, const char16_t* name);
BOOL ReleaseMutex(HANDLE mutex);

// Waits in real time (timeouts in ms, INFINITE allowed).
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms);

// Sleeps through the injectable clock.
void Sleep(DWORD ms);
// The sleep of a thread inside a loop of its own that pumps its window messages itself (the
// user-interface thread during a simulated drive): it goes to the thread's loop-sleep hook when
// one is installed, else it is a plain Sleep. A host whose own work runs on that thread (a
// script that drives the user-interface thread, a window that must stay live) goes on with it
// there; the hook lets the time pass.
void SleepInLoop(DWORD ms);
// Installs the calling thread's loop-sleep hook; nullptr removes it.
void SetLoopSleepHook(std::function<void(DWORD ms)> hook);

struct CRITICAL_SECTION {
    void* impl = nullptr;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);

// The framework's critical section: recursive, with a timed lock.
class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    BOOL Lock();
    // TRUE when the lock was taken within ms milliseconds.
    BOOL Lock(DWORD ms);
    BOOL Unlock();

private:
    void* m_impl;
};

// Holds a CCriticalSection for a scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* section, BOOL lockNow = FALSE);
    ~CSingleLock();
    BOOL Lock(DWORD ms = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_locked; }

private:
    CCriticalSection* m_section;
    BOOL m_locked = FALSE;
};

// The stop signal: a manual-reset event that every worker's waits and sleeps include.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;
    void Signal();
    void Clear();
    bool IsSet() const;
    // Sleeps ms milliseconds (through the injectable clock) unless the signal comes first;
    // false when the signal cut it short.
    bool Sleep(DWORD ms);
    // Waits for handle; WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_ABANDONED when the signal came first.
    DWORD Wait(HANDLE handle, DWORD ms);
    HANDLE Handle() const { return m_event; }

private:
    HANDLE m_event;
};

// In place of suspending threads from outside: workers pass the gate at the top of each loop
// and wait there while it is closed (or until the stop signal).
class PauseGate {
public:
    PauseGate();
    ~PauseGate();
    PauseGate(const PauseGate&) = delete;
    PauseGate& operator=(const PauseGate&) = delete;
    void Close();
    void Open();
    bool IsOpen() const;
    // Returns false when stop was signalled while waiting.
    bool Pass(const StopSignal* stop = nullptr);

private:
    void* m_impl;
};

// Private heaps: HeapDestroy frees every block still allocated from the heap. A heap created
// with a maximum size refuses blocks beyond it; no single block is larger than 1 GiB.
HANDLE HeapCreate(DWORD options, std::size_t initialSize, std::size_t maximumSize);
BOOL HeapDestroy(HANDLE heap);
void* HeapAlloc(HANDLE heap, DWORD flags, std::size_t bytes);
// Resizes a block of the heap (HEAP_ZERO_MEMORY zero-fills the part that grows); nullptr and the
// block unchanged on failure.
void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, std::size_t bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, void* block);
// The size asked for when block was allocated; (size_t)-1 for a block not from the heap.
std::size_t HeapSize(HANDLE heap, DWORD flags, const void* block);
