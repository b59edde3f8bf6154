// The window core: window objects, the z-order, message queues, sending and posting, timers,
// input routing, focus, capture, activation, painting and the modal loop.
//
// Locking: one recursive mutex guards every window, queue and timer. It is never held while a
// window procedure runs; code that has called a procedure looks the window up again by its
// handle, because the procedure may have destroyed it.
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "platform/window/WindowInternal.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
};

struct TimerEntry {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    std::uint64_t due = 0;
    TIMERPROC proc = nullptr;
};

struct ThreadQueue {
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    std::vector<TimerEntry> timers;
    std::function<bool(int)> idle;
    int modalDepth = 0;
    int inSend = 0;
    BYTE keys[256] = {};
    DWORD lastMessageTime = 0;
};

struct ClassInfo {
    WNDCLASSW wc;
    std::u16string name;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    std::u16string className;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect;                  // parent client coordinates; screen coordinates for a top-level window
    HWND parent = nullptr;      // children only
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // front first
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    std::shared_ptr<ThreadQueue> queue;
    HRGN region = nullptr;
    bool destroying = false;
    bool needsPaint = false;
    RECT update;
    bool erase = false;
    HBITMAP backing = nullptr;
    bool inModal = false;
    bool modalEnded = false;
    INT_PTR modalResult = 0;
};

struct HotKey {
    HWND hwnd = nullptr;
    int id = 0;
    UINT modifiers = 0;
    UINT vk = 0;
};

std::recursive_mutex g_mutex;
std::condition_variable_any g_cv;
std::map<HWND, std::unique_ptr<Window>> g_windows;
std::vector<HWND> g_topLevel; // front first
std::map<std::u16string, ClassInfo> g_classes;
ATOM g_nextAtom = 0xC000;
HWND g_focus = nullptr;
HWND g_active = nullptr;
HWND g_capture = nullptr;
bool g_penDown = false;
std::uintptr_t g_nextHandle = 0x10000;
std::map<std::u16string, UINT> g_registeredMessages;
UINT g_nextRegisteredMessage = 0xC000;
std::vector<HotKey> g_hotKeys;
std::atomic<std::uint64_t> g_screenGeneration{1};
std::uint64_t g_composedGeneration = 0;
BYTE g_asyncKeys[256] = {};
std::function<void()> g_paintObserver;
MessageBoxHandler g_messageBoxHandler;
MessageBoxAnswerObserver g_messageBoxAnswerObserver;
std::set<HDC> g_windowDCs;
std::atomic<bool> g_waitCursor{false};
std::atomic<std::uint64_t> g_paintCount{0};
gdi::Icon g_arrowCursor;
gdi::Icon g_waitCursorIcon;
HCURSOR g_cursor = &g_arrowCursor;

std::atomic<bool> g_threadCheck{false};
WrongThreadObserver g_wrongThreadObserver;

thread_local std::shared_ptr<ThreadQueue> t_queue;
thread_local winint::CreateHook t_createHook = nullptr;
thread_local void* t_createHookContext = nullptr;

using Lock = std::unique_lock<std::recursive_mutex>;

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!t_queue) t_queue = std::make_shared<ThreadQueue>();
    return t_queue;
}

std::u16string Fold(const char16_t* text) {
    std::u16string out;
    if (!text) return out;
    for (; *text; ++text) {
        char16_t c = *text;
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        out += c;
    }
    return out;
}

bool IsNameAtom(LPCWSTR name) {
    return name && IS_INTRESOURCE(name);
}

Window* Find(HWND hwnd) {
    auto it = g_windows.find(hwnd);
    return it == g_windows.end() ? nullptr : it->second.get();
}

// Reports a call on a window from a thread that does not own it (only while the check is on).
void CheckCallingThread(HWND hwnd, const char* call) {
    if (!g_threadCheck.load(std::memory_order_relaxed)) return;
    WrongThreadObserver observer;
    {
        Lock lock(g_mutex);
        const Window* w = Find(hwnd);
        if (!w || w->queue == t_queue) return;
        observer = g_wrongThreadObserver;
    }
    if (observer) observer(hwnd, call);
}

Window* Root(Window* w) {
    while (w && w->parent) w = Find(w->parent);
    return w;
}

POINT ScreenOrigin(const Window* w) {
    POINT p{0, 0};
    while (w) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = w->parent ? Find(w->parent) : nullptr;
    }
    return p;
}

// Origin of w's client area inside its top-level window's backing store.
POINT OriginInRoot(const Window* w) {
    POINT p{0, 0};
    while (w && w->parent) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = Find(w->parent);
    }
    return p;
}

LONG Width(const RECT& r) {
    return r.right - r.left;
}
LONG Height(const RECT& r) {
    return r.bottom - r.top;
}
RECT ClientOf(const Window* w) {
    return RECT{0, 0, Width(w->rect), Height(w->rect)};
}
bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (Empty(r)) r = RECT{};
    return r;
}
RECT Union(const RECT& a, const RECT& b) {
    if (Empty(a)) return b;
    if (Empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
RECT Offset(RECT r, LONG dx, LONG dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}
bool Contains(const RECT& r, LONG x, LONG y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool VisibleChain(const Window* w) {
    while (w) {
        if (!(w->style & WS_VISIBLE)) return false;
        w = w->parent ? Find(w->parent) : nullptr;
    }
    return true;
}

bool EnabledChain(const Window* w) {
    while (w) {
        if (w->style & WS_DISABLED) return false;
        w = w->parent ? Find(w->parent) : nullptr;
    }
    return true;
}

bool IsDescendantOrSelf(HWND ancestor, HWND hwnd) {
    Window* w = Find(hwnd);
    while (w) {
        if (w->handle == ancestor) return true;
        w = w->parent ? Find(w->parent) : nullptr;
    }
    return false;
}

void ScreenChanged() {
    ++g_screenGeneration;
}

std::vector<HWND>& SiblingList(Window* w) {
    if (w->parent) return Find(w->parent)->children;
    return g_topLevel;
}

void NotifyAll() {
    g_cv.notify_all();
}

// ---- z-order ----

// Puts hwnd at the front of its list (behind the topmost band unless it is topmost itself); a
// top-level window takes the windows it owns along, in front of it.
void ZToFront(Window* w) {
    auto& list = SiblingList(w);
    std::vector<HWND> block;
    if (w->parent) {
        block.push_back(w->handle);
    } else {
        // w and everything it owns (recursively), keeping their relative order, owned first.
        std::set<HWND> members{w->handle};
        bool grew = true;
        while (grew) {
            grew = false;
            for (HWND h : list) {
                Window* t = Find(h);
                if (t && !members.count(h) && t->owner && members.count(t->owner)) {
                    members.insert(h);
                    grew = true;
                }
            }
        }
        for (HWND h : list)
            if (members.count(h) && h != w->handle) block.push_back(h);
        block.push_back(w->handle);
    }
    list.erase(
        std::remove_if(list.begin(), list.end(),
                       [&](HWND h) { return std::find(block.begin(), block.end(), h) != block.end(); }),
        list.end());
    std::size_t at = 0;
    if (!w->parent && !(w->exStyle & WS_EX_TOPMOST)) {
        while (at < list.size()) {
            Window* t = Find(list[at]);
            if (!t || !(t->exStyle & WS_EX_TOPMOST)) break;
            ++at;
        }
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), block.begin(), block.end());
    ScreenChanged();
}

void ZToBack(Window* w) {
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w->handle), list.end());
    list.push_back(w->handle);
    ScreenChanged();
}

void ZAfter(Window* w, HWND after) {
    auto& list = SiblingList(w);
    if (std::find(list.begin(), list.end(), after) == list.end()) return;
    list.erase(std::remove(list.begin(), list.end(), w->handle), list.end());
    auto it = std::find(list.begin(), list.end(), after);
    list.insert(it + 1, w->handle);
    ScreenChanged();
}

// ---- invalidation ----

void InvalidateLocked(Window* w, RECT r, bool erase, bool children) {
    r = Intersect(r, ClientOf(w));
    if (Empty(r)) return;
    w->update = Union(w->update, r);
    w->needsPaint = true;
    w->erase = w->erase || erase;
    if (children) {
        for (HWND h : w->children) {
            Window* c = Find(h);
            if (c) InvalidateLocked(c, Offset(r, -c->rect.left, -c->rect.top), erase, true);
        }
    }
    NotifyAll();
}

