// The state icon of the traffic-broadcast receiver unit: four images "<name>\Zarn0".."Zarn3".
#pragma once

#include "skinui/NaviControl.h"

constexpr int kCmdZarnMove = 106;
constexpr int kCmdZarnHide = 113;
constexpr int kCmdZarnShow = 114;

class NaviZarnIcon : public NaviControl {
public:
    NaviZarnIcon();
    ~NaviZarnIcon() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetState(int state) { m_state = state; }
    int GetState() const { return m_state; }
    bool IsHidden() const { return m_hidden; }

private:
    int m_state = 0;
    NaviBitmap* m_images[4] = {};
    bool m_hidden = false;
};
