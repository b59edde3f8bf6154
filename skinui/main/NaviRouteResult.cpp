#include "skinui/main/NaviRouteResult.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

NaviBitmap* LoadNamed(NaviRcBuilder* builder, const CString& name) {
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

bool Inside(const RECT& r, int x, int y) {
    return PtInRect(&r, POINT{x, y}) != 0;
}

bool Accepts(NaviControl* c, int x, int y) {
    return c && c->IsVisible() && c->HitTest(x, y);
}

void DrawCentred(CDC* dc, const CString& text, int x, int y) {
    const SIZE size = dc->GetTextExtent(text);
    RECT r{x, y, x + size.cx, y + size.cy};
    dc->DrawText(text, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

// --- route result panel ---

NaviRouteResult::NaviRouteResult() {
    SetSize(64, 42);
}

NaviRouteResult::~NaviRouteResult() {
    for (auto& pair : m_rows)
        for (NaviBitmap*& image : pair) delete image;
    for (NaviBitmap* image : m_frames) delete image;
    delete m_start;
    delete m_info;
    delete m_more;
}

CString NaviRouteResult::FormatDistance(int metres) {
    CString text;
    text.Format(u"%3.1f", metres * 0.001);
    return text;
}

CString NaviRouteResult::FormatTime(int seconds) {
    // Hours wrap at a day: the rows show hours and minutes only.
    CString text;
    text.Format(u"%02d:%02d", seconds / 3600 - (seconds / 86400) * 24, seconds / 60 - (seconds / 3600) * 60);
    return text;
}

CString NaviRouteResult::GetDistanceText(int id) const {
    return id >= 1 && id <= kRoutes ? m_distance[id - 1] : CString();
}

CString NaviRouteResult::GetTimeText(int id) const {
    return id >= 1 && id <= kRoutes ? m_time[id - 1] : CString();
}

NaviCheckButton* NaviRouteResult::GetButton(const CString& name) const {
    for (NaviCheckButton* b : {m_start, m_info, m_more})
        if (b && b->Name() == name) return b;
    return nullptr;
}

void NaviRouteResult::LoadImages(NaviRcBuilder* builder) {
    SetPos(2, 72);
    if (!builder) return;
    for (int i = 0; i < kRoutes; ++i)
        for (int k = 0; k < 2; ++k) {
            CString name;
            name.Format(u"RouteResult\\%d_%d", i, k);
            delete m_rows[i][k];
            m_rows[i][k] = LoadNamed(builder, name);
        }
    for (int k = 0; k < 2; ++k) {
        CString name;
        name.Format(u"RouteResult\\오버%d", k);
        delete m_frames[k];
        m_frames[k] = LoadNamed(builder, name);
    }
    builder->SetImageGroup(u"RouteResult");
    auto make = [&](NaviCheckButton*& slot, const char16_t* name, int x) {
        delete slot;
        slot = builder->CreateCheckButton(name, false, true, false, x, 281, 76, 37, false, false, nullptr, false,
                                          nullptr);
        slot->SetTransparent(true);
    };
    make(m_info, u"경로정보", 81);
    make(m_start, u"안내시작", 160);
    make(m_more, u"추가경로", 2);
}

void NaviRouteResult::SetGuidanceBar(bool on) {
    m_guidanceBar = on;
    UpdateButtons();
}

void NaviRouteResult::UpdateButtons() {
    if (m_guidanceBar)
        for (NaviCheckButton* b : {m_start, m_info, m_more})
            if (b) b->SetVisible(false);
    if (m_shown || m_resultOnly)
        for (NaviCheckButton* b : {m_start, m_info, m_more})
            if (b) b->SetVisible(true);
    if (m_mode == kCmdMenuBasic && m_more) m_more->SetVisible(false);
}

void NaviRouteResult::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target != kTargetMain) return;
    const int id = cmd.id;
    if (id >= 1 && id <= kRoutes) {
        m_distance[id - 1] = FormatDistance(cmd.param1);
        m_time[id - 1] = FormatTime(cmd.param2);
        m_selected = id;
        bool present = false;
        for (int entry : m_order) present = present || entry == id;
        if (!present)
            for (int& entry : m_order)
                if (entry == 0) {
                    entry = id;
                    break;
                }
        return;
    }
    switch (id) {
    case kCmdRouteResultShow:
        m_shown = true;
        UpdateButtons();
        break;
    case kCmdRouteResultReset:
        m_shown = m_guidanceBar = m_resultOnly = false;
        m_order.fill(0);
        for (int i = 0; i < kRoutes; ++i) {
            m_distance[i].Empty();
            m_time[i].Empty();
        }
        break;
    case kCmdRouteFlag:
        // Only the four routes have flags.
        if (cmd.param1 >= 1 && cmd.param1 <= kRoutes) m_flags[cmd.param1 - 1] = cmd.param2;
        break;
    case kCmdGuidanceBarOff:
        m_guidanceBar = false;
        UpdateButtons();
        break;
    case kCmdResultOnly:
        m_resultOnly = true;
        UpdateButtons();
        break;
    case kCmdMenuBasic: m_mode = kCmdMenuBasic; break;
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_mode = kCmdMenuAdvanced; break;
    default: break;
    }
}

void NaviRouteResult::Draw(CDC* dc) {
    int y = m_y;
    for (int id : m_order) {
        if (id < 1 || id > kRoutes) continue;
        const int r = id - 1;
        if (!m_distance[r].IsEmpty()) {
            const int flagged = m_flags[r] ? 1 : 0;
            if (m_rows[r][flagged]) DrawImage(dc, m_x, y, m_rows[r][flagged]);
            if (id == m_selected && m_frames[flagged]) DrawImage(dc, m_x - 1, y - 1, m_frames[flagged]);
            const int oldMode = dc->SetBkMode(TRANSPARENT);
            DrawCentred(dc, m_distance[r], m_x + 25, y + 6);
            DrawCentred(dc, m_time[r], m_x + 25, y + 24);
            dc->SetBkMode(oldMode);
        }
        y += kRowStep;
    }
    if (m_shown || m_resultOnly) {
        m_transparent = true;
        for (NaviCheckButton* b : {m_more, m_info, m_start})
            if (b && b->IsVisible()) b->Draw(dc);
    }
}

int NaviRouteResult::HitTest(int x, int y) {
    m_hitCode = kRouteHitNone;
    if (!m_guidanceBar && !m_resultOnly) {
        if (!m_shown) return 1; // the panel on show without results takes every tap
        for (int i = 0; i < kRoutes; ++i) {
            const int id = m_order[i];
            if (id < 1 || id > kRoutes || m_distance[id - 1].IsEmpty()) continue;
            RECT row = m_rect;
            OffsetRect(&row, 0, kRowStep * i);
            if (Inside(row, x, y)) {
                m_hitCode = id;
                m_selected = id;
                return 1;
            }
        }
        if (!Inside(kBarRect, x, y)) return 0;
        if (Accepts(m_start, x, y)) m_hitCode = kRouteHitStart;
        else if (Accepts(m_info, x, y)) m_hitCode = kRouteHitInfo;
        else if (Accepts(m_more, x, y)) m_hitCode = kRouteHitMore;
        return 1;
    }
    if (!Inside(kBarRect, x, y)) return 0;
    if (Accepts(m_start, x, y)) m_hitCode = kRouteHitStartBar;
    else if (Accepts(m_info, x, y)) m_hitCode = kRouteHitInfoBar;
    else if (Accepts(m_more, x, y)) m_hitCode = kRouteHitMore;
    return 1;
}

void NaviRouteResult::OnPenDown() {
    NaviCheckButton* target = nullptr;
    switch (m_hitCode) {
    case kRouteHitInfo:
    case kRouteHitInfoBar: target = m_info; break;
    case kRouteHitStart:
    case kRouteHitStartBar: target = m_start; break;
    case kRouteHitMore: target = m_more; break;
    default: break;
    }
    if (target) target->OnPenDown();
}

// --- "지점등록" ---

NaviRouteResultButton::NaviRouteResultButton() {
    SetSize(31, 37);
}

int NaviRouteResultButton::HitTest(int x, int y) {
    if (m_hidden || m_suppressed) return 0;
    return Inside(m_rect, x, y) ? 1 : 0;
}

void NaviRouteResultButton::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    SetPos(174, builder->GetScreenHeight() - 39);
    CString name;
    name.Format(u"RouteResult\\%s", m_name.GetString());
    SetImage(LoadNamed(builder, name));
}

