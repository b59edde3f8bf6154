// The application framework in the shape of MFC: runtime classes, CWnd with its message handlers,
// CFrameWnd, CView, CDocument with the single-document template, CWinApp with its message loop,
// and (from Dialog.h and AfxControls.h, included at the end) CDialog with its templates and the
// framework classes of the native controls.
//
// Message maps are virtual handlers here: CWnd::WindowProc routes each message to its On...
// handler, whose default passes it on to DefWindowProc. A class that needs another message (a
// registered one, WM_USER + n) overrides WindowProc and calls the base for the rest.
#pragma once

#include "platform/base/CString.h"
#include "platform/gdi/AfxGdi.h"
#include "platform/window/AfxTypes.h"
#include "platform/window/Controls.h"
#include "platform/window/Window.h"

#include <vector>

class CObject;
class CDocument;
class CView;
class CFrameWnd;
class CWinApp;
class CDocTemplate;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

#define DECLARE_DYNAMIC(cls)                                                                                 \
public:                                                                                                      \
    static const CRuntimeClass class##cls;                                                                   \
    const CRuntimeClass* GetRuntimeClass() const override;
#define DECLARE_DYNCREATE(cls)                                                                               \
    DECLARE_DYNAMIC(cls)                                                                                     \
    static CObject* CreateObject();
#define IMPLEMENT_DYNAMIC(cls, base)                                                                         \
    const CRuntimeClass cls::class##cls = {#cls, nullptr, &base::class##base};                               \
    const CRuntimeClass* cls::GetRuntimeClass() const {                                                      \
        return &cls::class##cls;                                                                             \
    }
#define IMPLEMENT_DYNCREATE(cls, base)                                                                       \
    CObject* cls::CreateObject() {                                                                           \
        return new cls;                                                                                      \
    }                                                                                                        \
    const CRuntimeClass cls::class##cls = {#cls, &cls::CreateObject, &base::class##base};                    \
    const CRuntimeClass* cls::GetRuntimeClass() const {                                                      \
        return &cls::class##cls;                                                                             \
    }
#define RUNTIME_CLASS(cls) (&cls::class##cls)

class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
};

// Command routing: WM_COMMAND ids go to the focus chain's OnCmdMsg.
class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    virtual BOOL OnCmdMsg(UINT /*id*/, int /*code*/) { return FALSE; }
    void BeginWaitCursor();
    void EndWaitCursor();
};

// Framework command ids.
constexpr UINT ID_FILE_NEW = 0xE100;
constexpr UINT ID_APP_ABOUT = 0xE140;
constexpr UINT ID_APP_EXIT = 0xE141;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys the window when it still exists (its handlers run, PostNcDestroy does not).
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return this ? m_hWnd : nullptr; }

    // The framework object of a window: the attached one, or a temporary wrapper that lives until
    // the window is destroyed.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, CCreateContext* context = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();
    // Called after WM_NCDESTROY; frames and views delete themselves here.
    virtual void PostNcDestroy() {}

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* /*msg*/) { return FALSE; }
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being handled (or the window's original procedure).
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers; each default passes the message on to DefWindowProc.
    virtual int OnCreate(LPCREATESTRUCT cs);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnSettingChange(UINT flags, LPCWSTR section);
    virtual void OnEnable(BOOL enable);
    virtual void OnClose();
    virtual void OnCaptureChanged(CWnd* wnd);
    // Controls' messages to their parent. WM_DRAWITEM and WM_MEASUREITEM go first to the
    // framework object of the control that owns the item (OnChildNotify), then to these.
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    virtual void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    virtual void OnMeasureItem(int id, LPMEASUREITEMSTRUCT item);
    virtual void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
    virtual void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
    // WM_NOTIFY: TRUE when handled, with the message's result in *result.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message the parent hands back to the control it concerns; TRUE when the control took it.
    virtual BOOL OnChildNotify(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT* /*result*/) {
        return FALSE;
    }

    // Subclassing: this object takes over the messages of an existing window (a dialog's
    // control); what it does not handle goes to the window's own procedure.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow() { return Detach(); }
    void SetFont(CFont* font, BOOL redraw = TRUE) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? static_cast<HFONT>(*font) : nullptr), redraw);
    }
    CFont* GetFont() const {
        return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    }
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw, 0); }
    void SetDlgItemText(int id, LPCWSTR text);
    int GetDlgItemText(int id, CString& text) const;
    void CheckRadioButton(int first, int last, int check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, UINT check);

    // Operations on the window.
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(LPCRECT r, BOOL repaint = TRUE) {
        return MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
    }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
    }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    CDC* GetDC();
    int ReleaseDC(CDC* dc);
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add);
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const;
    void ClientToScreen(LPRECT r) const;
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK) {
        return ::MessageBoxW(m_hWnd, text, caption, type);
    }
    CWnd* GetTopLevelParent() const;
    CFrameWnd* GetParentFrame() const;

    // Walks from the message's window up to this one, giving each framework window its
    // PreTranslateMessage; true when one of them took the message.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

