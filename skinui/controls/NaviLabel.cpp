#include "skinui/controls/NaviLabel.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

constexpr COLORREF kMarkColor = 0x00C1A1;
constexpr int kFramePad = 4;

} // namespace

NaviLabel::NaviLabel() = default;

void NaviLabel::SetText(const CString& text) {
    m_text.Format(u"%s", text.GetString());
}

void NaviLabel::LoadImages(NaviRcBuilder* builder) {
    if (builder) m_screenWidth = builder->GetScreenWidth();
}

void NaviLabel::Draw(CDC* dc) {
    if (!dc || m_text.IsEmpty()) return;
    const HDC hdc = dc->GetSafeHdc();
    CFont font;
    font.CreateFont(-m_fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(hdc, font.GetSafeHandle());
    const COLORREF oldColor = dc->SetTextColor(m_textColor);
    const int oldMode = dc->SetBkMode(TRANSPARENT);

    RECT r{0, 0, 0, 0};
    dc->DrawText(m_text, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (m_framed) InflateRect(&r, kFramePad, kFramePad);
    const int width = r.right - r.left;
    int left = m_x;
    if (m_align == kAlignLeftOfX) left = m_x - 2 - width;
    else if (m_align == kAlignScreenLeft) left = 2;
    else if (m_align == kAlignScreenCentre) left = (m_screenWidth - width) / 2;
    OffsetRect(&r, left - r.left, m_y - r.top);
    // The boxed placement draws and answers in the rectangle the label was made with.
    if (m_align == kAlignInBox) r = m_storedRect;

    if (!(m_style & kLabelNoBackground)) {
        dc->FillSolidRect(&r, m_backColor);
        if (m_framed) {
            const HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
            dc->Rectangle(&r);
            SelectObject(hdc, oldBrush);
        }
    }
    if (m_style & kLabelUnderline) {
        const HBRUSH brush = CreateSolidBrush(kMarkColor);
        const HGDIOBJ oldBrush = SelectObject(hdc, brush);
        const HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
        // Without a pen the rectangle's right and bottom edges are not filled: one more each way.
        ::Rectangle(hdc, r.left - 18, r.bottom - 3, r.left - 18 + 15 + 1, r.bottom - 3 + 5 + 1);
        ::Rectangle(hdc, r.left - 3, r.bottom + 1, r.right + 1, r.bottom + 2 + 1);
        SelectObject(hdc, oldPen);
        SelectObject(hdc, oldBrush);
        DeleteObject(brush);
    }
    const UINT format = (m_align == kAlignAtX ? DT_RIGHT : DT_CENTER) | DT_SINGLELINE | DT_NOPREFIX |
                        (m_align == kAlignInBox ? DT_VCENTER : 0);
    const bool outline = (m_style & (kLabelNoBackground | kLabelOutline)) == (kLabelNoBackground | kLabelOutline);
    if (outline) dc->SetTextColor(m_backColor);
    RECT first = r;
    dc->DrawText(m_text, &first, format);
    dc->SetTextColor(m_textColor);
    if (!(m_style & kLabelNoBold)) {
        RECT bold = r;
        OffsetRect(&bold, -1, 0);
        dc->DrawText(m_text, &bold, format);
    }
    m_rect = r;

    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColor);
    SelectObject(hdc, oldFont);
}

void NaviLabel::ProcessCommand(NaviCommand& cmd) {
    if ((cmd.target == kTargetDialog || cmd.target == kTargetMain) && cmd.control == m_name &&
        cmd.id == kCmdSetLabelText)
        m_text = cmd.text;
}
