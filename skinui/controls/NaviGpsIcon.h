// The GPS reception icon: while the map follows the car, one of four images by reception;
// otherwise the "current position" image.
#pragma once

#include "skinui/NaviControl.h"

class NaviGpsIcon : public NaviControl {
public:
    enum Image { kCur, kVeryGood, kGood, kBad, kDisconnect, kImageCount };

    NaviGpsIcon();
    ~NaviGpsIcon() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetReception(int reception) { m_reception = reception; }
    // true only when the flag changed.
    bool SetFollowCar(bool on);
    // The image shown for the state held now, or -1 for none.
    int ImageShown() const;

private:
    bool m_followCar = false;
    NaviBitmap* m_images[kImageCount] = {};
    bool m_hidden = false;
    int m_reception = -1;
};
