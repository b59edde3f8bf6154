#include "traffic/pages/TrafficSectionList.h"

#include "platform/base/Text.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Speed classes of the icons and the texts: 원활, 서행, 지체, 정체, then no speed.
constexpr int kNoSpeed = 4;

bool HasSpeed(int speed) {
    return speed != 254 && speed != 255;
}

// The icons follow the map colours: 40 / 20 / 10 km/h on ordinary roads, 70 / 40 / 20 on the
// highway class.
int IconClass(int speed, bool highway) {
    if (!HasSpeed(speed)) return kNoSpeed;
    const int fast = highway ? 70 : 40, moving = highway ? 40 : 20, slow = highway ? 20 : 10;
    return speed >= fast ? 0 : speed >= moving ? 1 : speed >= slow ? 2 : 3;
}

// The texts change class at 45 / 25 / 10 km/h on ordinary roads, as the icons do on the highway
// class.
COLORREF TextColour(int speed, bool highway) {
    static constexpr COLORREF colours[4] = {0xDC0000, 0x00B93D, 0x61C2EC, 0x0000DC};
    if (!HasSpeed(speed)) return TrafficSectionList::kTextColour;
    const int fast = highway ? 70 : 45, moving = highway ? 40 : 25, slow = highway ? 20 : 10;
    return colours[speed >= fast ? 0 : speed >= moving ? 1 : speed >= slow ? 2 : 3];
}

CString NameText(const char* cp949, std::size_t size) {
    return CString(Cp949ToUtf16(std::string_view(cp949, strnlen(cp949, size))));
}

void DrawLine(HDC dc, const CString& text, RECT rc, UINT align) {
    DrawTextW(dc, text.GetString(), text.GetLength(), &rc, align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

CString TrafficSpeedText(int speed, int unit, unsigned long length) {
    if (speed == 255) return CString(u"미수신");
    if (speed == 254) return CString(u"정보없음");
    char text[32];
    if (unit) {
        std::snprintf(text, sizeof text, "%3dkm", speed);
        return CString(Utf8ToUtf16(text));
    }
    if (length < 1 || speed < 6) return CString(u"정체구간");
    const int seconds = static_cast<int>(static_cast<double>(length) * 3.6) / speed;
    std::snprintf(text, sizeof text, "%2d분%2d초", seconds / 60, seconds % 60);
    return CString(Utf8ToUtf16(text));
}

TrafficSectionList::TrafficSectionList() : m_db(std::make_unique<TrafficRoadDB>()) {}

TrafficSectionList::~TrafficSectionList() {
    // The rows' records are freed here: when the page is being destroyed, the list window is
    // already on its way out and its own WM_DESTROY no longer reaches this object.
    if (m_hWnd) {
        DeleteAllItems();
        DestroyWindow();
    }
    for (HICON& icon : m_leftIcons)
        if (icon) DestroyIcon(icon);
    for (HICON& icon : m_rightIcons)
        if (icon) DestroyIcon(icon);
    m_db->Close();
}

BOOL TrafficSectionList::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~WS_HSCROLL;
    cs.style |= LVS_REPORT | LVS_SHOWSELALWAYS;
    return CListCtrl::PreCreateWindow(cs);
}

BOOL TrafficSectionList::Create(const RECT& rect, CWnd* parent, UINT id) {
    LoadIcons();
    return CListCtrl::Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SHOWSELALWAYS |
                                 LVS_OWNERDRAWFIXED,
                             rect, parent, id);
}

void TrafficSectionList::LoadIcons() {
    AfxRegisterSystemIcons();
    static constexpr int left[5] = {623, 624, 625, 626, 658};
    static constexpr int right[5] = {619, 620, 621, 622, 653};
    for (int i = 0; i < 5; ++i) {
        if (!m_leftIcons[i])
            m_leftIcons[i] = static_cast<HICON>(
                LoadImageW(nullptr, MAKEINTRESOURCEW(left[i]), IMAGE_ICON, m_iconWidth, m_iconHeight, 0));
        if (!m_rightIcons[i])
            m_rightIcons[i] = static_cast<HICON>(
                LoadImageW(nullptr, MAKEINTRESOURCEW(right[i]), IMAGE_ICON, m_iconWidth, m_iconHeight, 0));
    }
}

int TrafficSectionList::AddItem(const TrafficSectionInfo& info) {
    auto copy = std::make_unique<TrafficSectionInfo>(info);
    const CString name = NameText(info.roadName, sizeof info.roadName);
    LVITEMW item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = GetItemCount();
    item.pszText = const_cast<LPWSTR>(name.GetString());
    item.lParam = reinterpret_cast<LPARAM>(copy.get());
    const int at = InsertItem(&item);
    if (at >= 0) copy.release(); // the row owns it now; freed when the row is deleted
    return at;
}

const TrafficSectionInfo* TrafficSectionList::GetRowInfo(int row) const {
    if (row < 0 || row >= GetItemCount()) return nullptr;
    return reinterpret_cast<const TrafficSectionInfo*>(GetItemData(row));
}

