// The system page "환경설정-시스템": the receivers (coordinate system of the fixes, port and speed,
// a separate GPS receiver, the ZARN broadcast receiver, the automatic receiver search), the
// mobile carrier, the hardware keys and their functions, the eight entries of the user's menu
// and the initial menu. With the ZARN receiver alone the port and speed choices are switched
// off (-2): the unit has its own fixed port.
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CSystemPageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"환경설정-시스템";
    static constexpr const char16_t* kFound = u"수신기를 찾았습니다.";
    static constexpr const char16_t* kNotFound =
        u"수신기를 찾지 못했습니다.\n다시 자동 찾기를 하시거나\n수동으로 설정하시기 바랍니다.";

    CSystemPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view, int tab)
        : CSettingsPageListener(dialog, config, view), m_tab(tab) {}

    bool Save() override;
    void UpdatePortControls();
    // Whether the initial menu or an entry of the user's menu was changed on the page.
    bool InitialMenuChanged() const { return m_initialMenuChanged != 0; }
    bool UserMenuChanged() const { return m_userMenuChanged != 0; }

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;

private:
    void FindReceivers();

    std::uint8_t m_initialMenuChanged = 0;
    std::uint8_t m_userMenuChanged = 0;
    std::int32_t m_datum = 0;       // setting 28
    std::int32_t m_port = 0;        // setting 29
    std::int32_t m_speed = 0;       // setting 30
    std::int32_t m_separateGps = 0; // setting 31
    std::int32_t m_zarn = 0;        // setting 32
    std::uint16_t m_carrier = 0;    // setting 33
    std::int32_t m_initialMenu = 0; // setting 39
    std::int32_t m_keysInUse = 0;   // setting 34
    std::uint16_t m_keys[4] = {};
    std::uint16_t m_userMenu[8] = {}; // settings 54-61
    std::int32_t m_tab = 0;
};
