#include "platform/threads/Threads.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Every waitable object keeps its state under one lock and announces changes on one condition
// variable, so a wait on several objects at once needs nothing more. Waiters re-check their
// objects on every change; nobody polls.
struct WaitCore {
    std::mutex mutex;
    std::condition_variable changed;
};

WaitCore& Core() {
    // Never destroyed: detached workers may still signal while the process exits.
    static WaitCore* core = new WaitCore;
    return *core;
}

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

DWORD CurrentThreadId() {
    if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
    return t_threadId;
}

// The state of a waitable object, shared by every handle to it and by waits in progress (so a
// handle closed during a wait does not pull the state from under the waiter). The members are
// used under Core().mutex.
struct WaitState {
    virtual ~WaitState() = default;
    virtual bool Signalled(DWORD thread) const = 0;
    // Called when a wait is satisfied by this object: an auto-reset event resets, a mutex is owned.
    virtual void Acquire(DWORD /*thread*/) {}
};

struct EventState : WaitState {
    EventState(bool manualReset, bool initial) : manual(manualReset), set(initial) {}
    bool Signalled(DWORD) const override { return set; }
    void Acquire(DWORD) override {
        if (!manual) set = false;
    }
    const bool manual;
    bool set;
};

struct MutexState : WaitState {
    ~MutexState() override {
        if (processName >= 0) ::close(processName);
    }
    bool Signalled(DWORD thread) const override { return owner == 0 || owner == thread; }
    void Acquire(DWORD thread) override {
        owner = thread;
        ++count;
    }
    DWORD owner = 0;
    unsigned count = 0;
    int processName = -1; // the socket that holds the name for the other processes on the root
};

struct ThreadState : WaitState {
    bool Signalled(DWORD) const override { return finished; }
    DWORD id = 0;
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
    std::atomic<int> priority{THREAD_PRIORITY_NORMAL};
};

class WaitableObject : public KernelObject {
public:
    explicit WaitableObject(std::shared_ptr<WaitState> state) : m_state(std::move(state)) {}
    bool IsWaitable() const override { return true; }
    const std::shared_ptr<WaitState>& State() const { return m_state; }

private:
    std::shared_ptr<WaitState> m_state;
};

class EventObject : public WaitableObject {
public:
    explicit EventObject(std::shared_ptr<EventState> state)
        : WaitableObject(state), m_event(std::move(state)) {}
    EventState& Event() { return *m_event; }

private:
    std::shared_ptr<EventState> m_event;
};

class MutexObject : public WaitableObject {
public:
    explicit MutexObject(std::shared_ptr<MutexState> state)
        : WaitableObject(state), m_mutex(std::move(state)) {}
    MutexState& Mutex() { return *m_mutex; }

private:
    std::shared_ptr<MutexState> m_mutex;
};

class ThreadObject : public WaitableObject {
public:
    ThreadObject(std::shared_ptr<ThreadState> state, LPTHREAD_START_ROUTINE routine, void* argument)
        : WaitableObject(state), m_thread(std::move(state)), m_routine(routine), m_argument(argument) {}
    ThreadObject(const ThreadObject&) = delete;
    ThreadObject& operator=(const ThreadObject&) = delete;

    ~ThreadObject() override {
        if (!m_worker.joinable()) return; // never started: nothing runs
        bool finished;
        {
            std::lock_guard lock(Core().mutex);
            finished = m_thread->finished;
        }
        // A finished thread is only leaving its function: join it. A running one goes on alone.
        if (finished && m_worker.get_id() != std::this_thread::get_id())
            m_worker.join();
        else
            m_worker.detach();
    }

    bool Start() {
        std::lock_guard lock(m_startMutex);
        if (m_started) return true;
        try {
            m_worker = std::thread(&ThreadObject::Run, m_thread, m_routine, m_argument);
        } catch (const std::system_error&) {
            return false;
        }
        m_started = true;
        return true;
    }

