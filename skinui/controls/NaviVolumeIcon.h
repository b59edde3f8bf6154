// The volume icon over the map, anchored above the bottom edge: higher while the sound is muted.
#pragma once

#include "skinui/NaviControl.h"

class NaviVolumeIcon : public NaviControl {
public:
    NaviVolumeIcon();

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetMuted(bool muted);
    bool IsMuted() const { return m_muted; }

private:
    void Place();

    int m_baseHeight = 320;
    bool m_muted = false;
};
