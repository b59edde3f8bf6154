// The turn arrow: the picture of the next manoeuvre (flat or bird's-eye) with the distance to it
// drawn in digit images underneath.
#pragma once

#include "skinui/NaviControl.h"

class NaviDigitPanel;

class NaviGuideArrow : public NaviControl {
public:
    static constexpr int kCodes = 66;
    static constexpr int kNoTurn = 100;

    NaviGuideArrow();
    ~NaviGuideArrow() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Each value is kept only when it is 0 or more.
    void SetDistances(double d1, double d2);
    void SetTurn(int code, int value) {
        m_turnCode = code;
        m_turnValue = value;
    }
    void SetStyleFlag(bool on) { m_styleFlag = on; }
    bool HasTurnImage() const;
    int GetTurnCode() const { return m_turnCode; }
    int GetViewMode() const { return m_viewMode; }
    // Whether a code has arrow images in the skin.
    static bool CodeHasImage(int code);
    // The code whose image a code shares.
    static int FoldCode(int code);
    // The distance as the arrow writes it: tens of metres below 1 km, else kilometres to 0.1.
    static CString DistanceText(double distance);
    NaviDigitPanel* GetDigits() const { return m_digits; }

private:
    double m_distance = 0.0;
    double m_secondDistance = 0.0;
    int m_turnCode = kNoTurn;
    int m_turnValue = 0;
    bool m_styleFlag = false;
    NaviBitmap* m_images2D[kCodes] = {};
    NaviBitmap* m_images3D[kCodes] = {};
    NaviDigitPanel* m_digits = nullptr;
    int m_viewMode = 0;
};
