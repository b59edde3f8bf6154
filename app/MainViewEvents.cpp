// The status panel's information line, deleting the announced safe-driving section, the GPS log
// files, moves by location code and the point hand-over file.
#include "app/CMainView.h"

#include "app/DorvaMoveDlg.h"
#include "app/GuideDisabledPoints.h"
#include "app/MainDoc.h"
#include "app/PointRegDlg.h"
#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/main/NaviMainScreen.h"

#include <vector>

namespace {

constexpr int kEventStringSetting = 42;
constexpr int kQuestion = 3000;
constexpr int kNotice = 3001;
constexpr int kYes = 4001;
constexpr int kStringDorvaOutside = 211;
constexpr const char16_t* kDorvaPanel = u"도르바이동";
constexpr const char16_t* kUserFolder = u"\\My Documents\\Velko";

// The information kinds of the status line, modes 1 to 5.
constexpr const char16_t* kEventLabels[5] = {u"[행정구역]", u"[경위도]", u"[차량운행정보]", u"[도로정보]",
                                             u"[DORVA]"};

// What the Dorva dialog starts with, kept from one run to the next for the whole process: the
// three code texts and the point kind (4: move the map).
struct DorvaMemory {
    CString texts[3];
    int kind = CPointDialogBase::kTypeMove;
};

DorvaMemory& Dorva() {
    static DorvaMemory memory;
    return memory;
}

// Degrees, minutes and whole seconds of a network coordinate (hundredths of a second of arc).
void Dms(std::int32_t v, int& d, int& m, int& s) {
    if (v < 0) v = 0;
    d = v / 360000;
    m = v % 360000 / 6000;
    s = v % 6000 / 100;
}

// The free bytes the user may write in a folder; false when the query fails.
bool FreeBytes(const CString& folder, std::uint64_t& bytes) {
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExW(folder.GetString(), &free, nullptr, nullptr)) return false;
    bytes = free.QuadPart;
    return true;
}

} // namespace

// ---- the information line ----

void CMainView::NextEventString() {
    // Modes run 1 to 5 and back to 1; a stored value outside them (config.bin is the user's file)
    // starts again at 1 instead of counting on.
    m_eventMode = static_cast<std::int16_t>(m_eventMode >= 1 && m_eventMode < 5 ? m_eventMode + 1 : 1);
    if (m_mainScreen) {
        NaviCommand cmd;
        cmd.target = u"NaviMain";
        cmd.text = kEventLabels[m_eventMode - 1];
        cmd.control = u"EventString";
        cmd.id = kCmdEventHold;
        m_mainScreen->ProcessCommand(cmd);
    }
    m_config->SetValue(kEventStringSetting, m_eventMode);
    m_config->SaveSettings(-1);
}

// ---- the safe-driving section being announced ----

CString CMainView::PointNameText(std::int32_t netX, std::int32_t netY) {
    int ed = 0, em = 0, es = 0, nd = 0, nm = 0, ns = 0;
    Dms(netX, ed, em, es);
    Dms(netY, nd, nm, ns);
    CString text;
    text.Format(u"E%03d%02d%02d N%02d%02d%02d", ed, em, es, nd, nm, ns);
    return text;
}

void CMainView::DeleteSafeZoneSection() {
    auto* mark =
        m_mainScreen ? dynamic_cast<NaviSafeZoneMark*>(m_mainScreen->FindControl(u"SafeZone")) : nullptr;
    if (!mark) return;
    // The alert: the point's network x and y first (either below 1 is no alert), then its
    // heading, two further values and the point's kind.
    int x = 0, y = 0, heading = 0, extra = 0, level = 0, kind = 0;
    mark->GetAlertAll(&x, &y, &heading, &extra, &level, &kind);
    // Without an alert there is no point to switch off (the sign keeps a passed point's values).
    if (x < 1 || y < 1 || m_safeZoneKind.load() == 0) return;
    if (NaviMessageBox::ShowMessage(u"안전운행 구간을 삭제 하시겠습니까?", kQuestion) != kYes) return;

    CPointRegDlg adder(this);
    adder.SetPosition(x, y);
    adder.SetName(PointNameText(x, y));
    // Stored as kind, heading and the alert's next value: guidance matches switched-off points by
    // position and heading.
    if (!adder.AddRemovedSafeDrivePoint(static_cast<std::uint16_t>(kind), static_cast<std::uint16_t>(heading),
                                        static_cast<std::uint16_t>(extra)))
        return; // the list and the file stay as they were; the adder has told the user
    if (m_guide) {
        std::vector<CSafePointRecord> removed;
        const CSafePointList& list = CSafePointList::Removed();
        for (int i = 0; i < list.GetCount(); ++i)
            if (const CSafePointRecord* r = list.GetAt(i)) removed.push_back(*r);
        SetGuideDisabledPoints(*m_guide, removed);
    }
    mark->ResetBlink();
    m_safeZoneKind = 0;
}

// ---- GPS log files ----

