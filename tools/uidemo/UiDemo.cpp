// velko-uidemo: a frame window with a child view, a modal dialog over it, a region-shaped popup, a
// timer, a worker thread that asks for redraws, a sound, a message box, a hot key and the shell
// stand-ins, run in the SDL host (a person) or the headless host (a script).
//
// Commands (a key on the view, or a tap on the button row at the bottom of the view):
//   d dialog   p popup   t timer on   k timer off   w worker   s sound   m message box
//   u invalidate and update twice   x a child that destroys itself when tapped   c controls dialog
// In the dialog: o (or its OK box) ends it, q (or its Quit box) posts WM_QUIT with code 7.
// Everything the demo sees is written to OUT/events.log, one line per event with the tick.
#include "platform/base/Clock.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/sound/Sound.h"
#include "platform/window/Afx.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"
#include "tools/uidemo/ControlsDemo.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kTimerId = 1000;
constexpr UINT kTimerPeriod = 20;
constexpr int kTicksLoggedEach = 100;
constexpr int kTickLogInterval = 1000;
constexpr UINT WM_DEMO_ASK = WM_APP + 1;    // sent by the worker; answers wParam * 2
constexpr UINT WM_DEMO_REDRAW = WM_APP + 2; // posted by the worker
constexpr UINT kDialogTemplate = 200;

std::mutex g_logMutex;
std::ofstream g_log;
std::thread::id g_uiThread;

void Log(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (!g_log) return;
    g_log << TheClock().TickCount() << '\t' << line << '\n';
    g_log.flush();
}

std::string ClassOf(HWND hwnd) {
    if (!hwnd) return "none";
    char16_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::string out;
    for (const char16_t* p = name; *p; ++p) out += *p < 0x80 ? static_cast<char>(*p) : '?';
    return out;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::string ShellState() {
    std::string out;
    for (const char16_t* cls : {u"HHTaskbar", u"MS_SIPBUTTON", u"SipWndClass"}) {
        HWND h = FindWindowW(cls, nullptr);
        RECT r{};
        if (h) GetWindowRect(h, &r);
        out += " " + ClassOf(h) + "=" + (h && IsWindowVisible(h) ? "shown" : "hidden") + "@" + RectText(r);
    }
    return out;
}

bool InModal() {
    return WinModalDepth() > 0;
}

// A short 440 Hz tone, mono, 16-bit, 22050 samples per second, as a WAV image.
std::vector<BYTE> MakeTone(int ms) {
    const std::uint32_t samples = 22050u * static_cast<std::uint32_t>(ms) / 1000u;
    const std::uint32_t data = samples * 2;
    std::vector<BYTE> wav(44 + data);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) wav[at + i] = static_cast<BYTE>(v >> (8 * i));
    };
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        wav[at] = static_cast<BYTE>(v);
        wav[at + 1] = static_cast<BYTE>(v >> 8);
    };
    std::memcpy(&wav[0], "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(&wav[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 22050);
    put32(28, 44100);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(&wav[36], "data", 4);
    put32(40, data);
    for (std::uint32_t i = 0; i < samples; ++i) {
        // A triangle wave keeps this free of floating point.
        const int phase = static_cast<int>((i * 440u * 4u / 22050u) % 4u);
        const int frac = static_cast<int>((i * 440u * 4u * 1000u / 22050u) % 1000u);
        int v = phase == 0 ? frac : phase == 1 ? 1000 - frac : phase == 2 ? -frac : frac - 1000;
        put16(44 + i * 2, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 8)));
    }
    return wav;
}

void Text(CDC* dc, int x, int y, const char16_t* text, COLORREF color) {
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(color);
    dc->TextOut(x, y, text, static_cast<int>(std::char_traits<char16_t>::length(text)));
}

const char16_t* const kButtons[] = {u"Dlg", u"Pop", u"Tmr", u"Wrk", u"Snd", u"Msg"};
const char kButtonKeys[] = {'d', 'p', 't', 'w', 's', 'm'};

// ---- the region-shaped popup ----

