// The main view's construction, window messages, skinned user-interface set-up, map-window set-up
// and the small operations the other parts of the shell call.
#include "app/CMainView.h"

#include "app/CGpsInfoDlg.h"
#include "app/CMainFrame.h"
#include "app/HighwayMode.h"
#include "app/HighwayPanel.h"
#include "app/LockSet.h"
#include "app/MainViewHighway.h"
#include "app/MainViewKeys.h"
#include "app/NaviApp.h"
#include "app/ViewKeys.h"
#include "app/MainViewPosition.h"
#include "app/UiWorkQueue.h"
#include "app/ViewPositionShell.h"
#include "app/ViewThreads.h"
#include "position/PositionWorkers.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/window/Shell.h"
#include "position/LocusRecorder.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"
#include "skinui/controls/NaviExLevelBar.h"
#include "skinui/controls/NaviGpsIcon.h"
#include "skinui/controls/NaviLevelBar.h"
#include "skinui/controls/NaviLevelTable.h"
#include "skinui/main/NaviMainScreen.h"

#include <cstdarg>

IMPLEMENT_DYNCREATE(CMainView, CView)

namespace {

CMainView* g_view = nullptr;

constexpr const char16_t* kTrailFile = u"\\My Documents\\Velko\\locus.bin";

// A string variant for the map window's automation-style calls; freed by the caller.
VARIANT StringVariant(const CString& text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength()));
    return v;
}

} // namespace

const char16_t* const CMainView::kFacilityLayers[10] = {
    u"NEIGH\\HOSP.MDC",    u"NEIGH\\PHARM.MDC",   u"NEIGH\\LPG.MDC",  u"NEIGH\\OIL.MDC",
    u"NEIGH\\SERVICE.MDC", u"NEIGH\\PARKING.MDC", u"NEIGH\\BANK.MDC", u"NEIGH\\HOTEL.MDC",
    u"NEIGH\\FASTFOOD.MDC", u"NEIGH\\SUBWAY.MDC"};
const char16_t* const CMainView::kPoiLayers[7] = {u"NEIGH\\POI_BANK.MDC",  u"NEIGH\\POI_REST.MDC",
                                                  u"NEIGH\\POI_HOTEL.MDC", u"NEIGH\\POI_SPORT.MDC",
                                                  u"NEIGH\\POI_HOSP.MDC",  u"NEIGH\\POI_CULTURE.MDC",
                                                  u"NEIGH\\POI_CAR.MDC"};
const char16_t* const CMainView::kTrafficLayers[4] = {u"DARC\\DARC_HIGHWAY.MDC", u"DARC\\DARC_NATIONAL.MDC",
                                                      u"DARC\\DARC_ETC2.MDC", u"DARC\\DARC_ETC4.MDC"};

CMainView::CMainView() {
    m_markers.reserve(20);
    g_view = this;
    m_config = CNaviConfig::GetInstance();
    m_keyAnswers = std::make_unique<CMainViewKeys>(*this);
    m_keys = std::make_unique<CViewKeys>(*m_keyAnswers);
    m_highwayAnswers = std::make_unique<CMainViewHighway>(*this);
}

CMainView::~CMainView() {
    // Whatever the path out, no worker outlives the view.
    CloseGpsDialog();
    ShutdownDevices();
    m_threads.reset();
    if (m_uiQueue) m_uiQueue->Detach();
    m_workers.reset();
    m_positionShell.reset();
    m_positionAnswers.reset();
    TearDownSkinnedUi();
    if (g_view == this) g_view = nullptr;
}

CMainView* CMainView::Get() { return g_view; }

// ---- window messages ----

int CMainView::OnCreate(LPCREATESTRUCT cs) {
    if (CView::OnCreate(cs) == -1) return -1;
    MoveSipToScreenBottom();
    return 0;
}

void CMainView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (!m_doc) m_doc = dynamic_cast<CMapDocState*>(GetDocument());
    ::GetClientRect(m_hWnd, &m_client);
    if (!m_mapWnd.m_hWnd)
        m_mapWnd.Create(AfxRegisterWndClass(0), u"", WS_CHILD | WS_VISIBLE, m_client, this, kMapWindowId);
}

