// The check box: the skin's "Check" image (its "_Press" image while checked) with the control's
// name written beside it. The pen toggles it and it reports the new state; its touch area reaches
// three pixels past the image and the text.
#pragma once

#include "skinui/controls/NaviCheckButton.h"

class NaviCheckBox : public NaviCheckButton {
public:
    NaviCheckBox();

    void OnPenDown() override;
    void OnPenUp() override {}
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // The checked state is the pressed flag, which drawing keeps.
    void SetChecked(bool on) override { m_pressed = on; }
    bool IsChecked() const override { return m_pressed; }
    // Stores the position without touching the rectangle (LoadImages makes it).
    void SetPlace(int x, int y) {
        m_x = x;
        m_y = y;
    }
    RECT GetTextRect() const { return m_textRect; }

private:
    void Layout(CDC* dc);

    CString m_imageName = u"Check";
    RECT m_textRect{};
    bool m_textLaidOut = false;
};
