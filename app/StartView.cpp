#include "app/StartView.h"

#include "app/MainDoc.h"
#include "platform/gdi/Gdi.h"

IMPLEMENT_DYNCREATE(CStartView, CView)

namespace {
constexpr UINT kMapUnreadable = 214;
}

bool LoadDrawingFiles(CMainDoc& doc, int displayColours) {
    doc.SetColorMode(displayColours);
    const bool ok = doc.LoadDrawConfig() && doc.LoadSchemeFile(u"Color.bin") && doc.LoadLineFile() &&
                    doc.LoadLevelFile();
    if (!ok) AfxMessageBox(kMapUnreadable, MB_OK | MB_ICONSTOP);
    return ok;
}

CMainDoc* CStartView::GetMainDoc() const {
    return dynamic_cast<CMainDoc*>(GetDocument());
}

bool CStartView::InitFirstTime() {
    CMainDoc* doc = GetMainDoc();
    if (!doc) return false;
    CDC* dc = GetDC();
    const int colours = dc ? dc->GetDeviceCaps(NUMCOLORS) : -1;
    if (dc) ReleaseDC(dc);
    return LoadDrawingFiles(*doc, colours);
}

void CStartView::OnDraw(CDC* dc) {
    RECT r{};
    GetClientRect(&r);
    const CMainDoc* doc = GetMainDoc();
    HBRUSH ground = CreateSolidBrush(doc ? doc->GetBackgroundColor() : RGB(255, 255, 255));
    FillRect(dc->GetSafeHdc(), &r, ground);
    DeleteObject(ground);
}
