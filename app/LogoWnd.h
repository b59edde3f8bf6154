// The start-up logo: a plain window over the whole 240 x 320 screen showing the logo image while
// the program loads.
#pragma once

#include "platform/window/Dialog.h"

class NaviBitmap;

class CLogoWnd : public CDialog {
public:
    static constexpr UINT kTemplate = 979;

    CLogoWnd();
    ~CLogoWnd() override;

    // The image shown; the window owns it from then on.
    void SetImage(NaviBitmap* image);
    NaviBitmap* GetImage() const { return m_image; }
    // Makes the modeless window over parent at (0, 0), 240 x 320.
    BOOL Create(CWnd* parent);
    // Puts the window back over the screen and paints it at once.
    void Refresh();
    // Frees the image, then the window.
    BOOL DestroyWindow() override;

protected:
    void OnPaint() override;

private:
    NaviBitmap* m_image = nullptr;
};