    ThreadState& Thread() { return *m_thread; }

private:
    static void Run(std::shared_ptr<ThreadState> state, LPTHREAD_START_ROUTINE routine, void* argument) {
        t_threadId = state->id;
        const DWORD code = routine(argument);
        {
            std::lock_guard lock(Core().mutex);
            state->exitCode = code;
            state->finished = true;
        }
        Core().changed.notify_all();
    }

    std::shared_ptr<ThreadState> m_thread;
    LPTHREAD_START_ROUTINE m_routine;
    void* m_argument;
    std::mutex m_startMutex;
    bool m_started = false;
    std::thread m_worker;
};

// Named events and mutexes of this process.
struct NamedObjects {
    std::mutex mutex;
    std::map<std::u16string, std::weak_ptr<WaitState>> byName;
};

NamedObjects& Named() {
    static NamedObjects* named = new NamedObjects;
    return *named;
}

// Waits until one (or all) of states is signalled and takes it; returns WAIT_OBJECT_0 + index
// or WAIT_TIMEOUT.
DWORD WaitStates(const std::vector<std::shared_ptr<WaitState>>& states, bool all, DWORD ms) {
    WaitCore& core = Core();
    const DWORD self = CurrentThreadId();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(core.mutex);
    auto take = [&]() -> DWORD {
        if (all) {
            for (const auto& state : states)
                if (!state->Signalled(self)) return WAIT_TIMEOUT;
            for (const auto& state : states) state->Acquire(self);
            return WAIT_OBJECT_0;
        }
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (states[i]->Signalled(self)) {
                states[i]->Acquire(self);
                return WAIT_OBJECT_0 + static_cast<DWORD>(i);
            }
        }
        return WAIT_TIMEOUT;
    };
    for (;;) {
        const DWORD result = take();
        // Taking an object never makes another one available, so nobody needs waking here.
        if (result != WAIT_TIMEOUT || ms == 0) return result;
        if (ms == INFINITE)
            core.changed.wait(lock);
        else if (core.changed.wait_until(lock, deadline) == std::cv_status::timeout)
            return take();
    }
}

std::shared_ptr<WaitState> StateOf(HANDLE handle) {
    WaitableObject* object = HandleAs<WaitableObject>(handle);
    return object ? object->State() : nullptr;
}

// The framework's recursive lock with a timed acquire. The owner is tracked so that an unlock by
// a thread that does not hold the lock fails instead of corrupting the lock. Built on a plain
// mutex and a condition variable (rather than std::recursive_timed_mutex, whose timed lock
// ThreadSanitizer cannot follow) so that threaded tests run clean under it.
class RecursiveLock {
public:
    bool Lock(DWORD ms) {
        const DWORD self = CurrentThreadId();
        std::unique_lock lock(m_mutex);
        if (m_owner == self) {
            ++m_depth;
            return true;
        }
        auto available = [this] { return m_owner == 0; };
        if (ms == INFINITE)
            m_released.wait(lock, available);
        else if (!m_released.wait_for(lock, std::chrono::milliseconds(ms), available))
            return false;
        m_owner = self;
        m_depth = 1;
        return true;
    }
    bool TryLock() { return Lock(0); }
    bool Unlock() {
        {
            std::lock_guard lock(m_mutex);
            if (m_owner != CurrentThreadId() || m_depth == 0) return false;
            if (--m_depth > 0) return true;
            m_owner = 0;
        }
        m_released.notify_one();
        return true;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    DWORD m_owner = 0;
    unsigned m_depth = 0;
};

RecursiveLock* LockOf(CRITICAL_SECTION* section) {
    std::atomic_ref<void*> impl(section->impl);
    if (void* existing = impl.load()) return static_cast<RecursiveLock*>(existing);
    // Entered before it was initialised: create it now, once, even with several threads racing.
    auto* fresh = new RecursiveLock;
    void* expected = nullptr;
    if (impl.compare_exchange_strong(expected, fresh)) return fresh;
    delete fresh;
    return static_cast<RecursiveLock*>(expected);
}

// A private heap: every block is recorded so that HeapDestroy frees them all and a pointer that
// does not belong to the heap is refused.
class HeapObject : public KernelObject {
public:
    explicit HeapObject(std::size_t maximum) : m_maximum(maximum) {}
    ~HeapObject() override {
        for (const auto& [block, size] : m_blocks) std::free(block);
    }
    HeapObject(const HeapObject&) = delete;
    HeapObject& operator=(const HeapObject&) = delete;

