// An image button with an optional text and a checked state: the "_Check" image is drawn while it
// is checked. Without a normal image it is a text button that sizes itself to its text once.
#pragma once

#include "skinui/controls/NaviButton.h"

class NaviCheckButton : public NaviButton {
public:
    NaviCheckButton();
    ~NaviCheckButton() override;

    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    virtual void SetChecked(bool on) { m_checked = on; }
    virtual bool IsChecked() const { return m_checked; }
    void SetShowText(bool on) { m_showText = on; }
    bool GetShowText() const { return m_showText; }
    // Take the image names from the builder's check group instead of the control's name.
    void SetStyleFlag(bool useCheckGroup) { m_useCheckGroup = useCheckGroup; }
    void SetText(const CString& text) { m_text = text; }
    const CString& GetText() const { return m_text; }
    void SetShadow(bool on) { m_shadow = on; }
    // fontFlag >= 0 together with textOffset >= 0 draws the text in the button's own bold font.
    void SetColors(int fontFlag, int textOffset, COLORREF textColor, int fontHeight);
    // The size of text on one line in the context's current font.
    static SIZE MeasureText(CDC* dc, const CString& text);

protected:
    bool UsesOwnFont() const { return m_fontFlag >= 0 && m_textOffset >= 0; }

    NaviBitmap* m_checkImage = nullptr;
    bool m_checked = false;
    bool m_showText = false;
    int m_fontFlag = -1;
    int m_textOffset = -1;
    COLORREF m_textColor = 0;
    int m_fontHeight = 0;
    bool m_shadow = false;
    bool m_laidOut = false;
    bool m_useCheckGroup = false;
    CString m_text;
};