class CRegionPopup : public CWnd {
public:
    BOOL Make(CWnd* owner) {
        if (!CreateEx(0, nullptr, u"Popup", WS_POPUP, 60, 100, 120, 120, owner->m_hWnd, nullptr))
            return FALSE;
        // A plus sign: taps in the corners fall through to the window below.
        HRGN shape = CreateRectRgn(40, 0, 80, 120);
        HRGN bar = CreateRectRgn(0, 40, 120, 80);
        CombineRgn(shape, shape, bar, RGN_OR);
        DeleteObject(bar);
        SetWindowRgn(shape, TRUE);
        ShowWindow(SW_SHOWNA);
        return TRUE;
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(rc);
        dc.FillSolidRect(rc, RGB(255, 140, 0));
        Text(&dc, 44, 54, u"Pop", RGB(0, 0, 0));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint p) override {
        Log("POPUP TAP " + std::to_string(p.x) + " " + std::to_string(p.y));
    }
    void PostNcDestroy() override { delete this; }
};

// ---- a child that destroys itself in its own handler ----

class CSelfDestroy : public CWnd {
public:
    void OnPaint() override {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(rc);
        dc.FillSolidRect(rc, RGB(200, 0, 0));
        Text(&dc, 4, 10, u"Bye", RGB(255, 255, 255));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint) override {
        const HWND self = m_hWnd;
        Log("SELFDESTROY tap");
        DestroyWindow(); // deletes this object: nothing of it is touched afterwards
        Log(std::string("SELFDESTROY done alive=") + (::IsWindow(self) ? "1" : "0"));
    }
    void PostNcDestroy() override { delete this; }
};

// ---- the dialog ----

class CDemoDialog : public CDialog {
public:
    explicit CDemoDialog(CWnd* parent) : CDialog(kDialogTemplate, parent) {}
    BOOL OnInitDialog() override {
        Log("DIALOG INIT");
        return TRUE;
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(rc);
        dc.FillSolidRect(rc, RGB(230, 230, 250));
        dc.Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
        Text(&dc, 10, 10, u"Modal dialog", RGB(0, 0, 0));
        dc.FillSolidRect(CRect(10, 120, 80, 150), RGB(0, 160, 0));
        Text(&dc, 34, 130, u"OK", RGB(255, 255, 255));
        dc.FillSolidRect(CRect(100, 120, 170, 150), RGB(160, 0, 0));
        Text(&dc, 118, 130, u"Quit", RGB(255, 255, 255));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint p) override {
        Log("DIALOG TAP " + std::to_string(p.x) + " " + std::to_string(p.y));
        if (CRect(10, 120, 80, 150).PtInRect(p)) EndDialog(IDOK);
        if (CRect(100, 120, 170, 150).PtInRect(p)) PostQuitMessage(7);
    }
    void OnChar(UINT ch, UINT, UINT) override {
        if (ch == 'o') EndDialog(IDOK);
        if (ch == 'q') {
            Log("DIALOG QUIT");
            PostQuitMessage(7);
        }
    }
};

// ---- document, view, frame ----

class CDemoDoc : public CDocument {
    DECLARE_DYNCREATE(CDemoDoc)
};
IMPLEMENT_DYNCREATE(CDemoDoc, CDocument)

class CDemoView : public CView {
    DECLARE_DYNCREATE(CDemoView)
public:
    int m_timerCount = 0;
    int m_paints = 0;
    int m_workerRedraws = 0;
    bool m_redrawRequested = false;
    CRegionPopup* m_popup = nullptr;

