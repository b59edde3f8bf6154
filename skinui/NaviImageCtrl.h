// A level gauge: its tile image repeated from the left in proportion to value / maximum.
#pragma once

#include "skinui/NaviControl.h"

class NaviImageCtrl : public NaviControl {
public:
    NaviImageCtrl();
    ~NaviImageCtrl() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetValue(int value) { m_value = value; }
    int GetValue() const { return m_value; }
    void SetMaximum(int maximum) { m_maximum = maximum; }
    int GetMaximum() const { return m_maximum; }
    // Takes ownership.
    void SetTile(NaviBitmap* tile);

private:
    NaviBitmap* m_tile = nullptr;
    int m_value = 0;
    int m_maximum = 100;
};
