#include "app/RouteInfoDlg.h"

#include "app/CMainView.h"
#include "config/NaviConfig.h"
#include "platform/window/Window.h"
#include "route/RouteManager.h"
#include "route/base/InputPanel.h"
#include "platform/window/Shell.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/main/NaviMenuPages.h"
#include "skinui/screens/NaviControlTree.h"

namespace {

constexpr const char16_t* kPages = u"경로정보패널들";
constexpr const char16_t* kTabs = u"텝_경로탐색결과";
constexpr int kLabelStyle = 4;
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

struct TabRow {
    const char16_t* image;
    const char16_t* text;
};
constexpr TabRow kTabRows[CRouteInfoDlg::kMaxTabs] = {
    {u"텝_고속우선", u"고속"}, {u"텝_추천", u"추천"}, {u"텝_일반1", u"일반1"}, {u"텝_일반2", u"일반2"}};

constexpr const char16_t* kRowButtons[CRouteSummary::kRowsPerPage] = {u"1", u"2", u"3", u"4", u"5"};
constexpr const char16_t* kPointIcons[] = {u"출발지", u"목적지", u"경유지1", u"경유지2",
                                           u"경유지3", u"경유지4", u"경유지5"};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CRouteInfoDlg::kTemplate, info);
}

CString RowLabelName(int row) {
    CString name;
    name.Format(u"%d번째 구간정보", row + 1);
    return name;
}

} // namespace

CRouteInfoDlg::CRouteInfoDlg(CWnd* parent)
    : NaviDialog(kTemplate, parent, parent),
      m_roadNumberName([](int number) { return CString(CMainView::GetRoadNumberName(static_cast<short>(number))); }) {}

CRouteInfoDlg::~CRouteInfoDlg() {
    DeletePanel();
}

INT_PTR CRouteInfoDlg::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

CString CRouteInfoDlg::CompositionText(bool traffic, int highwayFlag) {
    if (traffic) return highwayFlag == 1 ? u"(교통)고속도로로 구성" : u"(교통)일반도로로 구성";
    return highwayFlag == 1 ? u"고속도로로 구성" : u"일반도로로 구성";
}

CString CRouteInfoDlg::DistanceText(int metres) {
    CString text;
    text.Format(u"%.2f Km", static_cast<double>(static_cast<float>(metres) * 0.001f));
    return text;
}

CString CRouteInfoDlg::ClockText(const CTime& time) {
    CString text;
    text.Format(u"%d시 %d분 %d초", time.GetHour(), time.GetMinute(), time.GetSecond());
    return text;
}

CString CRouteInfoDlg::RemainingText(int seconds) {
    // Whole hours however many days they make: a day-long route shows 24시간, not nothing.
    const int t = seconds < 0 ? 0 : seconds;
    const int hours = t / 3600;
    const int minutes = t / 60 - 60 * (t / 3600);
    const int rest = t - 60 * (t / 60);
    CString text;
    if (hours < 1)
        text.Format(u"%d분 %d초", minutes, rest);
    else
        text.Format(u"%d시간 %d분 %d초", hours, minutes, rest);
    return text;
}

bool CRouteInfoDlg::TabOf(int routeId, CString& image, CString& text) {
    if (routeId < 1 || routeId > kMaxTabs) return false;
    image = kTabRows[routeId - 1].image;
    text = kTabRows[routeId - 1].text;
    return true;
}

CRoute* CRouteInfoDlg::SelectedRoute() const {
    return m_routeManager ? m_routeManager->SelectedRoute() : nullptr;
}

const CString& CRouteInfoDlg::LabelText(const char16_t* name) const {
    static const CString empty;
    for (const auto& [label, text] : m_labels)
        if (label == name) return text;
    return empty;
}

void CRouteInfoDlg::SetLabel(const char16_t* name, const CString& text) {
    bool found = false;
    for (auto& [label, value] : m_labels)
        if (label == name) {
            value = text;
            found = true;
        }
    if (!found) m_labels.emplace_back(name, text);
    SendToPanel(name, kCmdSetLabelText, -1, text);
}

void CRouteInfoDlg::Close() {
    if (GetSafeHwnd())
        OnCancel();
    else
        SetActivationState(kActivationClosing);
}

void CRouteInfoDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    struct Closing {
        const char16_t* name;
        int action;
    };
    static constexpr Closing kClosing[] = {{u"경유지관리", 15}, {u"출발지이동", 13}, {u"목적지이동", 14},
                                           {u"현위치", 4},      {u"이전", 3},       {u"안내시작", 6},
                                           {u"경로취소", 5},    {u"전체경로", 9}};
    for (const Closing& c : kClosing)
        if (name == c.name) {
            m_action = c.action;
            Close();
            return;
        }
    if (name == u"경로요약") {
        m_action = 11;
        SwitchPage(true);
    } else if (name == u"<<이전") {
        SwitchPage(false);
    } else if (name == u"경로설정" || name == u"추가경로") {
        m_action = 7;
        Close();
    } else if (name == kTabs) {
        const int tab = cmd.param1;
        if (tab < 0 || tab >= m_tabCount) return;
        FillInfoPage(m_tabIds[tab]);
        if (m_summaryMode) BuildSummary();
    } else if (name == u"경로저장") {
        m_action = 8;
        Close();
    } else if (name == u"모의주행") {
        m_action = 10;
        Close();
    } else if (name == u"1" || name == u"2" || name == u"3" || name == u"4" || name == u"5") {
        // The rows only show.
    } else if (name == u"위로버튼") {
        if (m_currentPage < m_summary.PageCount()) ShowPage(m_currentPage + 1);
    } else if (name == u"아래로버튼") {
        if (m_currentPage > 1) ShowPage(m_currentPage - 1);
    } else {
        Close();
    }
}

