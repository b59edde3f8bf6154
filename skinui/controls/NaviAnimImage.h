// The four-frame route-state image, from the ordinary or the highway set.
#pragma once

#include "skinui/NaviControl.h"

class NaviAnimImage : public NaviControl {
public:
    static constexpr int kFrames = 4;

    NaviAnimImage();
    ~NaviAnimImage() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Frame state - 1 for states 1..4, else 0.
    void SetState(int state);
    int GetFrame() const { return m_frame; }
    int GetState() const { return m_state; }
    void SetSuppressed(bool on) { m_suppressed = on; }
    // 0 the ordinary set, other values the highway set.
    void SetSetSelector(int selector) { m_setSelector = selector; }

private:
    int m_setSelector = 0;
    int m_state = 1;
    int m_frame = 0;
    NaviBitmap* m_highway[kFrames] = {};
    NaviBitmap* m_ordinary[kFrames] = {};
    bool m_suppressed = false;
    bool m_hidden = false;
};