void CMainView::OnSize(UINT type, int cx, int cy) {
    ::GetClientRect(m_hWnd, &m_client);
    SendMain(106, m_client.right - m_client.left, m_client.bottom - m_client.top);
    CView::OnSize(type, cx, cy);
    if (m_mapWnd.m_hWnd) m_mapWnd.MoveWindow(0, 0, cx, cy);
}

void CMainView::OnSetFocus(CWnd* oldWnd) {
    CView::OnSetFocus(oldWnd);
    if (CMainFrame* frame = CMainFrame::Get()) {
        frame->ShowFullScreen();
        frame->HideInputButton();
    }
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
}

void CMainView::OnKillFocus(CWnd*) {}

BOOL CMainView::OnEraseBkgnd(CDC*) { return TRUE; }

void CMainView::OnDraw(CDC*) {}

// ---- skinned user interface ----

void CMainView::SetUpSkinnedUi() {
    if (m_mainScreen) return;
    m_eventMode = static_cast<std::int16_t>(m_config->GetValue(42));
    m_locus = std::make_unique<CLocusRecorder>();
    m_markIcon = std::make_unique<CMapMarkIcon>();
    m_highwayPanel = std::make_unique<CHighwayPanel>();
    m_highwayMode = std::make_unique<CHighwayMode>(*m_highwayAnswers, *m_highwayPanel);
    m_highwayPanel->SetPagingCallback([this](int, CHighwayPanel*) { OnHighwayPaging(); });
    // The skin lives in "res" beside the program.
    char16_t module[260] = {};
    GetModuleFileNameW(nullptr, module, 260);
    CString folder(module);
    const int slash = folder.ReverseFind(u'\\');
    folder = slash >= 0 ? folder.Left(slash) : CString(u"\\Program Files\\Velko");
    CString skin;
    skin.Format(u"%s\\res", folder.GetString());
    m_mainScreen = new NaviMainScreen();
    m_mainScreen->CreateRcBuilder(m_config->GetInitialMenuCommand());
    m_mainScreen->OpenSkin(skin);
    m_mainScreen->SetListener(this);
    m_mainScreen->CreateControls();
    m_messageBox = std::make_unique<NaviMessageBox>();
    m_messageBox->Initialize(m_mainScreen->GetRcBuilder());
    m_commonDlg = std::make_unique<CNaviCommonDlg>();
    m_commonDlg->SetRcBuilder(m_mainScreen->GetRcBuilder());
    m_commonDlg->SetNaviListener(this);
    SetUpDialogWindows();
}

void CMainView::TearDownSkinnedUi() {
    // The buttons go back to the shell before the window that holds them goes.
    if (m_keys) m_keys->ReleaseKeys();
    m_highwayMode.reset();
    if (m_highwayPanel) m_highwayPanel->Release();
    m_highwayPanel.reset();
    TearDownDialogWindows();
    m_commonDlg.reset();
    if (m_messageBox) m_messageBox->Destruct();
    m_messageBox.reset();
    delete m_mainScreen;
    m_mainScreen = nullptr;
    m_markIcon.reset();
    m_locus.reset();
}

void CMainView::OpenMapAtDocument() {
    if (!m_doc) return;
    m_mapLevel = m_doc->mapLevel;
    m_carX = m_doc->vehicleX;
    m_carY = m_doc->vehicleY;
    if (m_mapWnd.m_hWnd) {
        m_mapWnd.BringWindowToTop();
        m_mapWnd.ShowWindow(SW_SHOW);
    }
    SetMapLevel(m_mapLevel);
    MoveMapTo(m_doc->mapX, m_doc->mapY, m_heading);
    if (m_mainScreen) m_mainScreen->SetSimulation(false);
    if (m_doc->mapX == m_doc->vehicleX && m_doc->mapY == m_doc->vehicleY)
        StartFollowing();
    else
        StopFollowing();
}

