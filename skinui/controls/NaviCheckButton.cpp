#include "skinui/controls/NaviCheckButton.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

constexpr COLORREF kShadowColor = 0x666666;
constexpr BYTE kOwnFontCharset = 130;

} // namespace

NaviCheckButton::NaviCheckButton() = default;

NaviCheckButton::~NaviCheckButton() {
    delete m_checkImage;
}

void NaviCheckButton::SetColors(int fontFlag, int textOffset, COLORREF textColor, int fontHeight) {
    m_fontFlag = fontFlag;
    m_textOffset = textOffset;
    m_textColor = textColor;
    m_fontHeight = fontHeight;
}

SIZE NaviCheckButton::MeasureText(CDC* dc, const CString& text) {
    SIZE size{0, 0};
    if (!dc) return size;
    int fit = 0;
    dc->GetTextExtentExPoint(text.GetString(), text.GetLength(), 0, &fit, nullptr, &size);
    return size;
}

void NaviCheckButton::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    const CString base = m_useCheckGroup ? builder->GetCheckGroup() : m_name;
    const CString group = builder->GetImageGroup();
    SetImage(LoadNamed(builder, group, base, u""));
    if (m_image) {
        SetSize(m_image->GetWidth(), m_image->GetHeight());
        m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    }
    SetPressedImage(LoadNamed(builder, group, base, u"_Press"));
    delete m_checkImage;
    m_checkImage = LoadNamed(builder, group, base, u"_Check");
}

void NaviCheckButton::Draw(CDC* dc) {
    if (!dc) return;
    CFont font;
    HGDIOBJ oldFont = nullptr;
    COLORREF oldColor = 0;
    const bool ownFont = UsesOwnFont();
    if (ownFont) {
        font.CreateFont(-m_fontHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, kOwnFontCharset, 0, 0, 0, 0, u"Verdana");
        oldFont = SelectObject(dc->GetSafeHdc(), font.GetSafeHandle());
        oldColor = dc->SetTextColor(m_textColor);
    }
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const CString text = m_text.IsEmpty() ? m_name : m_text;
    const SIZE extent = MeasureText(dc, text);
    const bool pressed = m_pressed;
    // The text moves one pixel with the press when no pressed image shows it.
    const bool nudge = pressed && !m_pressedImage;
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX;

    if (!m_image) {
        const int dy = (m_rect.bottom - m_rect.top - extent.cy) / 2;
        if (!m_laidOut) {
            InflateRect(&m_rect, (extent.cx + 4) / 2, 0);
            m_x = m_rect.left;
            m_y = m_rect.top;
            SetSize(m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
            m_laidOut = true;
        }
        dc->Rectangle(&m_rect);
        RECT r = m_rect;
        OffsetRect(&r, nudge ? 1 : 0, nudge ? dy + 1 : dy);
        dc->DrawText(text, &r, format);
        m_pressed = false;
    } else {
        DrawImage(dc, m_x, m_y, m_checked && m_checkImage ? m_checkImage : m_image);
        if (m_showText) {
            RECT r = m_rect;
            if (ownFont) OffsetRect(&r, 0, m_textOffset);
            const int dy = (m_rect.bottom - m_rect.top - extent.cy) / 2;
            OffsetRect(&r, nudge ? 1 : 0, nudge ? dy + 1 : dy);
            if (m_shadow) {
                RECT s = r;
                OffsetRect(&s, 1, 0);
                const COLORREF before = dc->SetTextColor(kShadowColor);
                dc->DrawText(text, &s, format);
                dc->SetTextColor(before);
            }
            dc->DrawText(text, &r, format);
        }
    }
    dc->SetBkMode(oldMode);
    if (ownFont) {
        dc->SetTextColor(oldColor);
        SelectObject(dc->GetSafeHdc(), oldFont);
    }
}

void NaviCheckButton::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target == kTargetDialog) {
        if (cmd.control != m_name) return;
        switch (cmd.id) {
        case kCmdHide: m_visible = false; break;
        case kCmdShow: m_visible = true; break;
        case kCmdCheck: SetChecked(true); break;
        case kCmdUncheck: SetChecked(false); break;
        default: break;
        }
        return;
    }
    if (m_listener) m_listener->ProcessEvent(cmd);
}