    void OnDraw(CDC* dc) override {
        ++m_paints;
        if (m_redrawRequested) {
            m_redrawRequested = false;
            Log(std::string("PAINT after worker request ui=") +
                (std::this_thread::get_id() == g_uiThread ? "1" : "0"));
        }
        CRect rc;
        GetClientRect(rc);
        dc->FillSolidRect(rc, RGB(240, 248, 255));
        Text(dc, 8, 8, u"Velko UI demo", RGB(0, 0, 128));
        // Timer progress: one block per tick, wrapping after 20.
        for (int i = 0; i < m_timerCount % 21; ++i) dc->FillSolidRect(8 + i * 11, 30, 9, 9, RGB(0, 128, 255));
        for (int i = 0; i < m_workerRedraws && i < 20; ++i)
            dc->FillSolidRect(8 + i * 11, 44, 9, 9, RGB(0, 160, 0));
        for (int i = 0; i < 6; ++i) {
            CRect b = ButtonRect(i, rc);
            dc->FillSolidRect(b, RGB(200, 200, 200));
            dc->Draw3dRect(b, RGB(255, 255, 255), RGB(96, 96, 96));
            Text(dc, b.left + 2, b.top + 10, kButtons[i], RGB(0, 0, 0));
        }
    }
    static CRect ButtonRect(int i, const CRect& client) {
        return CRect(i * 40, client.bottom - 34, i * 40 + 38, client.bottom - 4);
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

    void OnLButtonDown(UINT, CPoint p) override {
        Log("VIEW TAP " + std::to_string(p.x) + " " + std::to_string(p.y));
        CRect rc;
        GetClientRect(rc);
        for (int i = 0; i < 6; ++i)
            if (ButtonRect(i, rc).PtInRect(p)) Command(kButtonKeys[i]);
    }
    void OnKeyDown(UINT ch, UINT, UINT) override {
        Log("VIEW KEYDOWN " + std::to_string(ch) +
            " shift=" + ((GetKeyState(VK_SHIFT) & 0x8000) ? "1" : "0") +
            " ui=" + (std::this_thread::get_id() == g_uiThread ? "1" : "0"));
    }
    void OnKeyUp(UINT ch, UINT, UINT) override { Log("VIEW KEYUP " + std::to_string(ch)); }
    void OnChar(UINT ch, UINT, UINT) override {
        Log("VIEW CHAR " + std::to_string(ch));
        if (ch < 0x80) Command(static_cast<char>(ch));
    }
    void OnTimer(UINT_PTR id) override {
        if (id != kTimerId) return;
        ++m_timerCount;
        // Every tick of the first hundred, then every thousandth: a long wait with the timer
        // running (a day is 4.3 million ticks) keeps the log small.
        if (m_timerCount <= kTicksLoggedEach || m_timerCount % kTickLogInterval == 0)
            Log("TIMER " + std::to_string(id) + " n=" + std::to_string(m_timerCount) +
                " modal=" + (InModal() ? "1" : "0"));
        CRect bar(0, 30, 240, 40);
        InvalidateRect(bar, FALSE);
    }
    void OnActivateView(BOOL activate, CView* a, CView* d) override {
        Log(std::string("VIEW ACTIVATEVIEW ") + (activate ? "1" : "0"));
        CView::OnActivateView(activate, a, d);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DEMO_ASK) {
            Log("ASK from worker " + std::to_string(wParam) +
                " ui=" + (std::this_thread::get_id() == g_uiThread ? "1" : "0"));
            return static_cast<LRESULT>(wParam * 2);
        }
        if (message == WM_DEMO_REDRAW) {
            ++m_workerRedraws;
            m_redrawRequested = true;
            Log("REDRAW request");
            Invalidate(FALSE);
            return 0;
        }
        if (message == WM_HOTKEY) {
            Log("HOTKEY " + std::to_string(wParam));
            return 0;
        }
        return CView::WindowProc(message, wParam, lParam);
    }

