// The distance scale under the map: one of nine scale images by map level.
#pragma once

#include "skinui/NaviControl.h"

class NaviDistBar : public NaviControl {
public:
    static constexpr int kImages = 9;

    NaviDistBar();
    ~NaviDistBar() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetValue(int value) { m_value = value; }
    void DrawValue(CDC* dc, int value);
    // The image of a map level: 1, 2 -> 0; 3 -> 1; 4, 5 -> 2; 6..11 -> 3..8; others -> 0.
    static int ImageIndex(int level);

private:
    NaviBitmap* m_images[kImages] = {};
    int m_value = 0;
};
