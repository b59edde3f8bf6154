#include "platform/gdi/AfxGdi.h"

#include <memory>
#include <unordered_map>
#include <utility>

namespace {

WindowDCHooks g_hooks;

} // namespace

// Per-thread maps of the temporary wrappers FromHandle hands out.
struct AfxTempMaps {
    std::unordered_map<const void*, std::unique_ptr<CGdiObject>> objects;
    std::unordered_map<const void*, std::unique_ptr<CDC>> dcs;

    ~AfxTempMaps() { Clear(); }

    void Clear() {
        for (auto& [handle, wrapper] : objects) wrapper->m_hObject = nullptr;
        for (auto& [handle, wrapper] : dcs) wrapper->m_hDC = nullptr;
        objects.clear();
        dcs.clear();
    }

    template <class T> T* Object(HGDIOBJ handle) {
        if (!handle) return nullptr;
        auto& slot = objects[handle];
        if (auto* existing = dynamic_cast<T*>(slot.get())) return existing;
        if (slot) slot->m_hObject = nullptr; // a wrapper of another type for a reused handle
        auto wrapper = std::make_unique<T>();
        wrapper->m_hObject = handle;
        wrapper->m_temporary = true;
        slot = std::move(wrapper);
        return static_cast<T*>(slot.get());
    }

    CDC* Dc(HDC handle) {
        if (!handle) return nullptr;
        auto& slot = dcs[handle];
        if (!slot) {
            slot = std::make_unique<CDC>();
            slot->m_hDC = handle;
            slot->m_temporary = true;
        }
        return slot.get();
    }

    static AfxTempMaps& Get() {
        thread_local AfxTempMaps maps;
        return maps;
    }
};

void AfxSetWindowDCHooks(const WindowDCHooks& hooks) {
    g_hooks = hooks;
}
void AfxDeleteTempMaps() {
    AfxTempMaps::Get().Clear();
}

// ---- CGdiObject and its kinds ----

CGdiObject::~CGdiObject() {
    if (!m_temporary) DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object) return FALSE;
    if (m_hObject && !m_temporary) ::DeleteObject(m_hObject);
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    return std::exchange(m_hObject, nullptr);
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) {
    return Attach(::GetStockObject(index));
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) {
    return AfxTempMaps::Get().Object<CGdiObject>(object);
}
CPen* CPen::FromHandle(HPEN pen) {
    return AfxTempMaps::Get().Object<CPen>(pen);
}
CBrush* CBrush::FromHandle(HBRUSH brush) {
    return AfxTempMaps::Get().Object<CBrush>(brush);
}
CFont* CFont::FromHandle(HFONT font) {
    return AfxTempMaps::Get().Object<CFont>(font);
}
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    return AfxTempMaps::Get().Object<CBitmap>(bitmap);
}
CRgn* CRgn::FromHandle(HRGN region) {
    return AfxTempMaps::Get().Object<CRgn>(region);
}

BOOL CBrush::CreateSysColorBrush(int index) {
    return Attach(::GetSysColorBrush(index));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

// ---- CDC ----

CDC::~CDC() {
    if (m_hDC && !m_temporary) ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC dc) {
    if (!dc) return FALSE;
    m_hDC = dc;
    m_hAttribDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    m_hAttribDC = nullptr;
    return std::exchange(m_hDC, nullptr);
}

CDC* CDC::FromHandle(HDC dc) {
    return AfxTempMaps::Get().Dc(dc);
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CPen* CDC::SelectObject(CPen* pen) {
    return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr)));
}
CFont* CDC::SelectObject(CFont* font) {
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font ? font->m_hObject : nullptr)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return CBitmap::FromHandle(
        static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr)));
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, object ? object->m_hObject : nullptr));
}
int CDC::SelectObject(CRgn* region) {
    return SelectClipRgn(region);
}
CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index)));
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}
CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}
CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

POINT CDC::SetViewportOrg(int x, int y) {
    POINT old{};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}
POINT CDC::OffsetViewportOrg(int dx, int dy) {
    POINT old{};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
    return old;
}
POINT CDC::GetViewportOrg() const {
    POINT org{};
    ::GetViewportOrgEx(m_hDC, &org);
    return org;
}

POINT CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
               bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    // Top and left edges in the first colour, right and bottom edges (the corners they share
    // with the others included) in the second.
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

SIZE CDC::GetTextExtent(LPCWSTR text, int count) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return size;
}

// ---- window device contexts ----

CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd && g_hooks.beginPaint) {
        m_fromHooks = true;
        Attach(g_hooks.beginPaint(wnd, &m_ps));
    } else {
        Attach(::CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr));
        m_ps.hdc = m_hDC;
        HBITMAP screen = GdiGetScreenBitmap();
        BITMAP bm;
        ::GetObjectW(screen, sizeof bm, &bm);
        m_ps.rcPaint = RECT{0, 0, bm.bmWidth, bm.bmHeight};
    }
}

CPaintDC::~CPaintDC() {
    if (m_fromHooks) {
        if (g_hooks.endPaint) g_hooks.endPaint(m_pWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd && g_hooks.getDC) {
        m_fromHooks = true;
        Attach(g_hooks.getDC(wnd));
    } else {
        Attach(::CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr));
    }
}

CClientDC::~CClientDC() {
    if (m_fromHooks) {
        if (g_hooks.releaseDC) g_hooks.releaseDC(m_pWnd, Detach());
        Detach();
    }
}

CWindowDC::CWindowDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd && g_hooks.getWindowDC) {
        m_fromHooks = true;
        Attach(g_hooks.getWindowDC(wnd));
    } else {
        Attach(::CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr));
    }
}

CWindowDC::~CWindowDC() {
    if (m_fromHooks) {
        if (g_hooks.releaseDC) g_hooks.releaseDC(m_pWnd, Detach());
        Detach();
    }
}
