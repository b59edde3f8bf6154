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
class NaviImageCtrl;
class NaviItemList;
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

    // Lays out the screen of that name into root: the first row of the screen catalogue whose
    // rule the name meets builds it. A name no row takes leaves root untouched.
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

    // Makes root a full-screen window named screenName with the window frame and its two buttons
    // "현위치" and "이전" (image group "Window" afterwards).
    void CreateTitledWindow(NaviPanel* root, const CString& screenName);
    // A tab panel of that name at 12, 46, 217 x 254, opaque, images not loaded (group "NULL").
    NaviPanel* CreatePanel(const CString& name);
    // An item list of that name at 0, 35, 240 x 256 (group "NULL").
    NaviItemList* CreateItemList(const CString& name);
    // A static image control; the size is set only for a width above 0.
    NaviImageCtrl* CreateImageCtrl(const CString& name, bool enabled, bool transparent, int x, int y, int width,
                                   int height);

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