    static constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

    void* Alloc(DWORD flags, std::size_t bytes) {
        std::lock_guard lock(m_mutex);
        if (!Fits(bytes, 0)) return nullptr;
        void* block = (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, std::max<std::size_t>(bytes, 1))
                                                 : std::malloc(std::max<std::size_t>(bytes, 1));
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        m_blocks.emplace(block, bytes);
        m_used += bytes;
        return block;
    }

    void* ReAlloc(DWORD flags, void* block, std::size_t bytes) {
        std::lock_guard lock(m_mutex);
        auto it = m_blocks.find(block);
        if (it == m_blocks.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        const std::size_t old = it->second;
        if (!Fits(bytes, old)) return nullptr;
        void* moved = std::realloc(block, std::max<std::size_t>(bytes, 1));
        if (!moved) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if ((flags & HEAP_ZERO_MEMORY) && bytes > old)
            std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
        m_blocks.erase(it);
        m_blocks.emplace(moved, bytes);
        m_used = m_used - old + bytes;
        return moved;
    }

    bool Free(void* block) {
        std::lock_guard lock(m_mutex);
        auto it = m_blocks.find(block);
        if (it == m_blocks.end()) return false;
        m_used -= it->second;
        std::free(block);
        m_blocks.erase(it);
        return true;
    }

    bool Size(const void* block, std::size_t& size) {
        std::lock_guard lock(m_mutex);
        auto it = m_blocks.find(const_cast<void*>(block));
        if (it == m_blocks.end()) return false;
        size = it->second;
        return true;
    }

private:
    bool Fits(std::size_t bytes, std::size_t replaced) {
        if (bytes > kMaxBlock || (m_maximum != 0 && m_used - replaced + bytes > m_maximum)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        return true;
    }

    std::mutex m_mutex;
    std::unordered_map<void*, std::size_t> m_blocks;
    std::size_t m_maximum;
    std::size_t m_used = 0;
};

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

} // namespace

// ---- Threads ----

HANDLE CreateThread(void* /*security*/, std::size_t /*stackSize*/, LPTHREAD_START_ROUTINE routine,
                    void* argument, DWORD flags, DWORD* threadId) {
    if (!routine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->id = g_nextThreadId.fetch_add(1);
    auto* thread = new ThreadObject(state, routine, argument);
    if (!(flags & CREATE_SUSPENDED) && !thread->Start()) {
        delete thread;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = state->id;
    return ToHandle(thread);
}

BOOL ResumeThread(HANDLE thread) {
    ThreadObject* t = HandleAs<ThreadObject>(thread);
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    if (!t->Start()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    return TRUE;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    ThreadObject* t = HandleAs<ThreadObject>(thread);
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    t->Thread().priority.store(priority); // recorded; the host scheduler decides
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    ThreadObject* t = HandleAs<ThreadObject>(thread);
    if (!t) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return t->Thread().priority.load();
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* code) {
    ThreadObject* t = HandleAs<ThreadObject>(thread);
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    if (!code) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(Core().mutex);
    *code = t->Thread().finished ? t->Thread().exitCode : STILL_ACTIVE;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return CurrentThreadId();
}

// ---- Events and mutexes ----

namespace {

// The state registered under name, or a new one made by make(). Sets the last error as Windows
// does: ERROR_ALREADY_EXISTS when the name was taken, ERROR_INVALID_HANDLE when it names an
// object of another kind (then nullptr).
template <class T, class Make> std::shared_ptr<T> NamedState(const char16_t* name, Make make) {
    if (!name || !*name) {
        SetLastError(ERROR_SUCCESS);
        return make();
    }
    NamedObjects& named = Named();
    std::lock_guard lock(named.mutex);
    for (auto it = named.byName.begin(); it != named.byName.end();)
        it = it->second.expired() ? named.byName.erase(it) : std::next(it);
    std::weak_ptr<WaitState>& slot = named.byName[name];
    if (std::shared_ptr<WaitState> existing = slot.lock()) {
        std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(existing);
        SetLastError(typed ? ERROR_ALREADY_EXISTS : ERROR_INVALID_HANDLE);
        return typed;
    }
    std::shared_ptr<T> created = make();
    slot = created;
    SetLastError(ERROR_SUCCESS);
    return created;
}

// A mutex name is also seen by the other processes on the same device root: the first process
// to make it binds an abstract local socket named after the root and the mutex, which the
// system releases when the process ends however it ends. Returns the socket, or -1 when
// another process holds the name (elsewhere set) or no socket can be made (the name is then
// this process's alone).
int HoldProcessName(const char16_t* name, bool& elsewhere) {
    std::error_code ec;
    std::filesystem::path root = std::filesystem::weakly_canonical(DeviceRoot::Root(), ec);
    if (ec) root = DeviceRoot::Root();
    std::string key = root.string();
    key.push_back('\0');
    key += Utf16ToUtf8(name);
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[40];
    const int length = std::snprintf(text, sizeof text, "velko-mutex-%016llx", static_cast<unsigned long long>(hash));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, text, static_cast<std::size_t>(length)); // sun_path[0] = 0: abstract
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(length));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) return fd;
    elsewhere = errno == EADDRINUSE;
    ::close(fd);
    return -1;
}

} // namespace

HANDLE CreateEventW(void* /*security*/, BOOL manualReset, BOOL initialState, const char16_t* name) {
    std::shared_ptr<EventState> state = NamedState<EventState>(
        name, [&] { return std::make_shared<EventState>(manualReset != FALSE, initialState != FALSE); });
    if (!state) return nullptr;
    const DWORD error = GetLastError();
    HANDLE handle = ToHandle(new EventObject(std::move(state)));
    SetLastError(error);
    return handle;
}

BOOL SetEvent(HANDLE event) {
    EventObject* e = HandleAs<EventObject>(event);
    if (!e) return Fail(ERROR_INVALID_HANDLE);
    {
        std::lock_guard lock(Core().mutex);
        e->Event().set = true;
    }
    Core().changed.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    EventObject* e = HandleAs<EventObject>(event);
    if (!e) return Fail(ERROR_INVALID_HANDLE);
    std::lock_guard lock(Core().mutex);
    e->Event().set = false;
    return TRUE;
}

HANDLE CreateMutexW(void* /*security*/, BOOL initialOwner, const char16_t* name) {
    // A new mutex is owned before it is published under its name: once the name lock is
    // released another thread may open it and wait on it.
    bool elsewhere = false;
    std::shared_ptr<MutexState> state = NamedState<MutexState>(name, [&] {
        auto made = std::make_shared<MutexState>();
        if (initialOwner) made->Acquire(CurrentThreadId());
        if (name && *name) made->processName = HoldProcessName(name, elsewhere);
        return made;
    });
    if (!state) return nullptr;
    const DWORD error = elsewhere ? ERROR_ALREADY_EXISTS : GetLastError();
    HANDLE handle = ToHandle(new MutexObject(std::move(state)));
    SetLastError(error);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex) {
    MutexObject* m = HandleAs<MutexObject>(mutex);
    if (!m) return Fail(ERROR_INVALID_HANDLE);
    {
        std::lock_guard lock(Core().mutex);
        MutexState& state = m->Mutex();
        if (state.owner != CurrentThreadId() || state.count == 0) return Fail(ERROR_NOT_OWNER);
        if (--state.count == 0) state.owner = 0;
    }
    Core().changed.notify_all();
    return TRUE;
}

// ---- Waits ----

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    std::shared_ptr<WaitState> state = StateOf(handle);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return WaitStates({state}, false, ms);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<WaitState>> states;
    states.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<WaitState> state = StateOf(handles[i]);
        if (!state) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (waitAll && std::find(states.begin(), states.end(), state) != states.end()) {
            SetLastError(ERROR_INVALID_PARAMETER); // the same object twice in a wait for all
            return WAIT_FAILED;
        }
        states.push_back(std::move(state));
    }
    return WaitStates(states, waitAll != FALSE, ms);
}

