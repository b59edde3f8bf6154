#include "app/SaveLocationPageListener.h"

#include "config/NaviConfig.h"

namespace {
constexpr const char16_t* kLocation = u"정보저장위치";
}

void CSaveLocationPageListener::OnPageBuilt(const NaviCommand& cmd) {
    if (cmd.control != CString(kPageName)) return;
    m_location = m_config->GetValue(64);
    m_changed = 0;
    SetControl(kLocation, m_location);
}

void CSaveLocationPageListener::OnControl(const NaviCommand& cmd) {
    if (cmd.target != CString(kLocation)) return;
    m_location = cmd.param1;
    m_changed = 1;
}

void CSaveLocationPageListener::OnApply() {
    if (m_changed) Save();
    Notice(kApplied);
    SetResult(3);
    Close();
}

bool CSaveLocationPageListener::Save() {
    m_config->SetValue(64, m_location);
    m_changed = 0;
    return SaveFile();
}
