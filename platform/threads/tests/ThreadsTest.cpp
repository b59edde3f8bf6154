#include "platform/threads/Threads.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Ms = std::chrono::milliseconds;

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - since).count();
}

// Runs a lambda on a platform thread. The lambda lives as long as the object.
class Worker {
public:
    template <class F> explicit Worker(F f, DWORD flags = 0) : m_body(std::move(f)) {
        m_handle = CreateThread(nullptr, 0, &Worker::Run, this, flags, &m_id);
    }
    ~Worker() {
        if (m_handle) {
            WaitForSingleObject(m_handle, 5000);
            CloseHandle(m_handle);
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    HANDLE Handle() const { return m_handle; }
    DWORD Id() const { return m_id; }

private:
    static DWORD Run(void* self) { return static_cast<Worker*>(self)->m_body(); }
    std::function<DWORD()> m_body;
    HANDLE m_handle = nullptr;
    DWORD m_id = 0;
};

// Waits (up to a second) until condition holds; used to see a worker reach a point.
template <class F> bool Eventually(F condition) {
    const auto start = std::chrono::steady_clock::now();
    while (!condition()) {
        if (ElapsedMs(start) > 1000) return false;
        std::this_thread::sleep_for(Ms(1));
    }
    return true;
}

TEST(CriticalSection, TimedLockHeldByAnotherThreadFailsWithinItsTimeout) {
    CCriticalSection section;
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Worker holder([&]() -> DWORD {
        section.Lock();
        SetEvent(held);
        WaitForSingleObject(release, 5000);
        section.Unlock();
        return 0;
    });
    ASSERT_EQ(WaitForSingleObject(held, 2000), WAIT_OBJECT_0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(section.Lock(50));
    const std::int64_t waited = ElapsedMs(start);
    EXPECT_GE(waited, 45);
    EXPECT_LT(waited, 1000);
    EXPECT_FALSE(section.Lock(0));
    {
        CSingleLock lock(&section);
        EXPECT_FALSE(lock.Lock(10));
        EXPECT_FALSE(lock.IsLocked());
    }
    // Not the owner: the unlock is refused and the holder keeps the lock.
    EXPECT_FALSE(section.Unlock());
    EXPECT_FALSE(section.Lock(0));

    SetEvent(release);
    EXPECT_TRUE(section.Lock(2000));
    EXPECT_TRUE(section.Unlock());
    CloseHandle(held);
    CloseHandle(release);
}

TEST(CriticalSection, IsRecursive) {
    CCriticalSection section;
    EXPECT_TRUE(section.Lock());
    EXPECT_TRUE(section.Lock(0));
    std::atomic<bool> otherGotIt{true};
    {
        Worker other([&]() -> DWORD {
            otherGotIt = section.Lock(0) != FALSE;
            return 0;
        });
    }
    EXPECT_FALSE(otherGotIt.load());
    EXPECT_TRUE(section.Unlock());
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(section.Unlock()); // one unlock too many is refused
    {
        Worker other([&]() -> DWORD {
            otherGotIt = section.Lock(0) != FALSE;
            if (otherGotIt) section.Unlock();
            return 0;
        });
    }
    EXPECT_TRUE(otherGotIt.load());
    {
        CSingleLock lock(&section, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());
    } // released by the destructor
    EXPECT_TRUE(section.Lock(0));
    EXPECT_TRUE(section.Unlock());
}

TEST(CriticalSection, PlainCriticalSectionExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    long counter = 0;
    {
        std::vector<std::unique_ptr<Worker>> workers;
        for (int i = 0; i < 4; ++i)
            workers.push_back(std::make_unique<Worker>([&]() -> DWORD {
                for (int n = 0; n < 20000; ++n) {
                    EnterCriticalSection(&section);
                    ++counter;
                    LeaveCriticalSection(&section);
                }
                return 0;
            }));
    }
    EXPECT_EQ(counter, 80000);

    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    std::atomic<int> other{-1};
    {
        Worker w([&]() -> DWORD {
            other = TryEnterCriticalSection(&section);
            return 0;
        });
    }
    EXPECT_EQ(other.load(), FALSE);
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    {
        Worker w([&]() -> DWORD {
            other = TryEnterCriticalSection(&section);
            if (other) LeaveCriticalSection(&section);
            return 0;
        });
    }
    EXPECT_EQ(other.load(), TRUE);
    DeleteCriticalSection(&section);
    EXPECT_EQ(section.impl, nullptr);
}

TEST(Events, WaitTimesOutInRealTime) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
    EXPECT_GE(ElapsedMs(start), 30);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_LT(ElapsedMs(start), 20);
    CloseHandle(event);
}

TEST(Events, AutoResetEventWakesOneWaiter) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> woken{0}, waiting{0};
    auto waiter = [&]() -> DWORD {
        ++waiting;
        const DWORD r = WaitForSingleObject(event, 3000);
        if (r == WAIT_OBJECT_0) ++woken;
        return r;
    };
    Worker a(waiter), b(waiter);
    ASSERT_TRUE(Eventually([&] { return waiting == 2; }));
    std::this_thread::sleep_for(Ms(20)); // both are inside the wait

    SetEvent(event);
    ASSERT_TRUE(Eventually([&] { return woken == 1; }));
    std::this_thread::sleep_for(Ms(50));
    EXPECT_EQ(woken.load(), 1);                             // the other one still waits
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT); // the wake reset it

