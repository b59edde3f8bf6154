// The re-search mark above the bottom edge: automatic or manual re-searching, and, when the
// combined display is on, whether re-searching follows traffic.
#pragma once

#include "skinui/NaviControl.h"

class NaviReRouteMark : public NaviControl {
public:
    static constexpr int kImages = 6;

    NaviReRouteMark();
    ~NaviReRouteMark() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetAutoSearch(bool on) { m_autoSearch = on ? 1 : 0; }
    void SetTraffic(bool on) { m_traffic = on ? 1 : 0; }
    void SetCombined(bool on) { m_combined = on ? 1 : 0; }
    // The image the flags select, as an index into the six names.
    int ImageShown() const;
    static const char16_t* ImageName(int index);

private:
    int m_autoSearch = 0;
    int m_traffic = 0;
    int m_combined = 0;
    NaviBitmap* m_images[kImages] = {};
};