    void Command(char c) {
        switch (c) {
        case 'd': {
            Log("DIALOG OPEN");
            CDemoDialog dialog(this);
            const INT_PTR result = dialog.DoModal();
            Log("DIALOG END result=" + std::to_string(result));
            break;
        }
        case 'c':
            Log("CONTROLS OPEN");
            RunControlsDemo(this, Log);
            break;
        case 'p':
            if (m_popup && ::IsWindow(m_popup->m_hWnd)) {
                m_popup->DestroyWindow();
                m_popup = nullptr;
                Log("POPUP CLOSED");
            } else {
                m_popup = new CRegionPopup;
                if (!m_popup->Make(GetParentFrame())) {
                    delete m_popup;
                    m_popup = nullptr;
                }
                Log("POPUP OPEN");
            }
            break;
        case 't':
            SetTimer(kTimerId, kTimerPeriod);
            Log("TIMER START");
            break;
        case 'k':
            KillTimer(kTimerId);
            Log("TIMER STOP n=" + std::to_string(m_timerCount));
            break;
        case 'w':
            RunWorker();
            break;
        case 's': {
            auto* image = new std::vector<BYTE>(MakeTone(200));
            const std::uint32_t hash = SoundHash(*image);
            const BOOL ok = PlaySoundW(reinterpret_cast<LPCWSTR>(image->data()), nullptr,
                                       SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
            delete image; // the player keeps its own copy
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08x", hash);
            Log(std::string("SOUND ok=") + (ok ? "1" : "0") + " hash=" + hex);
            break;
        }
        case 'm': {
            const int answer =
                AfxMessageBox(u"경로를 이탈 하였습니다. 계속하시겠습니까?", MB_YESNO | MB_ICONQUESTION);
            Log("MSGBOX answer=" + std::to_string(answer));
            break;
        }
        case 'u': {
            const int before = m_paints;
            Invalidate(FALSE);
            UpdateWindow();
            UpdateWindow();
            Log("UPDATE paints=" + std::to_string(m_paints - before));
            break;
        }
        case 'x': {
            auto* child = new CSelfDestroy;
            if (!child->Create(nullptr, u"Bye", WS_CHILD | WS_VISIBLE, CRect(180, 60, 230, 100), this, 300))
                delete child;
            Log("SELFDESTROY created");
            break;
        }
        default:
            break;
        }
    }

    void RunWorker() {
        Log("WORKER start");
        std::atomic<bool> done{false};
        std::atomic<LRESULT> answer{0};
        const HWND view = m_hWnd;
        std::thread worker([&] {
            // Keys from another thread: Shift held around Z makes an upper-case Z on the UI thread.
            keybd_event(VK_SHIFT, 0, 0, 0);
            keybd_event('Z', 0, 0, 0);
            keybd_event('Z', 0, KEYEVENTF_KEYUP, 0);
            keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
            answer = ::SendMessageW(view, WM_DEMO_ASK, 21, 0);
            // A worker never paints: it asks the UI thread to.
            ::PostMessageW(view, WM_DEMO_REDRAW, 0, 0);
            done = true;
        });
        // Answer the worker's SendMessage while waiting for it.
        while (!done.load()) {
            MSG m;
            ::PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        worker.join();
        Log("WORKER answer=" + std::to_string(answer.load()));
    }
};
IMPLEMENT_DYNCREATE(CDemoView, CView)

class CDemoFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CDemoFrame)
public:
    bool m_shrunk = true;

    // A window inside this frame or owned by it (its dialogs and popups) is not another program.
    bool IsOurs(HWND other) const {
        return other &&
               (other == m_hWnd || ::IsChild(m_hWnd, other) || ::GetWindow(other, GW_OWNER) == m_hWnd);
    }

    int OnCreate(LPCREATESTRUCT cs) override {
        if (CFrameWnd::OnCreate(cs) == -1) return -1;
        // The shell windows, found by their rectangles.
        EnumWindows(
            [](HWND h, LPARAM) -> BOOL {
                RECT r;
                ::GetWindowRect(h, &r);
                if (r.left == 204 && r.top == 295 && r.right == 240 && r.bottom == 319)
                    ::ShowWindow(h, SW_HIDE);
                if (r.left == 0 && r.top == 0 && r.right == 240 && r.bottom == 26) ::ShowWindow(h, SW_HIDE);
                return TRUE;
            },
            0);
        return 0;
    }
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override {
        CFrameWnd::OnActivate(state, other, minimized);
        const HWND otherHwnd = other ? other->m_hWnd : nullptr;
        Log("FRAME ACTIVATE state=" + std::to_string(state) + " other=" + ClassOf(otherHwnd));
        SHSipPreference(m_hWnd, SIP_FORCEDOWN);
        HWND taskbar = FindWindowW(u"HHTaskbar", nullptr);
        HWND button = FindWindowW(u"MS_SIPBUTTON", nullptr);
        if (m_shrunk && state != WA_INACTIVE) {
            if (taskbar) ::ShowWindow(taskbar, SW_HIDE);
            if (button) ::ShowWindow(button, SW_HIDE);
            MoveWindow(0, 0, 240, 320, TRUE);
            m_shrunk = false;
        } else if (!m_shrunk && state == WA_INACTIVE && !IsOurs(otherHwnd)) {
            if (taskbar) ::ShowWindow(taskbar, SW_SHOW);
            if (button) ::ShowWindow(button, SW_SHOW);
            MoveWindow(0, 26, 240, 294, TRUE);
            m_shrunk = true;
        }
        CRect r;
        GetWindowRect(r);
        Log("SHELL" + ShellState() + " frame=" + RectText(r));
    }
};
IMPLEMENT_DYNCREATE(CDemoFrame, CFrameWnd)