// ---- map window ----

bool CMainView::OpenMapLayers() {
    if (!m_doc) return false;
    VARIANT folder = StringVariant(m_doc->dataFolder);
    m_mapWnd.SetDataFolder(folder);
    VariantClear(&folder);
    CWaitCursor wait;
    for (const MapLayerRecord& record : m_doc->layers) {
        VARIANT name = StringVariant(record.name);
        m_mapWnd.OpenMapLayer(name, CMapWnd::kNextFreeIndex);
        VariantClear(&name);
        CMapLayerFile* layer = FindMapLayer(record.name);
        if (!layer) {
            // The map window reports nothing itself: a base-map layer that does not open ends
            // the start-up with the layer named.
            CString text(u"'%1' 지도를 읽을 수 없습니다.");
            text.Replace(u"%1", record.name.GetString());
            AfxMessageBox(text.GetString(), MB_ICONSTOP);
            return false;
        }
        const int kind = layer->GetKind();
        if (kind == 2 || kind == 5) {
            for (int k = 0; k < 11; ++k) {
                const std::uint8_t* entry = record.Entry(k);
                if (!entry[0]) continue;
                if (entry[2]) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(m_doc->Colour(entry[2]));
                }
                break;
            }
        } else if (kind == 3 || kind == 7) {
            const std::uint8_t* entry = record.Entry(9);
            if (entry[3]) {
                layer->SetBorder(1);
                layer->SetBorderColor(m_doc->Colour(entry[3]));
            }
        }
    }
    auto open = [this](const char16_t* file) {
        VARIANT name = StringVariant(CString(file));
        m_mapWnd.OpenMapLayer(name, CMapWnd::kNextFreeIndex);
        VariantClear(&name);
    };
    for (const char16_t* file : kFacilityLayers) open(file);
    for (const char16_t* file : kPoiLayers) open(file);
    for (const char16_t* file : kTrafficLayers) open(file);
    return true;
}

void CMainView::SetUpMapWindow() {
    if (m_mainScreen) m_mapWnd.SetSymbolManager(m_mainScreen->GetSymbolManager());
    if (m_doc) {
        m_mapWnd.SetBackColor(m_doc->backColor);
        m_mapWnd.SetTextColor(m_doc->textColor);
    }
    m_mapWnd.SetNightHours((m_config->GetValue(11) & 2) ? 1 : 0, m_config->GetValue(9), m_config->GetValue(10));
    if (m_mainScreen && m_doc) {
        NaviLevelTable table;
        table.records = m_doc->levelRecords.data();
        table.count = static_cast<int>(m_doc->levelRecords.size() / NaviLevelTable::kRecordSize);
        if (auto* bar = dynamic_cast<NaviLevelBar*>(m_mainScreen->FindControl(u"LevelBar"))) bar->SetLevelTable(table);
        if (auto* bar = dynamic_cast<NaviExLevelBar*>(m_mainScreen->FindControl(u"ExLevelBar")))
            bar->SetLevelTable(table);
    }
    if (m_doc) {
        m_mapLevel = m_doc->mapLevel;
        m_carX = m_doc->vehicleX;
        m_carY = m_doc->vehicleY;
    }
    m_viewMode = m_config->GetValue(0);
    m_mapWnd.m_mouseHook = &CMainView::MapPenHook;
    m_mapWnd.m_paintHook = &CMainView::MapPaintHook;
    m_mapWnd.m_prePaintHook = &CMainView::MapPrePaintHook;
}

void CMainView::MapPenHook(UINT message, UINT, int x, int y) {
    if (g_view) g_view->OnMapPen(message, x, y);
}

void CMainView::MapPaintHook(CDC* dc, int, int phase) {
    if (g_view) g_view->OnMapOverlay(dc, phase);
}

void CMainView::MapPrePaintHook() {
    if (g_view) g_view->UpdateDayNightColors();
}

