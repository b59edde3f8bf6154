#include "search/ui/NaviFlowString.h"

#include "skinui/NaviCommand.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

NaviFlowString::NaviFlowString() = default;

NaviFlowString::~NaviFlowString() {
    FreeStrips();
}

void NaviFlowString::SetRect(RECT rect) {
    m_rect = rect;
    m_x = rect.left;
    m_y = rect.top;
    m_width = rect.right - rect.left;
    m_height = rect.bottom - rect.top;
    m_rebuild = true;
}

int NaviFlowString::HitTest(int x, int y) {
    const POINT p{x, y};
    return PtInRect(&m_rect, p) ? 1 : 0;
}

void NaviFlowString::LoadImages(NaviRcBuilder* /*builder*/) {}

void NaviFlowString::SetText(const CString& text) {
    m_text = text;
    m_rebuild = true;
    m_startCount = 0;
}

void NaviFlowString::ProcessCommand(NaviCommand& cmd) {
    if ((cmd.target == kTargetDialog || cmd.target == kTargetMain) && cmd.control == m_name &&
        cmd.id == kCmdSetLabelText)
        SetText(cmd.text);
}

void NaviFlowString::FreeStrips() {
    if (m_backDC) {
        SelectObject(m_backDC, m_backOld);
        DeleteDC(m_backDC);
    }
    if (m_backBitmap) DeleteObject(m_backBitmap);
    m_backDC = nullptr;
    m_backBitmap = nullptr;
    m_backOld = nullptr;
}

bool NaviFlowString::Rebuild(HDC dc) {
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, m_text.GetString(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    m_length = (measured.right - measured.left) + kGap;
    m_textHeight = BoxHeight() > 0 ? BoxHeight() : measured.bottom - measured.top;
    m_startLimit = 0;
    m_endLimit = BoxWidth();
    if (m_align == 0) m_left = m_startLimit;
    else if (m_align == 2) m_left = m_endLimit;
    else m_left = BoxWidth() / 2;
    m_right = m_left + m_length;
    m_startPause = m_endPause = false;
    m_startCount = m_endCount = 0;

    FreeStrips();
    if (BoxWidth() <= 0 || m_textHeight <= 0) return false;
    m_backDC = CreateCompatibleDC(dc);
    m_backBitmap = CreateCompatibleBitmap(dc, BoxWidth(), m_textHeight);
    if (!m_backDC || !m_backBitmap) {
        FreeStrips();
        return false;
    }
    m_backOld = SelectObject(m_backDC, m_backBitmap);
    return true;
}

void NaviFlowString::Step() {
    if (m_left == m_startLimit && !m_startPause && !m_endPause) {
        m_startPause = true;
        m_startCount = 0;
    }
    if (m_startPause) {
        if (m_startCount < kPauseDraws) {
            ++m_startCount;
            return;
        }
        m_startPause = false;
    } else if (m_endPause) {
        if (m_endCount < kPauseDraws) {
            ++m_endCount;
            return;
        }
        // Back to the start: this draw is the arrival, the start pause follows.
        m_endPause = false;
        m_left = m_startLimit;
        m_right = m_left + m_length;
        m_startPause = true;
        m_startCount = 0;
        return;
    }
    m_left -= kStep;
    m_right -= kStep;
    if (m_mode == 1) {
        if (m_right <= m_endLimit) {
            m_endPause = true;
            m_endCount = 0;
        }
    } else if (m_right <= 0) {
        m_left = m_endLimit;
        m_right = m_left + m_length;
    }
}

void NaviFlowString::Draw(CDC* cdc) {
    if (!cdc || m_text.IsEmpty() || !m_visible) return;
    const HDC dc = cdc->GetSafeHdc();
    CFont font;
    font.CreateFont(-m_fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(dc, font.GetSafeHandle());
    if (m_rebuild) {
        if (Rebuild(dc)) m_rebuild = false;
    } else if (m_mode == 0 || m_length >= BoxWidth()) {
        Step();
    }
    SelectObject(dc, oldFont);
    if (m_rebuild) return;

    // The background under the box, the text over it at its edge (the strip clips what lies
    // outside the box), then back. The text is drawn onto the background itself, so smoothed
    // glyph edges blend with what is really under them.
    BitBlt(m_backDC, 0, 0, BoxWidth(), m_textHeight, dc, m_x, m_y, SRCCOPY);
    const HGDIOBJ stripFont = SelectObject(m_backDC, font.GetSafeHandle());
    ::SetBkMode(m_backDC, TRANSPARENT);
    const UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT shadow{m_left + 1, 1, m_left + m_length + 1, m_textHeight + 1};
    ::SetTextColor(m_backDC, m_shadowColor);
    DrawTextW(m_backDC, m_text.GetString(), -1, &shadow, format);
    RECT face{m_left, 0, m_left + m_length, m_textHeight};
    ::SetTextColor(m_backDC, m_textColor);
    DrawTextW(m_backDC, m_text.GetString(), -1, &face, format);
    SelectObject(m_backDC, stripFont);
    BitBlt(dc, m_x, m_y, BoxWidth(), m_textHeight, m_backDC, 0, 0, SRCCOPY);
}

NaviFlowString* NaviFlowString::AddCaption(NaviPanel* panel, const char16_t* name, RECT box) {
    if (!panel) return nullptr;
    auto* flow = new NaviFlowString();
    flow->SetName(name);
    flow->SetVisible(true);
    flow->SetBox(box);
    flow->SetAlign(0);
    flow->SetFlowMode(1);
    flow->SetTextColor(kCaptionColor);
    panel->AddChild(flow);
    return flow;
}
