// The skin resource builder: the skin folder and screen size, the image archive, the image
// group names controls form their image names from, the control factories and the one virtual
// operation that lays out a named screen. One instance serves the whole process.
#pragma once

#include "platform/base/CString.h"
// Included here so that the LoadImage name means the same in every file that sees this one.
#include "platform/gdi/Gdi.h"

class CWnd;
class NaviBitmap;
class NaviButton;
class NaviCheckBox;
class NaviCheckButton;
class NaviFrameWnd;
class NaviLabel;
class NaviMenuButton;
class NaviListener;
class NaviRadioButton;
class NaviRadioGroup;
class NaviScrollList;
class NaviPanel;
class NaviResArchive;

class NaviRcBuilder {
public:
    NaviRcBuilder();
    NaviRcBuilder(const NaviRcBuilder&) = delete;
    NaviRcBuilder& operator=(const NaviRcBuilder&) = delete;
    virtual ~NaviRcBuilder();

    // Lays out the screen of that name into root. The screens come with the screen builder;
    // the base builds nothing.
    virtual void BuildPanel(CWnd* owner, NaviPanel* root, CString screenName);

    // Opens "<folder>\ResData.bin" (closing one opened before) and indexes it.
    void OpenSkin(const CString& folder);
    CString GetSkinFolder() const { return m_skinFolder; }
    CString GetSkinPath() const { return m_skinFolder; }
    // A new image of the archive entry of that name (owned by the caller), or null.
    NaviBitmap* LoadImage(const CString& name);
    NaviResArchive* GetArchive() const { return m_archive; }

    CString GetMenuGroup() const { return m_menuGroup; }
    void SetMenuGroup(const CString& group) { m_menuGroup = group; }
    CString GetImageGroup() const { return m_imageGroup; }
    void SetImageGroup(const CString& group) { m_imageGroup = group; }
    CString GetTabGroup() const { return m_tabGroup; }
    void SetTabGroup(const CString& group) { m_tabGroup = group; }
    CString GetCheckGroup() const { return m_checkGroup; }
    void SetCheckGroup(const CString& group) { m_checkGroup = group; }

    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    void SetClickSound(bool on) { m_clickSoundOn = on; }
    bool GetClickSound() const { return m_clickSoundOn; }
    void SetDeviceType(int type) { m_deviceType = type; }
    int GetDeviceType() const { return m_deviceType; }
    void SetButtonCount(int count) { m_buttonCount = count; }
    int GetButtonCount() const { return m_buttonCount; }

    NaviFrameWnd* CreateFrameWnd(const CString& name, bool enabled, bool transparent, int x, int y, int width,
                                 int height);

    // The control factories: each makes the control, sets what it is given, loads its images
    // through this builder and hands the control to the caller.
    // A menu entry button: pressFeedback on, plain or numbered style, its number (-1 for none).
    NaviMenuButton* CreateMenuButton(const CString& name, bool visible, int x, int y, int width, int height,
                                     bool numbered, int number);
    NaviButton* CreateButton(const CString& name, bool visible, bool pressFeedback, bool pressImage,
                             bool transparent, int x, int y, int width, int height, NaviListener* listener);
    NaviRadioGroup* CreateRadioGroup(const CString& name);
    NaviScrollList* CreateScrollList(const CString& name, int left, int top, int right, int bottom);
    NaviRadioButton* CreateRadioButton(const CString& name, int unused, int x, int y, bool showText);
    NaviCheckBox* CreateCheckBox(const CString& name, int x, int y, int unused, NaviListener* listener);
    NaviCheckButton* CreateCheckButton(const CString& name, bool visible, bool pressFeedback, bool pressImage,
                                       int x, int y, int width, int height, bool useCheckGroup, bool showText,
                                       NaviListener* listener, bool shadow, const char16_t* text);
    NaviLabel* CreateLabel(const CString& name, int x, int y, int width, int height, COLORREF textColor,
                           int style, int alignment, COLORREF secondColor);
    // A radio button set up as CreateRadioButton does, without images (for rows added where no
    // builder is at hand).
    static NaviRadioButton* NewRadioButton(const CString& name, int x, int y, bool showText);

private:
    CString m_skinFolder;
    CString m_menuGroup;
    CString m_imageGroup;
    CString m_tabGroup;
    CString m_checkGroup;
    bool m_clickSoundOn = true;
    int m_screenWidth = 240;
    int m_screenHeight = 320;
    NaviResArchive* m_archive = nullptr;
    int m_deviceType = 0;
    int m_buttonCount = 0;
};