// The area a child covered in its parent needs repainting (it was moved, hidden or destroyed).
void InvalidateUncovered(Window* w, const RECT& rectInParent) {
    if (w->parent) {
        if (Window* p = Find(w->parent)) InvalidateLocked(p, rectInParent, true, true);
    } else {
        ScreenChanged();
    }
}

void EnsureBacking(Window* w) {
    if (w->parent) return;
    const int width = std::max<LONG>(1, Width(w->rect));
    const int height = std::max<LONG>(1, Height(w->rect));
    if (w->backing) {
        gdi::Bitmap* b = gdi::Resolve<gdi::Bitmap>(w->backing);
        if (b && b->Width() == width && b->Height() == height) return;
    }
    HBITMAP fresh = CreateCompatibleBitmap(nullptr, width, height);
    if (!fresh) return; // painting goes nowhere until a later attempt succeeds
    gdi::Bitmap* nb = gdi::Resolve<gdi::Bitmap>(fresh);
    if (nb) {
        for (int y = 0; y < height; ++y) nb->FillSpan(y, 0, width, kDesktopColor);
    }
    if (w->backing) {
        gdi::Bitmap* ob = gdi::Resolve<gdi::Bitmap>(w->backing);
        if (ob && nb) {
            const int cw = std::min(width, ob->Width());
            const int ch = std::min(height, ob->Height());
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) nb->SetColor(x, y, ob->GetColor(x, y));
        }
        DeleteObject(w->backing);
    }
    w->backing = fresh;
}

// Clip rectangles (backing-store coordinates) of w's client area: inside every ancestor, minus
// its visible children and the visible siblings above it at every level, within its region.
std::vector<RECT> VisibleRects(Window* w) {
    const POINT org = OriginInRoot(w);
    std::vector<RECT> rects{Offset(ClientOf(w), org.x, org.y)};
    // Window region of w itself.
    if (w->region) {
        if (gdi::Region* rg = gdi::Resolve<gdi::Region>(w->region)) {
            std::vector<RECT> shape;
            for (RECT r : rg->rects) shape.push_back(Offset(r, org.x, org.y));
            rects = gdi::Region::Combine(rects, shape, RGN_AND);
        }
    }
    // Children of w.
    std::vector<RECT> cut;
    for (HWND h : w->children) {
        Window* c = Find(h);
        if (c && (c->style & WS_VISIBLE)) cut.push_back(Offset(c->rect, org.x, org.y));
    }
    // Ancestors' clients and siblings above, level by level.
    Window* cur = w;
    while (cur->parent) {
        Window* p = Find(cur->parent);
        if (!p) break;
        const POINT porg = OriginInRoot(p);
        rects = gdi::Region::Combine(rects, {Offset(ClientOf(p), porg.x, porg.y)}, RGN_AND);
        for (HWND h : p->children) {
            if (h == cur->handle) break;
            Window* s = Find(h);
            if (s && (s->style & WS_VISIBLE)) cut.push_back(Offset(s->rect, porg.x, porg.y));
        }
        cur = p;
    }
    if (!cut.empty()) rects = gdi::Region::Combine(rects, cut, RGN_DIFF);
    return rects;
}

HDC MakeWindowDC(Window* w, const RECT* updateClient) {
    Window* root = Root(w);
    if (!root) return nullptr;
    EnsureBacking(root);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    if (root->backing) SelectObject(dc, root->backing);
    std::vector<RECT> rects = VisibleRects(w);
    const POINT org = OriginInRoot(w);
    if (updateClient) rects = gdi::Region::Combine(rects, {Offset(*updateClient, org.x, org.y)}, RGN_AND);
    if (gdi::DeviceContext* d = gdi::ResolveDC(dc)) d->Current().clip = rects;
    SetViewportOrgEx(dc, org.x, org.y, nullptr);
    g_windowDCs.insert(dc);
    return dc;
}

// ---- procedures ----

LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return 0;
        proc = w->proc;
    }
    if (!proc) return DefWindowProcW(hwnd, message, wParam, lParam);
    return proc(hwnd, message, wParam, lParam);
}

void ProcessSentMessages(ThreadQueue& q, Lock& lock) {
    while (!q.sent.empty()) {
        std::shared_ptr<SentMessage> sm = q.sent.front();
        q.sent.pop_front();
        ++q.inSend;
        lock.unlock();
        const LRESULT r = CallProc(sm->hwnd, sm->message, sm->wParam, sm->lParam);
        lock.lock();
        --q.inSend;
        sm->result = r;
        sm->done = true;
        NotifyAll();
    }
}

bool FilterMatches(HWND filter, UINT lo, UINT hi, const MSG& m) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (filter && m.hwnd != filter && !IsDescendantOrSelf(filter, m.hwnd)) {
        return false;
    }
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

HWND FindPaintWindow(const ThreadQueue& q, HWND filter, UINT lo, UINT hi) {
    if (!(lo == 0 && hi == 0) && !(WM_PAINT >= lo && WM_PAINT <= hi)) return nullptr;
    std::vector<HWND> stack(g_topLevel.rbegin(), g_topLevel.rend());
    while (!stack.empty()) {
        HWND h = stack.back();
        stack.pop_back();
        Window* w = Find(h);
        if (!w || !(w->style & WS_VISIBLE) || w->destroying) continue;
        if (w->queue.get() == &q && w->needsPaint && (!filter || IsDescendantOrSelf(filter, h))) return h;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
    }
    return nullptr;
}

void UpdateKeyState(ThreadQueue& q, const MSG& m) {
    if (m.message != WM_KEYDOWN && m.message != WM_KEYUP && m.message != WM_SYSKEYDOWN &&
        m.message != WM_SYSKEYUP)
        return;
    const BYTE vk = static_cast<BYTE>(m.wParam);
    const bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    if (down) {
        if (!(q.keys[vk] & 0x80)) q.keys[vk] ^= 0x01; // toggle on each press
        q.keys[vk] |= 0x80;
    } else {
        q.keys[vk] &= static_cast<BYTE>(~0x80);
    }
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) q.keys[VK_SHIFT] = q.keys[vk];
}

// One message for the queue, in Windows' order: sent (handled here), posted and input, WM_QUIT,
// WM_PAINT, WM_TIMER.
bool Fetch(ThreadQueue& q, Lock& lock, MSG* out, HWND filter, UINT lo, UINT hi, bool remove, bool allowQuit) {
    ProcessSentMessages(q, lock);
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!FilterMatches(filter, lo, hi, *it)) continue;
        *out = *it;
        if (remove) {
            q.posted.erase(it);
            UpdateKeyState(q, *out);
            q.lastMessageTime = out->time;
        }
        return true;
    }
    if (q.quit && allowQuit && ((lo == 0 && hi == 0) || (WM_QUIT >= lo && WM_QUIT <= hi))) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(q.quitCode);
        if (remove) q.quit = false;
        return true;
    }
    if (HWND p = FindPaintWindow(q, filter, lo, hi)) {
        *out = MSG{};
        out->hwnd = p;
        out->message = WM_PAINT;
        out->time = GetTickCount();
        return true;
    }
    if ((lo == 0 && hi == 0) || (WM_TIMER >= lo && WM_TIMER <= hi)) {
        const std::uint64_t now = TheClock().TickCount();
        TimerEntry* best = nullptr;
        for (TimerEntry& t : q.timers) {
            if (t.due > now) continue;
            MSG probe;
            probe.hwnd = t.hwnd;
            probe.message = WM_TIMER;
            if (filter && !FilterMatches(filter, 0, 0, probe)) continue;
            if (!best || t.due < best->due) best = &t;
        }
        if (best) {
            *out = MSG{};
            out->hwnd = best->hwnd;
            out->message = WM_TIMER;
            out->wParam = best->id;
            out->lParam = reinterpret_cast<LPARAM>(best->proc);
            out->time = static_cast<DWORD>(now);
            if (remove) {
                // Coalesced: however many periods were missed, one WM_TIMER, and the next is due one
                // period after this one (or one period from now when that is already past).
                best->due += best->period;
                if (best->due <= now) best->due = now + best->period;
                q.lastMessageTime = out->time;
            }
            return true;
        }
    }
    return false;
}

