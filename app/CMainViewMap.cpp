// The main view's map level, view mode, map moves and map taps.
#include "app/CMainView.h"

#include "app/CMainFrame.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "position/GuideManager.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/window/AfxControls.h"
#include "skinui/main/NaviMainScreen.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Bird's-eye viewing distance by level.
constexpr std::int32_t kBirdDistance[16] = {100000, 100000, 100000, 16000, 4000, 2000, 1000, 500,
                                            250,    130,    80,     50,    50,   50,   50,   50};
// The map window's three level masks by level.
constexpr int kMaskLevels[3][16] = {{1, 1, 1, 2, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13, 14, 15},
                                    {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13, 14},
                                    {1, 1, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13}};
// Side offset of the traffic arrows by level (0-16) and the lowest level of each traffic layer.
constexpr std::int32_t kTrafficOffset[17] = {1000, 1000, 1000, 700, 700, 700, 700, 600, 330,
                                             165,  85,   50,   50,  50,  50,  50,  100};
constexpr int kTrafficLowestLevel[4] = {0, 6, 8, 7};

int LevelIndex(int level) { return std::clamp(level, 0, 15); }

bool MenuOpen(const NaviMainScreen* screen) { return screen && !screen->GetMenuName().IsEmpty(); }

} // namespace

float CMainView::GetLevelScale(int level) const { return m_doc ? m_doc->LevelScale(level) : 0.0f; }

int CMainView::StepToLevel(int n) const {
    if (!m_doc || n < 1) return -1;
    int used = 0;
    for (int level = 1; level <= CMapDocState::kLevels; ++level)
        if (m_doc->LevelInUse(level) && ++used == n) return level;
    return -1;
}

int CMainView::NextUsedLevel(int from, int step) const {
    if (!m_doc) return -1;
    if (step > 0) {
        for (int level = from + 1; level <= kMaxLevel; ++level)
            if (m_doc->LevelInUse(level)) return level;
    } else {
        for (int level = from - 1; level >= 1; --level)
            if (m_doc->LevelInUse(level)) return level;
    }
    return -1;
}

void CMainView::SetMapLevel(int level, bool keepView) {
    const int i = LevelIndex(level);
    if (!keepView) {
        if (m_viewMode == 2) {
            m_mapWnd.SetViewMode(1);
            m_mapWnd.SetBirdViewDistance(kBirdDistance[i]);
        } else {
            if (m_viewMode != 1) m_viewMode = 0;
            m_mapWnd.SetViewMode(0);
            m_mapWnd.SetScale(GetLevelScale(level));
        }
    }
    m_mapWnd.SetLevelMasks(kMaskLevels[0][i], kMaskLevels[1][i], kMaskLevels[2][i]);
    if (m_doc) {
        for (const MapLayerRecord& record : m_doc->layers) {
            int index = -1;
            CMapLayerFile* layer = FindMapLayer(record.name, &index);
            if (!layer) continue;
            const std::uint8_t* entry = record.Entry(i);
            const int kind = layer->GetKind();
            if (entry[0] == 1 && !(keepView && kind == 4)) {
                m_mapWnd.ShowLayer(index, 1);
                layer->SetColor(m_doc->Colour(entry[1]));
                if (kind == 2 || kind == 5) layer->SetPenWidth(entry[3]);
            } else {
                m_mapWnd.ShowLayer(index, 0);
            }
        }
    }
    // Nearby facilities: the chosen category's layer only, and only above the fourth level in
    // use. A category outside the ten layers shows none.
    const bool facilities = level > StepToLevel(4);
    for (int k = 0; k < 10; ++k) ShowLayerByName(kFacilityLayers[k], facilities && k == m_facilityCategory);
    const bool pois = level > StepToLevel(6);
    const int poi = m_config->GetValue(3);
    for (int k = 0; k < 7; ++k) ShowLayerByName(kPoiLayers[k], pois && k == poi);
    if (!m_trafficDisplay || keepView) {
        for (const char16_t* file : kTrafficLayers) ShowLayerByName(file, false);
        m_trafficDrawn = false;
    } else {
        m_trafficDrawn = true;
        m_mapWnd.SetTrafficArrows(level > 7 ? 1 : 0);
        m_mapWnd.SetTrafficOffset(kTrafficOffset[std::clamp(level, 0, 16)]);
        for (int k = 0; k < 4; ++k) ShowLayerByName(kTrafficLayers[k], kTrafficLowestLevel[k] <= level);
    }
}

