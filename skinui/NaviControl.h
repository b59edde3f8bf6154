// The base of every skinned control: a name owners find it by, the flags that decide whether it
// is drawn and reached by the pen, its rectangle, its listener, a normal and a pressed image and
// an optional sound held in memory. Controls own no window: they draw into their host's context.
#pragma once

#include "platform/base/CString.h"
#include "platform/gdi/AfxGdi.h"
// Included here so that the PlaySound name means the same in every file that sees the control.
#include "platform/sound/Sound.h"
#include "skinui/NaviListener.h"

#include <vector>

class NaviBitmap;
class NaviRcBuilder;

class NaviControl {
public:
    NaviControl();
    NaviControl(const NaviControl&) = delete;
    NaviControl& operator=(const NaviControl&) = delete;

    // The eight operations panels and dialogs drive controls through, in this order.
    virtual ~NaviControl();
    virtual void SetRect(RECT rect);
    virtual void OnPenDown() = 0;
    virtual void OnPenUp() = 0;
    virtual int HitTest(int x, int y) = 0;
    virtual void LoadImages(NaviRcBuilder* builder) = 0;
    virtual void Draw(CDC* dc) = 0;
    virtual void ProcessCommand(NaviCommand& cmd) = 0;

    void SetName(const char16_t* name);
    void AssignName(const CString& name);
    CString GetName() const { return m_name; }
    const CString& Name() const { return m_name; }

    void SetVisible(bool on) { m_visible = on; }
    bool IsVisible() const { return m_visible; }
    void SetPressed(bool on) { m_pressed = on; }
    bool IsPressed() const { return m_pressed; }
    void SetPressFeedback(bool on) { m_pressFeedback = on; }
    bool HasPressFeedback() const { return m_pressFeedback; }
    void SetEnabled(bool on) { m_enabled = on; }
    bool IsEnabled() const { return m_enabled; }
    void SetTransparent(bool on) { m_transparent = on; }
    bool IsTransparent() const { return m_transparent; }

    void SetSize(int width, int height);
    SIZE GetSize() const { return SIZE{m_width, m_height}; }
    RECT GetRect() const { return m_rect; }
    POINT GetPos() const { return POINT{m_x, m_y}; }
    // Stores the position and makes the rectangle (x, y, x + width, y + height) of the size held now.
    void SetPos(int x, int y);
    void MoveTo(int x, int y) { SetPos(x, y); }

    // A control never listens to itself (its first command would come back to it for ever).
    void SetListener(NaviListener* listener);
    NaviListener* GetListener() const { return m_listener; }

    // Draws img (or the normal image); a pending press shows the pressed image, or the image one
    // pixel lower and to the right, once. 0 when there is no image.
    int DrawImage(CDC* dc, int x, int y, NaviBitmap* img = nullptr);
    int DrawImage(HDC dc, int x, int y, NaviBitmap* img);
    // The control's sound, played asynchronously; nothing without one.
    void PlaySound();

    // Ownership of the images and the sound passes to the control.
    void SetImage(NaviBitmap* image);
    void SetPressedImage(NaviBitmap* image);
    NaviBitmap* GetImage() const { return m_image; }
    NaviBitmap* GetPressedImage() const { return m_pressedImage; }
    void SetSound(std::vector<BYTE> sound) { m_sound = std::move(sound); }
    bool HasSound() const { return !m_sound.empty(); }

protected:
    CString m_name;
    bool m_visible = true;
    bool m_pressed = false;
    bool m_pressFeedback = false;
    bool m_enabled = true;
    bool m_transparent = true;
    RECT m_rect{};
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    NaviListener* m_listener = nullptr;
    NaviBitmap* m_image = nullptr;
    NaviBitmap* m_pressedImage = nullptr;
    std::vector<BYTE> m_sound;
};