LRESULT TrafficSectionList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Every way a row goes frees its record.
    switch (message) {
    case LVM_DELETEITEM: {
        auto* info = const_cast<TrafficSectionInfo*>(GetRowInfo(static_cast<int>(wParam)));
        const LRESULT r = CListCtrl::WindowProc(message, wParam, lParam);
        if (r) delete info;
        return r;
    }
    case LVM_DELETEALLITEMS:
    case WM_DESTROY: {
        std::vector<TrafficSectionInfo*> rows;
        for (int i = 0; i < GetItemCount(); ++i)
            rows.push_back(reinterpret_cast<TrafficSectionInfo*>(GetItemData(i)));
        const LRESULT r = CListCtrl::WindowProc(message, wParam, lParam);
        for (TrafficSectionInfo* info : rows) delete info;
        return r;
    }
    default:
        return CListCtrl::WindowProc(message, wParam, lParam);
    }
}

void TrafficSectionList::SelectRow(int row) {
    SetItemState(-1, 0, LVIS_SELECTED);
    if (row < 0 || row >= GetItemCount()) return;
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(row, FALSE);
}

void TrafficSectionList::Fill() {
    if (!m_db->IsOpen()) return;
    BeginWaitCursor();
    DeleteAllItems();
    SetRedraw(FALSE);
    m_mode = m_db->IsSectionLevel() ? 1 : 0;
    const int n = m_db->GetCount();
    for (int i = 0; i < n; ++i) {
        TrafficSectionInfo info{};
        if (!m_db->GetSectionInfo(i, &info)) continue;
        AddItem(info);
        if (!m_mode) continue;
        // Section i of the first direction: its start place, then its speeds; the loop ends at
        // the first record of the other direction, whose start place is the road's last place.
        if (info.direction == 0) break;
        if (i < n / 2) {
            AddItem(info);
        } else if (i == n / 2) {
            std::memcpy(info.startName, info.endName, sizeof info.startName);
            AddItem(info);
        }
    }
    SetRedraw(TRUE);
    m_itemCount = GetItemCount();
    m_recordCount = n;
    EndWaitCursor();
}

void TrafficSectionList::RefreshSpeeds(int force) {
    if (!m_db->IsOpen()) return;
    m_mode = 1;
    const int n = m_db->GetCount();
    for (int i = 0; i < n / 2; ++i) {
        TrafficSectionInfo info{};
        m_db->GetSectionInfo(i, &info);
        const int row = 2 * i + 1;
        auto* shown = const_cast<TrafficSectionInfo*>(GetRowInfo(row));
        if (!shown) continue;
        if (force || shown->speed[0] != info.speed[0] || shown->speed[1] != info.speed[1]) {
            shown->speed[0] = info.speed[0];
            shown->speed[1] = info.speed[1];
            RedrawItems(row, row);
        }
    }
}

void TrafficSectionList::MeasureItem(LPMEASUREITEMSTRUCT item) {
    CDC* dc = GetDC();
    HGDIOBJ old = nullptr;
    if (CFont* font = GetFont(); font && font->GetSafeHandle()) old = SelectObject(dc->GetSafeHdc(), *font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc->GetSafeHdc(), &tm);
    if (old) SelectObject(dc->GetSafeHdc(), old);
    ReleaseDC(dc);
    item->itemHeight = static_cast<UINT>(2 * tm.tmHeight);
}

