// The save-location page "사용자정보-정보저장위치": whether the user's data is kept in the
// handheld's memory ("PDA", 0) or on the storage card ("저장장치", 1), setting 64. The page only
// stores the choice; the main view moves the data once the page has closed.
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CSaveLocationPageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"사용자정보-정보저장위치";
    static constexpr const char16_t* kApplied = u"적용하였습니다.";

    CSaveLocationPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view)
        : CSettingsPageListener(dialog, config, view) {}

    bool Save() override;

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;
    // "Apply": saves what changed, says so, and leaves the page with result 3.
    void OnApply() override;
    int HereResult() const override { return 4; }

private:
    std::int32_t m_location = 1; // setting 64
};
