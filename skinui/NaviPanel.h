// The container control: owns its children, draws its skinned frame behind them, hands the pen to
// the topmost child under it, passes broadcasts down to every child and everything else up to its
// own listener, playing the click for taps.
#pragma once

#include "skinui/NaviControl.h"

#include <memory>
#include <vector>

class NaviClickSound;

class NaviPanel : public NaviControl, public NaviListener {
public:
    NaviPanel();
    ~NaviPanel() override;

    void OnPenDown() override;
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;
    void ProcessEvent(NaviCommand& cmd) override;

    void AddChild(NaviControl* child);
    void SetFrameLayout(int topX, int topY, int leftX, int leftY, int rightX, int rightY, int bottomX, int bottomY);
    void SetClickSound(bool on) { m_clickSoundOn = on; }
    bool GetClickSound() const { return m_clickSoundOn; }
    bool HasClickSound() const;
    // Loads the skin's click (played on the children's taps while the click is on); LoadImages
    // does it too.
    void LoadClickSound(NaviRcBuilder* builder);
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    void Paint(CDC* dc) { Draw(dc); }
    void DrawChild(CDC* dc, const CString& name);
    void DispatchPenDown(int x, int y);
    void DispatchPenUp(int x, int y);

    // Deletes the panel now, or, when it is in the middle of its own dispatch (a listener closed
    // its screen from inside a tap), as soon as that dispatch returns.
    void Release();

private:
    class DispatchScope;

    std::vector<NaviControl*> m_children;
    NaviBitmap* m_leftImage = nullptr;
    NaviBitmap* m_rightImage = nullptr;
    NaviBitmap* m_bottomImage = nullptr;
    NaviBitmap* m_topImage = nullptr;
    NaviBitmap* m_bgImage = nullptr;
    POINT m_topPos{};
    POINT m_bottomPos{};
    POINT m_leftPos{};
    POINT m_rightPos{};
    NaviClickSound* m_clickSound = nullptr;
    bool m_clickSoundOn = false;
    int m_dispatchDepth = 0;
    bool m_releasePending = false;
};
