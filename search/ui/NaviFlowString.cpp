#include "search/ui/NaviFlowString.h"

#include "skinui/NaviCommand.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

// The text strip's background: never a colour the two text passes use.
constexpr COLORREF kKey = RGB(255, 0, 255);

} // namespace

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
    if (m_textDC) {
        SelectObject(m_textDC, m_textOld);
        DeleteDC(m_textDC);
    }
    if (m_textBitmap) DeleteObject(m_textBitmap);
    m_backDC = m_textDC = nullptr;
    m_backBitmap = m_textBitmap = nullptr;
    m_backOld = m_textOld = nullptr;
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
    m_textDC = CreateCompatibleDC(dc);
    m_backBitmap = CreateCompatibleBitmap(dc, BoxWidth(), m_textHeight);
    m_textBitmap = CreateCompatibleBitmap(dc, m_length, m_textHeight);
    if (!m_backDC || !m_textDC || !m_backBitmap || !m_textBitmap) {
        FreeStrips();
        return false;
    }
    m_backOld = SelectObject(m_backDC, m_backBitmap);
    m_textOld = SelectObject(m_textDC, m_textBitmap);

    const RECT all{0, 0, m_length, m_textHeight};
    const HBRUSH key = CreateSolidBrush(kKey);
    FillRect(m_textDC, &all, key);
    DeleteObject(key);
    const HGDIOBJ oldFont = SelectObject(m_textDC, GetCurrentObject(dc, OBJ_FONT));
    ::SetBkMode(m_textDC, TRANSPARENT);
    const UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT shadow{1, 1, m_length + 1, m_textHeight + 1};
    ::SetTextColor(m_textDC, m_shadowColor);
    DrawTextW(m_textDC, m_text.GetString(), -1, &shadow, format);
    RECT face = all;
    ::SetTextColor(m_textDC, m_textColor);
    DrawTextW(m_textDC, m_text.GetString(), -1, &face, format);
    SelectObject(m_textDC, oldFont);
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

    // The background under the box, the visible part of the text over it, then back.
    BitBlt(m_backDC, 0, 0, BoxWidth(), m_textHeight, dc, m_x, m_y, SRCCOPY);
    const int from = m_left < 0 ? -m_left : 0;
    const int at = m_left < 0 ? 0 : m_left;
    const int width = std::min(m_length - from, BoxWidth() - at);
    if (width > 0)
        TransparentImage(m_backDC, at, 0, width, m_textHeight, m_textDC, from, 0, width, m_textHeight, kKey);
    BitBlt(dc, m_x, m_y, BoxWidth(), m_textHeight, m_backDC, 0, 0, SRCCOPY);
}