void TrafficSectionList::DrawItem(LPDRAWITEMSTRUCT item) {
    if (GetItemCount() == 0) return;
    const auto* info = reinterpret_cast<const TrafficSectionInfo*>(item->itemData);
    if (!info) return;
    HDC dc = item->hDC;
    const RECT rc = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    HFONT font = CreateFontW(14, 0, 0, 0, m_mode ? FW_BOLD : FW_NORMAL, 0, 0, 0, 130, 0, 0, 0, 32, u"Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (!m_mode) {
        HBRUSH fill = CreateSolidBrush(selected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
        FillRect(dc, &rc, fill);
        DeleteObject(fill);
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kTextColour);
        DrawLine(dc, GetItemText(static_cast<int>(item->itemID), 0), rc, DT_LEFT);
    } else if (item->itemID % 2 == 0) {
        HBRUSH fill = CreateSolidBrush(kNameRowColour);
        FillRect(dc, &rc, fill);
        DeleteObject(fill);
        SetTextColor(dc, kTextColour);
        DrawLine(dc, NameText(info->startName, sizeof info->startName), rc, DT_CENTER);
    } else {
        DrawSpeedRow(dc, rc, *info, selected);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

void TrafficSectionList::DrawSpeedRow(HDC dc, const RECT& rc, const TrafficSectionInfo& info, bool selected) {
    HBRUSH fill = CreateSolidBrush(selected ? kSelectedSpeedRowColour : kSpeedRowColour);
    FillRect(dc, &rc, fill);
    DeleteObject(fill);
    if (selected) {
        CDC* cdc = CDC::FromHandle(dc);
        cdc->Draw3dRect(&rc, kFrameTopLeft, kFrameBottomRight);
    }
    const bool highway = info.highway != 0;
    const int halfWidth = (rc.right - rc.left) / 2;
    const int halfHeight = (rc.bottom - rc.top) / 2;
    const int y = rc.top + halfHeight - 8;
    if (HICON left = m_leftIcons[IconClass(info.speed[0], highway)])
        DrawIconEx(dc, rc.left + halfWidth - m_iconWidth - 6, y, left, m_iconWidth, m_iconHeight, 0, nullptr,
                   DI_NORMAL);
    if (HICON right = m_rightIcons[IconClass(info.speed[1], highway)])
        DrawIconEx(dc, rc.left + halfWidth + 6, y, right, m_iconWidth, m_iconHeight, 0, nullptr, DI_NORMAL);
    RECT first = rc;
    first.right = rc.right / 2 - m_iconWidth - 6;
    SetTextColor(dc, TextColour(info.speed[0], highway));
    DrawLine(dc, TrafficSpeedText(info.speed[0], m_unit, info.length), first, DT_RIGHT);
    RECT second = rc;
    second.left = rc.right / 2 + m_iconWidth + 6;
    SetTextColor(dc, TextColour(info.speed[1], highway));
    DrawLine(dc, TrafficSpeedText(info.speed[1], m_unit, info.length), second, DT_LEFT);
}

void TrafficSectionList::OnLButtonDown(UINT flags, CPoint point) {
    if (!IsSectionLevel()) {
        CListCtrl::OnLButtonDown(flags, point);
        return;
    }
    // No selection on pen down: the pen may be starting a drag.
    m_penDown = point;
}

void TrafficSectionList::OnLButtonUp(UINT flags, CPoint point) {
    if (!IsSectionLevel()) {
        CListCtrl::OnLButtonUp(flags, point);
        return;
    }
    const int distance = point.y - m_penDown.y;
    if (distance > kDragDistance || distance < -kDragDistance) {
        Scroll(CSize(0, distance < 1 ? -kScrollStep : kScrollStep));
        CListCtrl::OnLButtonUp(flags, point);
        if (auto* owner = dynamic_cast<TrafficListOwner*>(GetParent())) owner->UpdateScrollButtons();
        return;
    }
    UINT hit = 0;
    const int row = HitTest(point, &hit);
    if (row >= 0 && (hit & LVHT_ONITEMLABEL)) {
        SetItemState(-1, 0, LVIS_SELECTED);
        SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_db->SetSelected(row);
    }
}

void TrafficSectionList::OnVScroll(UINT code, UINT pos, CWnd* scrollBar) {
    CListCtrl::OnVScroll(code, pos, scrollBar);
    if (code == SB_ENDSCROLL)
        if (auto* owner = dynamic_cast<TrafficListOwner*>(GetParent())) owner->UpdateScrollButtons();
}

bool TrafficSectionList::OnDoubleTap() {
    const int top = GetTopIndex();
    const int end = top + GetCountPerPage();
    int row = -1;
    for (int i = top; i < end && i < GetItemCount(); ++i)
        if (GetItemState(i, LVIS_SELECTED)) {
            row = i;
            break;
        }
    if (row < 0) return false;
    m_db->SetSelected(row);
    return !IsSectionLevel();
}

int TrafficSectionList::OpenDatabase() {
    return m_db->Open(TrafficRoadDB::DefaultPath().GetString()) ? 1 : 0;
}

int TrafficSectionList::IsOpen() const {
    return m_db->IsOpen() ? 1 : 0;
}
int TrafficSectionList::GetLevel() const {
    return m_db->GetLevel();
}
int TrafficSectionList::IsSectionLevel() const {
    return m_db->IsOpen() && m_db->IsSectionLevel() ? 1 : 0;
}
int TrafficSectionList::GetSectionX(int record) const {
    return m_db->GetSectionX(record);
}
int TrafficSectionList::GetSectionY(int record) const {
    return m_db->GetSectionY(record);
}
unsigned long TrafficSectionList::GetSectionLength(int record) const {
    return m_db->GetSectionLength(record);
}
int TrafficSectionList::GetGridCode(int record) const {
    return m_db->GetGridCode(record);
}
int TrafficSectionList::GetSelected() const {
    return m_db->GetSelected();
}
void TrafficSectionList::SetSelected(int row) {
    m_db->SetSelected(row);
}
int TrafficSectionList::EnterRecord(int record) {
    m_itemCount = 0;
    m_recordCount = 0;
    return m_db->EnterRecord(record);
}
int TrafficSectionList::LevelUp() {
    m_itemCount = 0;
    m_recordCount = 0;
    return m_db->LevelUp();
}
int TrafficSectionList::ReloadLevel() {
    return m_db->ReloadLevel();
}
const sSAVETRAFFIC* TrafficSectionList::SaveState() {
    return m_db->SaveState();
}
int TrafficSectionList::RestoreState(const sSAVETRAFFIC* state) {
    return m_db->RestoreState(state);
}