namespace {
thread_local std::function<void(DWORD)> t_loopSleepHook;
} // namespace

void SetLoopSleepHook(std::function<void(DWORD ms)> hook) { t_loopSleepHook = std::move(hook); }

void SleepInLoop(DWORD ms) {
    if (!t_loopSleepHook) {
        Sleep(ms);
        return;
    }
    // A copy: the hook may replace itself while it runs.
    const std::function<void(DWORD)> hook = t_loopSleepHook;
    hook(ms);
}

void Sleep(DWORD ms) {
    TheClock().Sleep(ms);
    if (ms == 0) std::this_thread::yield();
}

// ---- Critical sections ----

void InitializeCriticalSection(CRITICAL_SECTION* section) {
    if (section) section->impl = new RecursiveLock;
}

void DeleteCriticalSection(CRITICAL_SECTION* section) {
    if (!section) return;
    delete static_cast<RecursiveLock*>(section->impl);
    section->impl = nullptr;
}

void EnterCriticalSection(CRITICAL_SECTION* section) {
    if (section) LockOf(section)->Lock(INFINITE);
}

void LeaveCriticalSection(CRITICAL_SECTION* section) {
    if (section && section->impl) static_cast<RecursiveLock*>(section->impl)->Unlock();
}

BOOL TryEnterCriticalSection(CRITICAL_SECTION* section) {
    if (!section) return FALSE;
    return LockOf(section)->TryLock() ? TRUE : FALSE;
}