void CMainView::ApplyViewMode(int mode) {
    const int i = LevelIndex(m_mapLevel);
    switch (mode) {
    case 0:
        m_heading = 0;
        m_mapWnd.SetViewMode(0);
        m_mapWnd.SetScale(GetLevelScale(m_mapLevel));
        break;
    case 1:
        m_mapWnd.SetViewMode(0);
        m_mapWnd.SetScale(GetLevelScale(m_mapLevel));
        break;
    case 2:
        m_mapWnd.SetViewMode(1);
        m_mapWnd.SetBirdViewDistance(kBirdDistance[i]);
        break;
    default:
        m_viewMode = 0;
        m_heading = 0;
        break;
    }
    SendMain(2035, m_viewMode);
    m_mapWnd.SetLevelMasks(kMaskLevels[0][i], kMaskLevels[1][i], kMaskLevels[2][i]);
}

void CMainView::CycleViewMode() {
    m_viewMode = (m_viewMode + 1) % 3;
    ApplyViewMode(m_viewMode);
    m_config->SetValue(0, m_viewMode);
    m_config->SaveSettings(-1);
    ApplyCurrentLevel();
    std::int32_t x = 0, y = 0;
    if (m_simulating && m_carX >= 0) {
        x = m_carX;
        y = m_carY;
    } else if (m_doc) {
        x = m_doc->mapX;
        y = m_doc->mapY;
    } else {
        m_mapWnd.GetCenter(x, y);
    }
    m_mapWnd.SetCenter(x, y, kPi / 2 - (m_viewMode == 0 ? 0 : m_heading) * kPi / 180);
    if (!m_mapWnd.IsDragging()) {
        m_mapWnd.RequestRedraw(1);
        if (m_mapWnd.m_hWnd) m_mapWnd.UpdateWindow();
    }
}

void CMainView::MoveMapTo(std::int32_t x, std::int32_t y, int heading) {
    const float scale = GetLevelScale(m_mapLevel);
    if (m_mapLevel < 4) {
        x = std::min<std::int32_t>(x, 1536000);
        y = std::min<std::int32_t>(y, 1600000);
    } else {
        x = std::min<std::int32_t>(x, 576000);
        y = std::min<std::int32_t>(y, 660000);
    }
    const bool split = m_mapWnd.IsSplit();
    if (m_doc && x == m_doc->mapX && y == m_doc->mapY && heading == m_lastHeading && split == m_lastSplit) {
        if (!split) m_mapWnd.RequestRedraw(0);
        return;
    }
    switch (m_viewMode) {
    case 0:
        heading = 0;
        m_mapWnd.SetScale(scale);
        break;
    case 1:
        // Kept in 0-35 also for a negative heading.
        m_headingIndex = ((heading / 10) % 36 + 36) % 36;
        m_mapWnd.SetScale(scale);
        break;
    case 2:
        m_headingIndex = ((heading / 10) % 36 + 36) % 36;
        break;
    default:
        break;
    }
    m_heading = heading;
    m_lastHeading = heading;
    m_lastSplit = split;
    if (m_doc && !m_pedestrianTargetScreen) {
        m_doc->mapX = x;
        m_doc->mapY = y;
    }
    if (m_eventDisplayState == 2) m_eventDisplayState = 0;
    m_mapWnd.SetCenter(x, y, kPi / 2 - heading * kPi / 180);
    if (!split) m_mapWnd.RequestRedraw(1);
}

void CMainView::TakeLevel(int level) {
    m_mapLevel = level;
    if (m_doc) m_doc->mapLevel = level;
    SetMapLevel(level);
}

