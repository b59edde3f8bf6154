// The mark shown while a re-search for received traffic information is offered.
#pragma once

#include "skinui/NaviControl.h"

class NaviTrafficReRouteMark : public NaviControl {
public:
    NaviTrafficReRouteMark();

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // 103 puts the mark 76 above the bottom edge, 104 170 above it; other kinds leave it.
    void Reposition(int kind);

private:
    int m_baseHeight = 320;
};