protected:
    WNDPROC m_pfnSuper = nullptr; // the class procedure of a window of another class
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct AfxWindowMap;
};

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers (once) and returns the framework's window class with the given background.
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
    void SetModifiedFlag(BOOL modified = TRUE) { m_modified = modified; }
    BOOL IsModified() const { return m_modified; }
    void SetTitle(LPCWSTR title) { m_title = title; }
    const CString& GetTitle() const { return m_title; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    BOOL m_bAutoDelete = TRUE;

protected:
    friend class CDocTemplate;
    friend class CSingleDocTemplate;
    std::vector<CView*> m_views;
    BOOL m_modified = FALSE;
    CString m_title;
    CDocTemplate* m_pDocTemplate = nullptr;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnDraw(CDC* /*dc*/) {}
    // Activation of the view inside its frame; called when the frame is activated (TRUE) and
    // deactivated (FALSE) as well as when the active view changes.
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
    virtual void OnActivateFrame(UINT /*state*/, CFrameWnd* /*frame*/) {}

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnDestroy() override;
    void OnPaint() override;
    void PostNcDestroy() override { delete this; }

protected:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPED | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
    virtual void RecalcLayout(BOOL notify = TRUE);
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view, BOOL notify = TRUE);
    CDocument* GetActiveDocument();
    void SetTitle(LPCWSTR title) { m_strTitle = title; }
    const CString& GetTitle() const { return m_strTitle; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnClose() override;
    void OnNcDestroy() override;
    void PostNcDestroy() override { delete this; }

protected:
    CView* m_pViewActive = nullptr;
    CString m_strTitle;
    CCreateContext* m_pCreateContext = nullptr;
};

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    virtual CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) = 0;
    virtual void CloseAllDocuments(BOOL endSession) = 0;
    virtual void RemoveDocument(CDocument* doc) = 0;
    UINT GetResourceId() const { return m_nIDResource; }

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
};

// One document at a time, with one frame and one view.
class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;
    CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) override;
    void CloseAllDocuments(BOOL endSession) override;
    void RemoveDocument(CDocument* doc) override;
    CDocument* GetDocument() const { return m_pOnlyDoc; }

private:
    CDocument* m_pOnlyDoc = nullptr;
};

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing } m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop: GetMessage, PreTranslateMessage along the window chain, TranslateMessage,
    // DispatchMessage; returns ExitInstance() after WM_QUIT.
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* msg);
    BOOL OnCmdMsg(UINT id, int code) override;
    virtual void OnFileNew();
    virtual void OnAppAbout() {}

    void AddDocTemplate(CDocTemplate* docTemplate);
    void ParseCommandLine(CCommandLineInfo& info) { info.m_nShellCommand = CCommandLineInfo::FileNew; }
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    CDocTemplate* GetFirstDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front(); }
    void DoWaitCursor(int code); // 1 on, -1 off, 0 restore
    BOOL PumpMessage();

    CWnd* m_pMainWnd = nullptr;
    CString m_pszAppName;
    int m_exitCode = 0;

protected:
    std::vector<CDocTemplate*> m_templates;
    int m_waitCount = 0;
    HCURSOR m_savedCursor = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
// Runs the application object: InitInstance, then Run (or ExitInstance when InitInstance fails).
int AfxWinMain();

class CWaitCursor {
public:
    CWaitCursor() { AfxGetApp() ? AfxGetApp()->DoWaitCursor(1) : void(); }
    ~CWaitCursor() { AfxGetApp() ? AfxGetApp()->DoWaitCursor(-1) : void(); }
    void Restore() { AfxGetApp() ? AfxGetApp()->DoWaitCursor(0) : void(); }
};

// Dialogs, their templates and the native controls' framework classes.
#include "platform/window/Dialog.h"
#include "platform/window/AfxControls.h"
