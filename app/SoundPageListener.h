// The sound page "환경설정-사운드": voice guidance and the button sounds on or off (settings 65 and
// 66; index 0 "설정" of each group is on). Saving applies both at once: the voice guidance, the
// skinned controls' click and the message box's sound, without a restart. The page asks its
// questions without marking the dialog.
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CSoundPageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"환경설정-사운드";

    CSoundPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view, int tab)
        : CSettingsPageListener(dialog, config, view), m_tab(tab) {}

    bool Save() override;
    void ShowValues();

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;
    bool MarksChildUp() const override { return false; }

private:
    std::uint8_t m_voice = 1;
    std::uint8_t m_buttonSound = 1;
    std::int32_t m_tab = 0; // the tab the caller asked for (the page opens on its first)
};
