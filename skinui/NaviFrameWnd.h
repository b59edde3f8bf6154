// A framed window: titles, balloons and window backgrounds. A background frame (kind 1, or any
// frame named "Background") fills its rectangle light grey and draws four corner images.
#pragma once

#include "skinui/NaviControl.h"

constexpr int kCmdFrameShow = 2027;
constexpr int kCmdFrameHide = 2028;
constexpr COLORREF kFrameBackgroundColor = RGB(217, 217, 217);

class NaviFrameWnd : public NaviControl {
public:
    NaviFrameWnd();
    ~NaviFrameWnd() override;

    void OnPenDown() override {}
    void OnPenUp() override {}
    int HitTest(int, int) override { return 0; }
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetKind(int kind) { m_kind = kind; }
    int GetKind() const { return m_kind; }
    void SetName(const char16_t* name);
    void AssignName(const CString& name);

private:
    void NoteName();

    int m_kind = 0;
    NaviBitmap* m_corners[4] = {};
    POINT m_cornerPos[4] = {};
};