void WaitForMessages(ThreadQueue& q, Lock& lock) {
    if (q.idle) {
        auto idle = q.idle;
        const int depth = q.modalDepth;
        lock.unlock();
        const bool did = idle(depth);
        lock.lock();
        if (did) return;
    }
    if (!q.sent.empty() || !q.posted.empty() || q.quit) return;
    std::uint64_t next = UINT64_MAX;
    for (const TimerEntry& t : q.timers) next = std::min(next, t.due);
    if (next == UINT64_MAX) {
        g_cv.wait_for(lock, std::chrono::milliseconds(50));
        return;
    }
    Clock& clock = TheClock();
    if (clock.IsSimulated()) {
        // Someone else moves simulated time; look again shortly.
        g_cv.wait_for(lock, std::chrono::milliseconds(5));
        return;
    }
    const std::uint64_t now = clock.TickCount();
    if (next <= now) return;
    g_cv.wait_for(lock, std::chrono::milliseconds(std::min<std::uint64_t>(next - now, 50)));
}

void RemoveWindowState(Window* w) {
    // Timers, posted messages and hot keys of a window that is going away.
    if (w->queue) {
        auto& timers = w->queue->timers;
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const TimerEntry& t) { return t.hwnd == w->handle; }),
                     timers.end());
        auto& posted = w->queue->posted;
        posted.erase(
            std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == w->handle; }),
            posted.end());
        for (auto& sm : w->queue->sent)
            if (sm->hwnd == w->handle) sm->hwnd = nullptr; // answered 0 when its turn comes
    }
    g_hotKeys.erase(std::remove_if(g_hotKeys.begin(), g_hotKeys.end(),
                                   [&](const HotKey& k) { return k.hwnd == w->handle; }),
                    g_hotKeys.end());
}

HWND PickNextActive(HWND leaving) {
    Window* l = Find(leaving);
    auto activatable = [&](Window* t) {
        return t && t->handle != leaving && !t->destroying && (t->style & WS_VISIBLE) &&
               !(t->style & WS_DISABLED) && !(t->exStyle & WS_EX_NOACTIVATE) && !t->parent;
    };
    if (l && l->owner) {
        Window* o = Find(l->owner);
        if (activatable(o)) return o->handle;
    }
    for (HWND h : g_topLevel) {
        Window* t = Find(h);
        if (activatable(t) && !(l && t->owner == leaving)) return h;
    }
    return nullptr;
}

void ActivateWindow(HWND hwnd, WORD state);

void DeactivateTo(HWND leaving) {
    HWND next = nullptr;
    {
        Lock lock(g_mutex);
        if (g_active != leaving) return;
        next = PickNextActive(leaving);
    }
    if (next) {
        ActivateWindow(next, WA_ACTIVE);
        return;
    }
    HWND oldFocus = nullptr;
    {
        Lock lock(g_mutex);
        if (g_active != leaving) return;
        g_active = nullptr;
        if (g_focus && IsDescendantOrSelf(leaving, g_focus)) {
            oldFocus = g_focus;
            g_focus = nullptr;
        }
    }
    SendMessageW(leaving, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    if (oldFocus) SendMessageW(oldFocus, WM_KILLFOCUS, 0, 0);
}

void ActivateWindow(HWND hwnd, WORD state) {
    HWND old = nullptr;
    {
        Lock lock(g_mutex);
        Window* w = Root(Find(hwnd));
        if (!w || w->destroying) return;
        hwnd = w->handle;
        ZToFront(w);
        if (g_active == hwnd) return;
        old = g_active;
        g_active = hwnd;
    }
    if (old && IsWindow(old))
        SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    {
        Lock lock(g_mutex);
        if (g_active != hwnd) return; // the old window's handler activated something else
    }
    SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(state, 0), reinterpret_cast<LPARAM>(old));
}

std::u16string CopyText(LPCWSTR text) {
    return text ? std::u16string(text) : std::u16string();
}

} // namespace

// ---- hooks shared with the rest of the window system ----

void winint::SetCreateHook(CreateHook hook, void* context) {
    t_createHook = hook;
    t_createHookContext = context;
}

// ---- classes ----

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc || !wc->lpszClassName || IsNameAtom(wc->lpszClassName) || !*wc->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Lock lock(g_mutex);
    const std::u16string key = Fold(wc->lpszClassName);
    if (g_classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ClassInfo info;
    info.wc = *wc;
    info.name = wc->lpszClassName;
    info.wc.lpszClassName = nullptr; // the stored name lives in info.name
    info.wc.lpszMenuName = nullptr;
    info.atom = g_nextAtom++;
    g_classes[key] = info;
    return info.atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    Lock lock(g_mutex);
    if (!className || IsNameAtom(className)) return FALSE;
    return g_classes.erase(Fold(className)) ? TRUE : FALSE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* wc) {
    Lock lock(g_mutex);
    if (!className || IsNameAtom(className)) return FALSE;
    auto it = g_classes.find(Fold(className));
    if (it == g_classes.end()) return FALSE;
    if (wc) {
        *wc = it->second.wc;
        wc->lpszClassName = it->second.name.c_str();
    }
    return TRUE;
}

