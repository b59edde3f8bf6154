#include "platform/window/Afx.h"

#include "platform/window/WindowInternal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}

// ---- the window map ----

struct AfxWindowMap {
    std::recursive_mutex mutex;
    std::map<HWND, CWnd*> permanent;
    std::map<HWND, std::unique_ptr<CWnd>> temporary;
};

namespace {

AfxWindowMap& Map() {
    static AfxWindowMap map;
    return map;
}

CWinApp* g_app = nullptr;
thread_local MSG t_currentMessage;
thread_local bool t_createAttached = false;

void AttachOnCreate(HWND hwnd, void* context) {
    auto* wnd = static_cast<CWnd*>(context);
    t_createAttached = true;
    wnd->Attach(hwnd);
}

HDC HookGetDC(CWnd* wnd) {
    return ::GetDC(wnd->m_hWnd);
}
int HookReleaseDC(CWnd* wnd, HDC dc) {
    return ::ReleaseDC(wnd->m_hWnd, dc);
}
HDC HookBeginPaint(CWnd* wnd, PAINTSTRUCT* ps) {
    return ::BeginPaint(wnd->m_hWnd, ps);
}
void HookEndPaint(CWnd* wnd, const PAINTSTRUCT* ps) {
    ::EndPaint(wnd->m_hWnd, ps);
}

void InstallDCHooks() {
    static std::once_flag once;
    std::call_once(once, [] {
        WindowDCHooks hooks;
        hooks.getDC = HookGetDC;
        hooks.getWindowDC = HookGetDC;
        hooks.releaseDC = HookReleaseDC;
        hooks.beginPaint = HookBeginPaint;
        hooks.endPaint = HookEndPaint;
        AfxSetWindowDCHooks(hooks);
    });
}

} // namespace

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    const MSG saved = t_currentMessage;
    t_currentMessage = MSG{};
    t_currentMessage.hwnd = hwnd;
    t_currentMessage.message = message;
    t_currentMessage.wParam = wParam;
    t_currentMessage.lParam = lParam;
    // wnd may be deleted by the handler (PostNcDestroy); it is not touched afterwards.
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    t_currentMessage = saved;
    return result;
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex mutex;
    static std::map<std::uintptr_t, std::u16string> names;
    std::lock_guard<std::mutex> lock(mutex);
    const auto key = reinterpret_cast<std::uintptr_t>(background);
    auto it = names.find(key);
    if (it != names.end()) return it->second.c_str();
    std::u16string name = u"AfxWnd";
    if (background) {
        std::string hex;
        for (std::uintptr_t v = key; v; v >>= 4) hex.insert(hex.begin(), "0123456789ABCDEF"[v & 0xF]);
        name += u":";
        for (char c : hex) name += static_cast<char16_t>(c);
    }
    WNDCLASSW wc;
    wc.style = classStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name.c_str();
    RegisterClassW(&wc);
    return names.emplace(key, name).first->second.c_str();
}

// ---- CCmdTarget ----

void CCmdTarget::BeginWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(-1);
}

// ---- CWnd ----