CCriticalSection::CCriticalSection() : m_impl(new RecursiveLock) {}

CCriticalSection::~CCriticalSection() {
    delete static_cast<RecursiveLock*>(m_impl);
}

BOOL CCriticalSection::Lock() {
    return static_cast<RecursiveLock*>(m_impl)->Lock(INFINITE) ? TRUE : FALSE;
}

BOOL CCriticalSection::Lock(DWORD ms) {
    return static_cast<RecursiveLock*>(m_impl)->Lock(ms) ? TRUE : FALSE;
}

BOOL CCriticalSection::Unlock() {
    return static_cast<RecursiveLock*>(m_impl)->Unlock() ? TRUE : FALSE;
}

CSingleLock::CSingleLock(CCriticalSection* section, BOOL lockNow) : m_section(section) {
    if (lockNow) Lock();
}

CSingleLock::~CSingleLock() {
    Unlock();
}

BOOL CSingleLock::Lock(DWORD ms) {
    if (!m_section) return FALSE;
    if (m_locked) return TRUE; // held already: the lock is taken once per CSingleLock
    m_locked = m_section->Lock(ms);
    return m_locked;
}

BOOL CSingleLock::Unlock() {
    if (!m_section || !m_locked) return FALSE;
    m_locked = FALSE;
    return m_section->Unlock();
}

// ---- Stop signal and pause gate ----

StopSignal::StopSignal() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

StopSignal::~StopSignal() {
    CloseHandle(m_event);
}

void StopSignal::Signal() {
    SetEvent(m_event);
    TheClock().Wake();
}

void StopSignal::Clear() {
    ResetEvent(m_event);
}

bool StopSignal::IsSet() const {
    std::lock_guard lock(Core().mutex);
    return HandleAs<EventObject>(m_event)->Event().set;
}

bool StopSignal::Sleep(DWORD ms) {
    if (IsSet()) return false;
    Clock& clock = TheClock();
    if (dynamic_cast<SystemClock*>(&clock)) return WaitForSingleObject(m_event, ms) == WAIT_TIMEOUT;
    // Another clock decides how time passes (a simulated one at once, a hosted one when the host
    // moves it); the signal cuts the sleep short.
    const bool slept = clock.SleepUnless(ms, [this] { return IsSet(); });
    std::this_thread::yield();
    return slept && !IsSet();
}

