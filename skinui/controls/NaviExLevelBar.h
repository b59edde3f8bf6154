// The column of nine level buttons in the top right corner, the current level highlighted with
// its "_A" image. A tap names the level to switch to.
#pragma once

#include "skinui/NaviControl.h"
#include "skinui/controls/NaviLevelTable.h"

class NaviExLevelBar : public NaviControl {
public:
    static constexpr int kImages = 9;
    static constexpr int kHitCurrent = 20;

    NaviExLevelBar();
    ~NaviExLevelBar() override;

    void OnPenDown() override { m_pressCount = 2; }
    void OnPenUp() override {}
    // 20 on the current position, else the level to switch to (-1 when there is none); 0 off.
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Without a table every level maps to -1.
    void SetLevelTable(const NaviLevelTable& table) { m_levelTable = table; }
    void SetLevel(int level) { m_currentPos = LevelToPosition(level); }
    void DrawLevel(CDC* dc, int level);
    int LevelToPosition(int n) const { return m_levelTable.LevelToPosition(n); }
    int StepToLevel(int n) const { return m_levelTable.StepToLevel(n); }
    int GetCurrentPos() const { return m_currentPos; }

private:
    void DrawAt(CDC* dc, NaviBitmap* image, int pos, bool pressRule);

    int m_currentPos = -1;
    int m_pressedPos = -1;
    NaviLevelTable m_levelTable;
    int m_originX = 209;
    int m_originY = 2;
    NaviBitmap* m_images[kImages] = {};
    NaviBitmap* m_activeImages[kImages] = {};
    int m_pressCount = 0;
    bool m_hidden = false;
};
