#include "app/UiWorkQueue.h"

CUiWorkQueue::CUiWorkQueue() : m_message(RegisterWindowMessageW(u"VelkoUiWork")) {}

void CUiWorkQueue::Attach(HWND window) {
    std::deque<Item> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_window = window;
        if (!window) dropped.swap(m_items);
        m_messagePosted = false;
    }
    // A new window gets its own message for what already waits.
    if (window && Pending() > 0) {
        std::lock_guard lock(m_mutex);
        m_messagePosted = PostMessageW(m_window, m_message, 0, 0) != FALSE;
    }
}

bool CUiWorkQueue::Post(std::function<void()> work) {
    return Post(0, std::move(work));
}

bool CUiWorkQueue::Post(int key, std::function<void()> work) {
    std::lock_guard lock(m_mutex);
    if (!m_window || !work) return false;
    // The older piece of the same key is dropped and the new one goes to the end: what runs is
    // what would have run, minus the superseded states.
    if (key != 0)
        for (auto it = m_items.begin(); it != m_items.end(); ++it)
            if (it->key == key) {
                m_items.erase(it);
                break;
            }
    m_items.push_back(Item{key, std::move(work)});
    if (!m_messagePosted) m_messagePosted = PostMessageW(m_window, m_message, 0, 0) != FALSE;
    return true;
}

bool CUiWorkQueue::HandleMessage(UINT message) {
    if (message != m_message) return false;
    RunPending();
    return true;
}

void CUiWorkQueue::RunPending() {
    std::deque<Item> items;
    {
        std::lock_guard lock(m_mutex);
        items.swap(m_items);
        m_messagePosted = false;
    }
    for (Item& item : items) item.work();
}

std::size_t CUiWorkQueue::Pending() const {
    std::lock_guard lock(m_mutex);
    return m_items.size();
}
