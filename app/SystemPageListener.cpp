#include "app/SystemPageListener.h"

#include "app/SettingsPageView.h"
#include "config/NaviConfig.h"
#include "platform/window/Afx.h"

namespace {
constexpr const char16_t* kDatum = u"수신좌표계그룹";
constexpr const char16_t* kPort = u"Port설정";
constexpr const char16_t* kSpeed = u"BaudRate설정";
constexpr const char16_t* kSeparate = u"별도 GPS 수신기 사용";
constexpr const char16_t* kZarn = u"ZARN 수신기 사용";
constexpr const char16_t* kCarrier = u"통신사설정";
constexpr const char16_t* kKeysInUse = u"사용";
constexpr const char16_t* kInitialMenu = u"초기메뉴설정그룹";
constexpr int kUserMenuFirst = 54;

CString Numbered(const char16_t* format, int i) {
    CString name;
    name.Format(format, i);
    return name;
}

// The index in "<prefix><digit>" names, -1 for any other name.
int NumberedIndex(const CString& name, const char16_t* prefix, int count) {
    for (int i = 0; i < count; ++i)
        if (name == Numbered(prefix, i)) return i;
    return -1;
}
} // namespace

void CSystemPageListener::OnPageBuilt(const NaviCommand&) {
    const CNaviConfig& c = *m_config;
    m_datum = c.GetValue(28);
    m_port = c.GetValue(29);
    m_speed = c.GetValue(30);
    m_separateGps = c.GetValue(31);
    m_zarn = c.GetValue(32);
    m_carrier = static_cast<std::uint16_t>(c.GetValue(33));
    m_keysInUse = c.GetValue(34) != 0 ? 1 : 0;
    m_initialMenu = c.GetValue(39);
    c.GetButtonFunctions(m_keys);
    for (int i = 0; i < 8; ++i) m_userMenu[i] = static_cast<std::uint16_t>(c.GetValue(kUserMenuFirst + i));
    m_changed = 0;
    m_initialMenuChanged = 0;
    m_userMenuChanged = 0;

    SetControl(u"환경설정패널들", m_tab);
    SetControl(u"환경설정탭", m_tab);
    SetControl(kDatum, m_datum);
    SetControl(kPort, m_port);
    SetControl(kSpeed, m_speed);
    SetControl(kSeparate, m_separateGps);
    SetControl(kZarn, m_zarn);
    UpdatePortControls();
    SetControl(kCarrier, m_carrier);
    SetControl(kKeysInUse, m_keysInUse);
    for (int i = 0; i < 4; ++i) SetControl(Numbered(u"Button설정%d", i).GetString(), m_keys[i]);
    for (int i = 0; i < 8; ++i) SetControl(Numbered(u"나만의메뉴%d", i).GetString(), m_userMenu[i]);
    SetControl(kInitialMenu, m_initialMenu);
}

void CSystemPageListener::UpdatePortControls() {
    // The ZARN unit alone reads its own fixed port: nothing to choose.
    const int value = m_separateGps == 0 && m_zarn != 0 ? -2 : -1;
    SetControl(kPort, value);
    SetControl(kSpeed, value);
}

void CSystemPageListener::OnControl(const NaviCommand& cmd) {
    const CString& name = cmd.target;
    const int value = cmd.param1;
    if (name == CString(u"수신기자동찾기")) {
        FindReceivers();
        return;
    }
    if (const int entry = NumberedIndex(name, u"나만의메뉴%d", 8); entry >= 0) {
        m_userMenu[entry] = static_cast<std::uint16_t>(value);
        m_userMenuChanged = 1;
    } else if (const int key = NumberedIndex(name, u"Button설정%d", 4); key >= 0) {
        m_keys[key] = static_cast<std::uint16_t>(value);
    } else if (name == CString(kDatum)) {
        m_datum = value;
    } else if (name == CString(kPort)) {
        m_port = value;
    } else if (name == CString(kSpeed)) {
        m_speed = value;
    } else if (name == CString(kSeparate)) {
        m_separateGps = value;
        UpdatePortControls();
    } else if (name == CString(kZarn)) {
        m_zarn = value;
        // The separate GPS receiver goes beside the ZARN unit: without the unit it is not used.
        if (m_zarn == 0 && m_separateGps != 0) {
            m_separateGps = 0;
            SetControl(kSeparate, 0);
        }
        UpdatePortControls();
    } else if (name == CString(kCarrier)) {
        m_carrier = static_cast<std::uint16_t>(value);
    } else if (name == CString(kInitialMenu)) {
        m_initialMenu = value;
        m_initialMenuChanged = 1;
    } else if (name == CString(kKeysInUse)) {
        m_keysInUse = value == 1 ? 1 : 0;
    } else {
        return;
    }
    m_changed = 1;
}

void CSystemPageListener::FindReceivers() {
    int port = 0, speed = 0;
    bool unit = false, separate = false;
    bool found = false;
    {
        CWaitCursor wait;
        found = m_view && m_view->FindReceivers(port, speed, unit, separate);
        if (found) {
            m_datum = 0;
            m_port = port;
            m_speed = speed;
            m_separateGps = separate ? 1 : 0;
            m_zarn = unit ? 1 : 0;
            SetControl(kDatum, m_datum);
            SetControl(kPort, m_port);
            SetControl(kSpeed, m_speed);
            SetControl(kSeparate, m_separateGps);
            SetControl(kZarn, m_zarn);
            m_changed = 1;
        }
    }
    if (!found) {
        Notice(kNotFound);
        return;
    }
    UpdatePortControls();
    Notice(kFound);
}

bool CSystemPageListener::Save() {
    CNaviConfig& c = *m_config;
    c.SetValue(28, m_datum);
    c.SetValue(29, m_port);
    c.SetValue(30, m_speed);
    c.SetValue(31, m_separateGps);
    c.SetValue(32, m_zarn);
    c.SetValue(39, m_initialMenu);
    c.SetValue(33, static_cast<std::int16_t>(m_carrier));
    c.SetButtonFunctions(m_keys);
    c.SetValue(34, m_keysInUse);
    for (int i = 0; i < 8; ++i) c.SetValue(kUserMenuFirst + i, m_userMenu[i]);
    m_changed = 0;
    return SaveFile();
}
