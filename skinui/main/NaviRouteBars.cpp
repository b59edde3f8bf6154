#include "skinui/main/NaviRouteBars.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

const char16_t* const kToolNames[6] = {u"출발지", u"경유지", u"목적지", u"경로탐색", u"경로탐색불가", u"이전"};
enum Tool { kStart, kVia, kDest, kSearch, kNoSearch, kBack, kBeginnerSearch, kBeginnerBack };

NaviControl* FindIn(const std::vector<NaviControl*>& controls, const CString& name) {
    for (NaviControl* c : controls)
        if (c->Name() == name) return c;
    return nullptr;
}

} // namespace

// --- tool button ---

NaviToolButton::NaviToolButton() {
    SetSize(33, 33);
}

int NaviToolButton::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviToolButton::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    CString name;
    name.Format(u"ToolBar\\%s", m_name.GetString());
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        image = nullptr;
    }
    SetImage(image);
}

void NaviToolButton::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y);
}

// --- route search bar ---

NaviRouteSearchBar::NaviRouteSearchBar() = default;

NaviRouteSearchBar::~NaviRouteSearchBar() {
    for (NaviControl* c : m_children) delete c;
}

NaviControl* NaviRouteSearchBar::FindChild(const CString& name) const {
    return FindIn(m_children, name);
}

void NaviRouteSearchBar::LoadImages(NaviRcBuilder* builder) {
    const int height = builder ? builder->GetScreenHeight() : 320;
    const int width = builder ? builder->GetScreenWidth() : 240;
    NaviControl::SetPos(42, height - 39);
    for (NaviControl* c : m_children) delete c;
    m_children.clear();
    auto make = [&](const char16_t* name, int x, int w, int h) {
        auto* b = new NaviToolButton();
        b->SetName(name);
        b->SetVisible(false);
        b->SetSize(w, h);
        b->NaviControl::SetPos(x, m_y);
        b->SetPressFeedback(true);
        b->LoadImages(builder);
        m_children.push_back(b);
        return b;
    };
    for (int i = 0; i < 6; ++i) make(kToolNames[i], 42 + 33 * i, 33, 33);
    NaviControl* back = m_children[kBack];
    back->SetSize(31, 37);
    back->NaviControl::SetPos(width - 33, m_y);
    m_children[kNoSearch]->NaviControl::SetPos(m_x + 99, m_y);
    make(u"탐색_초보", m_x + 2, 121, 37);
    make(u"이전_초보", 171, 67, 37);
}

void NaviRouteSearchBar::SetPos(int x, int y) {
    NaviControl::SetPos(x, y);
    if (m_children.size() < 8) return;
    for (int i = 0; i < 6; ++i) m_children[i]->SetPos(x + 33 * i, y);
    m_children[kNoSearch]->SetPos(x + 99, y);
    m_children[kBack]->SetPos(207, y);
    m_children[kBeginnerSearch]->SetPos(x + 2, y);
    m_children[kBeginnerBack]->SetPos(171, y);
}

void NaviRouteSearchBar::UpdateVisibility() {
    if (m_children.size() < 8) return;
    for (NaviControl* c : m_children) c->SetVisible(false);
    if (m_simulating || m_followCar) return;
    if (m_mode == kCmdMenuBasic) {
        if (m_state == kCmdRouteIdle) {
            m_children[kBeginnerSearch]->SetVisible(true);
            if (m_backAvailable) m_children[kBeginnerBack]->SetVisible(true);
        }
        return;
    }
    m_children[kStart]->SetVisible(true);
    m_children[kVia]->SetVisible(true);
    m_children[kDest]->SetVisible(true);
    m_children[kSearch]->SetVisible(m_searchPossible);
    m_children[kNoSearch]->SetVisible(!m_searchPossible);
    if (m_backAvailable) m_children[kBack]->SetVisible(true);
}

void NaviRouteSearchBar::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdRouteIdle:
        m_state = kCmdRouteIdle;
        if (!cmd.text.IsEmpty()) m_backAvailable = true;
        break;
    case kCmdRouteGuiding:
        m_state = kCmdRouteGuiding;
        m_searchPossible = false;
        break;
    case kCmdScreenSize: SetPos(42, cmd.param2 - 39); break;
    case kCmdFollowCar:
        m_followCar = true;
        m_state = kCmdRouteGuiding;
        break;
    case kCmdFollowOff: m_followCar = false; break;
    case kCmdSimulationOn: m_simulating = true; break;
    case kCmdSimulationOff: m_simulating = false; break;
    case kCmdMenuBasic:
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_mode = cmd.id; break;
    case kCmdRouteSearchOn: m_searchPossible = true; break;
    case kCmdRouteSearchOff: m_searchPossible = false; break;
    default: break;
    }
    UpdateVisibility();
}

int NaviRouteSearchBar::HitTest(int x, int y) {
    if (!m_visible) return 0;
    for (NaviControl* c : m_children)
        if (c->IsVisible() && c->HitTest(x, y)) {
            m_hitName = c->Name();
            return 1;
        }
    return 0;
}

void NaviRouteSearchBar::OnPenDown() {
    if (NaviControl* c = FindChild(m_hitName)) c->OnPenDown();
}

void NaviRouteSearchBar::Draw(CDC* dc) {
    for (NaviControl* c : m_children)
        if (c->IsVisible()) c->Draw(dc);
}

// --- waypoint bar ---

NaviWaypointBar::NaviWaypointBar() {
    m_names.reserve(kMaxWaypoints);
}