class CDemoApp : public CWinApp {
public:
    CDemoApp() : CWinApp(u"Velko UI demo") {}
    BOOL InitInstance() override {
        g_uiThread = std::this_thread::get_id();
        DialogTemplateInfo dialog;
        dialog.rect = RECT{30, 80, 210, 240};
        dialog.title = u"Demo";
        AfxRegisterDialogTemplate(kDialogTemplate, dialog);
        RegisterControlsDemoTemplates();
        AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CDemoDoc), RUNTIME_CLASS(CDemoFrame),
                                              RUNTIME_CLASS(CDemoView)));
        CCommandLineInfo info;
        ParseCommandLine(info);
        if (!ProcessShellCommand(info)) return FALSE;
        // The first application button becomes a hot key of the view, taken from the shell.
        auto* frame = static_cast<CFrameWnd*>(m_pMainWnd);
        CView* view = frame->GetActiveView();
        BOOL captured = FALSE;
        if (HMODULE core = LoadLibraryW(u"coredll.dll")) {
            using Unregister = BOOL (*)(UINT, UINT);
            if (auto release = reinterpret_cast<Unregister>(GetProcAddressW(core, u"UnregisterFunc1"))) {
                const BOOL released = release(MOD_WIN, VK_APP1);
                captured = released && RegisterHotKey(view->m_hWnd, VK_APP1, MOD_WIN, VK_APP1);
            }
            FreeLibrary(core);
        }
        Log(std::string("HOTKEY captured=") + (captured ? "1" : "0"));
        Log("START" + ShellState());
        return TRUE;
    }
    int ExitInstance() override {
        Log("EXIT code=" + std::to_string(m_exitCode));
        return CWinApp::ExitInstance();
    }
};

void Usage() {
    std::fprintf(
        stderr,
        "usage: velko-uidemo [--headless SCRIPT | --script SCRIPT] [--out DIR] [--scale N] [--no-audio]\n"
        "                    [--frames-each-step] [--nanum]\n"
        "  without --headless the demo opens an SDL window (with --script the SDL window runs it)\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string headlessScript;
    std::string sdlScript;
    std::string out = ".";
    int scale = 2;
    bool audio = true;
    bool eachStep = false;
    bool nanum = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (a == "--headless") {
            if (!value(headlessScript)) return Usage(), 2;
        } else if (a == "--script") {
            if (!value(sdlScript)) return Usage(), 2;
        } else if (a == "--out") {
            if (!value(out)) return Usage(), 2;
        } else if (a == "--scale") {
            std::string s;
            if (!value(s)) return Usage(), 2;
            scale = std::atoi(s.c_str());
            if (scale < 1 || scale > 8) return Usage(), 2;
        } else if (a == "--no-audio") {
            audio = false;
        } else if (a == "--frames-each-step") {
            eachStep = true;
        } else if (a == "--nanum") {
            nanum = true;
        } else {
            Usage();
            return 2;
        }
    }
    GdiUseBuiltinFont(!nanum);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    g_log.open(out + "/events.log", std::ios::trunc);
    CDemoApp app;
    int code = 0;
    if (!headlessScript.empty()) {
        HostOptions options;
        options.script = headlessScript;
        options.outDir = out;
        options.framesEachStep = eachStep;
        HeadlessHost host(options);
        std::string error;
        if (!host.Prepare(&error)) {
            std::fprintf(stderr, "velko-uidemo: %s\n", error.c_str());
            return 2;
        }
        code = host.Run([] { return AfxWinMain(); });
        if (host.Failed()) std::fprintf(stderr, "velko-uidemo: %s\n", host.Failure().c_str());
    } else {
        SdlHostOptions options;
        options.scale = scale;
        options.audio = audio;
        options.script = sdlScript;
        options.outDir = out;
        options.title = "Velko UI demo";
        SdlHost host(options);
        std::string error;
        if (!host.Open(&error)) {
            std::fprintf(stderr, "velko-uidemo: %s\n", error.c_str());
            return 2;
        }
        code = host.Run([] { return AfxWinMain(); });
        if (!host.Failure().empty()) std::fprintf(stderr, "velko-uidemo: %s\n", host.Failure().c_str());
    }
    g_log.close();
    return code;
}
