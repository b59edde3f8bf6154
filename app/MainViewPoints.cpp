// The user's own places as destinations: registered points, home, recent destinations, safe-driving
// points and typed coordinates.
#include "app/CMainView.h"

#include "app/LatLonMoveDlg.h"
#include "app/NaviApp.h"
#include "app/PointCommands.h"
#include "app/PointRegDlg.h"
#include "app/PointTabDlg.h"
#include "app/PositionStore.h"
#include "app/RecentDestList.h"
#include "app/RecentDestTab.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "position/GuideManager.h"
#include "route/base/Coords.h"
#include "skinui/main/NaviMainScreen.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kStringNotWhileParked = 181;
constexpr int kStringOutsideMap = 191;
constexpr int kStringRecentNotSaved = 61206;
constexpr int kMessageSafePointAdded = 21;
constexpr int kShowLevelStep = 8;

// What the coordinate dialog keeps between openings, for the whole process.
struct LatLonMemory {
    CString texts[CLatLonMoveDlg::kFieldCount];
    bool wgs84 = false;
    int type = CPointDialogBase::kTypeMove;
};
LatLonMemory g_latLon;

void Notice(const CString& text) { NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice); }

// Longitude and latitude of a network position in whole degrees, minutes and seconds.
void ToDms(std::int32_t v, int& d, int& m, int& s) {
    if (v < 0) v = 0;
    const std::int32_t seconds = v / 100; // network units are hundredths of a second of arc
    d = seconds / 3600;
    m = seconds % 3600 / 60;
    s = seconds % 60;
}

// The same entry: the same waypoint number and name, and the same place. A destination taken from
// the list comes back from the route through network coordinates, which can move its map
// position by a unit or two (about two metres), so the places are compared with that tolerance;
// exact equality would add the same destination again each time it is chosen.
bool SameRecentPlace(const CRecentDestRecord& a, const CRecentDestRecord& b) {
    constexpr std::int32_t kRoundTrip = 2;
    return a.kind == b.kind && std::memcmp(a.name, b.name, CRecentDestRecord::kNameSize) == 0 &&
           std::abs(a.x - b.x) <= kRoundTrip && std::abs(a.y - b.y) <= kRoundTrip;
}

// A name into a code-page-949 field of size bytes, cut before a character that would not fit whole.
void Cp949Field(const CString& text, char* field, std::size_t size) {
    const std::string bytes = Utf16ToCp949(text.Str());
    std::size_t n = 0;
    while (n < bytes.size()) {
        const std::size_t width = static_cast<unsigned char>(bytes[n]) >= 0x81 ? 2 : 1;
        if (n + width > size || n + width > bytes.size()) break;
        n += width;
    }
    std::memcpy(field, bytes.data(), n);
}

} // namespace

CString CMainView::SafePointName(std::int32_t netX, std::int32_t netY) {
    int ed = 0, em = 0, es = 0, nd = 0, nm = 0, ns = 0;
    ToDms(netX, ed, em, es);
    ToDms(netY, nd, nm, ns);
    CString name;
    name.Format(u"E%03d%02d%02d N%02d%02d%02d", ed, em, es, nd, nm, ns);
    return name;
}

NaviRcBuilder* CMainView::PointsBuilder() const { return m_mainScreen ? m_mainScreen->GetRcBuilder() : nullptr; }

void CMainView::ShowChosenPoint(std::int32_t x, std::int32_t y, int kind, const CString& name, int level) {
    StopFollowing();
    UseSelectedPoint(x, y, kind, name, true, level, 0);
    StartAutoReturn();
    if (m_mainScreen && m_mainScreen->GetMode() == 2004) {
        if (kind == CPointDialogBase::kTypeStart) m_pointPickMode = kPickStart;
        else if (kind == CPointDialogBase::kTypeDestination) m_pointPickMode = kPickGoal;
    }
    if (m_mainScreen) {
        NaviCommand cmd;
        cmd.target = u"NaviMain";
        cmd.text = m_lastSearchName;
        cmd.id = 100;
        m_mainScreen->ProcessCommand(cmd);
    }
    if (m_mapWnd.m_hWnd) m_mapWnd.UpdateWindow();
}

bool CMainView::RouteToChosenPoint(std::int32_t x, std::int32_t y, int kind, const CString& name) {
    if (kind == CPointDialogBase::kTypeWaypoint) return AddWaypoint(x, y, name);
    // The route point is set at the view's chosen point.
    SetChosenPoint(x, y);
    if (!SetRoutePointByKind(kind, name)) return false;
    SearchRouteAndShow();
    return true;
}