NaviWaypointBar::~NaviWaypointBar() {
    for (NaviControl* c : m_children) delete c;
}

NaviControl* NaviWaypointBar::FindChild(const CString& name) const {
    return FindIn(m_children, name);
}

void NaviWaypointBar::LoadImages(NaviRcBuilder* builder) {
    const int height = builder ? builder->GetScreenHeight() : 320;
    NaviControl::SetPos(72, height - 68);
    for (NaviControl* c : m_children) delete c;
    m_children.clear();
    if (!builder) return;
    builder->SetImageGroup(u"ToolBar");
    auto make = [&](const CString& name, int x, int y, int w, int h) {
        NaviCheckButton* b =
            builder->CreateCheckButton(name, true, true, false, x, y, w, h, false, false, nullptr, false, nullptr);
        b->SetTransparent(true);
        return b;
    };
    m_add = make(u"경유지추가", m_x, m_y, 0, 0);
    m_children.push_back(m_add);
    for (int i = 0; i < kMaxWaypoints; ++i) {
        CString name;
        name.Format(u"경유지%d", i + 1);
        m_points[i] = make(name, m_x, m_y - 22 * (i + 1), 57, 23);
        m_children.push_back(m_points[i]);
    }
    m_move = make(u"이동", m_x, m_y, 0, 0);
    m_delete = make(u"삭제", m_x, m_y, 0, 0);
    m_goTo = make(u"지점이동", m_x, m_y, 0, 0);
    m_children.push_back(m_move);
    m_children.push_back(m_delete);
    m_children.push_back(m_goTo);
    // The bar starts with nothing to show.
    Refresh();
}

void NaviWaypointBar::SetPos(int x, int y) {
    NaviControl::SetPos(x, y);
    if (!m_add) return;
    m_add->SetPos(x, y);
    m_delete->SetPos(x, y);
    m_move->SetPos(x, y);
    for (int i = 0; i < kMaxWaypoints; ++i) m_points[i]->SetPos(x, y - 24 * (i + 1));
}

int NaviWaypointBar::AddWaypoint(const CString& name) {
    if (static_cast<int>(m_names.size()) >= kMaxWaypoints) return -1;
    m_names.push_back(name);
    return 1;
}

int NaviWaypointBar::RemoveWaypoint(int index) {
    if (index < 0 || index >= static_cast<int>(m_names.size())) return -1;
    m_names.erase(m_names.begin() + index);
    return 1;
}

int NaviWaypointBar::Refresh() {
    m_current = -1;
    if (!m_add) return 0;
    for (NaviControl* c : m_children) c->SetVisible(false);
    const int count = static_cast<int>(m_names.size());
    for (int i = 0; i < count && i < kMaxWaypoints; ++i) m_points[i]->SetVisible(true);
    if (count == 0) return 0;
    m_add->SetVisible(true);
    m_current = count;
    return count;
}

void NaviWaypointBar::SelectWaypoint(const CString& name) {
    for (int i = 0; i < kMaxWaypoints; ++i) {
        NaviCheckButton* b = m_points[i];
        if (!b || b->Name() != name) continue;
        m_current = i;
        const POINT p = b->GetPos();
        const int x = p.x + b->GetSize().cx - 1;
        m_move->SetPos(x, p.y - 44);
        m_goTo->SetPos(x, p.y - 24);
        m_delete->SetPos(x, p.y - 4);
        m_move->SetVisible(true);
        m_goTo->SetVisible(true);
        m_delete->SetVisible(true);
        return;
    }
}

int NaviWaypointBar::HitTest(int x, int y) {
    for (NaviControl* c : m_children)
        if (c->IsVisible() && c->HitTest(x, y)) {
            m_hitName = c->Name();
            if (m_pressed) {
                // The pen is lifted over the control it went down on: act on it.
                m_pressed = false;
                NaviCommand cmd;
                cmd.target = kTargetWaypointBar;
                cmd.text = m_hitName;
                ProcessCommand(cmd);
            }
            return 1;
        }
    return 0;
}

void NaviWaypointBar::OnPenDown() {
    m_pressed = true;
    for (NaviCheckButton* b : m_points)
        if (b) b->SetChecked(false);
    for (NaviControl* c : m_children)
        if (c->IsVisible() && c->Name() == m_hitName) {
            c->OnPenDown();
            break;
        }
    for (NaviCheckButton* b : m_points)
        if (b && b->Name() == m_hitName) b->SetChecked(true);
}

void NaviWaypointBar::Draw(CDC* dc) {
    for (NaviControl* c : m_children)
        if (c->IsVisible()) c->Draw(dc);
}

void NaviWaypointBar::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target == kTargetWaypoints) {
        if (Refresh() > 0) m_visible = true;
        return;
    }
    if (cmd.target == kTargetWaypointBar) {
        const CString& t = cmd.text;
        if (t == u"이동" || t == u"삭제" || t == u"경유지추가" || t == u"지점이동") m_visible = false;
        else SelectWaypoint(t);
        return;
    }
    if (cmd.target != kTargetMain) return;
    switch (cmd.id) {
    case kCmdAddWaypoint: AddWaypoint(cmd.text); break;
    case kCmdClearWaypoints: ClearWaypoints(); break;
    case kCmdRemoveWaypoint: RemoveWaypoint(cmd.param1); break;
    case kCmdScreenSize: SetPos(72, cmd.param2 - 68); break;
    case kCmdFollowCar: m_visible = false; break;
    default: break;
    }
}
