// The zoom indicator of the top right corner: one level image between a zoom-in and a zoom-out
// button, each button showing its "_Snd" image at its end of the scale.
#pragma once

#include "skinui/NaviControl.h"
#include "skinui/controls/NaviLevelTable.h"

class NaviButton;

class NaviLevelBar : public NaviControl {
public:
    static constexpr int kImages = 9;
    enum Hit { kHitNone = 0, kHitZoomIn = 1, kHitZoomOut = 2, kHitLevel = 3 };

    NaviLevelBar();
    ~NaviLevelBar() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetLevelTable(const NaviLevelTable& table) { m_levelTable = table; }
    void SetCurrentLevel(int level) { m_currentLevel = level; }
    void DrawLevel(CDC* dc, int level);
    int LevelToPosition(int n) const { return m_levelTable.LevelToPosition(n); }
    int StepToLevel(int n) const { return m_levelTable.StepToLevel(n); }
    NaviButton* GetZoomIn() const { return m_zoomIn; }
    NaviButton* GetZoomOut() const { return m_zoomOut; }
    bool IsHidden() const { return m_hidden; }

private:
    NaviLevelTable m_levelTable;
    int m_originX = 147;
    int m_originY = 2;
    NaviBitmap* m_images[kImages] = {};
    NaviButton* m_zoomIn = nullptr;
    NaviButton* m_zoomOut = nullptr;
    int m_hitCode = 0;
    int m_currentLevel = 0;
    bool m_levelPressed = false;
    bool m_hidden = false;
};