DWORD StopSignal::Wait(HANDLE handle, DWORD ms) {
    std::shared_ptr<WaitState> target = StateOf(handle);
    if (!target) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    Clock& clock = TheClock();
    if (clock.IsHosted()) {
        // In hosted simulated time the wait looks at the object every 10 ms of clock time, so
        // that the host sees this thread asleep and its time-out runs on the clock.
        const std::uint64_t deadline = ms == INFINITE ? UINT64_MAX : clock.TickCount() + ms;
        for (;;) {
            const DWORD now = WaitStates({StateOf(m_event), target}, false, 0);
            if (now == WAIT_OBJECT_0) return WAIT_ABANDONED;
            if (now == WAIT_OBJECT_0 + 1) return WAIT_OBJECT_0;
            if (now != WAIT_TIMEOUT) return now;
            const std::uint64_t t = clock.TickCount();
            if (t >= deadline) return WAIT_TIMEOUT;
            clock.SleepUnless(static_cast<DWORD>(std::min<std::uint64_t>(10, deadline - t)), [this] { return IsSet(); });
        }
    }
    // The stop signal is looked at first, so a worker always sees it even when its object is
    // signalled all the time; the object is then left untouched.
    const DWORD result = WaitStates({StateOf(m_event), target}, false, ms);
    if (result == WAIT_OBJECT_0) return WAIT_ABANDONED;
    if (result == WAIT_OBJECT_0 + 1) return WAIT_OBJECT_0;
    return result;
}

PauseGate::PauseGate() : m_impl(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

PauseGate::~PauseGate() {
    CloseHandle(m_impl);
}

void PauseGate::Close() {
    ResetEvent(m_impl);
}

void PauseGate::Open() {
    SetEvent(m_impl);
    TheClock().Wake();
}

bool PauseGate::IsOpen() const {
    std::lock_guard lock(Core().mutex);
    return HandleAs<EventObject>(m_impl)->Event().set;
}

bool PauseGate::Pass(const StopSignal* stop) {
    if (IsOpen()) return true;
    Clock& clock = TheClock();
    if (clock.IsHosted()) {
        // In hosted simulated time a worker held at the gate counts as asleep: it looks at the gate
        // every 10 ms of clock time, and the opening or the stop wakes it at once.
        for (;;) {
            if (stop && stop->IsSet()) return false;
            if (IsOpen()) return true;
            clock.SleepUnless(10, [&] { return IsOpen() || (stop && stop->IsSet()); });
        }
    }
    if (!stop) return WaitStates({StateOf(m_impl)}, false, INFINITE) == WAIT_OBJECT_0;
    return WaitStates({StateOf(stop->Handle()), StateOf(m_impl)}, false, INFINITE) == WAIT_OBJECT_0 + 1;
}

// ---- Private heaps ----

HANDLE HeapCreate(DWORD /*options*/, std::size_t /*initialSize*/, std::size_t maximumSize) {
    return ToHandle(new HeapObject(maximumSize));
}

BOOL HeapDestroy(HANDLE heap) {
    HeapObject* h = HandleAs<HeapObject>(heap);
    if (!h) return Fail(ERROR_INVALID_HANDLE);
    delete h;
    return TRUE;
}

void* HeapAlloc(HANDLE heap, DWORD flags, std::size_t bytes) {
    HeapObject* h = HandleAs<HeapObject>(heap);
    if (!h) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return h->Alloc(flags, bytes);
}

void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, std::size_t bytes) {
    HeapObject* h = HandleAs<HeapObject>(heap);
    if (!h) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!block) return h->Alloc(flags, bytes);
    return h->ReAlloc(flags, block, bytes);
}

BOOL HeapFree(HANDLE heap, DWORD /*flags*/, void* block) {
    HeapObject* h = HandleAs<HeapObject>(heap);
    if (!h) return Fail(ERROR_INVALID_HANDLE);
    if (!block) return TRUE;
    if (!h->Free(block)) return Fail(ERROR_INVALID_PARAMETER);
    return TRUE;
}

std::size_t HeapSize(HANDLE heap, DWORD /*flags*/, const void* block) {
    HeapObject* h = HandleAs<HeapObject>(heap);
    std::size_t size = 0;
    if (!h) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<std::size_t>(-1);
    }
    if (!h->Size(block, size)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<std::size_t>(-1);
    }
    return size;
}
