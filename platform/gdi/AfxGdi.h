// The MFC drawing classes over the GDI handles: CDC (with CPaintDC, CClientDC, CWindowDC),
// CGdiObject, CPen, CBrush, CFont, CBitmap and CRgn. As in MFC, a wrapper owns the handle it
// created or attached and deletes it when destroyed; FromHandle gives a temporary, non-owning
// wrapper that lives until AfxDeleteTempMaps (or the end of the thread).
#pragma once

#include "platform/base/CString.h"
#include "platform/gdi/Gdi.h"

class CWnd; // the window system's window class

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

// How CPaintDC, CClientDC and CWindowDC get a window's device context. The window system sets
// these; without them (or for a null window) the wrappers draw on the screen.
struct WindowDCHooks {
    HDC (*getDC)(CWnd* wnd) = nullptr;
    HDC (*getWindowDC)(CWnd* wnd) = nullptr;
    int (*releaseDC)(CWnd* wnd, HDC dc) = nullptr;
    HDC (*beginPaint)(CWnd* wnd, PAINTSTRUCT* ps) = nullptr;
    void (*endPaint)(CWnd* wnd, const PAINTSTRUCT* ps) = nullptr;
};
void AfxSetWindowDCHooks(const WindowDCHooks& hooks);
// Frees this thread's temporary wrappers made by FromHandle.
void AfxDeleteTempMaps();

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject();

    HGDIOBJ m_hObject = nullptr;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    BOOL CreateStockObject(int index);
    int GetObject(int size, LPVOID buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
    UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
    static CGdiObject* FromHandle(HGDIOBJ object);

protected:
    friend struct AfxTempMaps;
    bool m_temporary = false;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
    BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
    int GetLogPen(LOGPEN* pen) const { return GetObject(sizeof(LOGPEN), pen); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN pen);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
    BOOL CreateSysColorBrush(int index);
    int GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof(LOGBRUSH), brush); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH brush);
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, LPCWSTR face) {
        return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                                    strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily,
                                    face));
    }
    int GetLogFont(LOGFONTW* font) const { return GetObject(sizeof(LOGFONTW), font); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT font);
};

class CDC;

class CBitmap : public CGdiObject {
public:
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
        return Attach(::CreateBitmap(width, height, planes, bitCount, bits));
    }
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP bitmap);
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom) {
        return Attach(::CreateRectRgn(left, top, right, bottom));
    }
    BOOL CreateRectRgnIndirect(LPCRECT rect) { return Attach(::CreateRectRgnIndirect(rect)); }
    int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
        return ::CombineRgn(*this, a ? static_cast<HRGN>(*a) : nullptr, b ? static_cast<HRGN>(*b) : nullptr,
                            mode);
    }
    int CopyRgn(const CRgn* source) { return CombineRgn(source, nullptr, RGN_COPY); }
    void SetRectRgn(int left, int top, int right, int bottom) {
        ::SetRectRgn(*this, left, top, right, bottom);
    }
    void SetRectRgn(LPCRECT r) { ::SetRectRgn(*this, r->left, r->top, r->right, r->bottom); }
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
    int GetRgnBox(LPRECT rect) const { return ::GetRgnBox(*this, rect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* FromHandle(HRGN region);
};

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach();
    static CDC* FromHandle(HDC dc);

    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    int SelectObject(CRgn* region);
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
    POINT SetViewportOrg(int x, int y);
    POINT OffsetViewportOrg(int dx, int dy);
    POINT GetViewportOrg() const;
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    POINT MoveTo(int x, int y);
    POINT MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
    void FillRect(LPCRECT rect, CBrush* brush) {
        ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(*brush) : nullptr);
    }
    // As in MFC, these two leave the background colour set to the last colour they used.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    COLORREF SetPixel(POINT p, COLORREF color) { return SetPixel(p.x, p.y, color); }

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, srcX, srcY, rop);
    }
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop) {
        return ::PatBlt(m_hDC, x, y, width, height, rop);
    }

    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, const int* dx) {
        return ::ExtTextOutW(m_hDC, x, y, options, rect, text, count, dx);
    }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const int* dx) {
        return ExtTextOut(x, y, options, rect, text.GetString(), static_cast<UINT>(text.GetLength()), dx);
    }
    BOOL TextOut(int x, int y, LPCWSTR text, int count) {
        return ::ExtTextOutW(m_hDC, x, y, 0, nullptr, text, static_cast<UINT>(count < 0 ? 0 : count),
                             nullptr);
    }
    BOOL TextOut(int x, int y, const CString& text) {
        return TextOut(x, y, text.GetString(), text.GetLength());
    }
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
        return ::DrawTextW(m_hDC, text, count, rect, format);
    }
    int DrawText(const CString& text, LPRECT rect, UINT format) {
        return DrawText(text.GetString(), text.GetLength(), rect, format);
    }
    SIZE GetTextExtent(LPCWSTR text, int count) const;
    SIZE GetTextExtent(const CString& text) const {
        return GetTextExtent(text.GetString(), text.GetLength());
    }
    BOOL GetTextExtentExPoint(LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size) const {
        return ::GetTextExtentExPointW(m_hDC, text, count, maxExtent, fit, dx, size);
    }
    BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

    int SelectClipRgn(CRgn* region) {
        return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(*region) : nullptr);
    }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }

protected:
    friend struct AfxTempMaps;
    bool m_temporary = false;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    CWnd* m_pWnd;
    bool m_fromHooks = false;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    CWnd* m_pWnd;
    bool m_fromHooks = false;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    CWnd* m_pWnd;
    bool m_fromHooks = false;
};
