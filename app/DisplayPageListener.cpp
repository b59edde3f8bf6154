#include "app/DisplayPageListener.h"

#include "app/SettingsPageView.h"
#include "config/NaviConfig.h"
#include "platform/files/Files.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

constexpr const char16_t* kLevelCombos[5] = {u"안내레벨콤보", u"교차로레벨콤보", u"저속레벨콤보", u"중속레벨콤보",
                                             u"고속레벨콤보"};
// Level settings 4-8 outside their combo: setting 4 defaults to level 8, the others to "변경없음".
constexpr std::int32_t kLevelDefaults[5] = {8, -1, -1, -1, -1};
constexpr const char16_t* kTimeControls[3] = {u"야간시작시간", u"야간종료시간", u"~"};
constexpr int kPoiChoices = 7;
constexpr int kNightStartFirst = 16, kNightStartLast = 24, kNightStartDefault = 19;
constexpr int kNightEndFirst = 4, kNightEndLast = 12, kNightEndDefault = 7;
constexpr const char16_t* kDayKey = u"기본지도색상";
constexpr const char16_t* kNightKey = u"야간지도색상";

CString SchemeName(const CNaviConfig& config, const char16_t* key) {
    char16_t buffer[CNaviConfig::kNameChars + 1] = {};
    config.GetMapColorName(key, buffer);
    buffer[CNaviConfig::kNameChars] = 0;
    return CString(buffer);
}

} // namespace

int CDisplayPageListener::LevelToIndex(std::int32_t value) {
    if (value == -1) return 0;
    if (value >= 4 && value <= 9) return value - 3;
    return -2;
}

void CDisplayPageListener::LoadCopy() {
    const CNaviConfig& c = *m_config;
    // A stored value that no control can show is shown as its default, which a save then keeps.
    bool normalised = false;
    auto inRange = [&normalised](std::int32_t value, std::int32_t first, std::int32_t last, std::int32_t fallback) {
        if (value >= first && value <= last) return value;
        normalised = true;
        return fallback;
    };
    m_mapMode = c.GetValue(0);
    m_trail = c.GetValue(1);
    m_mode = c.GetValue(2);
    for (int i = 0; i < 5; ++i) {
        m_levels[i] = c.GetValue(4 + i);
        if (LevelToIndex(m_levels[i]) < 0) {
            m_levels[i] = kLevelDefaults[i];
            normalised = true;
        }
    }
    m_nightStart = inRange(c.GetValue(9), kNightStartFirst, kNightStartLast, kNightStartDefault);
    m_nightEnd = inRange(c.GetValue(10), kNightEndFirst, kNightEndLast, kNightEndDefault);
    m_flags = c.GetValue(11);
    m_poi = c.GetValue(3);
    const std::int32_t plain = m_poi < 0 ? ~m_poi : m_poi;
    if (plain < 0 || plain >= kPoiChoices) {
        m_poi = 1;
        normalised = true;
    }
    m_showNothing = m_poi < 0 ? 1 : 0;
    m_coloursChanged = 0;
    m_changed = normalised ? 1 : 0;
}

void CDisplayPageListener::ShowTimeControls(bool show) {
    for (const char16_t* name : kTimeControls) ShowControl(name, show);
}

void CDisplayPageListener::OnPageBuilt(const NaviCommand& cmd) {
    if (cmd.control != CString(kPageName)) return;
    LoadCopy();
    SetControl(u"지도모드그룹", m_mapMode);
    SetControl(u"궤적표시그룹", m_trail == 0 ? 1 : 0);
    SetControl(u"모드설정그룹", m_mode);
    // While "표시 안함" is checked the group shows its choice taken back.
    SetControl(u"지도에표시그룹", m_poi < 0 ? ~m_poi : m_poi);
    if (m_poi < 0) Send(u"지도에표시그룹", kCmdUncheck, ~m_poi);
    SetControl(u"표시 안함", m_showNothing);
    for (int i = 0; i < 5; ++i) SetControl(kLevelCombos[i], LevelToIndex(m_levels[i]));
    SetControl(u"야간시작시간", m_nightStart - kNightStartFirst);
    SetControl(u"야간종료시간", m_nightEnd - kNightEndFirst);
    SetControl(u"야간시간에 색상 변경", m_flags & 1);
    ShowTimeControls((m_flags & 2) != 0);
    SetControl(u"사용자 정의 시간 사용", (m_flags >> 1) & 1);
    FillSchemes();
}

