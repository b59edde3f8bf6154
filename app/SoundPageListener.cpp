#include "app/SoundPageListener.h"

#include "app/SettingsPageView.h"
#include "config/NaviConfig.h"

namespace {
constexpr const char16_t* kVoiceGroup = u"음성안내ONOFF그룹";
constexpr const char16_t* kButtonGroup = u"버튼효과음ONOFF그룹";
} // namespace

void CSoundPageListener::OnPageBuilt(const NaviCommand&) {
    m_voice = m_config->GetValue(65) == 1 ? 1 : 0;
    m_buttonSound = m_config->GetValue(66) == 1 ? 1 : 0;
    m_changed = 0;
    ShowValues();
}

void CSoundPageListener::ShowValues() {
    SetControl(kVoiceGroup, m_voice ? 0 : 1);
    SetControl(kButtonGroup, m_buttonSound ? 0 : 1);
}

void CSoundPageListener::OnControl(const NaviCommand& cmd) {
    if (cmd.target == CString(kVoiceGroup)) m_voice = cmd.param1 == 0 ? 1 : 0;
    else if (cmd.target == CString(kButtonGroup)) m_buttonSound = cmd.param1 == 0 ? 1 : 0;
    else return;
    m_changed = 1;
}

bool CSoundPageListener::Save() {
    m_config->SetValue(65, m_voice);
    m_config->SetValue(66, m_buttonSound);
    m_changed = 0;
    const bool saved = SaveFile();
    if (m_view) {
        m_view->SetVoiceGuidance(m_voice != 0);
        m_view->SetClickSound(m_buttonSound != 0);
        m_view->SetMessageBoxSound(m_buttonSound != 0);
    }
    return saved;
}
