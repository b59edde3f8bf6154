// The speech-bubble text at the bottom right of the map: the latest event message in a bubble of
// cap and tile images that grows with the text, raised above the menu bar when one shows.
#pragma once

#include "skinui/NaviControl.h"

class NaviEventText : public NaviControl {
public:
    NaviEventText();
    ~NaviEventText() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    // 0 outside the bubble; inside, 2 for the highlighted bubble and 1 otherwise.
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Both keep a held text; the first also stores the kind (103, 104 or 105).
    void SetText(const CString& text, int kind);
    void SetText(const CString& text);
    const CString& GetText() const { return m_text; }
    // The bubble's right end at x 162 instead of near the screen's right edge.
    void SetLeftPlaced(bool on) { m_leftPlaced = on; }
    bool IsRaised() const { return m_raised; }
    int GetHoldCount() const { return m_holdCount; }

private:
    void UpdateRaised();

    int m_holdCount = 0;
    CString m_text;
    NaviBitmap* m_images[6] = {};
    bool m_raised = false;
    bool m_leftPlaced = false;
    bool m_simulating = false;
    bool m_followCar = false;
    int m_menuMode = 0;
    int m_kind = 103;
    int m_routeState = 0;
    int m_screenHeight = 320;
    int m_screenWidth = 240;
    int m_fontHeight = 13;
};
