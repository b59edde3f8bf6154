// Digit and symbol images and the routines that draw numeric strings with them: distances and
// times right-aligned, the turn arrow's distance left-aligned. The panel's own Draw draws nothing.
#pragma once

#include "skinui/NaviControl.h"

class NaviDigitPanel : public NaviControl {
public:
    NaviDigitPanel();
    ~NaviDigitPanel() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* /*dc*/) override {}
    void ProcessCommand(NaviCommand& /*cmd*/) override {}

    // Right-aligned at right: each walks the text from its end; characters they do not draw are
    // skipped without moving the pen.
    void DrawDistanceText(CDC* dc, const CString& text, int right, int y);
    void DrawKmText(CDC* dc, const CString& text, int right, int y);
    void DrawTimeText(CDC* dc, const CString& text, int right, int y);
    void DrawWaypointText(CDC* dc, const CString& text, int right, int y);
    // Left-aligned from left.
    void DrawTextLeft(CDC* dc, const CString& text, int left, int y);

private:
    void Put(CDC* dc, NaviBitmap* image, int x, int y);
    static int Digit(char16_t c) { return c >= u'0' && c <= u'9' ? c - u'0' : -1; }

    NaviBitmap* m_big[10] = {};
    NaviBitmap* m_small[10] = {};
    NaviBitmap* m_waypoint[10] = {};
    NaviBitmap* m_point = nullptr;
    NaviBitmap* m_waypointPoint = nullptr;
    NaviBitmap* m_colon = nullptr;
    NaviBitmap* m_km = nullptr;
};