// ---- creation and destruction ----

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    HWND hwnd = nullptr;
    CREATESTRUCTW cs;
    {
        Lock lock(g_mutex);
        if (!className || IsNameAtom(className)) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        auto cls = g_classes.find(Fold(className));
        if (cls == g_classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window* p = parent ? Find(parent) : nullptr;
        if (parent && !p) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if ((style & WS_CHILD) && !p) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (x == CW_USEDEFAULT) x = 0;
        if (y == CW_USEDEFAULT) y = 0;
        if (width == CW_USEDEFAULT) width = (style & WS_CHILD) ? 0 : GetSystemMetrics(SM_CXSCREEN);
        if (height == CW_USEDEFAULT) height = (style & WS_CHILD) ? 0 : GetSystemMetrics(SM_CYSCREEN);
        width = std::max(0, width);
        height = std::max(0, height);

        auto w = std::make_unique<Window>();
        hwnd = reinterpret_cast<HWND>(g_nextHandle);
        g_nextHandle += 0x10;
        w->handle = hwnd;
        w->className = cls->second.name;
        w->proc = cls->second.wc.lpfnWndProc;
        w->background = cls->second.wc.hbrBackground;
        w->text = CopyText(windowName);
        w->style = style & ~WS_VISIBLE;
        w->exStyle = exStyle;
        w->rect = RECT{x, y, x + width, y + height};
        w->queue = CurrentQueue();
        if (style & WS_CHILD) {
            w->parent = parent;
            w->id = static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menuOrId));
        } else if (p) {
            w->owner = Root(p)->handle;
        }
        Window* raw = w.get();
        g_windows[hwnd] = std::move(w);
        if (raw->parent)
            p->children.insert(p->children.begin(), hwnd);
        else {
            g_topLevel.insert(g_topLevel.begin(), hwnd);
            ZToFront(raw);
            EnsureBacking(raw);
        }
        cs.lpCreateParams = param;
        cs.hInstance = instance;
        cs.hMenu = menuOrId;
        cs.hwndParent = parent;
        cs.cx = width;
        cs.cy = height;
        cs.x = x;
        cs.y = y;
        cs.style = static_cast<LONG>(style);
        cs.lpszName = windowName;
        cs.lpszClass = className;
        cs.dwExStyle = exStyle;
    }
    if (t_createHook) {
        auto hook = t_createHook;
        void* context = t_createHookContext;
        t_createHook = nullptr;
        t_createHookContext = nullptr;
        hook(hwnd, context);
    }
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    {
        Lock lock(g_mutex);
        if (Window* w = Find(hwnd)) InvalidateLocked(w, ClientOf(w), true, false);
    }
    if ((style & WS_VISIBLE) && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    CheckCallingThread(hwnd, "DestroyWindow");
    std::vector<HWND> owned;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w || w->destroying) return FALSE;
        if (!w->parent)
            for (HWND h : g_topLevel) {
                Window* t = Find(h);
                if (t && t->owner == hwnd) owned.push_back(h);
            }
    }
    for (HWND h : owned) DestroyWindow(h);

    std::vector<HWND> subtree;
    bool releaseCapture = false;
    bool wasActive = false;
    HWND lostFocus = nullptr;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w || w->destroying) return FALSE;
        std::vector<HWND> stack{hwnd};
        while (!stack.empty()) {
            HWND h = stack.back();
            stack.pop_back();
            Window* t = Find(h);
            if (!t) continue;
            subtree.push_back(h);
            t->destroying = true;
            for (auto it = t->children.rbegin(); it != t->children.rend(); ++it) stack.push_back(*it);
        }
        if (w->style & WS_VISIBLE) {
            w->style &= ~WS_VISIBLE;
            InvalidateUncovered(w, w->rect);
        }
        releaseCapture = g_capture && std::find(subtree.begin(), subtree.end(), g_capture) != subtree.end();
        wasActive = g_active == hwnd;
    }
    if (releaseCapture) ReleaseCapture();
    if (wasActive) DeactivateTo(hwnd);
    {
        Lock lock(g_mutex);
        if (g_focus && std::find(subtree.begin(), subtree.end(), g_focus) != subtree.end()) {
            lostFocus = g_focus;
            g_focus = nullptr;
        }
        if (g_active && std::find(subtree.begin(), subtree.end(), g_active) != subtree.end())
            g_active = nullptr;
    }
    if (lostFocus) SendMessageW(lostFocus, WM_KILLFOCUS, 0, 0);
    for (HWND h : subtree) SendMessageW(h, WM_DESTROY, 0, 0);
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) SendMessageW(*it, WM_NCDESTROY, 0, 0);
    {
        Lock lock(g_mutex);
        for (HWND h : subtree) {
            Window* t = Find(h);
            if (!t) continue;
            if (t->parent) {
                if (Window* p = Find(t->parent))
                    p->children.erase(std::remove(p->children.begin(), p->children.end(), h),
                                      p->children.end());
            } else {
                g_topLevel.erase(std::remove(g_topLevel.begin(), g_topLevel.end(), h), g_topLevel.end());
            }
            RemoveWindowState(t);
            if (t->region) DeleteObject(t->region);
            if (t->backing) DeleteObject(t->backing);
            if (g_focus == h) g_focus = nullptr;
            if (g_active == h) g_active = nullptr;
            if (g_capture == h) g_capture = nullptr;
        }
        for (HWND h : subtree) g_windows.erase(h);
        ScreenChanged();
    }
    NotifyAll();
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    Lock lock(g_mutex);
    return Find(hwnd) ? TRUE : FALSE;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return DefWindowProcW(hwnd, message, wParam, lParam);
    return proc(hwnd, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ERASEBKGND: {
        HBRUSH brush = nullptr;
        {
            Lock lock(g_mutex);
            Window* w = Find(hwnd);
            if (!w) return 0;
            brush = w->background;
        }
        if (!brush) return 0;
        const std::uintptr_t raw = reinterpret_cast<std::uintptr_t>(brush);
        if (raw > 0 && raw <= 64) brush = GetSysColorBrush(static_cast<int>(raw - 1));
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            bool take = false;
            {
                Lock lock(g_mutex);
                take = !g_focus || !IsDescendantOrSelf(hwnd, g_focus);
            }
            if (take) SetFocus(hwnd);
        }
        return 0;
    case WM_SETTEXT: {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        w->text = CopyText(reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    }
    case WM_GETTEXT: {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        const std::size_t size = static_cast<std::size_t>(wParam);
        if (!w || !buffer || size == 0) return 0;
        const std::size_t n = std::min(size - 1, w->text.size());
        std::copy_n(w->text.data(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    default:
        return 0;
    }
}

// ---- tree and geometry ----

HWND GetParent(HWND hwnd) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND SetParent(HWND child, HWND newParent) {
    Lock lock(g_mutex);
    Window* w = Find(child);
    Window* p = newParent ? Find(newParent) : nullptr;
    if (!w || (newParent && !p) || (newParent && IsDescendantOrSelf(child, newParent))) return nullptr;
    HWND old = w->parent;
    if (w->style & WS_VISIBLE) InvalidateUncovered(w, w->rect);
    SiblingList(w).erase(std::remove(SiblingList(w).begin(), SiblingList(w).end(), child),
                         SiblingList(w).end());
    if (p) {
        w->parent = newParent;
        w->style |= WS_CHILD;
        w->owner = nullptr;
        p->children.insert(p->children.begin(), child);
        if (w->backing) {
            DeleteObject(w->backing);
            w->backing = nullptr;
        }
    } else {
        w->parent = nullptr;
        w->style &= ~WS_CHILD;
        g_topLevel.insert(g_topLevel.begin(), child);
        EnsureBacking(w);
    }
    InvalidateLocked(w, ClientOf(w), true, true);
    ScreenChanged();
    return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_OWNER) return w->owner;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    const auto& list = SiblingList(w);
    auto it = std::find(list.begin(), list.end(), hwnd);
    switch (cmd) {
    case GW_HWNDFIRST:
        return list.empty() ? nullptr : list.front();
    case GW_HWNDLAST:
        return list.empty() ? nullptr : list.back();
    case GW_HWNDNEXT:
        return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == list.begin() || it == list.end()) ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

HWND GetDesktopWindow() {
    return FindWindowW(u"DesktopExplorerWindow", nullptr);
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Lock lock(g_mutex);
    if (parent == hwnd) return FALSE;
    Window* w = Find(hwnd);
    if (!w || !Find(parent)) return FALSE;
    return IsDescendantOrSelf(parent, hwnd) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    const POINT o = ScreenOrigin(w);
    *rect = RECT{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = ClientOf(w);
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    CheckCallingThread(hwnd, "SetWindowPos");
    bool moved = false;
    bool sized = false;
    RECT now;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        const RECT old = w->rect;
        RECT r = old;
        if (!(flags & SWP_NOMOVE)) r = Offset(RECT{0, 0, Width(old), Height(old)}, x, y);
        if (!(flags & SWP_NOSIZE)) {
            r.right = r.left + std::max(0, width);
            r.bottom = r.top + std::max(0, height);
        }
        moved = r.left != old.left || r.top != old.top;
        sized = Width(r) != Width(old) || Height(r) != Height(old);
        if (moved || sized) {
            const bool visible = (w->style & WS_VISIBLE) != 0;
            w->rect = r;
            if (visible) InvalidateUncovered(w, old);
            if (w->parent) {
                InvalidateLocked(w, ClientOf(w), true, true);
            } else if (sized) {
                EnsureBacking(w);
                InvalidateLocked(w, ClientOf(w), true, true);
            }
            ScreenChanged();
        }
        if (!(flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_TOPMOST) {
                w->exStyle |= WS_EX_TOPMOST;
                ZToFront(w);
            } else if (insertAfter == HWND_NOTOPMOST) {
                w->exStyle &= ~WS_EX_TOPMOST;
                ZToFront(w);
            } else if (insertAfter == HWND_TOP) {
                ZToFront(w);
            } else if (insertAfter == HWND_BOTTOM) {
                ZToBack(w);
            } else {
                ZAfter(w, insertAfter);
            }
            if (w->style & WS_VISIBLE) {
                if (w->parent) InvalidateLocked(w, ClientOf(w), true, true);
            }
        }
        now = w->rect;
    }
    if (moved) SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(now.left, now.top));
    if (sized) SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(now), Height(now)));
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    CheckCallingThread(hwnd, "MoveWindow");
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hwnd, int command) {
    CheckCallingThread(hwnd, "ShowWindow");
    const bool show = command != SW_HIDE && command != SW_MINIMIZE;
    const bool activate = command == SW_SHOW || command == SW_SHOWNORMAL;
    bool wasVisible = false;
    bool topLevel = false;
    bool canActivate = false;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        topLevel = !w->parent;
        canActivate = topLevel && !(w->exStyle & WS_EX_NOACTIVATE) && !(w->style & WS_DISABLED);
    }
    if (show != wasVisible) {
        SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return wasVisible ? TRUE : FALSE;
        if (show) {
            w->style |= WS_VISIBLE;
            InvalidateLocked(w, ClientOf(w), true, true);
            if (topLevel) ZToFront(w);
        } else {
            w->style &= ~WS_VISIBLE;
            InvalidateUncovered(w, w->rect);
        }
        ScreenChanged();
    }
    if (show && activate && canActivate) ActivateWindow(hwnd, WA_ACTIVE);
    if (!show) {
        bool wasActive = false;
        {
            Lock lock(g_mutex);
            wasActive = g_active == hwnd;
        }
        if (wasActive) DeactivateTo(hwnd);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    return w && VisibleChain(w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    bool changed = false;
    HWND lostFocus = nullptr;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        wasDisabled = (w->style & WS_DISABLED) != 0;
        changed = wasDisabled == static_cast<bool>(enable);
        if (changed) {
            if (enable)
                w->style &= ~WS_DISABLED;
            else
                w->style |= WS_DISABLED;
            if (!enable && g_focus && IsDescendantOrSelf(hwnd, g_focus) && w->parent) {
                lostFocus = g_focus;
                g_focus = nullptr;
            }
            if (!enable && g_capture && IsDescendantOrSelf(hwnd, g_capture)) g_capture = nullptr;
        }
    }
    if (lostFocus) SendMessageW(lostFocus, WM_KILLFOCUS, 0, 0);
    if (changed) SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    CheckCallingThread(hwnd, "SetWindowText");
    if (!IsWindow(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(size - 1), w->className.size());
    std::copy_n(w->className.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

LONG_PTR GetWindowLongW(HWND hwnd, int index) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWL_USERDATA:
        return w->userData;
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongW(HWND hwnd, int index, LONG_PTR value) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWL_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWL_ID:
        old = w->id;
        w->id = value;
        break;
    case GWL_STYLE:
        old = static_cast<LONG_PTR>(w->style);
        // Visibility changes go through ShowWindow; the other bits are taken as given.
        w->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
        break;
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        break;
    case GWL_USERDATA:
        old = w->userData;
        w->userData = value;
        break;
    default:
        break;
    }
    return old;
}

HWND GetDlgItem(HWND dialog, int id) {
    Lock lock(g_mutex);
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND h : w->children) {
        Window* c = Find(h);
        if (c && c->id == id) return h;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    return w ? static_cast<int>(w->id) : 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    Lock lock(g_mutex);
    const std::u16string cls = className && !IsNameAtom(className) ? Fold(className) : std::u16string();
    for (HWND h : g_topLevel) {
        Window* w = Find(h);
        if (!w || w->destroying) continue;
        if (!cls.empty() && Fold(w->className.c_str()) != cls) continue;
        if (windowName && w->text != windowName) continue;
        return h;
    }
    return nullptr;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) return FALSE;
    std::vector<HWND> list;
    {
        Lock lock(g_mutex);
        list = g_topLevel;
    }
    for (HWND h : list) {
        if (!IsWindow(h)) continue;
        if (!proc(h, lParam)) return FALSE;
    }
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) return FALSE;
    std::vector<HWND> list;
    {
        Lock lock(g_mutex);
        Window* w = Find(parent);
        if (!w) return FALSE;
        std::vector<HWND> stack(w->children.rbegin(), w->children.rend());
        while (!stack.empty()) {
            HWND h = stack.back();
            stack.pop_back();
            list.push_back(h);
            if (Window* c = Find(h))
                for (auto it = c->children.rbegin(); it != c->children.rend(); ++it) stack.push_back(*it);
        }
    }
    for (HWND h : list) {
        if (!IsWindow(h)) continue;
        if (!proc(h, lParam)) return FALSE;
    }
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    const POINT o = ScreenOrigin(w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    const POINT o = ScreenOrigin(w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    Lock lock(g_mutex);
    POINT a{0, 0};
    POINT b{0, 0};
    if (from) {
        Window* w = Find(from);
        if (!w) return 0;
        a = ScreenOrigin(w);
    }
    if (to) {
        Window* w = Find(to);
        if (!w) return 0;
        b = ScreenOrigin(w);
    }
    const LONG dx = a.x - b.x;
    const LONG dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {

bool HitsWindow(Window* w, LONG x, LONG y) {
    // x, y in the coordinates of w's parent client (screen for top-level windows).
    if (!(w->style & WS_VISIBLE) || w->destroying || !Contains(w->rect, x, y)) return false;
    if (w->region) {
        gdi::Region* rg = gdi::Resolve<gdi::Region>(w->region);
        if (rg && !rg->Contains(x - w->rect.left, y - w->rect.top)) return false;
    }
    return true;
}

HWND HitTest(POINT p) {
    Window* hit = nullptr;
    for (HWND h : g_topLevel) {
        Window* w = Find(h);
        if (w && HitsWindow(w, p.x, p.y)) {
            hit = w;
            break;
        }
    }
    if (!hit) return nullptr;
    LONG x = p.x - hit->rect.left;
    LONG y = p.y - hit->rect.top;
    for (;;) {
        Window* inner = nullptr;
        for (HWND h : hit->children) {
            Window* c = Find(h);
            if (c && HitsWindow(c, x, y)) {
                inner = c;
                break;
            }
        }
        if (!inner) break;
        x -= inner->rect.left;
        y -= inner->rect.top;
        hit = inner;
    }
    return hit->handle;
}

} // namespace

HWND WindowFromPoint(POINT point) {
    Lock lock(g_mutex);
    return HitTest(point);
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
    Lock lock(g_mutex);
    Window* w = Find(parent);
    if (!w || !Contains(ClientOf(w), point.x, point.y)) return nullptr;
    for (HWND h : w->children) {
        Window* c = Find(h);
        if (c && Contains(c->rect, point.x, point.y)) return h;
    }
    return parent;
}

int GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        if (gdi::Bitmap* s = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap()))
            return index == SM_CXSCREEN ? s->Width() : s->Height();
        return index == SM_CXSCREEN ? 240 : 320;
    }
    return 0;
}

