#include "traffic/pages/StockDialogSupport.h"

namespace stockui {

DialogTemplateInfo FullScreenTemplate(const char16_t* title) {
    DialogTemplateInfo t;
    t.rect = RECT{0, 26, 240, 320};
    t.style = WS_POPUP;
    t.title = title;
    t.items.push_back({kTitleId, WC_STATIC, RECT{10, 8, 230, 28}, WS_VISIBLE | SS_CENTER, title});
    t.items.push_back({IDCANCEL, WC_BUTTON, RECT{166, 254, 230, 282}, WS_VISIBLE | WS_TABSTOP, u"이전"});
    return t;
}

void CreateTableFont(CFont& font) {
    font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Arial");
}

void DrawCell(CDC* dc, const RECT& cell, COLORREF back, const CString& text, COLORREF color, UINT format) {
    dc->FillSolidRect(&cell, back);
    RECT inner = cell;
    inner.left += 3;
    inner.right -= 3;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(color);
    dc->DrawText(text, &inner, format | DT_VCENTER | DT_SINGLELINE);
}

} // namespace stockui
