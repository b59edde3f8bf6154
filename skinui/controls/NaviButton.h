// The push button: a normal image (or its "_Snd" alternate), an optional "_Press" image, and a
// 2015 report to its listener when the pen is lifted over it.
#pragma once

#include "skinui/NaviControl.h"

class NaviButton : public NaviControl {
public:
    NaviButton();
    ~NaviButton() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Draw the "_Snd" image instead of the normal one (also decides whether LoadImages loads it).
    void SetAltImage(bool on) { m_altFlag = on; }
    bool GetAltImage() const { return m_altFlag; }
    // Load a "_Press" image as the pressed image.
    void SetHasPressImage(bool on) { m_pressImageFlag = on; }
    bool HasPressImage() const { return m_pressImageFlag; }
    NaviBitmap* GetAltImageBitmap() const { return m_altImage; }

protected:
    // Hands {target = own name, id 2015, param1} to the control's own ProcessCommand.
    void Report(int param1 = -1);
    // "<image group>\<base><suffix>" from the builder's archive, or null.
    static NaviBitmap* LoadNamed(NaviRcBuilder* builder, const CString& group, const CString& base,
                                 const char16_t* suffix);

    bool m_altFlag = false;
    bool m_pressImageFlag = false;
    NaviBitmap* m_altImage = nullptr;
};