void CRouteInfoDlg::SwitchPage(bool summary) {
    const HCURSOR old = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    if (summary) BuildSummary();
    SendToPanel(kPages, kCmdSelect, summary ? 1 : 0);
    m_summaryMode = summary ? 1 : 0;
    ::SetCursor(old);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CRouteInfoDlg::FillInfoPage(int routeId) {
    if (!m_routeManager) return;
    // Select the result with that id (0: the first).
    int index = 0;
    for (int i = 0; i < m_routeManager->GetRouteCount(); ++i)
        if (routeId != 0 && m_routeManager->GetResultId(i) == routeId) index = i;
    if (m_routeManager->GetRouteCount() > 0) m_routeManager->SelectResult(m_routeManager->GetResultId(index));
    const CRoute* route = SelectedRoute();
    const CRoutePath* path = route ? route->path.get() : nullptr;
    const int highway = path ? path->Header(CRoutePath::kHighway) : 0;
    SetLabel(u"탐색결과", CompositionText(route && route->useTraffic != 0, highway));
    SetLabel(u"전체거리값", DistanceText(path ? path->TotalLength() : 0));
    const CTime now = CTime::GetCurrentTime() + CTimeSpan(m_clockOffset);
    SetLabel(u"현재시각값", ClockText(now));
    const int t = m_estimatedSet ? m_estimatedSeconds : path ? path->TotalTime() : 0;
    SetLabel(u"잔여시간값", RemainingText(t));
    SetLabel(u"도착예정시각값", ClockText(now + CTimeSpan(t < 0 ? 0 : t)));
    CString text;
    text.Format(u"목적지 : %s", m_routeManager->GetGoalName().GetString());
    SetLabel(u"목적지", text);
    text.Format(u"경유지 : %s",
                m_routeManager->GetWaypointCount() > 0 ? m_routeManager->GetWaypointName(0).GetString() : u"");
    SetLabel(u"경유지", text);
    text.Format(u"출발지 : %s", m_routeManager->GetStartName().GetString());
    SetLabel(u"출발지", text);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CRouteInfoDlg::BuildSummary() {
    CRoute* route = SelectedRoute();
    if (!route || !route->path || !m_routeManager) return;
    if (!m_source) {
        if (!m_ownSource) m_ownSource = std::make_unique<CNetLinkSource>(m_dataFolder);
        m_source = m_ownSource.get();
    }
    std::vector<SummaryWaypoint> waypoints;
    for (int i = 0; i < route->waypoints.Count(); ++i)
        waypoints.push_back({route->waypoints[i].pos.mapId, route->waypoints[i].pos.linkId, route->waypoints[i].name});
    const HCURSOR old = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    m_summary.Build(*route->path, m_routeManager->GetStartName(), m_routeManager->GetGoalName(), waypoints, *m_source,
                    m_roadNumberName);
    ::SetCursor(old);
    m_currentPage = 1;
    ShowPage(1);
}

void CRouteInfoDlg::ShowPage(int page) {
    if (page < 1 || page > m_summary.PageCount()) return;
    m_currentPage = page;
    m_shown = m_summary.Layout(page);
    NaviPanel* panel = GetPanel();
    if (!panel) return;
    for (const char16_t* icon : CRouteSummary::kRoadIcons)
        if (NaviControl* c = FindControl(panel, CString(kPages) + u"/경로요약페이지/" + icon)) c->SetVisible(false);
    for (const char16_t* icon : kPointIcons)
        if (NaviControl* c = FindControl(panel, CString(kPages) + u"/경로요약페이지/" + icon)) c->SetVisible(false);
    for (int r = 0; r < CRouteSummary::kRowsPerPage; ++r) {
        auto* label = dynamic_cast<NaviLabel*>(FindControl(panel, CString(kPages) + u"/경로요약페이지/" + RowLabelName(r)));
        if (!label) continue;
        label->SetText(CString());
        if (r >= static_cast<int>(m_shown.rows.size())) continue;
        const SummaryRow& row = m_shown.rows[static_cast<std::size_t>(r)];
        label->SetText(row.text);
        label->SetStyle(kLabelStyle);
        label->MoveTo(row.labelX, row.labelY);
        if (!row.icon.IsEmpty() && row.icon != u"고속도로1" && row.icon != u"고속도로2") {
            if (NaviControl* icon = FindControl(panel, CString(kPages) + u"/경로요약페이지/" + row.icon)) {
                icon->MoveTo(row.iconX, row.iconY);
                icon->SetVisible(true);
            }
        }
    }
    if (NaviControl* up = FindControl(panel, CString(kPages) + u"/경로요약페이지/위로버튼")) up->SetVisible(m_shown.upShown);
    if (NaviControl* down = FindControl(panel, CString(kPages) + u"/경로요약페이지/아래로버튼"))
        down->SetVisible(m_shown.downShown);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CRouteInfoDlg::BuildInfoPage(NaviRcBuilder* b, NaviPanel* page) {
    b->SetImageGroup(u"RouteResult");
    page->AddChild(b->CreateFrameWnd(u"경로정보_타이틀", true, true, 0, 0, 0, 0));
    page->AddChild(b->CreateFrameWnd(u"회색라인", true, true, 15, 51, 0, 0));
    for (int y : {144, 169, 194}) page->AddChild(b->CreateFrameWnd(u"회색바", true, true, 19, y, 0, 0));
    b->SetImageGroup(u"AddressSearch");
    b->SetCheckGroup(u"버튼2");
    // Two rows above the tabs.
    BuildMessageButtons(b, page, GetPanel(), kMessageRowHigh, u"안내시작", u"모의주행", u"경로요약", u"안내시작",
                        u"모의주행", u"경로요약");
    const char16_t* again = m_uiType == 2004 ? u"경로설정" : u"추가경로";
    BuildMessageButtons(b, page, GetPanel(), kMessageRowLow, u"전체경로", again, u"경로취소", u"전체경로", again,
                        u"경로취소");
    b->SetImageGroup(u"RouteResult");
    struct LabelSpot {
        const char16_t* name;
        int x, y;
    };
    const LabelSpot labels[] = {{u"탐색결과", 17, 32},   {u"전체거리", 60, 58},      {u"현재시각", 59, 78},
                                {u"도착예정시각", 35, 98}, {u"잔여시간", 59, 118},    {u"전체거리값", 121, 58},
                                {u"현재시각값", 121, 78}, {u"도착예정시각값", 121, 98}, {u"잔여시간값", 121, 118},
                                {u"목적지", 29, 147},     {u"경유지", 29, 172},       {u"출발지", 29, 197}};
    for (const LabelSpot& l : labels) {
        NaviLabel* label = b->CreateLabel(l.name, l.x, l.y, 0, 14, kLabelColour, 0, 0, RGB(255, 255, 255));
        const bool caption = std::u16string_view(l.name) == u"전체거리" || std::u16string_view(l.name) == u"현재시각" ||
                             std::u16string_view(l.name) == u"도착예정시각" || std::u16string_view(l.name) == u"잔여시간";
        if (caption) label->SetText(l.name);
        page->AddChild(label);
    }
    if (m_routeManager && m_routeManager->GetRouteCount() == 1) {
        b->SetCheckGroup(u"이동버튼");
        page->AddChild(b->CreateCheckButton(u"목적지이동", true, true, true, 179, 146, 36, 18, false, false, GetPanel(),
                                            false, nullptr));
        if (m_routeManager->GetWaypointCount() > 0)
            page->AddChild(b->CreateCheckButton(u"경유지관리", true, true, true, 179, 171, 36, 18, false, false,
                                                GetPanel(), false, nullptr));
        page->AddChild(b->CreateCheckButton(u"출발지이동", true, true, true, 179, 196, 36, 18, false, false, GetPanel(),
                                            false, nullptr));
    }
}

void CRouteInfoDlg::BuildSummaryPage(NaviRcBuilder* b, NaviPanel* page) {
    b->SetImageGroup(u"AddressSearch");
    b->SetCheckGroup(u"버튼2");
    BuildMessageButtons(b, page, GetPanel(), kMessageRowLow, u"<<이전", u"안내시작", nullptr, u"<<이전", u"안내시작",
                        nullptr);
    b->SetImageGroup(u"RouteSummary");
    page->AddChild(b->CreateFrameWnd(u"경로요약타이틀", true, true, 0, 0, 62, 23));
    page->AddChild(b->CreateFrameWnd(u"경로목록타이틀", true, true, 14, 30, 58, 15));
    page->AddChild(b->CreateFrameWnd(u"경로리스트Bg", true, true, 13, 50, 214, 193));
    b->SetCheckGroup(u"경로리스트버튼");
    for (int r = CRouteSummary::kRowsPerPage - 1; r >= 0; --r)
        page->AddChild(b->CreateCheckButton(kRowButtons[r], true, true, true, CRouteSummary::kRowX,
                                            CRouteSummary::kRowY[r], 194, 25, true, false, GetPanel(), false, nullptr));
    for (int r = CRouteSummary::kRowsPerPage - 1; r >= 0; --r) {
        NaviLabel* label = b->CreateLabel(RowLabelName(r), CRouteSummary::kRowX + 5, CRouteSummary::kRowY[r] + 6, 175,
                                          25, kLabelColour, 0, 0, RGB(255, 255, 255));
        label->SetText(RowLabelName(r));
        page->AddChild(label);
    }
    NaviCheckButton* up = b->CreateCheckButton(u"위로버튼", false, true, true, 193, 62, 19, 21, false, false,
                                               GetPanel(), false, nullptr);
    NaviCheckButton* down = b->CreateCheckButton(u"아래로버튼", false, true, true, 193, 207, 19, 21, false, false,
                                                 GetPanel(), false, nullptr);
    page->AddChild(up);
    page->AddChild(down);
    const SIZE iconSizes[] = {{21, 17}, {29, 17}, {30, 21}, {30, 21}, {30, 21},
                              {30, 21}, {30, 21}, {30, 21}, {30, 21}, {30, 21}};
    for (int i = 0; i < 10; ++i) {
        NaviControl* icon = b->CreateCheckButton(CRouteSummary::kRoadIcons[i], false, false, false, 0, 0,
                                                 iconSizes[i].cx, iconSizes[i].cy, false, false, nullptr, false,
                                                 nullptr);
        page->AddChild(icon);
    }
    for (const char16_t* name : kPointIcons) {
        const std::u16string_view n(name);
        const int w = n == u"출발지" ? 21 : n == u"목적지" ? 20 : 25;
        NaviControl* icon = b->CreateFrameWnd(name, true, true, 0, 0, w, 21);
        icon->SetVisible(false);
        page->AddChild(icon);
    }
}

void CRouteInfoDlg::BuildTabs(NaviRcBuilder* b) {
    m_tabCount = 0;
    CString images[kMaxTabs], texts[kMaxTabs];
    const int results = m_routeManager ? std::min(m_routeManager->GetRouteCount(), kMaxTabs) : 0;
    for (int i = 0; i < results; ++i) {
        const int id = m_routeManager->GetResultId(i);
        // An id that has no tab (outside 1 to 4) is left out.
        if (!TabOf(id, images[m_tabCount], texts[m_tabCount])) continue;
        m_tabIds[m_tabCount++] = id;
    }
    if (!GetPanel()) return;
    b->SetTabGroup(u"RouteResult");
    b->SetImageGroup(u"RouteResult");
    auto* tabs = new NaviTabCtrl();
    tabs->AssignName(kTabs);
    tabs->SetPos(4, 284);
    tabs->SetSize(232, 29);
    tabs->SetPressFeedback(true);
    tabs->SetListener(GetPanel());
    if (m_tabCount > 0) {
        tabs->SetTabs(images, m_tabCount);
        tabs->SetTabTexts(texts, m_tabCount);
    }
    tabs->LoadImages(b);
    GetPanel()->AddChild(tabs);
}

BOOL CRouteInfoDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    if (const CNaviConfig* config = CNaviConfig::GetInstance()) m_dataFolder = config->GetDataFolder();
    CreatePanel(this);
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    if (root) root->SetListener(this);
    if (root && b) {
        if (!m_fromSearch) {
            b->SetImageGroup(u"Window");
            root->AssignName(GetPanelName());
            root->SetSize(b->GetScreenWidth(), b->GetScreenHeight());
            root->SetPos(0, 0);
            root->LoadImages(b);
            root->AddChild(b->CreateButton(u"현위치", true, true, true, false, 197, 3, 41, 32, root));
        } else {
            b->CreateTitledWindow(root, GetPanelName());
        }
        NaviItemList* pages = b->CreateItemList(kPages);
        pages->SetPos(18, 48);
        pages->SetSize(205, 236);
        NaviPanel* info = b->CreatePanel(u"경로정보페이지");
        NaviPanel* summary = b->CreatePanel(u"경로요약페이지");
        for (NaviPanel* p : {info, summary}) {
            p->SetPos(18, 48);
            p->SetSize(205, 236);
            p->SetTransparent(true);
            p->SetListener(root);
        }
        BuildInfoPage(b, info);
        BuildSummaryPage(b, summary);
        pages->AddItem(info);
        pages->AddItem(summary);
        summary->SetVisible(false);
        root->AddChild(pages);
        BuildTabs(b);
    } else {
        BuildTabs(nullptr);
    }
    HideTaskbar();
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    // The selected result's page and tab.
    const int selected = m_routeManager && SelectedRoute() && m_routeManager->SelectedIndex() >= 0
                             ? m_routeManager->GetResultId(m_routeManager->SelectedIndex())
                             : 0;
    FillInfoPage(selected);
    for (int i = 0; i < m_tabCount; ++i)
        if (m_tabIds[i] == selected) SendToPanel(kTabs, kCmdSelect, i);
    return TRUE;
}

void CRouteInfoDlg::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    Draw(&memory);
    // The highway shields of the summary rows, each with its road number.
    NaviPanel* panel = GetPanel();
    if (m_summaryMode && panel) {
        for (const SummaryIconSpot& spot : m_shown.spots) {
            auto* shield = dynamic_cast<NaviCheckButton*>(
                FindControl(panel, CString(kPages) + u"/경로요약페이지/" + CRouteSummary::kRoadIcons[spot.icon & 1]));
            if (!shield) continue;
            shield->MoveTo(spot.x, spot.y);
            shield->SetVisible(true);
            CString number;
            number.Format(u"%d", spot.roadNumber);
            shield->SetText(number);
            shield->SetShowText(true);
            shield->SetColors(0, 2, 0xFFFFFF, 11);
            shield->Draw(&memory);
            shield->SetVisible(false);
        }
    }
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void CRouteInfoDlg::OnDestroy() {
    m_summary = CRouteSummary();
    m_ownSource.reset();
    NaviDialog::OnDestroy();
}