CWnd::~CWnd() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    if (m_hWnd) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    AfxWindowMap& map = Map();
    std::lock_guard<std::recursive_mutex> lock(map.mutex);
    auto it = map.permanent.find(hwnd);
    return it == map.permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    AfxWindowMap& map = Map();
    std::lock_guard<std::recursive_mutex> lock(map.mutex);
    // Wrappers of windows that are gone are dropped here.
    for (auto it = map.temporary.begin(); it != map.temporary.end();) {
        if (!::IsWindow(it->first))
            it = map.temporary.erase(it);
        else
            ++it;
    }
    auto& slot = map.temporary[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    InstallDCHooks();
    AfxWindowMap& map = Map();
    std::lock_guard<std::recursive_mutex> lock(map.mutex);
    m_hWnd = hwnd;
    map.permanent[hwnd] = this;
    if (auto it = map.temporary.find(hwnd); it != map.temporary.end()) {
        it->second->m_hWnd = nullptr;
        map.temporary.erase(it);
    }
    auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongW(hwnd, GWL_WNDPROC));
    if (proc != AfxWndProc) {
        m_pfnSuper = proc;
        ::SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    }
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    AfxWindowMap& map = Map();
    std::lock_guard<std::recursive_mutex> lock(map.mutex);
    auto it = map.permanent.find(hwnd);
    if (it != map.permanent.end() && it->second == this) map.permanent.erase(it);
    if (m_pfnSuper && ::IsWindow(hwnd))
        ::SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(0);
    return TRUE;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  CCreateContext* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    if (m_hWnd) return FALSE;
    InstallDCHooks();
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.lpCreateParams = param;
    t_createAttached = false;
    if (!PreCreateWindow(cs)) return FALSE;
    winint::SetCreateHook(AttachOnCreate, this);
    HWND hwnd = CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, nullptr, cs.lpCreateParams);
    winint::SetCreateHook(nullptr, nullptr);
    // On failure after the window existed, its WM_NCDESTROY has run (and may have deleted this).
    return hwnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::Default() {
    const MSG& m = t_currentMessage;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
               HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                  HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
               HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        OnSettingChange(static_cast<UINT>(wParam), reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        return DefWindowProc(message, wParam, lParam);
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        LRESULT result = TRUE;
        CWnd* control = item ? FromHandlePermanent(item->hwndItem) : nullptr;
        if (control && control != this && control->OnChildNotify(message, wParam, lParam, &result))
            return result;
        OnDrawItem(static_cast<int>(wParam), item);
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        LRESULT result = TRUE;
        CWnd* control =
            item ? FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID))) : nullptr;
        if (control && control != this && control->OnChildNotify(message, wParam, lParam, &result))
            return result;
        OnMeasureItem(static_cast<int>(wParam), item);
        return TRUE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                    FromHandle(reinterpret_cast<HWND>(lParam)),
                                                    message - WM_CTLCOLORMSGBOX));
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                  FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                  FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result)) return result;
        auto* header = reinterpret_cast<LPNMHDR>(lParam);
        CWnd* control = header ? FromHandlePermanent(header->hwndFrom) : nullptr;
        if (control && control != this && control->OnChildNotify(message, wParam, lParam, &result))
            return result;
        return DefWindowProc(message, wParam, lParam);
    }
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        // The main window is gone: the application's message loop ends.
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Default();
    Detach();
    PostNcDestroy(); // may delete this
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnSettingChange(UINT, LPCWSTR) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) {
    Default();
}
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CWnd*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CWnd*) {
    Default();
}
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd) || FromHandlePermanent(hwnd)) return FALSE;
    return Attach(hwnd);
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::SetDlgItemText(int id, LPCWSTR text) {
    ::SetWindowTextW(::GetDlgItem(m_hWnd, id), text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    CWnd* item = GetDlgItem(id);
    if (!item) {
        text.Empty();
        return 0;
    }
    item->GetWindowText(text);
    return text.GetLength();
}

void CWnd::CheckRadioButton(int first, int last, int check) {
    for (int id = first; id <= last; ++id)
        ::SendMessageW(::GetDlgItem(m_hWnd, id), BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    HWND button = ::GetDlgItem(m_hWnd, id);
    return button ? static_cast<UINT>(::SendMessageW(button, BM_GETCHECK, 0, 0)) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check) {
    ::SendMessageW(::GetDlgItem(m_hWnd, id), BM_SETCHECK, check, 0);
}

void CWnd::GetWindowText(CString& text) const {
    const int n = ::GetWindowTextLengthW(m_hWnd);
    std::u16string buffer(static_cast<std::size_t>(n) + 1, u'\0');
    ::GetWindowTextW(m_hWnd, buffer.data(), n + 1);
    buffer.resize(static_cast<std::size_t>(n));
    text = CString(buffer);
}

CDC* CWnd::GetDC() {
    HDC dc = ::GetDC(m_hWnd);
    return dc ? CDC::FromHandle(dc) : nullptr;
}

int CWnd::ReleaseDC(CDC* dc) {
    return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    const DWORD old = GetStyle();
    const DWORD style = (old & ~remove) | add;
    if (style == old) return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
    return TRUE;
}

void CWnd::ScreenToClient(LPRECT r) const {
    POINT a{r->left, r->top};
    POINT b{r->right, r->bottom};
    ::ScreenToClient(m_hWnd, &a);
    ::ScreenToClient(m_hWnd, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ClientToScreen(LPRECT r) const {
    POINT a{r->left, r->top};
    POINT b{r->right, r->bottom};
    ::ClientToScreen(m_hWnd, &a);
    ::ClientToScreen(m_hWnd, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    while (h && (::GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return FromHandle(h);
}

CFrameWnd* CWnd::GetParentFrame() const {
    HWND h = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    while (h) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h))) return frame;
        if (!(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
        h = ::GetParent(h);
    }
    return nullptr;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        CWnd* wnd = FromHandlePermanent(h);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (h == stop) break;
    }
    return FALSE;
}

// ---- CDocument ----

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE; // the views go first; the document must survive them
    while (!m_views.empty()) {
        const std::size_t before = m_views.size();
        CView* view = m_views.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->DestroyWindow();
        else
            view->DestroyWindow();
        if (m_views.size() >= before) RemoveView(view); // a view that would not go
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
    m_pDocTemplate = nullptr;
    if (m_bAutoDelete) delete this;
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
    // The last view of an auto-deleting document closes it.
    if (m_views.empty() && m_bAutoDelete) OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

// ---- CView ----

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_CHILD;
    return CWnd::PreCreateWindow(cs);
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return CWnd::OnCreate(cs);
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame())
        if (frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL activate, CView* activateView, CView*) {
    if (activate && activateView == this && m_hWnd && ::GetFocus() != m_hWnd) SetFocus();
}

// ---- CFrameWnd ----

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT, DWORD style, CWnd* parent, CCreateContext* context) {
    m_pCreateContext = context;
    if (m_strTitle.IsEmpty() && AfxGetApp()) m_strTitle = AfxGetApp()->m_pszAppName;
    const BOOL ok = CreateEx(0, nullptr, m_strTitle, (style & ~FWS_ADDTOTITLE & ~WS_VISIBLE & ~WS_CHILD), 0,
                             0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                             parent ? parent->m_hWnd : nullptr, nullptr, context);
    return ok;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (!OnCreateClient(cs, context)) return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (context && context->m_pNewViewClass) return CreateView(context) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    CObject* object = context->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(object);
    if (!view) {
        delete object;
        return nullptr;
    }
    RECT client;
    GetClientRect(&client);
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, id, context)) {
        if (!t_createAttached) delete view; // never reached a window, so nothing else will delete it
        return nullptr;
    }
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, BOOL makeVisible) {
    CView* view = nullptr;
    if (!m_pViewActive) {
        view = dynamic_cast<CView*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (!view && doc && !doc->GetViews().empty()) view = doc->GetViews().front();
        if (view) SetActiveView(view, FALSE);
    }
    if (doc)
        for (CView* v : std::vector<CView*>(doc->GetViews())) v->SendMessage(WM_INITIALUPDATE);
    if (makeVisible) {
        ShowWindow(SW_SHOW);
        UpdateWindow();
        if (view) view->OnActivateView(TRUE, view, view);
    }
}

void CFrameWnd::RecalcLayout(BOOL) {
    HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (!pane) return;
    RECT client;
    GetClientRect(&client);
    ::MoveWindow(pane, 0, 0, client.right, client.bottom, TRUE);
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
    CView* old = m_pViewActive;
    if (old == view) return;
    m_pViewActive = view;
    if (!notify) return;
    if (old) old->OnActivateView(FALSE, view, old);
    if (view) view->OnActivateView(TRUE, view, old);
}

CDocument* CFrameWnd::GetActiveDocument() {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code)) return TRUE;
    if (CDocument* doc = GetActiveDocument(); doc && doc->OnCmdMsg(id, code)) return TRUE;
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(id, code)) return TRUE;
    return FALSE;
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    RecalcLayout();
}

void CFrameWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CWnd::OnActivate(state, other, minimized);
    if (CView* view = m_pViewActive) {
        if (state != WA_INACTIVE)
            view->OnActivateView(TRUE, view, view);
        else
            view->OnActivateView(FALSE, view, view);
        if (m_pViewActive == view) view->OnActivateFrame(state, this);
    }
}

void CFrameWnd::OnSetFocus(CWnd* oldWnd) {
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(oldWnd);
}

void CFrameWnd::OnClose() {
    HWND self = m_hWnd;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (CDocTemplate* t = app->GetFirstDocTemplate()) t->CloseAllDocuments(FALSE);
        if (!::IsWindow(self)) return; // closing the document took the frame with it
    }
    ::DestroyWindow(self);
}

void CFrameWnd::OnNcDestroy() {
    CWnd::OnNcDestroy();
}

// ---- document templates ----

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc) m_pOnlyDoc->m_pDocTemplate = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR, BOOL makeVisible) {
    if (m_pOnlyDoc) {
        m_pOnlyDoc->OnNewDocument();
        return m_pOnlyDoc;
    }
    CObject* docObject = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = dynamic_cast<CDocument*>(docObject);
    if (!doc) {
        delete docObject;
        return nullptr;
    }
    doc->m_pDocTemplate = this;
    m_pOnlyDoc = doc;
    CObject* frameObject = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(frameObject);
    if (!frame) {
        delete frameObject;
        delete doc;
        return nullptr;
    }
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = doc;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = frame;
    doc->m_bAutoDelete = FALSE; // a failed creation must not take the document with it
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPED | FWS_ADDTOTITLE, nullptr, &context)) {
        if (!t_createAttached) delete frame; // otherwise it deleted itself with its window
        delete doc;
        return nullptr;
    }
    doc->m_bAutoDelete = TRUE;
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        return nullptr;
    }
    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    frame->InitialUpdateFrame(doc, makeVisible);
    return doc;
}