void CMainView::CreatePositionServices() {
    if (m_positionShell) return;
    m_uiQueue = std::make_unique<CUiWorkQueue>();
    m_uiQueue->Attach(m_hWnd);
    m_positionAnswers = std::make_unique<CMainViewPosition>(*this);
    m_positionShell = std::make_unique<CViewPositionShell>(*m_positionAnswers, *m_config, *m_uiQueue);
    m_workers = std::make_unique<CPositionWorkers>(*m_positionShell);
    m_threads = std::make_unique<CViewThreads>(m_workers->Stop());
    // The reader wakes the ring's event; the reception worker waits on the table's.
    m_workers->TrafficRing().ForwardWakeTo(m_threads->WakeEvent());
    CreateBroadcastReception();
    // The route monitor redraws now and then while a map-display option is on.
    std::uint8_t display[4] = {0, 0, 0, 0};
    if (m_config) m_config->GetServiceFlags(display);
    m_displayOptionOn = display[0] || display[1] || display[2] || display[3];
    m_lockSet = std::make_unique<CLockSet>();
    m_lockSet->Create(3);
}

void CMainView::StartThreads() {
    if (!m_positionShell || m_shutDown || ThreadsStarted()) return;
    m_positionShell->StartThreads(*m_threads, *m_workers, m_download.get(), [this] { BroadcastReceptionCycle(); });
}

bool CMainView::ThreadsStarted() const { return m_threads && m_threads->IsStarted(ViewWorker::GpsReader); }

LRESULT CMainView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_uiQueue && m_uiQueue->HandleMessage(message)) return 0;
    return CView::WindowProc(message, wParam, lParam);
}

void CMainView::SaveTrail() {
    std::lock_guard trail(m_locusLock);
    if (m_locus) m_locus->Save(kTrailFile);
}

void CMainView::ShutdownDevices() {
    if (m_shutDown) return;
    m_shutDown = true;
    if (m_positionShell && m_workers) {
        // The workers stopped and joined first, then the reader's own shutdown, which saves the
        // trail and releases the route manager through the view's answers.
        m_positionShell->ShutdownDevices(*m_workers);
        // The table's wake event is closed with the workers joined.
        m_workers->TrafficRing().ForwardWakeTo(nullptr);
    } else {
        SaveTrail();
        m_routeManager.Release();
    }
    // Stores a download opened (not the reader's receiver mode) are saved too; closing destroys
    // the broadcast singletons after them.
    CloseBroadcastStores();
    // Work the workers posted last is dropped: the windows it would touch are going.
    if (m_uiQueue) m_uiQueue->Detach();
}

// ---- hardware keys ----

void CMainView::RegisterKeys() {
    m_keys->SetApplicationKeys({navi::g_appKeys[0], navi::g_appKeys[1], navi::g_appKeys[2], navi::g_appKeys[3]});
    m_keys->SetUseGapi(navi::g_gapiKeys != 0);
    m_keys->RegisterKeys();
}

void CMainView::ReleaseKeys() { m_keys->ReleaseKeys(); }

void CMainView::OnActivateView(BOOL activate, CView* activateView, CView* deactiveView) {
    if (!activate || !m_config->GetValue(34))
        ReleaseKeys();
    else
        RegisterKeys();
    if (activate) {
        // A destination another program handed over is taken whenever the view comes forward;
        // the start-up warning covers the screen at the first activation with the main screen up.
        ReadHandoverFile();
        ShowStartupWarning();
    }
    CView::OnActivateView(activate, activateView, deactiveView);
}

void CMainView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    m_keys->OnKeyDown(key);
    CView::OnKeyDown(key, repeat, flags);
}

void CMainView::OnKeyUp(UINT key, UINT repeat, UINT flags) {
    m_keys->OnKeyUp(key);
    CView::OnKeyUp(key, repeat, flags);
}

void CMainView::FaceHeadingUp() {
    std::int32_t x = (m_client.left + m_client.right) / 2, y = (m_client.top + m_client.bottom) / 2;
    if (m_mapWnd.ScreenToMap(x, y) < 0) m_mapWnd.GetCenter(x, y);
    m_mapWnd.SetCenterOffset(0, 0);
    constexpr double kPi = 3.14159265358979323846;
    m_mapWnd.SetCenter(x, y, kPi / 2 - m_heading * kPi / 180);
}

