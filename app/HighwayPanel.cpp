#include "app/HighwayPanel.h"

#include "platform/base/CString.h"
#include "platform/window/Window.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviLabel.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char16_t* kGroup = u"HighWayMode";
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kIconStep = 17;
constexpr int kFirstServiceX = 87;

struct Spot {
    const char16_t* name;
    int x, y, w, h;
};
// The kind buttons and their selected forms share their places.
constexpr Spot kKinds[] = {{u"휴게소", 0, 277, 85, 43}, {u"IC", 85, 277, 71, 43}, {u"분기점", 156, 277, 84, 43}};
constexpr const char16_t* kSelectedKinds[] = {u"전체_휴게소", u"전체_IC", u"전체_분기점"};
constexpr int kKindTypes[] = {CHighwayPanel::kRestAreas, CHighwayPanel::kInterchanges, CHighwayPanel::kJunctions};
constexpr Spot kPaging[] = {{u"위로", 185, 38, 40, 41}, {u"처음으로", 185, 93, 40, 41}, {u"아래로", 185, 134, 40, 41}};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_CHILD;
    AfxRegisterDialogTemplate(CHighwayPanel::kTemplate, info);
}

CString Named(const char16_t* format, int value) {
    CString name;
    name.Format(format, value);
    return name;
}

} // namespace

CHighwayPanel::CHighwayPanel() : NaviDialog(kTemplate, nullptr, nullptr) {}

CHighwayPanel::~CHighwayPanel() {
    Release();
}

bool CHighwayPanel::Create(CWnd* parent) {
    if (created) return true;
    RegisterTemplate();
    m_parentWnd = parent;
    m_mainWnd = parent;
    if (!CDialog::Create(kTemplate, parent)) return false;
    RECT client{0, 0, 240, 320};
    if (parent && parent->GetSafeHwnd()) ::GetClientRect(parent->GetSafeHwnd(), &client);
    MoveWindow(&client);
    ShowWindow(SW_HIDE);
    created = 1;
    ++m_createCount;
    return true;
}

void CHighwayPanel::Release() {
    if (GetSafeHwnd()) DestroyWindow();
    DeletePanel();
    FreeImages();
    m_routeState = nullptr;
    for (auto& row : m_rowControls)
        for (NaviControl*& c : row) c = nullptr;
    created = 0;
    shown = 0;
}

void CHighwayPanel::FreeImages() {
    for (NaviBitmap*& b : m_digits) delete std::exchange(b, nullptr);
    for (NaviBitmap*& b : m_speedDigits) delete std::exchange(b, nullptr);
    for (NaviBitmap*& b : m_fuel) delete std::exchange(b, nullptr);
    for (NaviBitmap*& b : m_waypointNumbers) delete std::exchange(b, nullptr);
}

CHighwayPanel::Row& CHighwayPanel::RowAt(int i) {
    return m_row[std::clamp(i, 0, kRows - 1)];
}

void CHighwayPanel::SetRemaining(double dist, double second, int seconds, int count, std::uint8_t flag) {
    m_remainingText = FormatWide(u"%3.1fk", dist * 0.001);
    m_secondText = FormatWide(u"%3.1f", second * 0.001);
    // Whole hours however many days they make (a day-long drive is not "00:xx"); two digits
    // hold up to 99:59.
    const int t = seconds < 0 ? 0 : seconds;
    int hours = t / 3600;
    int minutes = t / 60 - hours * 60;
    if (hours > 99) {
        hours = 99;
        minutes = 59;
    }
    m_timeText = FormatWide(u"%02d:%02d", hours, minutes);
    m_countText = FormatWide(u"%d", count);
    m_remainingFlag = flag;
}

void CHighwayPanel::SetRouteState(bool following, int routeIndex) {
    const bool changed = following != m_following;
    m_following = following;
    m_routeIndex = routeIndex;
    if (changed) Refresh(false);
}