bool CMainView::StepLevel(int step) {
    if (MenuOpen(m_mainScreen)) m_mainScreen->CloseMenu();
    int level = -1;
    if (step == 1) level = NextUsedLevel(m_mapLevel, 1);
    else if (step == 2) level = NextUsedLevel(m_mapLevel, -1);
    else if (step == 3) {
        m_exLevelBarShown = true;
        m_mapWnd.RequestRedraw(1);
    }
    if (level > 0) {
        TakeLevel(level);
        m_levelBarCountdown = 15;
        m_levelBarShown = true;
        m_mapWnd.RequestRedraw(1);
        StopAutoReturn();
    }
    return step == 1 || step == 2;
}

bool CMainView::SetLevelFromBar(int level) {
    if (level == 20) {
        m_exLevelBarShown = false;
        m_mapWnd.RequestRedraw(1);
        return true;
    }
    // The level tables hold levels 1 to 16.
    if (level < 1 || level > CMapDocState::kLevels || level == m_mapLevel) return false;
    if (MenuOpen(m_mainScreen)) m_mainScreen->CloseMenu();
    TakeLevel(level);
    m_levelBarCountdown = 15;
    m_levelBarShown = true;
    m_mapWnd.RequestRedraw(1);
    StopAutoReturn();
    return true;
}

void CMainView::OnMapPen(UINT message, int x, int y) {
    if (message == WM_LBUTTONDOWN) {
        m_penDown = POINT{x, y};
        NaviCommand cmd;
        cmd.target = kTargetPenDown;
        cmd.id = kCmdPenDown;
        cmd.param1 = x;
        cmd.param2 = y;
        if (m_mainScreen) m_mainScreen->ProcessCommand(cmd);
        return;
    }
    const bool menuOpen = MenuOpen(m_mainScreen);
    if (menuOpen) m_mainScreen->ResetIdleTicks();
    if (std::abs(x - m_penDown.x) > kSwipePixels) {
        if (x > m_penDown.x) ZoomIn();
        else ZoomOut();
        return;
    }
    if (std::abs(y - m_penDown.y) > kSwipePixels && !m_pedestrianTargetScreen) {
        if (menuOpen) return;
        // Follow the vehicle again.
        StartFollowing();
        if (m_carX >= 0 && m_carY >= 0) MoveMapTo(m_carX, m_carY, m_heading);
        return;
    }
    NaviCommand taken;
    if (m_mainScreen) {
        taken = m_mainScreen->OnTap(x, y);
        if (!m_mainScreen->TakeTaskbarShownEvent() && m_mainScreen->IsTaskbarShown()) {
            if (CMainFrame* frame = CMainFrame::Get()) frame->ShowFullScreen();
            m_mainScreen->SetTaskbarShown(false);
        }
    }
    if (taken.id >= 1) {
        if (m_mainScreen && m_mainScreen->IsExitRequested()) {
            // Inside a simulated drive the exit waits until the drive's loop has unwound.
            if (DeferExitDuringDrive()) return;
            CWaitCursor wait;
            ShutdownDevices();
            if (CMainFrame* frame = CMainFrame::Get()) frame->OnClose();
        }
        return;
    }
    if (m_pedestrianTargetScreen) return;
    std::int32_t mx = x, my = y;
    m_mapWnd.ScreenToMap(mx, my);
    if (mx < 0 || my < 0) {
        if (m_pointPickMode == kPickStart || m_pointPickMode == kPickGoal) m_pointPickMode = kPickMove;
        return;
    }
    auto name = [&]() {
        char answer[CAdminSearch::kAnswerSize] = {};
        if (m_adminSearch.DoSrch(mx, my, answer)) m_placeName = CString(Cp949ToUtf16(answer));
        return m_placeName;
    };
    switch (m_pointPickMode) {
    case kPickZoomIn:
    case kPickZoomOut: {
        StopFollowing();
        const int level = NextUsedLevel(m_mapLevel, m_pointPickMode == kPickZoomIn ? 1 : -1);
        if (level > 0) TakeLevel(level);
        MoveMapTo(mx, my, m_heading);
        return;
    }
    case kPickMove:
        if (!menuOpen) StartAutoReturn();
        StopFollowing();
        MoveMapTo(mx, my, m_heading);
        return;
    case kPickStart:
        StopFollowing();
        // A start refused on its road is not the user's start: the search takes the vehicle.
        if (!ConfirmPointOnTunnel(m_routeManager.SetStart(mx, my, name()), 0))
            m_routeManager.EditedRoute().startSet = 0;
        MoveMapTo(mx, my, m_heading);
        return;
    case kPickGoal:
        StopFollowing();
        if (m_pedestrianMode) {
            name();
            m_routeManager.SetPinnedPoint(mx, my);
            UpdatePedestrianDistance();
            if (m_guide) m_guide->Reset();
        } else {
            const int road = m_routeManager.SetGoal(mx, my, name());
            // Only a goal that was replaced is put back: a refused one left the old goal in place.
            if (!ConfirmPointOnTunnel(road, 1) && road >= 1) m_routeManager.RestorePrevGoal();
        }
        MoveMapTo(mx, my, m_heading);
        return;
    default:
        break;
    }
    const int mode = m_pointPickMode;
    if (!m_mainScreen || m_mainScreen->GetMode() != 2004) m_pointPickMode = kPickMove;
    if (mode == kPickWaypoint) {
        const CString place = name();
        MoveMapTo(mx, my, m_heading);
        AddWaypoint(mx, my, place);
    } else if (mode == kPickMoveWaypoint) {
        const CString place = name();
        MoveMapTo(mx, my, m_heading);
        MoveWaypointTo(mx, my, place);
    }
    m_pointPickMode = kPickMove;
}