bool CMainView::StartLog() {
    const CString folder = m_logPlace.load() == 0 ? CString(kUserFolder) : CString(m_config->GetDataFolder());
    // A log already open is kept: the file refuses a second opening.
    if (!m_logFile.Open(folder)) return false;
    m_logging = true;
    return true;
}

bool CMainView::StopLog() {
    const bool wasOn = m_logFile.Close();
    m_logging = false;
    return wasOn;
}

void CMainView::AppendLog(const char* bytes, int count) {
    m_logFile.Append(bytes, count);
}

CString CMainView::GetLogPath() const {
    return m_logFile.GetPath();
}

void CMainView::UpdateLogPanelMemory() {
    // The panel shows what it was given while it is up or logging.
    if (m_logPanel.open || m_logWanted.load()) return;
    FreeBytes(kUserFolder, m_logPanel.memoryFree);
    // The data card: the data folder's first component ("\Storage Card" of "\Storage Card\MapData").
    const CString data(m_config->GetDataFolder());
    int cut = data.GetLength();
    for (int i = 1; i < data.GetLength(); ++i)
        if (data[i] == u'\\' || data[i] == u'/') {
            cut = i;
            break;
        }
    FreeBytes(data.Left(cut), m_logPanel.cardFree);
    m_logPanel.logging = m_logging.load();
    m_logPanel.place = m_logPlace.load();
}

// ---- moves by Dorva code ----

void CMainView::GetDorvaCodeTexts(CString texts[3]) {
    for (int i = 0; i < 3; ++i) texts[i] = Dorva().texts[i];
}

void CMainView::MoveByDorvaCode(bool reenter) {
    for (;;) {
        if (!reenter) m_lastSearchName = kDorvaPanel;
        DorvaMemory& memory = Dorva();
        CDorvaMoveDlg dialog(this);
        dialog.SetPanelName(m_lastSearchName);
        if (m_mainScreen) dialog.SetRcBuilder(m_mainScreen->GetRcBuilder());
        dialog.SetType(memory.kind);
        dialog.SetAdvancedTabs(!m_mainScreen || m_mainScreen->GetMode() != kCmdMenuBasic);
        dialog.SetCodeTexts(memory.texts);
        dialog.SetDirectRoute(m_routeManager.HasGoal());
        if (dialog.DoModal() != IDOK) {
            // "현위치" asks for the vehicle again; any other way out goes back to the main screen.
            if (dialog.IsCurrentPosition())
                StartFollowing();
            else
                RestoreMainScreen();
            return;
        }
        dialog.GetCodeTexts(memory.texts);
        memory.kind = dialog.GetType();
        const int kind = memory.kind;
        StopAutoReturn();
        m_mediatorState = 0;

        std::int32_t x = 0, y = 0;
        DorvaCode code;
        if (!dialog.GetPosition(x, y, code)) {
            NaviMessageBox::ShowMessage(AfxLoadString(kStringDorvaOutside), kNotice);
            StartAutoReturn();
            return;
        }
        x = static_cast<std::int32_t>(static_cast<double>(x) * 1.2);
        if (x < 1 || y < 1) {
            StartAutoReturn();
            return;
        }

        if (!dialog.IsRouteNow()) {
            const int step = StepToLevel(8);
            const int level = step >= 0 ? step : m_mapLevel;
            StopFollowing();
            UseSelectedPoint(x, y, kind, CString(), true, level, 0);
            StartAutoReturn();
            m_pointPickMode = kind == CPointDialogBase::kTypeStart         ? kPickStart
                              : kind == CPointDialogBase::kTypeDestination ? kPickGoal
                              : kind == CPointDialogBase::kTypeWaypoint    ? kPickWaypoint
                                                                           : kPickMove;
            if (m_mainScreen) {
                NaviCommand cmd;
                cmd.target = u"NaviMain";
                cmd.text = m_lastSearchName;
                cmd.id = kCmdCloseMenus;
                m_mainScreen->ProcessCommand(cmd);
            }
            m_mapWnd.RequestRedraw(1);
            if (m_mapWnd.m_hWnd) m_mapWnd.UpdateWindow();
            return;
        }

        // Routed at once: the point named by its district.
        char answer[CAdminSearch::kAnswerSize] = {};
        CString name;
        if (m_adminSearch.DoSrch(x, y, answer)) name.Format(u"%s", CString(Cp949ToUtf16(answer)).GetString());
        bool taken = false;
        if (kind == CPointDialogBase::kTypeWaypoint) {
            taken = AddWaypoint(x, y, name);
        } else {
            // The route point operation takes its position from the view's last chosen point.
            SetChosenPoint(x, y);
            taken = SetRoutePointByKind(kind, name);
            if (taken) SearchRouteAndShow();
        }
        if (taken) return;
        reenter = true; // refused: the dialog again, on the same panel
    }
}

// ---- the hand-over file ----

int CMainView::ReadHandoverFile() {
    std::int32_t x = 0, y = 0;
    if (CMainDoc::TakeHandoverPoint(x, y)) {
        m_handoverPoint = POINT{x, y};
        UseSelectedPoint(x, y, -1, u"P", true, m_mapLevel, 0);
    }
    return 1;
}
