#include "app/SafeDrivePageListener.h"

#include "config/NaviConfig.h"
#include "skinui/controls/NaviControlIds.h"

namespace {
constexpr const char16_t* kChecks[5] = {u"상시안전운행구간", u"주의안전운행구간", u"사용자등록안전운행구간",
                                        u"최저속도안내", u"안내 없음"};
constexpr int kCmdStepped = 2025;
} // namespace

void CSafeDrivePageListener::OnPageBuilt(const NaviCommand&) {
    const CNaviConfig& c = *m_config;
    m_alwaysOn = c.GetValue(18);
    m_caution = c.GetValue(19);
    m_userPoints = c.GetValue(20);
    m_minimum = c.GetValue(21);
    m_noGuidance = c.GetValue(22);
    m_changed = 0;
    for (int i = 0; i < 5; ++i) {
        m_speeds[i] = c.GetValue(23 + i);
        // A speed the list does not hold is shown as "없음", and saved so.
        if (m_speeds[i] < 0 || m_speeds[i] > kTopSpeed) {
            m_speeds[i] = 0;
            m_changed = 1;
        }
    }
    m_row = -1;
    ShowValues();
}

void CSafeDrivePageListener::ShowSpeed(int row) {
    Send(kSpeedLabels[row], kCmdSetLabelText, m_speeds[row], kSpeedTexts[m_speeds[row]]);
}

void CSafeDrivePageListener::ShowValues() {
    const std::int32_t values[5] = {m_alwaysOn, m_caution, m_userPoints, m_minimum, m_noGuidance};
    for (int i = 0; i < 5; ++i) SetControl(kChecks[i], values[i]);
    for (int row = 0; row < 5; ++row) ShowSpeed(row);
}

void CSafeDrivePageListener::OnControl(const NaviCommand& cmd) {
    const CString& name = cmd.target;
    std::int32_t* checks[5] = {&m_alwaysOn, &m_caution, &m_userPoints, &m_minimum, &m_noGuidance};
    for (int i = 0; i < 5; ++i)
        if (name == CString(kChecks[i])) {
            *checks[i] = cmd.param1;
            m_changed = 1;
            return;
        }
    if (name == CString(u"경고음안내그룹")) {
        m_row = cmd.param1 >= 0 && cmd.param1 < 5 ? cmd.param1 : -1;
    } else if (name == CString(u"플러스") || name == CString(u"마이너스")) {
        if (m_row < 0) return;
        const bool up = name == CString(u"플러스");
        std::int32_t& speed = m_speeds[m_row];
        if (up && speed < kTopSpeed) ++speed;
        if (!up && speed > 0) --speed;
        m_changed = 1;
        ShowSpeed(m_row);
        if (!up) Send(kSpeedLabels[m_row], kCmdStepped, -1);
    } else if (name == CString(u"Reset")) {
        m_alwaysOn = 1;
        m_caution = 0;
        m_userPoints = 1;
        m_minimum = 0;
        m_noGuidance = 0;
        const std::int32_t speeds[5] = {10, 9, 9, 7, 7};
        for (int i = 0; i < 5; ++i) m_speeds[i] = speeds[i];
        m_changed = 1;
        ShowValues();
        Notice(kResetDone);
    }
}

bool CSafeDrivePageListener::Save() {
    CNaviConfig& c = *m_config;
    c.SetValue(18, m_alwaysOn);
    c.SetValue(19, m_caution);
    c.SetValue(20, m_userPoints);
    c.SetValue(21, m_minimum);
    for (int i = 0; i < 5; ++i) c.SetValue(23 + i, m_speeds[i]);
    c.SetValue(22, m_noGuidance);
    m_changed = 0;
    return SaveFile();
}
