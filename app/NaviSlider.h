// The image slider: a trackbar drawn from two skin images (a bar and a thumb) that moves its thumb
// under the pen itself and tells its parent about every change: message 1124 (posted) when the
// position changes, 1125 (sent) after every pen message, and WM_HSCROLL codes 5 while a drag moves
// the thumb and 4 when such a drag ends. The vertical style grows from the bottom upwards.
#pragma once

#include "platform/window/AfxControls.h"

#include <functional>

class NaviBitmap;

constexpr UINT kMsgSliderPosChanged = WM_USER + 100; // 1124
constexpr UINT kMsgSliderPen = WM_USER + 101;        // 1125

class CNaviSlider : public CSliderCtrl {
public:
    CNaviSlider() = default;
    ~CNaviSlider() override;
    CNaviSlider(const CNaviSlider&) = delete;
    CNaviSlider& operator=(const CNaviSlider&) = delete;

    // Takes ownership of both images (either may be null).
    void SetImages(NaviBitmap* bar, NaviBitmap* thumb);
    // Called on every pen-down before the slider acts (the player pauses the drive).
    void SetTouchHandler(std::function<void()> handler) { m_touched = std::move(handler); }

    // Sets the position and tells the parent, unless the user is dragging the thumb.
    void NotifyPos(int pos);
    void SetDragging(bool on) { m_dragging = on; }
    bool IsDragging() const { return m_dragging; }
    // Margins at the start and end of the bar that the thumb does not enter. Refused (0) when
    // they would leave the thumb no room on a bar of known length.
    int SetMargins(int start, int end);
    void SetThumbOffset(int offset) { m_thumbOffset = offset; }
    void LoadSizes();
    // Sizes the window to the bar without moving it.
    void FitToBar();
    virtual void NotifyScroll(int code);

    // Where the thumb is drawn for the current position (vertical style): its top edge.
    int ThumbTop() const;
    // The position a pen point stands for, within the range.
    int PosFromPoint(int x, int y) const;
    int BarWidth() const { return m_barWidth; }
    int BarHeight() const { return m_barHeight; }

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnKeyUp(UINT ch, UINT repeat, UINT flags) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    bool IsVertical() const;
    // Moves the thumb to the pen point; true when the position changed.
    bool MoveThumbTo(int x, int y);
    void PostToParent(UINT message, WPARAM wParam, LPARAM lParam);
    void SendPenActivity();
    void Redraw();
    // The pixels the thumb travels along the bar (0 when the images leave it no room).
    int Travel() const;

    NaviBitmap* m_thumb = nullptr;
    NaviBitmap* m_bar = nullptr;
    int m_thumbWidth = 0, m_thumbHeight = 0, m_barWidth = 0, m_barHeight = 0;
    bool m_dragging = false;
    bool m_moved = false;
    int m_startMargin = 0, m_endMargin = 0;
    int m_thumbOffset = 0;
    std::function<void()> m_touched;
};
