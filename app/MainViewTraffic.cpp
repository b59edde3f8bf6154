// The view's side of the traffic broadcast: the reception worker's cycle with the frequency
// scanner's tuning, the receiver library's stores opened and closed under the stores lock, the
// singletons of the receiver and pages libraries destroyed in their order, and the traffic sheet
// with its title, map move and display options.
#include "app/CMainView.h"

#include "app/BroadcastReceiver.h"
#include "app/MainViewBroadcast.h"
#include "app/NaviApp.h"
#include "app/ShellUtilities.h"
#include "app/TrafficDownload.h"
#include "app/TrafficViewShare.h"
#include "net/TrafficConnect.h"
#include "position/GuideManager.h"
#include "app/TrafficSheetHost.h"
#include "app/UiWorkQueue.h"
#include "app/ViewThreads.h"
#include "config/NaviConfig.h"
#include "position/MRNetReader.h"
#include "position/NmeaParser.h"
#include "position/PositionWorkers.h"
#include "traffic/pages/DARCShortText.h"
#include "traffic/pages/DARCStock.h"
#include "traffic/pages/DARCTraffic.h"
#include "traffic/pages/DARCWeather.h"
#include "traffic/pages/SearchStock.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/ChannelInfo.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <mutex>

namespace {

constexpr const char16_t* kReceiverNeeded = u"교통정보 수신기를 사용해야 사용 할 수 있는 기능입니다.";
constexpr int kNoticeBox = 3001;

std::mutex g_recorderLock;
std::function<void(const char*)> g_recorder;

// The receiver library's stores as the view opens them: the data folder read from the
// configuration when they open, the display options copied into the traffic store, and every
// broadcast singleton destroyed after they are closed.
class CViewBroadcastStores : public CReceiverStores {
public:
    explicit CViewBroadcastStores(CMainView& view, CNaviConfig* config)
        : CReceiverStores(u""), m_view(view), m_config(config) {}

    void OpenStores() override {
        if (m_config) SetFolder(m_config->GetDataFolder());
        CReceiverStores::OpenStores();
        bool options[4];
        m_view.ReadTrafficDisplayOptions(options);
        CTraffic::instance()->SetDisplayOnOff(options);
    }

    void CloseStores() override {
        CReceiverStores::CloseStores();
        m_view.DestroyBroadcastSingletons(false);
    }

    // A broadcast packet replaced the downloaded traffic (under the stores lock already).
    void ClearDownloadedTraffic() override {
        CReceiverStores::ClearDownloadedTraffic();
        if (m_config) m_config->SetTrafficValidFlag(0);
    }

private:
    CMainView& m_view;
    CNaviConfig* m_config;
};

// The view's share of the highway traffic download: its questions and notices as the view's
// message boxes, the stores opened with the hold flag set, the traffic store used under the stores
// lock, and the download's time kept for the traffic sheet's title.
class CViewTrafficShare : public TrafficViewShare {
public:
    CViewTrafficShare(CMainView& view, CNaviConfig* config) : m_view(view), m_config(config) {}

    int AskQuestion(const char16_t* text) override { return m_view.CommandMessage(CString(text), 3000); }
    void ShowNotice(const char16_t* text) override { m_view.CommandMessage(CString(text), kNoticeBox); }
    // The command blocks the user-interface thread during the dial-up and the exchange: the
    // application's wait cursor shows it.
    void SetWaitCursor(bool on) override {
        if (on)
            m_view.BeginWaitCursor();
        else
            m_view.EndWaitCursor();
    }
    bool BroadcastStoresOpen() override { return m_view.BroadcastStoresOpen(); }
    void OpenBroadcastStoresHeld() override {
        m_hold = true;
        m_view.OpenBroadcastStores();
        m_hold = false;
    }
    bool HoldFlagSet() override { return m_hold.load(); }
    bool BroadcastReceiverInUse() override { return m_config && m_config->GetValue(32) != 0; }
    void LoadHighWayTraffic(const CTrafficConnect& connection) override {
        const TrafficConnectItems items(connection);
        if (CBroadcastReception* reception = m_view.BroadcastReception())
            reception->WhileStoresOpen([&] { CTraffic::instance()->LoadHighWayTraffic(items); });
    }
    // 60 after a download, 15 when it is cleared: the sheet's title and the traffic flag follow.
    void SetTrafficValidTime(int minutes) override {
        CBroadcastReception* reception = m_view.BroadcastReception();
        if (!reception) return;
        reception->WhileStoresOpen([&] { CTraffic::instance()->SetTrafficValidTime(minutes); });
        const bool valid = minutes >= CTrafficDownload::kValidMinutes;
        reception->SetDownloadTime(valid ? CTime::GetCurrentTime().GetTime() : 0);
        if (m_config) m_config->SetTrafficValidFlag(valid ? 1 : 0);
    }
    void UpdateTrafficDB() override {
        if (CBroadcastReception* reception = m_view.BroadcastReception())
            reception->WhileStoresOpen([] { CTraffic::instance()->UpdateTrafficDB(); });
    }
    // The download runs on the user-interface thread, as the other commands that announce
    // themselves through the guidance manager do.
    void PlayMessage(int message) override {
        if (CGuideManager* guide = m_view.GetGuideManager()) guide->PlayMessage(message, true);
    }
    void TrafficUpdated() override { m_view.RedrawWholeMap(); }

private:
    CMainView& m_view;
    CNaviConfig* m_config;
    std::atomic<bool> m_hold{false};
};

template <void (*Destroy)()>
void DestroyOne(const char* name) {
    Destroy();
    CMainView::RecordSingleton(name);
}

} // namespace

