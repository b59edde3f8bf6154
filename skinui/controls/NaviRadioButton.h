// The radio button: a row of a radio group or of the scroll list. The skin's "Radio" image (its
// "_Press" image while selected), the name written beside it when the show-text flag is set.
// Moving it moves its text with it.
#pragma once

#include "skinui/controls/NaviCheckButton.h"

class NaviRadioButton : public NaviCheckButton {
public:
    NaviRadioButton();

    void SetRect(RECT rect) override;
    void OnPenDown() override { m_pressed = true; }
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    // Its own 2015 report comes back here and goes no further; the group reports the choice.
    void ProcessCommand(NaviCommand& /*cmd*/) override {}

    // The selected state is the pressed flag, which drawing keeps.
    void SetChecked(bool on) override { m_pressed = on; }
    bool IsChecked() const override { return m_pressed; }
    // Moves the position and the rectangle (and the text) by the same offset, keeping the size.
    void SetPos(int x, int y);
    RECT GetTextRect() const { return m_textRect; }

private:
    void Layout(CDC* dc);

    CString m_imageName = u"Radio";
    RECT m_textRect{};
    bool m_textLaidOut = false;
};
