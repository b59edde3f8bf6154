// The simulation player: the small strip that floats over the map during a simulated drive. A
// vertical slider shows how far along the route the car is (metres from the start, growing
// upwards) and lets the user drag it elsewhere; buttons pause and play, change among three
// speeds, jump forward or back along the route, and end the drive. It moves nothing itself: the
// view's drive loop polls it once a step, asks for the speed and a pending jump, and reports the
// car's progress back.
#pragma once

#include "app/NaviSlider.h"
#include "platform/gdi/AfxGdi.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class CMainFrame;
class CRouteManager;
class CRoutePath;
class NaviCheckButton;
class NaviMediator;

class CSimulPlayerDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 992;
    static constexpr int kSliderId = 1684;
    static constexpr int kSpeeds = 3;
    static constexpr int kSpeedSteps[kSpeeds] = {80, 180, 280};

    explicit CSimulPlayerDlg(CWnd* parent = nullptr);
    ~CSimulPlayerDlg() override;

    // Makes the modeless window from its template; the panel name and builder are set before.
    BOOL Create(CWnd* parent);

    // The route whose selected path the slider spans: range 0 to its length, position 0, and the
    // jump step by the length.
    void SetRoute(CRouteManager* manager);
    // The same over a path the caller keeps (the tool and tests).
    void SetRoutePath(const CRoutePath* path);
    int GetRouteLength() const { return m_routeLength; }
    int GetJumpStep() const { return m_jumpStep; }

    int GetSpeedStep() const { return kSpeedSteps[m_speedIndex]; }
    // Indices outside 0 to 2 are taken as the nearest end.
    void SetSpeed(int index);
    int GetSpeedIndex() const { return m_speedIndex; }
    void SetEventTarget(NaviMediator* target) { m_eventTarget = target; }
    void SetMainFrame(CMainFrame* frame) { m_frame = frame; }

    // The link item of the route the slider's position lies on, or -1 when the slider has not
    // moved since the pause (or the path has no items).
    int FindJumpPoint();
    // How far into that link the jump point lies (at least 1).
    int TakeJumpDistance();
    // The car's progress after a step: a pending jump to another link is dropped and the slider
    // follows the car; at the route's end the slider goes back to the start; otherwise a moving
    // car advances it by the speed's step.
    void AdvanceSlider(int linkIndex, int travelled, int moving);

    bool IsEndRequested() const { return m_endRequest != 0; }
    bool IsHolding() const { return m_holding != 0; }
    bool IsCheckJump() const { return m_checkJump != 0; }
    int GetSliderPos() const;
    CNaviSlider& Slider() { return m_slider; }

    void ProcessEvent(NaviCommand& cmd) override;
    void Pause();

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnDestroy() override;

private:
    const CRoutePath* Path() const;
    void RefreshSpeedControls();
    void ShowPlaying(bool playing);
    NaviCheckButton* AddButton(const char16_t* name, int x, int y, int height, bool visible);
    void MakeRegion();

    CRouteManager* m_routeManager = nullptr;
    const CRoutePath* m_path = nullptr;
    int m_routeLength = 0;
    std::uint8_t m_endRequest = 0;
    std::uint8_t m_holding = 0;
    std::uint8_t m_checkJump = 0;
    int m_pausePos = 0;
    int m_speedIndex = 0;
    NaviCheckButton* m_speed[kSpeeds] = {};
    NaviCheckButton* m_play = nullptr;
    NaviCheckButton* m_stop = nullptr;
    NaviCheckButton* m_speedUp = nullptr;
    NaviCheckButton* m_speedDown = nullptr;
    int m_shownSpeed = 0;
    int m_jumpDistance = 0;
    int m_jumpStep = 1000;
    std::uint8_t m_jumpPending = 0;
    int m_jumpIndex = 0;
    CRgn m_region;
    NaviMediator* m_eventTarget = nullptr;
    CMainFrame* m_frame = nullptr;
    std::uint8_t m_paintEnabled = 0;
    CNaviSlider m_slider;
};