// ---- reception ----

void CMainView::CreateBroadcastReception() {
    if (m_reception) return;
    m_broadcastDecoder = std::make_unique<CReceiverDecoder>();
    m_broadcastStores = std::make_unique<CViewBroadcastStores>(*this, m_config);
    m_reception = std::make_unique<CBroadcastReception>(*m_broadcastDecoder, *m_broadcastStores);
    if (!m_tuningWriter && m_workers) {
        CPositionWorkers* workers = m_workers.get();
        m_tuningWriter = [workers](const char* bytes, int count) { return workers->WriteUnitPort(bytes, count); };
    }
    m_reception->SetWhileOpen([this] { TuneReceiver(*CFreqScanner::instance(), m_tuningWriter); });
    CBroadcastReception* reception = m_reception.get();
    SetReceptionLevelSource([reception] { return reception->ReceptionLevel(); });
    if (m_config) {
        m_trafficShare = std::make_unique<CViewTrafficShare>(*this, m_config);
        m_download = std::make_unique<CTrafficDownload>(*m_trafficShare, *m_config, navi::g_deviceType);
    }
}

void CMainView::DownloadTraffic(int) {
    if (m_download) m_download->DownloadTraffic();
}

void CMainView::BroadcastReceptionCycle() {
    if (m_reception && m_workers) m_reception->Cycle(m_workers->TrafficRing());
}

void CMainView::OpenBroadcastStores() {
    if (!m_reception) return;
    {
        std::lock_guard sheet(m_sheetLock);
        m_closeDeferred = false;
    }
    const bool wasOpen = m_reception->StoresOpen();
    m_reception->OpenBroadcastStores();
    if (wasOpen || !m_reception->StoresOpen()) return;
    SetDarcMatch(true);
    if (m_uiQueue) m_uiQueue->Post([this] { RedrawWholeMap(); });
}

void CMainView::CloseBroadcastStores() {
    if (!m_reception) return;
    // Decided and done under the sheet's lock, so the sheet cannot start on stores being closed.
    std::lock_guard sheet(m_sheetLock);
    if (m_sheetUp) {
        m_closeDeferred = true;
        return;
    }
    SetDarcMatch(false);
    m_reception->CloseBroadcastStores();
}

bool CMainView::BroadcastStoresOpen() const { return m_reception && m_reception->StoresOpen(); }

// ---- singletons ----

void CMainView::SetSingletonRecorder(std::function<void(const char*)> recorder) {
    std::lock_guard lock(g_recorderLock);
    g_recorder = std::move(recorder);
}

void CMainView::RecordSingleton(const char* name) {
    std::lock_guard lock(g_recorderLock);
    if (g_recorder) g_recorder(name);
}