void CHighwayPanel::ClearRows() {
    for (Row& row : m_row) row.fuel = row.lpg = row.repair = 0;
    for (auto& row : m_rowControls)
        for (int k = 2; k < 5; ++k)
            if (row[k]) row[k]->SetVisible(false);
}

void CHighwayPanel::SetNextFacility(int id) {
    if (id == m_nextFacility) return;
    m_nextFacility = id;
    if (m_pageIndex > 0) --m_pageIndex;
}

NaviControl* CHighwayPanel::Control(const char16_t* name) const {
    NaviPanel* panel = GetPanel();
    if (!panel) return nullptr;
    for (NaviControl* c : panel->GetChildren())
        if (c->Name() == name) return c;
    return nullptr;
}

NaviControl* CHighwayPanel::RowControl(int row, int which) const {
    if (row < 0 || row >= kRows || which < 0 || which >= 5) return nullptr;
    return m_rowControls[row][which];
}

void CHighwayPanel::Refresh(bool repaint) {
    if (!created) return;
    ++m_refreshes;
    if (m_routeState) m_routeState->SetVisible(m_routeIndex >= 0);
    for (int i = 0; i < kRows; ++i) {
        if (auto* name = dynamic_cast<NaviLabel*>(m_rowControls[i][0])) name->SetText(CString());
        if (auto* distance = dynamic_cast<NaviLabel*>(m_rowControls[i][1])) distance->SetText(CString());
        if (m_rowControls[i][2]) m_rowControls[i][2]->SetVisible(false);
    }
    for (int i = 0; i < m_rows; ++i) {
        if (auto* name = dynamic_cast<NaviLabel*>(m_rowControls[i][0])) name->SetText(m_row[i].name.c_str());
        if (auto* distance = dynamic_cast<NaviLabel*>(m_rowControls[i][1]))
            distance->SetText(m_row[i].distance.c_str());
        if (m_rowControls[i][2]) m_rowControls[i][2]->SetVisible(true);
        int placed = 0;
        const std::uint8_t flags[] = {m_row[i].lpg, m_row[i].repair};
        for (int k = 0; k < 2; ++k) {
            NaviControl* icon = m_rowControls[i][3 + k];
            if (!icon) continue;
            if (flags[k]) {
                icon->MoveTo(kFirstServiceX + kIconStep * placed++, kRowY[i]);
                icon->SetVisible(true);
            } else {
                icon->SetVisible(false);
            }
        }
    }
    const bool more = m_facilityCount - 3 - m_pageIndex > 0;
    if (NaviControl* up = Control(u"위로")) {
        up->SetEnabled(more);
        up->SetPressed(!more);
    }
    if (NaviControl* down = Control(u"아래로")) down->SetEnabled(m_pageIndex > 0);
    if (NaviControl* first = Control(u"처음으로")) first->SetVisible(true);
    if (repaint && GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CHighwayPanel::Page(int index) {
    m_pageIndex = index;
    m_paging(m_pageIndex, this);
}

void CHighwayPanel::RestoreKindButtons() {
    for (const Spot& k : kKinds)
        if (NaviControl* c = Control(k.name)) c->SetVisible(true);
    for (const char16_t* s : kSelectedKinds)
        if (NaviControl* c = Control(s)) c->SetVisible(false);
}

void CHighwayPanel::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"고속모드_하단") {
        held = 0;
    } else if (name == u"위로") {
        if (!m_paging) return;
        if (m_facilityCount - 3 - m_pageIndex > 0) Page(m_pageIndex + 1);
        Refresh(false);
    } else if (name == u"아래로") {
        if (!m_paging) return;
        if (m_pageIndex > 0) Page(m_pageIndex - 1);
        Refresh(false);
    } else if (name == u"처음으로") {
        if (!m_paging) return;
        Page(0);
        Refresh(false);
    } else if (name == u"전체" || name == kSelectedKinds[0] || name == kSelectedKinds[1] || name == kSelectedKinds[2]) {
        RestoreKindButtons();
        m_pageIndex = 0;
        m_listType = kAll;
    } else if (name == u"경유지_갱신") {
        Refresh(false);
    } else {
        for (int k = 0; k < 3; ++k) {
            if (name != kKinds[k].name) continue;
            RestoreKindButtons();
            if (NaviControl* c = Control(kKinds[k].name)) c->SetVisible(false);
            if (NaviControl* c = Control(kSelectedKinds[k])) c->SetVisible(true);
            m_pageIndex = 0;
            m_listType = kKindTypes[k];
        }
    }
    // The kind buttons refill nothing themselves: the view's next update does.
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CHighwayPanel::LoadPanelImages() {
    NaviRcBuilder* b = GetRcBuilder();
    if (!b) return;
    for (int d = 0; d < 10; ++d) {
        m_digits[d] = b->LoadImage(Named(u"HighWayMode\\숫자%d", d));
        m_speedDigits[d] = b->LoadImage(Named(u"HighWayMode\\Speed\\%d", d));
    }
    m_digits[10] = b->LoadImage(u"HighWayMode\\숫자점");
    m_digits[11] = b->LoadImage(u"HighWayMode\\숫자k");
    m_digits[12] = b->LoadImage(u"HighWayMode\\숫자콜론");
    for (int i = 0; i < kFuelImages; ++i) m_fuel[i] = b->LoadImage(Named(u"HighWayMode\\주유소%d", i));
    for (int i = 0; i < kWaypointImages; ++i)
        m_waypointNumbers[i] = b->LoadImage(Named(u"HighWayMode\\경유지번호%d", i + 1));
    for (NaviBitmap* image : m_digits)
        if (image) image->SetTransparent(true);
    for (NaviBitmap* image : m_speedDigits)
        if (image) image->SetTransparent(true);
}

void CHighwayPanel::BuildControls() {
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    if (!root || !b) return;
    root->AssignName(GetPanelName());
    root->SetSize(240, 320);
    root->SetPos(0, 0);
    root->SetListener(this);
    b->SetImageGroup(kGroup);
    root->AddChild(b->CreateFrameWnd(u"목적지", true, false, 0, 0, 240, 47));
    root->AddChild(b->CreateButton(u"경유지", false, true, false, true, 0, 0, 95, 47, root));
    if (m_routeIndex >= 0) {
        m_routeState = b->CreateFrameWnd(u"경계바", true, true, 95, 14, 4, 20);
        root->AddChild(m_routeState);
    }
    root->AddChild(b->CreateFrameWnd(u"가운데", true, false, 0, 47, 240, 142));
    for (const Spot& p : kPaging) {
        const CString image = CString(p.name) + u"3";
        root->AddChild(b->CreateFrameWnd(image, true, true, p.x, p.y, p.w, p.h));
        root->AddChild(b->CreateButton(p.name, true, true, true, true, p.x, p.y, p.w, p.h, root));
    }
    for (int k = 0; k < 3; ++k) {
        const Spot& s = kKinds[k];
        root->AddChild(b->CreateButton(s.name, true, true, true, false, s.x, s.y, s.w, s.h, root));
        root->AddChild(b->CreateButton(kSelectedKinds[k], false, true, true, false, s.x, s.y, s.w, s.h, root));
    }
    root->AddChild(b->CreateButton(u"고속모드_하단", true, true, false, true, 0, 189, 240, 88, root));
    for (int i = 0; i < kRows; ++i) {
        // Labels "String0" to "String2" hold rows 2, 1 and 0: the list reads upwards.
        const int label = kRows - 1 - i;
        NaviLabel* name = b->CreateLabel(Named(u"String%d", label), 35, 49 + 48 * label, 130, 14, kWhite, 0, 0, 0);
        NaviLabel* distance = b->CreateLabel(Named(u"속도%d", label), 169, 68 + 48 * label, 0, 15, kWhite, 0, 0, 0);
        NaviLabel* km = b->CreateLabel(u"km", 170, 73 + 48 * label + (label == 1 ? 1 : 0), 0, 14, kWhite, 0, 0, 0);
        km->SetText(u"km");
        root->AddChild(name);
        root->AddChild(distance);
        root->AddChild(km);
        m_rowControls[i][0] = name;
        m_rowControls[i][1] = distance;
        const struct {
            const char16_t* name;
            int x;
        } icons[] = {{u"주유소0", 45}, {u"까스", 55}, {u"정비소", 65}};
        for (int k = 0; k < 3; ++k) {
            NaviFrameWnd* icon = b->CreateFrameWnd(icons[k].name, true, true, icons[k].x, kRowY[i], 16, 16);
            icon->SetVisible(false);
            root->AddChild(icon);
            m_rowControls[i][2 + k] = icon;
        }
    }
}

BOOL CHighwayPanel::OnInitDialog() {
    NaviDialog::OnInitDialog();
    CreatePanel(this);
    BuildControls();
    LoadPanelImages();
    return TRUE;
}

NaviBitmap* CHighwayPanel::DigitImage(char16_t c, bool speed) const {
    if (c >= u'0' && c <= u'9') return speed ? m_speedDigits[c - u'0'] : m_digits[c - u'0'];
    if (speed) return nullptr;
    if (c == u'.') return m_digits[10];
    if (c == u'k') return m_digits[11];
    if (c == u':') return m_digits[12];
    return nullptr;
}

void CHighwayPanel::DrawDigits(CDC* dc, const std::u16string& text, int x, int y, bool speed) {
    m_drawnTexts.push_back(DrawnText{text, x, y, speed});
    for (char16_t c : text) {
        NaviBitmap* image = DigitImage(c, speed);
        if (!image) continue; // a blank of "%3.1f" takes no room
        if (dc) image->Draw(dc->GetSafeHdc(), x, y);
        x += image->GetWidth();
    }
}

void CHighwayPanel::Compose(CDC* dc) {
    m_drawnTexts.clear();
    m_drawnImages.clear();
    if (dc) Draw(dc);
    if (m_routeIndex < 0) {
        DrawDigits(dc, m_remainingText, 142, 18, false);
        DrawDigits(dc, m_timeText, 183, 22, false);
    } else {
        // Only the five waypoint numbers have an image; another index draws none.
        if (m_routeIndex < kWaypointImages) {
            m_drawnImages.push_back({Named(u"경유지번호%d", m_routeIndex + 1).GetString(), 33, 19});
            if (dc && m_waypointNumbers[m_routeIndex]) m_waypointNumbers[m_routeIndex]->Draw(dc->GetSafeHdc(), 33, 19);
        }
        DrawDigits(dc, m_secondText, 91, 17, false);
        DrawDigits(dc, m_remainingText, 160, 17, false);
        DrawDigits(dc, m_timeText, 205, 21, false);
    }
    if (m_remainingFlag) DrawDigits(dc, m_countText, 220, 206, true);
    for (int i = 0; i < m_rows; ++i) {
        if (!m_row[i].fuel) continue;
        const int brand = m_row[i].brand;
        const int image = brand >= 1 && brand <= 5 ? brand - 1 : 5;
        const int x = brand == 1 || brand == 2 ? 52 : 45;
        m_drawnImages.push_back({Named(u"주유소%d", image).GetString(), x, kRowY[i]});
        if (dc && m_fuel[image]) m_fuel[image]->Draw(dc->GetSafeHdc(), x, kRowY[i]);
    }
}

void CHighwayPanel::OnPaint() {
    CPaintDC dc(this);
    RECT rect;
    GetClientRect(&rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    Compose(&memory);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

BOOL CHighwayPanel::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CHighwayPanel::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenDown(point.x, point.y);
    Invalidate(FALSE);
    UpdateWindow();
}

void CHighwayPanel::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenUp(point.x, point.y);
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}
