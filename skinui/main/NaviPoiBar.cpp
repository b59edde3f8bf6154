#include "skinui/main/NaviPoiBar.h"

#include "platform/base/Text.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviLabel.h"

#include <cstring>
#include <string_view>

namespace {

const char16_t* const kToggleNames[2] = {u"토글버튼_보기", u"토글버튼_닫기"};

} // namespace

NaviPoiBar::NaviPoiBar() = default;

NaviPoiBar::~NaviPoiBar() {
    delete m_handle;
    for (NaviCheckButton* b : m_toggles) delete b;
    for (NaviCheckButton* b : m_rows) delete b;
    delete m_label;
}

CString NaviPoiBar::EntryName(const MapFeatureInfo& entry) {
    // The record's 21 bytes need not end in a zero: never read past them.
    const std::size_t n = strnlen(entry.name, sizeof entry.name);
    CString text;
    text = Cp949ToUtf16(std::string_view(entry.name, n)).c_str();
    return text;
}

void NaviPoiBar::SetCurrentEntry(int v) {
    m_open = v == -1 ? !m_open : v != 0;
}

void NaviPoiBar::ClearItems() {
    m_entries[0].Clear();
    m_entries[1].Clear();
}

bool NaviPoiBar::IsShowable() const {
    return !m_hidden && !m_simulating && !m_suppressed && !m_followCar && !m_routeResultMode;
}

void NaviPoiBar::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    delete m_handle;
    for (NaviCheckButton*& b : m_toggles) {
        delete b;
        b = nullptr;
    }
    for (NaviCheckButton*& b : m_rows) {
        delete b;
        b = nullptr;
    }
    delete m_label;
    builder->SetImageGroup(u"POIBAR");
    m_handle = builder->CreateButton(u"꼭지", true, true, false, true, 93, 27, 13, 11, m_buttonListener);
    for (int i = 0; i < 2; ++i) {
        builder->SetCheckGroup(kToggleNames[i]);
        m_toggles[i] = builder->CreateCheckButton(kToggleNames[i], true, true, false, 85, 2, 29, 29, false, false,
                                                  m_buttonListener, false, nullptr);
    }
    builder->SetCheckGroup(u"텍스트배경");
    for (int i = 0; i < 2; ++i)
        m_rows[i] = builder->CreateCheckButton(u"", true, false, false, m_listX, m_listY + 22 * i, 166, 23, true, false,
                                               m_buttonListener, false, nullptr);
    m_label = new NaviLabel();
    m_label->SetName(u"NaviPOIBar_String");
    m_label->SetPos(60, 43);
    m_label->SetStyle(kLabelNoBackground | kLabelNoBold);
    m_label->LoadImages(builder);
}

void NaviPoiBar::Draw(CDC* dc) {
    if (!dc || !HasSelection() || !IsShowable() || !m_label) return;
    const HDC hdc = dc->GetSafeHdc();
    if (m_open && m_symbols)
        for (int i : {1, 0})
            if (!IsEmptyEntry(m_entries[i]))
                m_symbols->DrawPoiBarIcon(hdc, i, m_entries[i].screenX, m_entries[i].screenY);
    NaviCheckButton* toggle = m_toggles[m_open ? 1 : 0];
    if (toggle) toggle->Draw(dc);
    if (!m_open) return;
    for (int i = 0; i < 2; ++i) {
        const MapFeatureInfo& e = m_entries[i];
        if (IsEmptyEntry(e)) {
            if (i == 1) return;
            if (m_rows[0]) m_rows[0]->Draw(dc);
            m_label->SetPos(50, 43);
            m_label->SetText(kNothingNear);
            m_label->Draw(dc);
            if (m_handle) m_handle->Draw(dc);
            return;
        }
        if (m_rows[i]) m_rows[i]->Draw(dc);
        if (m_symbols) {
            m_symbols->DrawDisSymbol(hdc, e.flags[0], 72, 48 + 22 * i);
            m_symbols->DrawPoiBarIcon(hdc, i, 44, 57 + 22 * i);
        }
        m_label->SetPos(88, 43 + 22 * i);
        m_label->SetText(EntryName(e));
        m_label->Draw(dc);
        if (m_handle) m_handle->Draw(dc);
    }
}

int NaviPoiBar::HitTest(int x, int y) {
    if (!HasSelection() || !IsShowable()) return 0;
    NaviCheckButton* toggle = m_toggles[m_open ? 1 : 0];
    if (toggle && toggle->HitTest(x, y)) {
        m_hitCode = m_open ? kPoiHitClose : kPoiHitOpen;
        return kPoiHitClose;
    }
    if (m_open)
        for (int i = 0; i < 2; ++i)
            if (!IsEmptyEntry(m_entries[i]) && m_rows[i] && m_rows[i]->HitTest(x, y)) {
                m_hitCode = i + 1;
                return i + 1;
            }
    return 0;
}

void NaviPoiBar::OnPenDown() {
    NaviControl* target = nullptr;
    switch (m_hitCode) {
    case kPoiHitRow1: target = m_rows[0]; break;
    case kPoiHitRow2: target = m_rows[1]; break;
    case kPoiHitLabel: target = m_label; break;
    case kPoiHitClose: target = m_toggles[1]; break;
    case kPoiHitOpen: target = m_toggles[0]; break;
    default: break;
    }
    if (target && target->HasPressFeedback()) target->OnPenDown();
}

void NaviPoiBar::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdIndicatorHide: m_hidden = true; break;
    case kCmdIndicatorShow: m_hidden = false; break;
    case kCmdFollowCar: m_followCar = true; break;
    case kCmdFollowOff: m_followCar = false; break;
    case kCmdSimulationOn: m_simulating = true; break;
    case kCmdSimulationOff: m_simulating = false; break;
    default: break;
    }
}
