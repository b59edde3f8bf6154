#include "skinui/controls/NaviComboBox.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

#include <mutex>
#include <unordered_map>

namespace {

constexpr const char16_t* kGroupSuffix = u"그룹";
constexpr const char16_t* kPopupClose = u"Close";
constexpr const char16_t* kPopupBack = u"이전";
constexpr const char16_t* kPopupNext = u"다음";
constexpr int kNoItemHeight = 20;

// Live combos by handle. Handles are never reused within a process, so a stale handle finds
// nothing rather than a newer combo.
struct Registry {
    std::mutex lock;
    std::unordered_map<std::uint32_t, NaviComboBox*> live;
    std::uint32_t next = 1;
};

Registry& Combos() {
    static Registry registry;
    return registry;
}

NaviBitmap* LoadPiece(NaviRcBuilder* builder, const char16_t* piece, int& width, int& height) {
    CString name;
    name.Format(u"%s\\%s", builder->GetImageGroup().GetString(), piece);
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        image = nullptr;
    }
    width = image ? image->GetWidth() : 0;
    height = image ? image->GetHeight() : 0;
    return image;
}

} // namespace

NaviComboBox::NaviComboBox() {
    // No width given: the first drawing fits the frame to the widest item.
    SetSize(0, 0);
    m_transparent = false;
    Registry& r = Combos();
    std::lock_guard<std::mutex> hold(r.lock);
    m_handle = r.next++;
    if (r.next == 0) r.next = 1;
    r.live[m_handle] = this;
}

NaviComboBox::~NaviComboBox() {
    {
        Registry& r = Combos();
        std::lock_guard<std::mutex> hold(r.lock);
        r.live.erase(m_handle);
    }
    delete m_left;
    delete m_middle;
    delete m_right;
}

NaviComboBox* NaviComboBox::FromHandle(std::uint32_t handle) {
    Registry& r = Combos();
    std::lock_guard<std::mutex> hold(r.lock);
    auto it = r.live.find(handle);
    return it == r.live.end() ? nullptr : it->second;
}

void NaviComboBox::Select(int i) {
    if (static_cast<unsigned>(i) < m_items.size()) m_selected = i;
}

CString NaviComboBox::GetItem(int i) const {
    return static_cast<unsigned>(i) < m_items.size() ? m_items[i] : CString();
}

int NaviComboBox::HitTest(int x, int y) {
    return m_active && PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviComboBox::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    delete m_left;
    delete m_middle;
    delete m_right;
    m_left = LoadPiece(builder, u"ComboBox_Left", m_leftWidth, m_leftHeight);
    m_middle = LoadPiece(builder, u"ComboBox_Middle", m_middleWidth, m_middleHeight);
    m_right = LoadPiece(builder, u"ComboBox_Right", m_rightWidth, m_rightHeight);
    if (m_left) m_left->SetTransparent(true);
    if (m_right) m_right->SetTransparent(true);
}

void NaviComboBox::Layout(CDC* dc) {
    RECT widest{m_x, m_y, m_x, m_y + kNoItemHeight};
    for (const CString& item : m_items) {
        RECT r{m_x, m_y, m_x, m_y};
        dc->DrawText(item, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (r.right - r.left > widest.right - widest.left || &item == &m_items.front()) widest = r;
    }
    const int textWidth = widest.right - widest.left;
    if (m_width == 0) m_width = textWidth + m_rightWidth + m_leftWidth + 6;
    m_height = m_leftHeight;
    m_textRect = widest;
    OffsetRect(&m_textRect, m_leftWidth + 3, (m_leftHeight - (widest.bottom - widest.top)) / 2);
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_leftHeight};
    m_comboLaidOut = true;
}

void NaviComboBox::Draw(CDC* dc) {
    if (!dc) return;
    if (!m_comboLaidOut) Layout(dc);
    const HDC hdc = dc->GetSafeHdc();
    const int shift = m_pressed ? 1 : 0;
    m_pressed = false;
    if (m_left) m_left->Draw(hdc, m_x + shift, m_y + shift);
    int tile = m_leftWidth;
    // A missing or empty middle piece leaves the middle open: stepping by 0 would never end.
    if (m_middle && m_middleWidth > 0) {
        m_middle->SetTransparent(false);
        for (; tile < m_width - m_rightWidth; tile += m_middleWidth) m_middle->Draw(hdc, m_x + tile, m_y);
    }
    if (m_right) m_right->Draw(hdc, m_x + tile, m_y);
    if (m_selected < 0 || !m_active) return;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT r{m_x + 2, m_textRect.top, m_x + m_width - m_rightWidth, m_textRect.bottom};
    const CString& text = m_items[m_selected];
    dc->DrawText(text, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    OffsetRect(&r, 1, 1);
    dc->DrawText(text, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc->SetBkMode(oldMode);
}

void NaviComboBox::OnPenUp() {
    NaviCommand cmd;
    cmd.target = m_name;
    cmd.text = m_name;
    cmd.id = kCmdComboTapped;
    cmd.param1 = static_cast<int>(m_handle);
    ProcessCommand(cmd);
}

void NaviComboBox::Send(const CString& target, const CString& control, const CString& text, int id,
                        int param1) {
    NaviCommand cmd;
    cmd.target = target;
    cmd.control = control;
    cmd.text = text;
    cmd.id = id;
    cmd.param1 = param1;
    ProcessCommand(cmd);
}

void NaviComboBox::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name && cmd.id == kCmdSelect) {
        if (cmd.param1 == -1) m_active = true;
        else if (cmd.param1 == -2) m_active = false;
        else Select(cmd.param1);
        if (!m_listener) return;
        // Fill the popup's list and preselect its row.
        const CString group = m_name + kGroupSuffix;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            NaviCommand row;
            row.target = m_name;
            row.control = group;
            row.text = m_items[i];
            row.id = kCmdAddRow;
            m_listener->ProcessEvent(row);
        }
        NaviCommand select;
        select.target = m_name;
        select.control = group;
        select.id = kCmdSelect;
        select.param1 = m_selected;
        m_listener->ProcessEvent(select);
        return;
    }
    if (cmd.control == m_name && cmd.id == kCmdAddRow) {
        AddItem(cmd.text);
        return;
    }
    if (cmd.target != kTargetDialog && m_listener) m_listener->ProcessEvent(cmd);
}

void NaviComboBox::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == kTargetDialog) {
        if (cmd.id == kCmdPopupOpened) Send(kTargetDialog, m_name, CString(), kCmdSelect, m_selected);
        return;
    }
    if (cmd.target == m_name + kGroupSuffix && cmd.id == kCmdTapped) {
        Select(cmd.param1);
        Send(m_name, CString(), CString(), kCmdComboDone, -1);
        Send(m_name, CString(), cmd.text, kCmdTapped, m_selected);
        return;
    }
    if (cmd.target == kPopupClose) {
        Send(m_name, CString(), CString(), kCmdComboDone, -1);
        return;
    }
    const bool back = cmd.target == kPopupBack;
    if ((back || cmd.target == kPopupNext) && m_listener) {
        NaviCommand page;
        page.target = m_name;
        page.control = m_name + kGroupSuffix;
        page.id = kCmdPageList;
        page.param1 = back ? -1 : 1;
        m_listener->ProcessEvent(page);
    }
}