void CSingleDocTemplate::CloseAllDocuments(BOOL) {
    if (m_pOnlyDoc) m_pOnlyDoc->OnCloseDocument();
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
    if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
}

// ---- CWinApp ----

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName ? appName : u"Velko") {
    g_app = this;
}

CWinApp::~CWinApp() {
    for (CDocTemplate* t : m_templates) delete t;
    if (g_app == this) g_app = nullptr;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    if (docTemplate) m_templates.push_back(docTemplate);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.m_nShellCommand == CCommandLineInfo::FileNew) OnFileNew();
    return m_pMainWnd != nullptr;
}

void CWinApp::OnFileNew() {
    if (CDocTemplate* t = GetFirstDocTemplate()) t->OpenDocumentFile(nullptr);
}

BOOL CWinApp::OnCmdMsg(UINT id, int) {
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return TRUE;
    case ID_APP_ABOUT:
        OnAppAbout();
        return TRUE;
    case ID_APP_EXIT:
        if (m_pMainWnd) m_pMainWnd->PostMessage(WM_CLOSE);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, msg);
}

BOOL CWinApp::PumpMessage() {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        m_exitCode = static_cast<int>(msg.wParam);
        return FALSE;
    }
    if (got < 0) return TRUE;
    if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

int CWinApp::Run() {
    while (PumpMessage()) {
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

void CWinApp::DoWaitCursor(int code) {
    if (code > 0) {
        if (m_waitCount++ == 0) m_savedCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    } else if (code < 0) {
        if (m_waitCount > 0 && --m_waitCount == 0)
            ::SetCursor(m_savedCursor ? m_savedCursor : ::LoadCursorW(nullptr, IDC_ARROW));
    } else if (m_waitCount > 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    }
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
    CWnd* main = AfxGetMainWnd();
    return ::MessageBoxW(main ? main->m_hWnd : nullptr, text, g_app ? g_app->m_pszAppName.GetString() : u"",
                         type);
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        // Messages the failed start left behind (WM_QUIT from the main window) are not for anyone.
        // A window the start left visible would have its WM_PAINT made again on every call until it
        // is validated, so paints are validated here and the drain is bounded in any case.
        MSG msg;
        for (int left = 100000; left > 0 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); --left) {
            if (msg.message == WM_PAINT && msg.hwnd) ::ValidateRect(msg.hwnd, nullptr);
        }
        return app->ExitInstance();
    }
    const int code = app->Run();
    // A main window still open after the loop (ended by WM_QUIT) goes now, with its view and
    // document; the WM_QUIT its destruction posts is not for anyone.
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return code;
}