void CMainView::DestroyBroadcastSingletons(bool alsoOwn) {
    DestroyOne<&CStock::destruct>("CStock");
    DestroyOne<&CTraffic::destruct>("CTraffic");
    DestroyOne<&CShortText::destruct>("CShortText");
    DestroyOne<&CWeather::destruct>("CWeather");
    DestroyOne<&CFreqScanner::destruct>("CFreqScanner");
    DestroyOne<&CMarkup::destruct>("CMarkup");
    DestroyOne<&CChannelInfo::destruct>("CChannelInfo");
    DestroyOne<&CDARCShortText::destruct>("CDARCShortText");
    DestroyOne<&CDARCStock::destruct>("CDARCStock");
    DestroyOne<&CDARCTraffic::destruct>("CDARCTraffic");
    DestroyOne<&CDARCWeather::destruct>("CDARCWeather");
    DestroyOne<&SearchStock::destruct>("SearchStock");
    DestroyOne<&CSheetStorage::destruct>("CSheetStorage");
    DestroyOne<&CDARC::destruct>("CDARC");
    if (alsoOwn) DestroyOwnSingletons();
}

void CMainView::DestroyOwnSingletons() {
    DestroyOne<&CMRNetReader::Destroy>("CMRNetReader");
    DestroyOne<&CNmeaParser::Destroy>("CNmeaParser");
    DestroyOne<&CNaviConfig::DestroyInstance>("CNaviConfig");
}

// ---- the traffic sheet ----

void CMainView::ReadTrafficDisplayOptions(bool options[4]) const {
    std::uint8_t flags[4] = {1, 1, 1, 1};
    if (m_config) m_config->GetServiceFlags(flags);
    for (int i = 0; i < 4; ++i) options[i] = flags[i] != 0;
}

void CMainView::StoreTrafficDisplayOptions(const bool options[4]) {
    if (m_config) {
        const std::uint8_t flags[4] = {std::uint8_t(options[0]), std::uint8_t(options[1]), std::uint8_t(options[2]),
                                       std::uint8_t(options[3])};
        m_config->SetServiceFlags(flags);
        m_config->SaveSettings(-1);
    }
    if (BroadcastStoresOpen()) CTraffic::instance()->SetDisplayOnOff(options);
}

void CMainView::ShowTrafficSheet(int fromMenu) {
    bool open = false;
    {
        std::lock_guard sheet(m_sheetLock);
        if (m_sheetUp) return; // already up
        open = BroadcastStoresOpen();
        m_sheetUp = open;
    }
    if (!open) {
        CommandMessage(CString(kReceiverNeeded), kNoticeBox);
        if (fromMenu) RestoreMainScreen();
        return;
    }
    const CTime download(m_reception->DownloadTime());
    const CTime now = CTime::GetCurrentTime();
    const CString title(traffic_sheet::Title(download, now).c_str());

    CSheetStorage* storage = CSheetStorage::instance();
    bool options[4];
    ReadTrafficDisplayOptions(options);
    storage->StoreDisplayOption(options);
    if (m_trafficSheetRunner) {
        m_trafficSheetRunner(title);
    } else {
        CTrafficSheetHost host(this);
        host.SetTitle(title, PointsBuilder());
        host.DoModal();
    }
    if (storage->IsMapMoveFlag()) ApplyTrafficMapMove();
    storage->RestoreDisplayOption(options);
    StoreTrafficDisplayOptions(options);
    bool close = false;
    {
        std::lock_guard sheet(m_sheetLock);
        m_sheetUp = false;
        close = m_closeDeferred;
        m_closeDeferred = false;
    }
    // The receiver was switched off while the sheet was up.
    if (close) CloseBroadcastStores();
}

void CMainView::ApplyTrafficMapMove() {
    CSheetStorage* storage = CSheetStorage::instance();
    StopAutoReturn();
    StopFollowing();
    if (const sMOVEMAP* move = storage->GetMapMove()) {
        const int level = StepToLevel(traffic_sheet::MapMoveStep(move->extent));
        if (level >= 0) SetLevel(level);
        // The offsets lie within one grid cell; anything else is not a place to go to.
        if (move->code > 0 && move->code <= INT16_MAX && move->x > 0 && move->x <= INT16_MAX && move->y > 0 &&
            move->y <= INT16_MAX) {
            POINT at{};
            if (CodeToPosition(static_cast<std::int16_t>(move->code), static_cast<std::int16_t>(move->x),
                               static_cast<std::int16_t>(move->y), at) &&
                at.x > 0 && at.y > 0)
                MoveMapTo(at.x, at.y, m_heading);
        }
    }
    storage->SetMapMoveFlag(0);
    StartAutoReturn();
}
