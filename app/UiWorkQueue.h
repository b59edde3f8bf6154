// Work that worker threads hand to the user-interface thread: they never touch a window
// themselves. A post queues a piece of work and, when the queue was empty, posts one message to
// the view's window; the view's window procedure runs the queue when that message arrives
// (HandleMessage). Work posted under a key supersedes the piece of the same key still waiting, so
// a worker that moves the map on every fix does not flood the queue.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/window/Window.h"

#include <deque>
#include <functional>
#include <mutex>

class CUiWorkQueue {
public:
    CUiWorkQueue();
    CUiWorkQueue(const CUiWorkQueue&) = delete;
    CUiWorkQueue& operator=(const CUiWorkQueue&) = delete;

    // The window whose thread runs the work; null drops what waits and every later post.
    void Attach(HWND window);
    void Detach() { Attach(nullptr); }
    // The message that tells the window to run the queue.
    UINT Message() const { return m_message; }

    // From any thread. False when no window is attached (the work is dropped).
    bool Post(std::function<void()> work);
    // Key 0 never replaces anything; another key drops the waiting piece of that key (a state
    // superseded by the new one) and queues the new piece at the end.
    bool Post(int key, std::function<void()> work);

    // On the window's thread: true when message was the queue's, after running what waited.
    bool HandleMessage(UINT message);
    // Runs every piece of work waiting (also what the pieces post meanwhile: on the next message).
    void RunPending();
    std::size_t Pending() const;

private:
    struct Item {
        int key;
        std::function<void()> work;
    };

    const UINT m_message;
    mutable std::mutex m_mutex;
    HWND m_window = nullptr;
    std::deque<Item> m_items;
    bool m_messagePosted = false;
};
