// The display page "환경설정-디스플레이": map mode, trail, driving or walking mode, the facilities
// shown on the map, the automatic zoom levels, and the day and night colour schemes with the
// night hours. The scheme combos list "기본" and the schemes of the data folder's
// "Color\Color_*.bin" files. "궤적삭제" empties the driving trail at once, saved or not.
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CDisplayPageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"환경설정-디스플레이";
    static constexpr const char16_t* kTrailCleared = u"궤적을 삭제하였습니다.";
    static constexpr const char16_t* kBuiltInScheme = u"기본";

    CDisplayPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view)
        : CSettingsPageListener(dialog, config, view) {}

    bool Save() override;

    // A level combo's index for a level setting (-1 is index 0, levels 4-9 are 1-6; -2 for a
    // value outside them), and the setting for an index.
    static int LevelToIndex(std::int32_t value);
    static std::int32_t IndexToLevel(int index) { return index == 0 ? -1 : index + 3; }

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;
    int HereResult() const override { return 4; }

private:
    void LoadCopy();
    void ShowTimeControls(bool show);
    void FillSchemes();

    std::uint8_t m_coloursChanged = 0;
    CString m_dayName;
    CString m_nightName;
    std::int32_t m_mapMode = 0;
    std::int32_t m_trail = 0;
    std::int32_t m_mode = 0;
    std::int32_t m_levels[5] = {};
    std::int32_t m_dayIndex = 0;
    std::int32_t m_nightIndex = 0;
    std::int32_t m_flags = 0;
    std::int32_t m_poi = 0; // bitwise inverted while "표시 안함" is checked
    std::int32_t m_nightStart = 0;
    std::int32_t m_nightEnd = 0;
    std::uint8_t m_showNothing = 0;
};
