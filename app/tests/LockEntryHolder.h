// Holds entries of a lock set on a thread of its own, as a worker planning a route would, until
// the holder goes out of scope.
#pragma once

#include "app/LockSet.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace mainview_test {

class LockEntryHolder {
public:
    // entry is an entry of the set, or -1 for the whole set; Taken() says whether the 10 ms try
    // got it.
    LockEntryHolder(CLockSet& locks, int entry) {
        m_thread = std::thread([this, &locks, entry] {
            const bool taken = locks.Lock(entry, 10);
            std::unique_lock<std::mutex> hold(m_mutex);
            m_taken = taken;
            m_ready = true;
            m_cv.notify_all();
            m_cv.wait(hold, [this] { return m_release; });
            if (taken) locks.Unlock(entry);
        });
        std::unique_lock<std::mutex> wait(m_mutex);
        m_cv.wait(wait, [this] { return m_ready; });
    }
    ~LockEntryHolder() {
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            m_release = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    LockEntryHolder(const LockEntryHolder&) = delete;
    LockEntryHolder& operator=(const LockEntryHolder&) = delete;
    bool Taken() const { return m_taken; }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_ready = false, m_release = false, m_taken = false;
    std::thread m_thread;
};

} // namespace mainview_test