BOOL SystemParametersInfoW(UINT action, UINT param, LPVOID value, UINT) {
    if (action == SPI_GETWORKAREA && value) {
        *static_cast<RECT*>(value) =
            RECT{0, 26, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    if (action == SPI_GETOEMINFO) {
        const std::u16string oem = Utf8ToUtf16(DeviceRoot::Setting("oem"));
        if (!value || param / sizeof(char16_t) < oem.size() + 1) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        auto* out = static_cast<char16_t*>(value);
        std::copy(oem.begin(), oem.end(), out);
        out[oem.size()] = 0;
        return TRUE;
    }
    return FALSE;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (region && !gdi::Resolve<gdi::Region>(region)) return 0;
    if (w->region && w->region != region) DeleteObject(w->region);
    w->region = region;
    if (w->style & WS_VISIBLE) {
        InvalidateUncovered(w, w->rect);
        if (redraw) InvalidateLocked(w, ClientOf(w), true, true);
    }
    ScreenChanged();
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w || !w->region || !region) return ERROR;
    return CombineRgn(region, w->region, nullptr, RGN_COPY);
}

// ---- messages ----

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Lock lock(g_mutex);
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    if (hwnd == HWND_BROADCAST) {
        for (HWND h : g_topLevel) {
            Window* w = Find(h);
            if (!w) continue;
            m.hwnd = h;
            w->queue->posted.push_back(m);
        }
        NotifyAll();
        return TRUE;
    }
    if (!hwnd) {
        CurrentQueue()->posted.push_back(m);
        NotifyAll();
        return TRUE;
    }
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->queue->posted.push_back(m);
    NotifyAll();
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != HWND_BROADCAST) CheckCallingThread(hwnd, "SendMessage");
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> list;
        {
            Lock lock(g_mutex);
            list = g_topLevel;
        }
        for (HWND h : list) SendMessageW(h, message, wParam, lParam);
        return 0;
    }
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::shared_ptr<ThreadQueue> mine = CurrentQueue();
    if (w->queue == mine) {
        lock.unlock();
        return CallProc(hwnd, message, wParam, lParam);
    }
    auto sm = std::make_shared<SentMessage>();
    sm->hwnd = hwnd;
    sm->message = message;
    sm->wParam = wParam;
    sm->lParam = lParam;
    w->queue->sent.push_back(sm);
    NotifyAll();
    while (!sm->done) {
        ProcessSentMessages(*mine, lock); // a thread waiting for an answer still answers others
        if (sm->done) break;
        g_cv.wait_for(lock, std::chrono::milliseconds(50));
    }
    return sm->result;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    return Fetch(*q, lock, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, true) ? TRUE
                                                                                                  : FALSE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    {
        Lock lock(g_mutex);
        if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !Find(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
    }
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    while (!Fetch(*q, lock, msg, hwnd, filterMin, filterMax, true, true)) WaitForMessages(*q, lock);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    MSG m;
    while (!Fetch(*q, lock, &m, nullptr, 0, 0, false, true)) WaitForMessages(*q, lock);
    return TRUE;
}