void NaviRouteResultButton::Draw(CDC* dc) {
    if (m_hidden || m_suppressed) return;
    DrawImage(dc, m_x, m_y);
}

void NaviRouteResultButton::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdScreenSize: SetPos(174, cmd.param2 - 39); break;
    case kCmdIndicatorHide: m_hidden = true; break;
    case kCmdIndicatorShow: m_hidden = false; break;
    case kCmdFollowCar: m_followCar = true; break;
    case kCmdFollowOff: m_followCar = false; break;
    case kCmdSimulationOn: m_simulating = true; break;
    case kCmdSimulationOff: m_simulating = false; break;
    case kCmdMenuBasic:
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_mode = cmd.id; break;
    default: break;
    }
    m_visible = !(m_followCar || m_simulating || m_mode == kCmdMenuBasic);
}

// --- "보행자" ---

NaviImageButton::NaviImageButton() {
    SetSize(50, 50);
}

int NaviImageButton::HitTest(int x, int y) {
    return Inside(m_rect, x, y) ? 1 : 0;
}

void NaviImageButton::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    m_screenHeight = builder->GetScreenHeight();
    SetPos(188, m_screenHeight - 78);
    CString name;
    name.Format(u"%s\\%s", builder->GetImageGroup().GetString(), m_name.GetString());
    SetImage(LoadNamed(builder, name));
}

void NaviImageButton::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y);
}

void NaviImageButton::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdScreenSize:
        m_screenHeight = cmd.param2;
        SetPos(188, m_screenHeight - 78);
        break;
    case kCmdFollowCar: SetPos(188, m_screenHeight - 78); break;
    case kCmdFollowOff:
        if (m_mode != kCmdMenuBasic) SetPos(188, m_screenHeight - 119);
        break;
    case kCmdMenuBasic:
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_mode = cmd.id; break;
    default: break;
    }
}
