// The level slider of the menus' volume bar: a bar image, up to five level blocks and the knob
// after the last block, or the disable image while disabled. The block and knob places are fixed
// screen positions fitted to that bar.
#pragma once

#include "skinui/NaviControl.h"

class NaviSliderBar : public NaviControl {
public:
    NaviSliderBar();
    ~NaviSliderBar() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    int GetValue() const { return m_value; }
    bool IsDisabled() const { return m_disabled; }
    // The number of level blocks value shows: value / 20, kept within 0..5.
    static int BlockCount(int value);

private:
    NaviBitmap* m_disableImage = nullptr;
    NaviBitmap* m_knobImage = nullptr;
    NaviBitmap* m_levelImage = nullptr;
    bool m_disabled = false;
    int m_value = -1;
};