namespace {

char16_t CharForKey(BYTE vk, bool shift, bool caps) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<char16_t>((shift != caps) ? vk : vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9') return shift ? u")!@#$%^&*("[vk - '0'] : static_cast<char16_t>(vk);
    switch (vk) {
    case VK_SPACE:
        return u' ';
    case VK_RETURN:
        return u'\r';
    case VK_BACK:
        return 8;
    case VK_TAB:
        return u'\t';
    case VK_ESCAPE:
        return 27;
    case 0xBA:
        return shift ? u':' : u';';
    case 0xBB:
        return shift ? u'+' : u'=';
    case 0xBC:
        return shift ? u'<' : u',';
    case 0xBD:
        return shift ? u'_' : u'-';
    case 0xBE:
        return shift ? u'>' : u'.';
    case 0xBF:
        return shift ? u'?' : u'/';
    case 0xC0:
        return shift ? u'~' : u'`';
    case 0xDB:
        return shift ? u'{' : u'[';
    case 0xDC:
        return shift ? u'|' : u'\\';
    case 0xDD:
        return shift ? u'}' : u']';
    case 0xDE:
        return shift ? u'"' : u'\'';
    default:
        return 0;
    }
}

} // namespace

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    const bool shift = (q->keys[VK_SHIFT] & 0x80) != 0;
    const bool caps = (q->keys[VK_CAPITAL] & 0x01) != 0;
    const char16_t ch = CharForKey(static_cast<BYTE>(msg->wParam), shift, caps);
    if (!ch) return FALSE;
    MSG c = *msg;
    c.message = WM_CHAR;
    c.wParam = ch;
    q->posted.push_front(c);
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    {
        Lock lock(g_mutex);
        Window* w = Find(msg->hwnd);
        if (!w || w->queue != CurrentQueue()) return 0;
    }
    const LRESULT r = CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that ignores WM_PAINT must not get it forever.
        Lock lock(g_mutex);
        if (Window* w = Find(msg->hwnd)) {
            w->needsPaint = false;
            w->update = RECT{};
            w->erase = false;
        }
    }
    return r;
}

void PostQuitMessage(int exitCode) {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    q->quit = true;
    q->quitCode = exitCode;
    NotifyAll();
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (!name || !*name) return 0;
    Lock lock(g_mutex);
    const std::u16string key = Fold(name);
    auto it = g_registeredMessages.find(key);
    if (it != g_registeredMessages.end()) return it->second;
    if (g_nextRegisteredMessage > 0xFFFF) return 0;
    const UINT id = g_nextRegisteredMessage++;
    g_registeredMessages[key] = id;
    return id;
}

DWORD GetMessageTime() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    return q->lastMessageTime;
}

BOOL InSendMessage() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    return q->inSend > 0 ? TRUE : FALSE;
}

// ---- timers ----

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Lock lock(g_mutex);
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        Window* w = Find(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        q = w->queue;
    } else {
        q = CurrentQueue();
        // A thread timer gets a fresh identifier unless an existing one is being reset.
        bool exists = false;
        for (const TimerEntry& t : q->timers) exists = exists || (!t.hwnd && t.id == id);
        if (!exists) {
            static UINT_PTR next = 0x7F00;
            id = ++next;
        }
    }
    elapse = std::max<UINT>(1, elapse);
    const std::uint64_t due = TheClock().TickCount() + elapse;
    for (TimerEntry& t : q->timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = elapse;
            t.due = due;
            t.proc = proc;
            NotifyAll();
            return id ? id : 1;
        }
    }
    q->timers.push_back(TimerEntry{hwnd, id, elapse, due, proc});
    NotifyAll();
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    Lock lock(g_mutex);
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        q = w->queue;
    } else {
        q = CurrentQueue();
    }
    auto& timers = q->timers;
    const auto before = timers.size();
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const TimerEntry& t) { return t.hwnd == hwnd && t.id == id; }),
                 timers.end());
    // A WM_TIMER already taken off the queue stays delivered; none is pending in the queue itself,
    // because timer messages are made when they are fetched.
    return timers.size() != before ? TRUE : FALSE;
}

// ---- painting ----

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (hwnd) CheckCallingThread(hwnd, "InvalidateRect");
    Lock lock(g_mutex);
    if (!hwnd) {
        for (HWND h : g_topLevel)
            if (Window* w = Find(h)) InvalidateLocked(w, ClientOf(w), erase != 0, true);
        return TRUE;
    }
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    InvalidateLocked(w, rect ? *rect : ClientOf(w), erase != 0, false);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top &&
                  rect->right >= w->update.right && rect->bottom >= w->update.bottom)) {
        w->needsPaint = false;
        w->update = RECT{};
        w->erase = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->needsPaint ? w->update : RECT{};
    return w->needsPaint ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    CheckCallingThread(hwnd, "UpdateWindow");
    std::vector<HWND> order;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        if (w->queue != CurrentQueue()) {
            // Only the owning thread paints: the invalid area stays, and its queue produces the
            // WM_PAINT there.
            NotifyAll();
            return TRUE;
        }
        std::vector<HWND> stack{hwnd};
        while (!stack.empty()) {
            HWND h = stack.back();
            stack.pop_back();
            Window* t = Find(h);
            if (!t || !(t->style & WS_VISIBLE)) continue;
            order.push_back(h);
            for (auto it = t->children.rbegin(); it != t->children.rend(); ++it) stack.push_back(*it);
        }
        if (!VisibleChain(w)) return TRUE;
    }
    for (HWND h : order) {
        bool paint = false;
        {
            Lock lock(g_mutex);
            Window* t = Find(h);
            paint = t && t->needsPaint;
        }
        if (!paint) continue;
        MSG m;
        m.hwnd = h;
        m.message = WM_PAINT;
        DispatchMessageW(&m);
    }
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    CheckCallingThread(hwnd, "RedrawWindow");
    RECT area{};
    bool whole = true;
    if (rect) {
        area = *rect;
        whole = false;
    } else if (region) {
        if (GetRgnBox(region, &area) != ERROR) whole = false;
    }
    if (flags & RDW_INVALIDATE) {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return FALSE;
        InvalidateLocked(w, whole ? ClientOf(w) : area, (flags & RDW_ERASE) != 0,
                         (flags & RDW_ALLCHILDREN) != 0);
    }
    if (flags & RDW_VALIDATE) ValidateRect(hwnd, whole ? nullptr : &area);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(hwnd);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps) return nullptr;
    *ps = PAINTSTRUCT{};
    HDC dc = nullptr;
    bool erase = false;
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w) return nullptr;
        RECT update = w->needsPaint ? w->update : RECT{};
        erase = w->erase;
        dc = MakeWindowDC(w, &update);
        ps->hdc = dc;
        ps->rcPaint = update;
        w->needsPaint = false;
        w->update = RECT{};
        w->erase = false;
    }
    ++g_paintCount;
    if (erase && dc)
        ps->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (hwnd) CheckCallingThread(hwnd, "GetDC");
    if (!hwnd) return CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    Lock lock(g_mutex);
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return MakeWindowDC(w, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    return GetDC(hwnd);
}

int ReleaseDC(HWND, HDC dc) {
    std::function<void()> observer;
    {
        Lock lock(g_mutex);
        auto it = g_windowDCs.find(dc);
        if (it == g_windowDCs.end()) {
            // A screen DC from GetDC(nullptr).
            if (gdi::DeviceContext* d = gdi::ResolveDC(dc);
                d && d->GetType() == gdi::DeviceContext::Type::Screen) {
                DeleteDC(dc);
                return 1;
            }
            return 0;
        }
        g_windowDCs.erase(it);
        DeleteDC(dc);
        ScreenChanged();
        observer = g_paintObserver;
    }
    if (observer) observer();
    return 1;
}

// ---- input ----