void CMainView::MoveWaypointTo(std::int32_t x, std::int32_t y, const CString& name) {
    if (m_researchRunning) {
        NaviMessageBox::ShowMessage(AfxLoadString(32889), NaviMessageBox::kNotice);
        return;
    }
    const int index = m_movingWaypoint;
    if (index < 0 || index > 4) {
        NaviMessageBox::ShowMessage(u"경유지 선택이 잘못 되었습니다.", NaviMessageBox::kNotice);
        return;
    }
    if (NaviMessageBox::ShowMessage(u"경유지 이동 하시겠습니까?", NaviMessageBox::kQuestion) != NaviMessageBox::kYes)
        return;
    RouteWaypointVector& list = m_routeManager.EditedRoute().waypoints;
    const bool existed = index < list.Count();
    const RouteWaypoint old = existed ? list[index] : RouteWaypoint();
    const int result = m_routeManager.InsertWaypoint(x, y, name, index);
    if (result == CRouteManager::kRepeatedWaypoint) {
        NaviMessageBox::ShowMessage(u"중복된 경유지 선택입니다.", NaviMessageBox::kNotice);
        return;
    }
    if (result <= 0) {
        NaviMessageBox::ShowMessage(u"경유지 지점 설정을 실패 했습니다.", NaviMessageBox::kNotice);
        return;
    }
    if (ResearchRouteAndShowInfo()) return;
    // The route could not be searched with the moved waypoint: the old one as it was.
    if (existed)
        list[index] = old;
    else
        m_routeManager.RemoveWaypoint(index);
}

void CMainView::ApplyDisplaySettings(int pedestrianBefore, int result) {
    m_mapWnd.SetNightHours((m_config->GetValue(11) & 2) ? 1 : 0, m_config->GetValue(9), m_config->GetValue(10));
    m_viewMode = m_config->GetValue(0);
    ApplyViewMode(m_viewMode);
    const int pedestrian = m_config->GetValue(2);
    if (pedestrian != pedestrianBefore) m_pedestrianMode = pedestrian != 0;
    if (result == 3) RestoreMainScreen();
    ApplyCurrentLevel();
    m_mapWnd.RequestRedraw(1);
}
