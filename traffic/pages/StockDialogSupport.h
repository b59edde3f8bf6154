// What the stock dialogs share: their place on the screen, the title line their templates put
// at the top, the table cells they draw (label and value cells on two background colours in
// "Arial" 14) and the colours of rising and falling values.
#pragma once

#include "platform/window/Dialog.h"

namespace stockui {

constexpr COLORREF kRise = RGB(220, 0, 0);
constexpr COLORREF kFall = RGB(0, 0, 220);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kLabelBack = RGB(198, 214, 236);
constexpr COLORREF kValueBack = RGB(255, 255, 255);
constexpr int kTitleId = 0xFFFF;

// A dialog template of the full area below the top bar (0, 26)-(240, 320), its title repeated
// in a static line at the top, and a "이전" button (IDCANCEL) at the bottom right.
DialogTemplateInfo FullScreenTemplate(const char16_t* title);

// Makes the "Arial" 14 font of the tables and lists.
void CreateTableFont(CFont& font);

// A cell: its background, then the text in colour, aligned by format (DT_LEFT, DT_CENTER,
// DT_RIGHT) with a small inset.
void DrawCell(CDC* dc, const RECT& cell, COLORREF back, const CString& text, COLORREF color, UINT format);

} // namespace stockui