HWND SetFocus(HWND hwnd) {
    HWND old = nullptr;
    bool activate = false;
    {
        Lock lock(g_mutex);
        if (hwnd) {
            Window* w = Find(hwnd);
            if (!w || w->destroying) return nullptr;
            Window* root = Root(w);
            activate = root && root->handle != g_active && !(root->exStyle & WS_EX_NOACTIVATE);
        }
    }
    if (activate) ActivateWindow(hwnd, WA_ACTIVE);
    {
        Lock lock(g_mutex);
        if (hwnd && !Find(hwnd)) return nullptr;
        old = g_focus;
        if (old == hwnd) return old;
        g_focus = hwnd;
    }
    if (old && IsWindow(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    {
        Lock lock(g_mutex);
        if (g_focus != hwnd) return old;
    }
    if (hwnd) SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() {
    Lock lock(g_mutex);
    return g_focus;
}

HWND SetCapture(HWND hwnd) {
    HWND old = nullptr;
    {
        Lock lock(g_mutex);
        if (!Find(hwnd)) return nullptr;
        old = g_capture;
        g_capture = hwnd;
    }
    if (old && old != hwnd) SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    HWND old = nullptr;
    {
        Lock lock(g_mutex);
        old = g_capture;
        g_capture = nullptr;
    }
    if (old) SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    Lock lock(g_mutex);
    return g_capture;
}

HWND SetActiveWindow(HWND hwnd) {
    HWND old = GetActiveWindow();
    {
        Lock lock(g_mutex);
        Window* w = Find(hwnd);
        if (!w || (w->style & WS_DISABLED)) return nullptr;
    }
    ActivateWindow(hwnd, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    Lock lock(g_mutex);
    return g_active;
}

BOOL SetForegroundWindow(HWND hwnd) {
    {
        Lock lock(g_mutex);
        Window* w = Root(Find(hwnd));
        if (!w) return FALSE;
        hwnd = w->handle;
        ZToFront(w);
    }
    ActivateWindow(hwnd, WA_ACTIVE);
    return TRUE;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

namespace {
std::function<void(BYTE)> g_keyClickObserver;
std::uint64_t g_keyClicks = 0;
} // namespace

void WinSetKeyClickObserver(std::function<void(BYTE vk)> observer) {
    Lock lock(g_mutex);
    g_keyClickObserver = std::move(observer);
}

std::uint64_t WinKeyClickCount() {
    Lock lock(g_mutex);
    return g_keyClicks;
}

void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t) {
    const bool up = (flags & KEYEVENTF_KEYUP) != 0;
    if (!up && !(flags & KEYEVENTF_SILENT)) {
        std::function<void(BYTE)> observer;
        {
            Lock lock(g_mutex);
            ++g_keyClicks;
            observer = g_keyClickObserver;
        }
        if (observer) observer(vk);
    }
    Lock lock(g_mutex);
    if (up)
        g_asyncKeys[vk] &= static_cast<BYTE>(~0x80);
    else
        g_asyncKeys[vk] |= 0x80;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) g_asyncKeys[VK_SHIFT] = g_asyncKeys[vk];

    UINT mods = 0;
    if (g_asyncKeys[VK_SHIFT] & 0x80) mods |= MOD_SHIFT;
    if (g_asyncKeys[VK_CONTROL] & 0x80) mods |= MOD_CONTROL;
    if (g_asyncKeys[VK_MENU] & 0x80) mods |= MOD_ALT;
    const bool appButton = winint::IsApplicationButton(vk);
    bool hotKeyed = false;
    for (const HotKey& k : g_hotKeys) {
        if (k.vk != vk) continue;
        // The application buttons come with the Windows key held, as on the handheld.
        const UINT wanted = k.modifiers & ~MOD_KEYUP;
        const UINT have = appButton ? (mods | MOD_WIN) : mods;
        if (wanted != have) continue;
        hotKeyed = true;
        if (up != ((k.modifiers & MOD_KEYUP) != 0)) continue;
        Window* w = Find(k.hwnd);
        if (!w) continue;
        MSG m;
        m.hwnd = k.hwnd;
        m.message = WM_HOTKEY;
        m.wParam = static_cast<WPARAM>(k.id);
        m.lParam = MAKELPARAM(static_cast<int>(k.modifiers & ~MOD_KEYUP), vk);
        m.time = GetTickCount();
        w->queue->posted.push_back(m);
        NotifyAll();
        return;
    }
    // Without a hot key or GAPI input the shell keeps the application buttons.
    if (appButton && !hotKeyed && !winint::GapiInputOpen()) return;
    HWND target = g_focus ? g_focus : g_active;
    Window* w = Find(target);
    if (!w) return;
    MSG m;
    m.hwnd = target;
    m.message = up ? WM_KEYUP : WM_KEYDOWN;
    m.wParam = vk;
    m.lParam = static_cast<LPARAM>(1u | (static_cast<std::uint32_t>(scan) << 16) |
                                   ((flags & KEYEVENTF_EXTENDEDKEY) ? 0x01000000u : 0u) |
                                   (up ? 0xC0000000u : 0u));
    m.time = GetTickCount();
    w->queue->posted.push_back(m);
    NotifyAll();
}

SHORT GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    const BYTE s = q->keys[vk];
    return static_cast<SHORT>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    Lock lock(g_mutex);
    return static_cast<SHORT>((g_asyncKeys[vk] & 0x80) ? 0x8000 : 0);
}

BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
    Lock lock(g_mutex);
    if (hwnd && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const UINT mods = modifiers & ~MOD_KEYUP;
    for (const HotKey& k : g_hotKeys) {
        if ((k.hwnd == hwnd && k.id == id) || ((k.modifiers & ~MOD_KEYUP) == mods && k.vk == vk)) {
            SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
            return FALSE;
        }
    }
    if (winint::ShellKeyClaimed(mods, vk)) {
        SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
        return FALSE;
    }
    g_hotKeys.push_back(HotKey{hwnd, id, modifiers, vk});
    return TRUE;
}

BOOL UnregisterHotKey(HWND hwnd, int id) {
    Lock lock(g_mutex);
    const auto before = g_hotKeys.size();
    g_hotKeys.erase(std::remove_if(g_hotKeys.begin(), g_hotKeys.end(),
                                   [&](const HotKey& k) { return k.hwnd == hwnd && k.id == id; }),
                    g_hotKeys.end());
    if (g_hotKeys.size() == before) {
        SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    if (name == IDC_WAIT) return &g_waitCursorIcon;
    if (name == IDC_ARROW) return &g_arrowCursor;
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    Lock lock(g_mutex);
    HCURSOR old = g_cursor;
    g_cursor = cursor;
    g_waitCursor = cursor == &g_waitCursorIcon;
    return old;
}

HCURSOR GetCursor() {
    Lock lock(g_mutex);
    return g_cursor;
}

// ---- modal loop ----

INT_PTR RunModalLoop(HWND dialog, HWND owner, bool (*preTranslate)(MSG*, void*), void* context) {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    {
        Lock lock(g_mutex);
        Window* w = Find(dialog);
        if (!w) return -1;
        w->inModal = true;
        ++q->modalDepth;
    }
    const bool disableOwner = owner && IsWindow(owner) && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    bool ended = false;
    {
        Lock lock(g_mutex);
        Window* w = Find(dialog);
        ended = !w || w->modalEnded;
    }
    if (!ended) ShowWindow(dialog, SW_SHOW);

    INT_PTR result = -1;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        {
            Lock lock(g_mutex);
            Window* w = Find(dialog);
            if (!w || w->destroying) break;
            if (w->modalEnded) {
                result = w->modalResult;
                break;
            }
        }
        MSG m;
        const BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(m.wParam);
            break;
        }
        if (got < 0) break;
        if (preTranslate && preTranslate(&m, context)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    {
        Lock lock(g_mutex);
        --q->modalDepth;
        if (Window* w = Find(dialog)) w->inModal = false;
    }
    // The owner is enabled before the dialog goes, so that activation returns to it.
    if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
    if (quit) PostQuitMessage(quitCode);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Lock lock(g_mutex);
    Window* w = Find(dialog);
    if (!w) return FALSE;
    w->modalEnded = true;
    w->modalResult = result;
    MSG m;
    m.hwnd = dialog;
    m.message = WM_NULL; // wakes a loop that waits for messages
    w->queue->posted.push_back(m);
    NotifyAll();
    return TRUE;
}

bool IsInModalLoop(HWND dialog) {
    Lock lock(g_mutex);
    Window* w = Find(dialog);
    return w && w->inModal;
}

// MessageBoxW itself draws the box (MessageBox.cpp); it asks the installed handler for the answer.
MessageBoxHandler winint::CurrentMessageBoxHandler() {
    Lock lock(g_mutex);
    return g_messageBoxHandler;
}

BOOL MessageBeep(UINT) {
    return TRUE;
}

// ---- host interface ----

HWND WinInjectPen(UINT message, int x, int y) {
    HWND target = nullptr;
    HWND activate = nullptr;
    {
        Lock lock(g_mutex);
        const bool captured = g_capture && Find(g_capture);
        target = captured ? g_capture : HitTest(POINT{x, y});
        Window* w = Find(target);
        if (!w) return nullptr;
        if (!captured && !EnabledChain(w))
            return nullptr; // the owner of a modal dialog, or a disabled control
        if (message == WM_LBUTTONDOWN && !captured) {
            Window* root = Root(w);
            if (root && root->handle != g_active && !(root->exStyle & WS_EX_NOACTIVATE))
                activate = root->handle;
        }
    }
    if (activate) ActivateWindow(activate, WA_CLICKACTIVE);
    Lock lock(g_mutex);
    Window* w = Find(target);
    if (!w) return nullptr;
    if (message == WM_LBUTTONDOWN) g_penDown = true;
    if (message == WM_LBUTTONUP) g_penDown = false;
    const POINT o = ScreenOrigin(w);
    MSG m;
    m.hwnd = target;
    m.message = message;
    m.wParam = (message == WM_LBUTTONDOWN || (message == WM_MOUSEMOVE && g_penDown)) ? MK_LBUTTON : 0;
    m.lParam = MAKELPARAM(x - o.x, y - o.y);
    m.time = GetTickCount();
    m.pt = POINT{x, y};
    w->queue->posted.push_back(m);
    NotifyAll();
    return target;
}

bool WinInjectChar(char16_t ch) {
    Lock lock(g_mutex);
    HWND target = g_focus ? g_focus : g_active;
    Window* w = Find(target);
    if (!w) return false;
    MSG m;
    m.hwnd = target;
    m.message = WM_CHAR;
    m.wParam = ch;
    m.lParam = 1;
    m.time = GetTickCount();
    w->queue->posted.push_back(m);
    NotifyAll();
    return true;
}

bool WinComposeScreen() {
    Lock lock(g_mutex);
    const std::uint64_t generation = g_screenGeneration.load();
    if (generation == g_composedGeneration) return false;
    gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    if (!screen) return false;
    for (int y = 0; y < screen->Height(); ++y) screen->FillSpan(y, 0, screen->Width(), kDesktopColor);
    for (auto it = g_topLevel.rbegin(); it != g_topLevel.rend(); ++it) {
        Window* w = Find(*it);
        if (!w || !(w->style & WS_VISIBLE) || !w->backing) continue;
        gdi::Bitmap* b = gdi::Resolve<gdi::Bitmap>(w->backing);
        if (!b) continue;
        gdi::Region* region = w->region ? gdi::Resolve<gdi::Region>(w->region) : nullptr;
        const int x0 = std::max<int>(0, w->rect.left);
        const int y0 = std::max<int>(0, w->rect.top);
        const int x1 =
            std::min<int>({screen->Width(), static_cast<int>(w->rect.right), w->rect.left + b->Width()});
        const int y1 =
            std::min<int>({screen->Height(), static_cast<int>(w->rect.bottom), w->rect.top + b->Height()});
        for (int y = y0; y < y1; ++y) {
            const int by = y - w->rect.top;
            if (!region && b->BitCount() == 32 && screen->BitCount() == 32 && x1 > x0) {
                std::copy_n(b->Row(by) + (x0 - w->rect.left) * 4, (x1 - x0) * 4, screen->Row(y) + x0 * 4);
                continue;
            }
            for (int x = x0; x < x1; ++x) {
                const int bx = x - w->rect.left;
                if (region && !region->Contains(bx, by)) continue;
                screen->SetColor(x, y, b->GetColor(bx, by));
            }
        }
    }
    g_composedGeneration = generation;
    return true;
}

std::uint64_t WinScreenGeneration() {
    return g_screenGeneration.load();
}

void WinSetPaintObserver(std::function<void()> observer) {
    Lock lock(g_mutex);
    g_paintObserver = std::move(observer);
}

void WinSetIdleHandler(std::function<bool(int)> handler) {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    q->idle = std::move(handler);
}

int WinModalDepth() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    return q->modalDepth;
}

std::optional<std::uint64_t> WinNextTimerDue() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    std::optional<std::uint64_t> next;
    for (const TimerEntry& t : q->timers)
        if (!next || t.due < *next) next = t.due;
    return next;
}

int WinDispatchPending() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    int count = 0;
    // A window that invalidates itself on every paint must not keep this loop going forever.
    for (int guard = 0; guard < 100000; ++guard) {
        MSG m;
        {
            Lock lock(g_mutex);
            if (!Fetch(*q, lock, &m, nullptr, 0, 0, true, false)) break;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
        ++count;
    }
    return count;
}

bool WinQuitPending() {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    return q->quit;
}

void WinRunFor(DWORD ms) {
    Clock& clock = TheClock();
    const std::uint64_t target = clock.TickCount() + ms;
    for (;;) {
        WinDispatchPending();
        if (WinQuitPending()) return;
        const std::uint64_t now = clock.TickCount();
        if (now >= target) break;
        std::uint64_t next = target;
        if (auto due = WinNextTimerDue()) next = std::min(next, std::max(*due, now + 1));
        if (clock.IsSimulated()) {
            if (auto* sim = dynamic_cast<SimulatedClock*>(&clock))
                sim->Advance(next - now);
            else
                clock.Sleep(static_cast<DWORD>(next - now));
        } else {
            std::shared_ptr<ThreadQueue> q = CurrentQueue();
            Lock lock(g_mutex);
            if (q->posted.empty() && q->sent.empty())
                g_cv.wait_for(lock, std::chrono::milliseconds(std::min<std::uint64_t>(next - now, 20)));
        }
    }
    WinDispatchPending();
}

void WinSetMessageBoxHandler(MessageBoxHandler handler) {
    Lock lock(g_mutex);
    g_messageBoxHandler = std::move(handler);
}

bool WinAskMessageBoxHandler(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type,
                             int* answer) {
    MessageBoxHandler handler = winint::CurrentMessageBoxHandler();
    if (!handler) return false;
    const int a = handler(owner, text, caption, type);
    if (answer) *answer = a;
    return true;
}

void WinSetMessageBoxAnswerObserver(MessageBoxAnswerObserver observer) {
    Lock lock(g_mutex);
    g_messageBoxAnswerObserver = std::move(observer);
}

void WinReportMessageBoxAnswer(int answer) {
    MessageBoxAnswerObserver observer;
    {
        Lock lock(g_mutex);
        observer = g_messageBoxAnswerObserver;
    }
    if (observer) observer(answer);
}

bool WinIsWaitCursor() {
    return g_waitCursor.load();
}

std::uint64_t WinPaintCount() {
    return g_paintCount.load();
}

void WinSetWrongThreadObserver(WrongThreadObserver observer) {
    Lock lock(g_mutex);
    g_threadCheck = static_cast<bool>(observer);
    g_wrongThreadObserver = std::move(observer);
}

void WinResetForTests() {
    std::vector<HWND> tops;
    {
        Lock lock(g_mutex);
        tops = g_topLevel;
    }
    for (HWND h : tops) DestroyWindow(h);
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    Lock lock(g_mutex);
    q->posted.clear();
    q->sent.clear();
    q->timers.clear();
    q->quit = false;
    q->quitCode = 0;
    q->modalDepth = 0;
    q->idle = nullptr;
    std::fill(std::begin(q->keys), std::end(q->keys), BYTE{0});
    std::fill(std::begin(g_asyncKeys), std::end(g_asyncKeys), BYTE{0});
    g_hotKeys.clear();
    g_focus = g_active = g_capture = nullptr;
    g_penDown = false;
    g_paintObserver = nullptr;
    g_threadCheck = false;
    g_wrongThreadObserver = nullptr;
    g_messageBoxHandler = nullptr;
    g_keyClickObserver = nullptr;
    g_keyClicks = 0;
    g_cursor = &g_arrowCursor;
    g_waitCursor = false;
    winint::ResetShellState();
    ScreenChanged();
}