void CDisplayPageListener::FillSchemes() {
    m_dayName = SchemeName(*m_config, kDayKey);
    m_nightName = SchemeName(*m_config, kNightKey);
    AddItem(u"기본지도색상콤보", kBuiltInScheme);
    AddItem(u"야간지도색상콤보", kBuiltInScheme);
    m_dayIndex = 0;
    m_nightIndex = 0;
    CString pattern;
    pattern.Format(u"%s\\Color\\Color_*.bin", m_config->GetDataFolder());
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    int count = 0;
    do {
        const CString file(data.cFileName);
        // "Color_" + name + ".bin"; a name the store's 100-byte field cannot hold whole would
        // name no file once saved, so it is not offered.
        const int nameLength = file.GetLength() - 6 - 4;
        if (nameLength <= 0 || nameLength >= CNaviConfig::kNameChars) continue;
        if (file.Right(4).CompareNoCase(u".bin") != 0) continue;
        const CString name = file.Mid(6, nameLength);
        if (name == CString(kBuiltInScheme)) continue;
        AddItem(u"기본지도색상콤보", name);
        AddItem(u"야간지도색상콤보", name);
        ++count;
        if (name == m_dayName) m_dayIndex = count;
        if (name == m_nightName) m_nightIndex = count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    if (count == 0) return;
    SetControl(u"기본지도색상콤보", m_dayIndex);
    SetControl(u"야간지도색상콤보", m_nightIndex);
}

void CDisplayPageListener::OnControl(const NaviCommand& cmd) {
    const CString& name = cmd.target;
    const int value = cmd.param1;
    if (name == CString(u"궤적삭제")) {
        if (m_view) m_view->ClearTrail();
        Notice(kTrailCleared);
        return;
    }
    if (name == CString(u"지도모드그룹")) {
        m_mapMode = value;
    } else if (name == CString(u"궤적표시그룹")) {
        m_trail = value == 0 ? 1 : 0;
    } else if (name == CString(u"모드설정그룹")) {
        m_mode = value;
    } else if (name == CString(u"지도에표시그룹")) {
        m_poi = value;
        m_showNothing = 0;
        SetControl(u"표시 안함", 0);
    } else if (name == CString(u"표시 안함")) {
        const bool on = value != 0;
        if (on && m_poi >= 0) {
            Send(u"지도에표시그룹", kCmdUncheck, m_poi);
            m_poi = ~m_poi;
        } else if (!on && m_poi < 0) {
            m_poi = ~m_poi;
            SetControl(u"지도에표시그룹", m_poi);
        }
        m_showNothing = on ? 1 : 0;
    } else if (name == CString(u"기본지도색상콤보")) {
        m_dayIndex = value;
        m_dayName = cmd.text;
        m_coloursChanged = 1;
    } else if (name == CString(u"야간지도색상콤보")) {
        m_nightIndex = value;
        m_nightName = cmd.text;
        m_coloursChanged = 1;
    } else if (name == CString(u"야간시간에 색상 변경")) {
        m_flags = (m_flags & ~1) | (value != 0 ? 1 : 0);
        m_coloursChanged = 1;
    } else if (name == CString(u"야간시작시간")) {
        m_nightStart = value + kNightStartFirst;
        m_coloursChanged = 1;
    } else if (name == CString(u"야간종료시간")) {
        m_nightEnd = value + kNightEndFirst;
        m_coloursChanged = 1;
    } else if (name == CString(u"사용자 정의 시간 사용")) {
        m_flags = (m_flags & ~2) | (value != 0 ? 2 : 0);
        ShowTimeControls(value != 0);
        m_coloursChanged = 1;
    } else {
        int level = -1;
        for (int i = 0; i < 5; ++i)
            if (name == CString(kLevelCombos[i])) level = i;
        if (level < 0) return;
        m_levels[level] = IndexToLevel(value);
    }
    m_changed = 1;
}

bool CDisplayPageListener::Save() {
    CNaviConfig& c = *m_config;
    c.SetValue(0, m_mapMode);
    c.SetValue(1, m_trail);
    c.SetValue(2, m_mode);
    for (int i = 0; i < 5; ++i) c.SetValue(4 + i, m_levels[i]);
    c.SetValue(9, m_nightStart);
    c.SetValue(10, m_nightEnd);
    c.SetMapColorName(kDayKey, m_dayName.GetString());
    c.SetMapColorName(kNightKey, m_nightName.GetString());
    c.SetValue(11, m_flags);
    // The bar's entry and setting 49 take the plain selection; setting 3 keeps the inversion
    // that says "표시 안함".
    const std::int32_t selection = m_poi < 0 ? ~m_poi : m_poi;
    if (m_poi != c.GetValue(3)) {
        if (m_view) m_view->SetPoiBarEntry(selection);
        c.SetValue(49, selection);
    }
    if (m_view) m_view->SetPoiBarSelection(m_showNothing ? -1 : selection);
    c.SetValue(3, m_poi);
    const bool saved = SaveFile();
    if (m_coloursChanged) {
        if (m_view && !m_view->UpdateDayNightColors()) m_view->ApplyDayNightColors();
        m_coloursChanged = 0;
    }
    m_changed = 0;
    return saved;
}
