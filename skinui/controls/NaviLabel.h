// One line of text in the skin's "NORMAL" font, with an optional background, frame, underline
// mark and a bold second pass. Its touch rectangle follows the text it last drew.
#pragma once

#include "skinui/NaviControl.h"

// Horizontal placements.
constexpr int kAlignLeftOfX = 109;   // the text ends 2 pixels left of x
constexpr int kAlignScreenLeft = 108; // the text starts at screen x 2
constexpr int kAlignScreenCentre = 110;
constexpr int kAlignAtX = 111;
constexpr int kAlignInBox = 115;     // centred in the rectangle the label was made with

// Style bits.
constexpr int kLabelUnderline = 1;
constexpr int kLabelNoBold = 2;
constexpr int kLabelNoBackground = 4;
constexpr int kLabelOutline = 8; // with kLabelNoBackground: the first pass in the background colour

class NaviLabel : public NaviControl {
public:
    NaviLabel();

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int /*x*/, int /*y*/) override { return 0; }
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetText(const CString& text);
    const CString& GetText() const { return m_text; }
    void SetAlign(int align) { m_align = align; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    void SetStyle(int style) { m_style = style; }
    void SetFramed(bool on) { m_framed = on; }
    void SetFontHeight(int height) { m_fontHeight = height; }
    void SetStoredRect(RECT rect) { m_storedRect = rect; }

private:
    CString m_text;
    bool m_framed = false;
    int m_align = kAlignAtX;
    int m_screenWidth = 240;
    RECT m_storedRect{};
    COLORREF m_textColor = 0x000000;
    COLORREF m_backColor = 0xFFFFFF;
    int m_style = 0;
    int m_fontHeight = 13;
};
