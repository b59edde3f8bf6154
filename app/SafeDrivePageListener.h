// The safe-driving page "환경설정-안전운행안내": which safe-driving sections are announced, the
// minimum-speed guidance, and for the five road classes the speed above which the driver is
// warned, stepped with "플러스" and "마이너스" for the class chosen in "경고음안내그룹". A speed is
// an index into "없음", "30" ... "150" (index i above 0 is (i + 2) x 10 km/h).
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CSafeDrivePageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"환경설정-안전운행안내";
    static constexpr const char16_t* kResetDone = u"초기화하였습니다.";
    static constexpr int kTopSpeed = 13;
    static constexpr const char16_t* kSpeedTexts[kTopSpeed + 1] = {
        u"없음", u"30", u"40", u"50", u"60", u"70", u"80", u"90", u"100", u"110", u"120", u"130", u"140", u"150"};
    // The speed labels of the road classes, in the order of settings 23-27.
    static constexpr const char16_t* kSpeedLabels[5] = {u"고속도로속도", u"도시고속도로속도", u"국도속도",
                                                        u"지방도로속도", u"일반도로속도"};

    CSafeDrivePageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view)
        : CSettingsPageListener(dialog, config, view) {}

    bool Save() override;
    void ShowValues();

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;

private:
    void ShowSpeed(int row);

    std::int32_t m_alwaysOn = 0;   // setting 18
    std::int32_t m_caution = 0;    // setting 19
    std::int32_t m_userPoints = 0; // setting 20
    std::int32_t m_minimum = 0;    // setting 21
    std::int32_t m_row = -1;       // the class "플러스" and "마이너스" step
    std::int32_t m_speeds[5] = {}; // settings 23-27
    std::int32_t m_noGuidance = 0; // setting 22
};
