// The vehicle marker over the map: a car image by heading, a circle image around it, or the
// two-piece marker used while the car is off the route. Its position is the marker's centre.
#pragma once

#include "skinui/NaviControl.h"

class NaviCarMark : public NaviControl {
public:
    static constexpr int kHeadings = 36;
    static constexpr int kNoCar = 36;
    static constexpr int kTwoPieceCar = 37;

    NaviCarMark();
    ~NaviCarMark() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int /*x*/, int /*y*/) override { return 0; }
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& /*cmd*/) override {}

    void SetCarIndex(int index) { m_carIndex = index; }
    void SetCircleIndex(int index) { m_circleIndex = index; }
    int GetCarIndex() const { return m_carIndex; }
    // Gives the first six palette entries of car image n the hue (0..240 scale). Ignored for n
    // outside 0..35, a missing or unpaletted image, or a palette of fewer than six entries.
    bool SetCarHue(int n, int hue);
    NaviBitmap* GetCarImage(int n) const { return n >= 0 && n < kHeadings ? m_cars[n] : nullptr; }

private:
    int m_carIndex = kNoCar;
    int m_circleIndex = kHeadings;
    NaviBitmap* m_cars[kHeadings] = {};
    NaviBitmap* m_circles[kHeadings] = {};
    NaviBitmap* m_bcars[2] = {};
};