void CMainView::StoreMapCentre() {
    if (!m_doc) return;
    std::int32_t x = 0, y = 0;
    m_mapWnd.GetCenter(x, y);
    m_doc->mapX = x;
    m_doc->mapY = y;
}

// ---- highway panel ----

void CMainView::ShowHighwayPanel() {
    if (m_highwayMode) m_highwayMode->ShowHighwayPanel();
}

bool CMainView::IsHighwayAlert() { return m_highwayMode && m_highwayMode->IsHighwayAlert(); }

void CMainView::UpdateHighwayPanel(const GpsPosRecord& fix) {
    if (m_highwayMode) m_highwayMode->UpdateHighwayPanel(fix);
}

// ---- small operations ----

void CMainView::SendMain(int id, int param1, int param2) {
    if (!m_mainScreen) return;
    NaviCommand cmd;
    cmd.target = u"NaviMain";
    cmd.id = id;
    cmd.param1 = param1;
    cmd.param2 = param2;
    m_mainScreen->ProcessCommand(cmd);
}

void CMainView::StartFollowing() {
    m_followVehicle = true;
    m_followShared = true;
    SendMain(2000);
    if (m_mainScreen && m_mainScreen->GetMode() == 2004) m_pointPickMode = kPickMove;
}

void CMainView::StopFollowing() {
    m_followVehicle = false;
    m_followShared = false;
    SendMain(2001);
}

void CMainView::RestoreMainScreen() {
    SendMain(102);
    if (m_mapWnd.m_hWnd) m_mapWnd.UpdateWindow();
}

void CMainView::SetEventText(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    m_eventText.FormatV(format, args);
    va_end(args);
}

void CMainView::SetGpsState(int state) {
    m_gpsState = state;
    if (!m_mainScreen) return;
    if (auto* icon = dynamic_cast<NaviGpsIcon*>(m_mainScreen->FindControl(u"Gps"))) icon->SetReception(state);
    if (m_gpsDialog) m_gpsDialog->SetSignalQuality(state);
}

void CMainView::UpdateDisplayFlags() {
    const bool valid = m_config->GetTrafficValidFlag() != 0;
    m_trafficDisplay = m_config->IsBroadcastTrafficOn() || (valid && m_config->GetValue(14) != 0);
}

void CMainView::AddItem(AroundFacilityItem* item) {
    if (item) m_markers.emplace_back(item);
}

void CMainView::SetItem(int i, const AroundFacilityItem& item) {
    if (i < 0 || i >= static_cast<int>(m_markers.size())) return;
    AroundFacilityItem& marker = *m_markers[static_cast<std::size_t>(i)];
    marker.name = item.name;
    marker.x = item.x;
    marker.y = item.y;
    marker.value = item.value;
}

void CMainView::ForwardKey(int key) { OnKeyDown(static_cast<UINT>(key), 1, 0); }

bool CMainView::PointInClient(POINT p) const {
    return p.x >= m_client.left && p.x < m_client.right && p.y >= m_client.top && p.y < m_client.bottom;
}

CMapLayerFile* CMainView::FindMapLayer(const CString& file, int* index) {
    VARIANT name = StringVariant(file);
    const int i = m_mapWnd.FindLayerIndex(name);
    VariantClear(&name);
    if (index) *index = i;
    return m_mapWnd.GetLayer(i);
}

void CMainView::ShowLayerByName(const char16_t* file, bool show) {
    int index = -1;
    if (FindMapLayer(CString(file), &index)) m_mapWnd.ShowLayer(index, show ? 1 : 0);
}

void CMainView::SetVehicle(std::int32_t x, std::int32_t y, int heading) {
    m_carX = x;
    m_carY = y;
    if (heading >= 0) {
        m_heading = heading;
        m_headingIndex = heading / 10 % 36;
    } else {
        m_headingIndex = -1;
    }
}
