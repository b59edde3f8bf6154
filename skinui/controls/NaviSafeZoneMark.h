// The safe-driving alert sign: the speed-limit sign of the alert ahead, blinking with the
// "0" image over it while a close camera or section alert is being passed. The GPS thread sets
// the alert while the user-interface thread draws, so the alert and the blink are kept under a
// lock and drawing works from a copy.
#pragma once

#include "skinui/NaviControl.h"

#include <mutex>

class NaviSafeZoneMark : public NaviControl {
public:
    static constexpr int kLimitImages = 13;
    static constexpr int kSignImages = 4;

    struct Alert {
        int value = 0;
        int first = 0;
        int second = 0;
        int third = 0;
        int fourth = 0;
        int fifth = 0;
        int kind = 0;
        int distance = -1;
        int roadClass = 0;
        int signIndex = 0;
    };

    NaviSafeZoneMark();
    ~NaviSafeZoneMark() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetAlert(int first, int second, int value, int distance, int kind, int third, int fourth, int fifth,
                  int roadClass);
    void GetAlert(int* first, int* second, int* kind) const;
    void GetAlertAll(int* first, int* second, int* third, int* fourth, int* fifth, int* kind) const;
    void ClearDistance();
    void TickBlink();
    void ResetBlink();
    int GetBlinkCounter() const;
    int GetBlinkLimit() const;
    void SetDisplayOption(bool on);
    void SetSpeed(int speed);
    bool IsAlertVisible(bool force) const;
    void DrawSign(CDC* dc, int x, int y, int n);
    // The limit image a value shows: value / 10 within 0..11 (0 draws nothing).
    static int SignIndexFor(int value);

private:
    struct State {
        Alert alert;
        int blinkCounter = -1;
        int blinkLimit = 0;
        int speed = 9;
        bool displayOption = false;
        bool forcedShow = false;
    };
    static bool Visible(const State& s, bool force);
    State Snapshot() const;

    mutable std::mutex m_lock;
    State m_state;
    NaviBitmap* m_limitImages[kLimitImages] = {};
    NaviBitmap* m_signImages[kSignImages] = {};
};
