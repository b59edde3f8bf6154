// One line of text in a box that flows to the left: always (a ticker, mode 0) or only when it
// does not fit (mode 1), resting at the ends. The owner's skin timer repaints while it flows;
// every Draw is one step.
#pragma once

#include "skinui/NaviControl.h"

class NaviPanel;

class NaviFlowString : public NaviControl {
public:
    // Draws an arrival at each end is followed by this many resting draws.
    static constexpr int kPauseDraws = 7;
    // The search screens' caption colour.
    static constexpr COLORREF kCaptionColor = RGB(170, 66, 15);
    static constexpr int kStep = 2;
    static constexpr int kGap = 10;

    NaviFlowString();
    ~NaviFlowString() override;

    void SetRect(RECT rect) override;
    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetText(const CString& text);
    // A search screen's caption strip: visible, left-aligned, flowing only when its text does not
    // fit, in the caption colour; added to panel, which owns it. Null without a panel.
    static NaviFlowString* AddCaption(NaviPanel* panel, const char16_t* name, RECT box);
    const CString& GetText() const { return m_text; }
    void SetBox(RECT box) { SetRect(box); }
    void SetAlign(int align) { m_align = align; }
    void SetFlowMode(int mode) { m_mode = mode; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetShadowColor(COLORREF color) { m_shadowColor = color; }

    // Where the text's left edge lies in the box (0 = the box's left side), and the measured
    // length (text width plus the gap).
    int TextLeft() const { return m_left; }
    int TextLength() const { return m_length; }

private:
    bool Rebuild(HDC dc);
    void FreeStrips();
    void Step();
    int BoxWidth() const { return m_rect.right - m_rect.left; }
    int BoxHeight() const { return m_rect.bottom - m_rect.top; }

    CString m_text;
    int m_fontHeight = 13;
    COLORREF m_textColor = 0x000000;
    COLORREF m_shadowColor = 0xFFFFFF;
    int m_align = 1;
    int m_mode = 0;
    int m_length = 0;
    int m_startLimit = 0;
    int m_endLimit = 0;
    int m_left = 0;
    int m_right = 0;
    bool m_rebuild = true;
    bool m_startPause = false;
    bool m_endPause = false;
    int m_startCount = 0;
    int m_endCount = 0;
    int m_textHeight = 0;
    HDC m_backDC = nullptr;
    HBITMAP m_backBitmap = nullptr;
    HGDIOBJ m_backOld = nullptr;
};