    SetEvent(event);
    ASSERT_TRUE(Eventually([&] { return woken == 2; }));
    CloseHandle(event);
}

TEST(Events, ManualResetEventWakesAllAndStaysSet) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> woken{0};
    {
        std::vector<std::unique_ptr<Worker>> workers;
        for (int i = 0; i < 3; ++i)
            workers.push_back(std::make_unique<Worker>([&]() -> DWORD {
                if (WaitForSingleObject(event, 3000) == WAIT_OBJECT_0) ++woken;
                return 0;
            }));
        std::this_thread::sleep_for(Ms(10));
        SetEvent(event);
    }
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    HANDLE initiallySet = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(initiallySet, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(initiallySet, 0), WAIT_TIMEOUT);
    CloseHandle(initiallySet);
    CloseHandle(event);
}

TEST(Waits, MultipleObjects) {
    HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HANDLE both[] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 10), WAIT_TIMEOUT);
    SetEvent(b);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
    SetEvent(b);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0); // a wait for all that failed took nothing
    {
        Worker setter([&]() -> DWORD {
            std::this_thread::sleep_for(Ms(10));
            SetEvent(a);
            SetEvent(b);
            return 0;
        });
        EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 3000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT); // taken by the wait for all
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);

    const HANDLE withBad[] = {a, nullptr};
    EXPECT_EQ(WaitForMultipleObjects(2, withBad, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForMultipleObjects(0, both, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    const HANDLE twice[] = {a, a};
    EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
    HANDLE heap = HeapCreate(0, 0, 0);
    EXPECT_EQ(WaitForSingleObject(heap, 0), WAIT_FAILED); // not waitable
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HeapDestroy(heap);
    CloseHandle(a);
    CloseHandle(b);
}

TEST(ThreadHandles, SignalledAtExitWithTheExitCode) {
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> idInside{0};
    Worker worker([&]() -> DWORD {
        idInside = GetCurrentThreadId();
        WaitForSingleObject(gate, 5000);
        return 42;
    });
    ASSERT_NE(worker.Handle(), nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(worker.Handle(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 20), WAIT_TIMEOUT);
    SetEvent(gate);
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 3000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(worker.Handle(), &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(idInside.load(), worker.Id());
    EXPECT_NE(worker.Id(), GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 0), WAIT_OBJECT_0); // stays signalled

    EXPECT_EQ(GetThreadPriority(worker.Handle()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(worker.Handle(), THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_EQ(GetThreadPriority(worker.Handle()), THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_EQ(GetThreadPriority(gate), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(GetExitCodeThread(gate, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(gate);
}

TEST(ThreadHandles, SuspendedThreadStartsOnResume) {
    std::atomic<bool> ran{false};
    Worker worker(
        [&]() -> DWORD {
            ran = true;
            return 7;
        },
        CREATE_SUSPENDED);
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 30), WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    EXPECT_TRUE(ResumeThread(worker.Handle()));
    EXPECT_EQ(WaitForSingleObject(worker.Handle(), 3000), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());

    // Closed before it was ever resumed: it never runs.
    std::atomic<bool> never{false};
    HANDLE unused = CreateThread(
        nullptr, 0, [](void* flag) -> DWORD { return *static_cast<std::atomic<bool>*>(flag) = true; }, &never,
        CREATE_SUSPENDED, nullptr);
    ASSERT_NE(unused, nullptr);
    EXPECT_TRUE(CloseHandle(unused));
    std::this_thread::sleep_for(Ms(10));
    EXPECT_FALSE(never.load());
}

struct Detached {
    HANDLE gate;
    HANDLE done;
    std::atomic<bool> finished{false};
};

DWORD DetachedRoutine(void* argument) {
    auto* d = static_cast<Detached*>(argument);
    WaitForSingleObject(d->gate, 5000);
    d->finished = true;
    SetEvent(d->done);
    return 0;
}

TEST(ThreadHandles, ClosingARunningThreadLetsItFinish) {
    Detached d;
    d.gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    d.done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, DetachedRoutine, &d, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(d.gate);
    EXPECT_EQ(WaitForSingleObject(d.done, 3000), WAIT_OBJECT_0);
    EXPECT_TRUE(d.finished.load());
    std::this_thread::sleep_for(Ms(5)); // let it leave the routine before d goes away
    CloseHandle(d.gate);
    CloseHandle(d.done);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(Mutexes, OwnershipAndNames) {
    HANDLE first = CreateMutexW(nullptr, TRUE, u"Velko");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexW(nullptr, TRUE, u"Velko");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    // Owned here: another thread cannot take it, this one can again.
    std::atomic<DWORD> other{0};
    {
        Worker w([&]() -> DWORD {
            other = WaitForSingleObject(second, 20);
            return 0;
        });
    }
    EXPECT_EQ(other.load(), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(first));
    EXPECT_TRUE(ReleaseMutex(first));
    EXPECT_FALSE(ReleaseMutex(first));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    {
        Worker w([&]() -> DWORD {
            other = WaitForSingleObject(second, 1000);
            ReleaseMutex(second);
            return 0;
        });
    }
    EXPECT_EQ(other.load(), WAIT_OBJECT_0);

    // A name taken by another kind of object.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, u"Taken");
    EXPECT_EQ(CreateMutexW(nullptr, FALSE, u"Taken"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE sameEvent = CreateEventW(nullptr, FALSE, FALSE, u"Taken");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    SetEvent(sameEvent);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0); // one event behind both handles
    CloseHandle(sameEvent);
    CloseHandle(event);

    // Once every handle is closed the name is free again.
    CloseHandle(first);
    CloseHandle(second);
    HANDLE again = CreateMutexW(nullptr, FALSE, u"Velko");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(again);
}

TEST(StopSignal, CutsSleepsAndWaitsShort) {
    StopSignal stop;
    EXPECT_FALSE(stop.IsSet());
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(stop.Sleep(15));
    EXPECT_GE(ElapsedMs(start), 15);

    std::atomic<bool> slept{true};
    std::atomic<DWORD> waited{0};
    std::atomic<std::int64_t> sleptMs{0}, waitedMs{0};
    HANDLE never = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    {
        Worker sleeper([&]() -> DWORD {
            const auto t = std::chrono::steady_clock::now();
            slept = stop.Sleep(5000);
            sleptMs = ElapsedMs(t);
            return 0;
        });
        Worker waiter([&]() -> DWORD {
            const auto t = std::chrono::steady_clock::now();
            waited = stop.Wait(never, 5000);
            waitedMs = ElapsedMs(t);
            return 0;
        });
        std::this_thread::sleep_for(Ms(20));
        stop.Signal();
    }
    EXPECT_FALSE(slept.load());
    EXPECT_EQ(waited.load(), WAIT_ABANDONED);
    EXPECT_LT(sleptMs.load(), 1000);
    EXPECT_LT(waitedMs.load(), 1000);
    EXPECT_TRUE(stop.IsSet());
    EXPECT_FALSE(stop.Sleep(1000)); // already set: returns at once

    // With the signal set, a signalled object is left alone.
    HANDLE ready = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(stop.Wait(ready, 0), WAIT_ABANDONED);
    stop.Clear();
    EXPECT_FALSE(stop.IsSet());
    EXPECT_EQ(stop.Wait(ready, 0), WAIT_OBJECT_0);
    EXPECT_EQ(stop.Wait(ready, 10), WAIT_TIMEOUT);
    EXPECT_EQ(stop.Wait(nullptr, 10), WAIT_FAILED);
    CloseHandle(ready);
    CloseHandle(never);
}

TEST(StopSignal, SleepsGoThroughTheInstalledClock) {
    SimulatedClock clock;
    InstallClock(&clock);
    StopSignal stop;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(stop.Sleep(60000));
    EXPECT_EQ(clock.TickCount(), 60000u);
    Sleep(5000);
    EXPECT_EQ(clock.TickCount(), 65000u);
    stop.Signal();
    EXPECT_FALSE(stop.Sleep(60000));
    EXPECT_EQ(clock.TickCount(), 65000u); // cut short: no time passed
    EXPECT_LT(ElapsedMs(start), 1000);
    InstallClock(nullptr);
}

TEST(PauseGate, HoldsWorkersWhileClosed) {
    PauseGate gate;
    EXPECT_TRUE(gate.IsOpen());
    EXPECT_TRUE(gate.Pass());
    gate.Close();
    EXPECT_FALSE(gate.IsOpen());
    std::atomic<int> passed{-1};
    {
        Worker w([&]() -> DWORD {
            passed = gate.Pass() ? 1 : 0;
            return 0;
        });
        std::this_thread::sleep_for(Ms(30));
        EXPECT_EQ(passed.load(), -1);
        gate.Open();
    }
    EXPECT_EQ(passed.load(), 1);

    gate.Close();
    StopSignal stop;
    passed = -1;
    {
        Worker w([&]() -> DWORD {
            passed = gate.Pass(&stop) ? 1 : 0;
            return 0;
        });
        std::this_thread::sleep_for(Ms(20));
        EXPECT_EQ(passed.load(), -1); // still at the gate
        stop.Signal();
    }
    EXPECT_EQ(passed.load(), 0);
}

TEST(PauseGate, AWorkerHeldAtTheGateLetsHostedTimeMoveOn) {
    SimulatedClock clock;
    clock.SetHosted(true);
    InstallClock(&clock);
    PauseGate gate;
    StopSignal stop;
    gate.Close();
    std::atomic<int> passes{0};
    clock.AddWorker();
    std::thread worker([&] {
        while (gate.Pass(&stop) && stop.Sleep(100)) ++passes;
        clock.RemoveWorker();
    });
    // Held at the gate, the worker is asleep as far as the host is concerned.
    EXPECT_TRUE(clock.WaitQuiet(2000));
    const auto start = std::chrono::steady_clock::now();
    clock.RunFor(1000);
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(passes.load(), 0);
    gate.Open();
    clock.RunFor(1000);
    EXPECT_GE(passes.load(), 9);
    gate.Close();
    clock.RunFor(500);
    const int held = passes.load();
    clock.RunFor(500);
    EXPECT_EQ(passes.load(), held);
    stop.Signal(); // ends the wait at the closed gate
    worker.join();
    InstallClock(nullptr);
}

} // namespace

namespace {

// Another process, forked before this one makes any mutex, that answers what CreateMutexW
// reports for a name on a root: 1 when the name already exists, 0 when it is new, 2 when the call
// fails. It closes its own handle after each question.
class OtherProcess {
public:
    OtherProcess() {
        if (::pipe(m_ask) != 0 || ::pipe(m_answer) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(m_ask[1]); // the question pipe ends when the test closes its end
            ::close(m_answer[0]);
            char request[4096];
            ssize_t n;
            while ((n = ::read(m_ask[0], request, sizeof request - 1)) > 0) {
                request[n] = 0;
                const std::string text(request);
                const std::size_t tab = text.find('\t');
                DeviceRoot::SetRoot(text.substr(0, tab));
                const std::u16string name = Utf8ToUtf16(text.substr(tab + 1));
                HANDLE m = CreateMutexW(nullptr, TRUE, name.c_str());
                const char reply = !m ? '2' : GetLastError() == ERROR_ALREADY_EXISTS ? '1' : '0';
                if (m) CloseHandle(m);
                if (::write(m_answer[1], &reply, 1) != 1) break;
            }
            ::_exit(0);
        }
    }
    ~OtherProcess() {
        ::close(m_ask[1]);
        if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
        ::close(m_ask[0]);
        ::close(m_answer[0]);
        ::close(m_answer[1]);
    }
    int Ask(const std::string& root, const std::string& name) {
        const std::string request = root + "\t" + name;
        char reply = 0;
        if (m_pid <= 0 || ::write(m_ask[1], request.data(), request.size()) != static_cast<ssize_t>(request.size()) ||
            ::read(m_answer[0], &reply, 1) != 1)
            return -1;
        return reply - '0';
    }

private:
    int m_ask[2] = {-1, -1};
    int m_answer[2] = {-1, -1};
    pid_t m_pid = -1;
};

TEST(Mutexes, NamesAreSeenByEveryProcessOnTheRoot) {
    TempRoot root, other;
    DeviceRoot::SetRoot(root.Path());
    OtherProcess process;
    EXPECT_EQ(process.Ask(root.Path(), "Velko"), 0);
    HANDLE mine = CreateMutexW(nullptr, TRUE, u"Velko");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(process.Ask(root.Path(), "Velko"), 1);
    EXPECT_EQ(process.Ask(root.Path() + "/", "Velko"), 1); // the same folder however it is written
    EXPECT_EQ(process.Ask(root.Path(), "velko"), 0);       // names keep their case
    EXPECT_EQ(process.Ask(other.Path(), "Velko"), 0);      // another device root has names of its own
    CloseHandle(mine); // the last handle gives the name back
    EXPECT_EQ(process.Ask(root.Path(), "Velko"), 0);
}

} // namespace