void CMainView::ShowRegisteredPoints(bool reenter, bool restoreOnRefusal) {
    if (m_simulating) {
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    CPositionStore& store = CPositionStore::Instance();
    if (store.GetFolderNames().empty() && store.GetCount() < 1) {
        Notice(u"등록된 지점이 없습니다");
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    for (;;) {
        if (!reenter) m_pointListState = PointListState{};
        m_lastSearchName = u"등록지점관리";
        CPointTabDlg dialog(this);
        dialog.SetRcBuilder(PointsBuilder());
        dialog.SetPanelName(u"등록지점관리");
        dialog.SetDirectRoute(m_routeManager.HasGoal());
        CPointTabDlg::ListState state;
        state.pointRow = m_pointListState.row;
        state.folderRow = m_pointListState.page;
        state.type = m_pointListState.kind;
        dialog.SetListState(state);
        const INT_PTR code = dialog.DoModal();
        const int result = dialog.GetResult();
        if (m_doc) m_doc->savedPositionsExist = store.GetCount() > 0;
        if (code == IDCANCEL) {
            m_pointListState = PointListState{};
            if (result == CPointTabDlg::kResultClosed) RestoreMainScreen();
            return;
        }
        const CPointTabDlg::ListState& kept = dialog.GetListState();
        m_pointListState = PointListState{kept.folderRow, kept.pointRow, kept.type};
        std::int32_t netX = 0, netY = 0;
        CString name;
        if (result == CPointTabDlg::kResultClosed || result == CPointTabDlg::kResultHere ||
            !dialog.GetSelectedPoint(netX, netY, name)) {
            if (result == CPointTabDlg::kResultClosed || result == CPointTabDlg::kResultHere)
                m_pointListState = PointListState{};
            if (result == CPointTabDlg::kResultClosed) RestoreMainScreen();
            return;
        }
        std::int32_t x = 0, y = 0;
        NetToMapCoord(netX, netY, x, y);
        const int level = StepToLevel(kShowLevelStep);
        if (result == CPointTabDlg::kResultShow) {
            ShowChosenPoint(x, y, m_pointListState.kind, name, level);
            return;
        }
        if (RouteToChosenPoint(x, y, m_pointListState.kind, name)) return;
        reenter = true; // refused: the list again, as it was left
    }
}

void CMainView::RegisterMapCenter() {
    std::int32_t x = 0, y = 0;
    m_mapWnd.GetCenter(x, y);
    if (x < 1 || y < 1) return;
    std::int32_t netX = 0, netY = 0;
    MapToNetCoord(x, y, netX, netY);
    if (netX < 1 || netY < 1) return;
    RegisterCurrentPoint(POINT{netX, netY});
}

void CMainView::RegisterCurrentPoint(const POINT& pos) {
    if (m_simulating) return;
    StopAutoReturn();
    StopFollowing();
    CPointRegDlg dialog(this);
    dialog.SetRcBuilder(PointsBuilder());
    dialog.SetPanelName(u"지점등록");
    char label[21] = {};
    if (m_mapWnd.m_hWnd && m_mapWnd.GetNearestLabel(label) > 0 && label[0] != '\0')
        dialog.SetName(CString(Cp949ToUtf16(std::string(label, strnlen(label, sizeof label - 1)))));
    else dialog.SetName(m_eventText);
    dialog.SetPosition(pos.x, pos.y);
    const INT_PTR code = dialog.DoModal();
    if (code == IDOK) {
        if (m_doc) m_doc->savedPositionsExist = CPositionStore::Instance().GetCount() > 0;
    }
    if (dialog.GetResult() == CPointRegDlg::kResultClosed) RestoreMainScreen();
    if (m_mapWnd.m_hWnd) m_mapWnd.RequestRedraw(1);
    StartAutoReturn();
}

void CMainView::GoToRegisteredName(const char16_t* entry, bool restoreOnRefusal) {
    if (m_pedestrianMode) {
        Notice(u"보행자 모드에서는 실행할수 없습니다.");
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    if (m_researchRunning.load()) {
        Notice(u"재탐색 중입니다. 탐색이 완료된 후 다시 시도하여 주십시요");
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    const CString wanted(entry);
    for (const CPosRecord& record : CPositionStore::Instance().GetAll()) {
        const CString name = CPointDialogBase::FromCp949(record.name, CPosRecord::kNameSize);
        if (name != wanted) continue;
        // The store keeps network coordinates; the route points are set in map coordinates.
        std::int32_t x = 0, y = 0;
        NetToMapCoord(record.x, record.y, x, y);
        if (m_routeManager.SetGoal(x, y, wanted) < 1) {
            ConfirmPointOnTunnel(0, 1); // no road there: the point question's notice
            if (restoreOnRefusal) RestoreMainScreen();
            return;
        }
        SearchRouteAndShow();
        return;
    }
    CString text;
    text.Format(u"등록지점 중 '%s' 항목이 없습니다. 새로 등록해 주십시오", entry);
    Notice(text);
    if (restoreOnRefusal) RestoreMainScreen();
}

void CMainView::GoHome(bool restoreOnRefusal) { GoToRegisteredName(u"집", restoreOnRefusal); }

void CMainView::GoFrequentPlace(bool restoreOnRefusal) { GoToRegisteredName(u"자주가는곳", restoreOnRefusal); }

void CMainView::ShowRecentDestinations(bool reenter, bool restoreOnRefusal) {
    if (m_simulating) {
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    if (CRecentDestList::Instance().GetCount() < 1) {
        Notice(u"등록된 최근목적지가 존재하지 않습니다.");
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    for (;;) {
        if (!reenter) m_recentSelection.Reset();
        m_lastSearchName = u"최근목적지";
        CSelectedPoint chosen;
        const int result =
            RunRecentDestinations(this, PointsBuilder(), m_routeManager.HasGoal(), m_recentSelection, chosen);
        if (result == CRecentDestTab::kClosed) {
            m_recentSelection.Reset();
            RestoreMainScreen();
            return;
        }
        if (result != CRecentDestTab::kShow && result != CRecentDestTab::kRouteNow) {
            m_recentSelection.Reset();
            return;
        }
        const CString name = CPointDialogBase::FromCp949(chosen.name, CSelectedPoint::kNameSize - 1);
        if (result == CRecentDestTab::kShow) {
            ShowChosenPoint(chosen.x, chosen.y, chosen.type, name, StepToLevel(kShowLevelStep));
            return;
        }
        if (RouteToChosenPoint(chosen.x, chosen.y, chosen.type, name)) return;
        reenter = true;
    }
}

void CMainView::AddRouteToRecentDestinations() {
    std::vector<CRecentDestRecord> records;
    auto add = [&records](const char* name, POINT pos, int number) {
        if (pos.x < 0 || pos.y < 0) return;
        CRecentDestRecord r;
        std::memcpy(r.name, name, CRecentDestRecord::kNameSize);
        r.x = pos.x;
        r.y = pos.y;
        r.kind = number;
        records.push_back(r);
    };
    // The waypoints' names and positions as the route's own list holds them.
    for (int i = 0; i < m_routeManager.GetWaypointCount(); ++i) {
        char name[CRecentDestRecord::kNameSize + 1] = {};
        Cp949Field(m_routeManager.GetWaypointLabel(i), name, CRecentDestRecord::kNameSize);
        add(name, m_routeManager.GetWaypointPos(i), i + 1);
    }
    add(m_routeManager.GetGoalNameA(), m_routeManager.GetGoalPos(), 0);
    if (records.empty()) return;

    CRecentDestList& list = CRecentDestList::Instance();
    auto byKey = [](const CRecentDestRecord& a, const CRecentDestRecord& b) { return a.values[0] < b.values[0]; };
    for (CRecentDestRecord& record : records) {
        const CRecentDestRecord* first = list.GetAt(0);
        const std::int32_t key = first ? first->values[0] - 1 : 0;
        int same = -1;
        for (int i = 0; i < list.GetCount(); ++i)
            if (SameRecentPlace(*list.GetAt(i), record)) {
                same = i;
                break;
            }
        if (same >= 0) {
            // Met again: it becomes the most recent entry, without a second copy.
            record = *list.GetAt(same);
            list.RemoveAt(same);
            record.values[0] = key;
            list.InsertAt(same, record);
        } else {
            record.values[0] = key;
            if (list.GetCount() >= kMaxRecentDestinations) list.RemoveAt(list.GetCount() - 1); // the oldest
            list.Add(record);
        }
        list.StableSort(byKey);
    }
    // Written aside and renamed over the old file: a failed save keeps the old list on disk.
    if (!list.SaveTo(navi::g_recentDestPath.GetString())) Notice(AfxLoadString(kStringRecentNotSaved));
}

void CMainView::MoveToLatLon(bool reenter) {
    for (;;) {
        if (!reenter) m_lastSearchName = u"경위도이동";
        CLatLonMoveDlg dialog(this);
        dialog.SetRcBuilder(PointsBuilder());
        dialog.SetPanelName(u"경위도이동");
        dialog.SetFieldTexts(g_latLon.texts);
        dialog.SetWgs84(g_latLon.wgs84);
        dialog.SetType(g_latLon.type);
        dialog.SetDirectRoute(m_routeManager.HasGoal());
        const INT_PTR code = dialog.DoModal();
        if (code != IDOK) {
            if (!dialog.IsCurrentPosition()) RestoreMainScreen();
            return;
        }
        dialog.GetFieldTexts(g_latLon.texts);
        g_latLon.wgs84 = dialog.IsWgs84();
        g_latLon.type = dialog.GetType();
        StopAutoReturn();
        StopFollowing();
        std::int32_t x = 0, y = 0;
        CLatLonMoveDlg::Angle lon, lat;
        if (!dialog.GetPosition(x, y, lon, lat)) {
            Notice(AfxLoadString(kStringOutsideMap));
            StartAutoReturn();
            return;
        }
        if (x < 1 || y < 1) return;
        if (!dialog.IsRouteNow()) {
            ShowChosenPoint(x, y, g_latLon.type, CString(), StepToLevel(kShowLevelStep));
            StartAutoReturn();
            return;
        }
        CString name;
        char answer[CAdminSearch::kAnswerSize] = {};
        if (m_adminSearch.DoSrch(x, y, answer))
            name.Format(u"%s", CString(Cp949ToUtf16(answer)).GetString());
        if (RouteToChosenPoint(x, y, g_latLon.type, name)) {
            StartAutoReturn();
            return;
        }
        reenter = true;
    }
}

bool CMainView::IsCarMoving() const {
    // Driving: guidance runs, or the receiver reports the car in motion.
    return m_simulating || m_guiding || (m_fixValid && m_fix.status == 'A' && m_fix.speed > 0);
}

void CMainView::AddSafeDrivePointHere() {
    if (!IsCarMoving()) {
        Notice(AfxLoadString(kStringNotWhileParked));
        return;
    }
    std::int32_t x = 0, y = 0;
    m_mapWnd.GetCenter(x, y);
    std::int32_t netX = 0, netY = 0;
    MapToNetCoord(x, y, netX, netY);
    CPointRegDlg adder(this);
    adder.SetPosition(netX, netY);
    adder.SetName(SafePointName(netX, netY));
    const int roadClass = m_roadKind == 5 ? 0 : m_roadKind;
    const int heading = m_heading < 0 ? 0 : m_heading % 360;
    // Stored as (0 a point of the user's, road class, heading).
    if (!adder.AddSafeDrivePoint(0, static_cast<std::uint16_t>(heading), static_cast<std::uint16_t>(roadClass)))
        return;
    if (m_doc) m_doc->safePointsExist = true;
    if (m_guide) m_guide->PlayMessage(kMessageSafePointAdded);
    if (m_mapWnd.m_hWnd) m_mapWnd.RequestRedraw(1);
}

void CMainView::ManageSafeDrivePoints(int reenter) {
    for (;;) {
        if (!reenter) m_safeSelection.Reset();
        m_lastSearchName = u"안전운행관리";
        CSafePointSelection chosen;
        bool restored = false;
        const int result = RunSafeDrivingPoints(this, PointsBuilder(), m_routeManager.HasGoal(), m_safeSelection,
                                                chosen, restored);
        if (result == 0) { // both lists empty: nothing opened
            Notice(u"등록/삭제된 안전운행 구간이 존재하지 않습니다.");
            RestoreMainScreen();
            return;
        }
        if (result == CSafeDrivingDlg::kCurrentPosition) return;
        if (result == CSafeDrivingDlg::kClosed) {
            RestoreMainScreen();
            return;
        }
        if (result != CSafeDrivingDlg::kShow && result != CSafeDrivingDlg::kRouteNow) return;
        const CString name = CPointDialogBase::FromCp949(chosen.name, CSelectedPoint::kNameSize - 1);
        if (result == CSafeDrivingDlg::kShow) {
            ShowChosenPoint(chosen.x, chosen.y, chosen.type, name, StepToLevel(kShowLevelStep));
            return;
        }
        if (RouteToChosenPoint(chosen.x, chosen.y, chosen.type, name)) return;
        reenter = 1;
    }
}
