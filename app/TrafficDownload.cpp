#include "app/TrafficDownload.h"

#include "app/RasConnection.h"
#include "config/NaviConfig.h"
#include "net/TrafficConnect.h"
#include "platform/base/CString.h"
#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/threads/Threads.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const char16_t kAsk[] = u"고속도로 정보를 수신 하겠습니까?";
const char16_t kNotSubscribedText[] = u"본 서비스는 유료이며  무선포탈(유료) 가입 후 사용하실 수 있습니다.";
const char16_t kNotPaidText[] = u"본 서비스는 유료 서비스입니다.유료 가입을 해 주세요.";
const char16_t kNoDataText[] = u"유효한 데이터가 없습니다. 잠시 후 사용해 주시기 바랍니다.";
const char16_t kNoConnectionText[] = u"인터넷 연결 환경을 확인 해 주십시오.";
const char16_t kValidText[] =
    u"한국도로공사로 부터 \"%d월%d일%d시%d분\" 에 받은 고속도로 정보로 1시간 동안 유효한 정보입니다.";
const char16_t kTrafficFile[] = u"\\My Documents\\Velko\\Traffic.bin";
constexpr int kYes = 4001;
const char* const kDefaultServer = "127.0.0.1";

} // namespace

CTrafficDownload::CTrafficDownload(TrafficViewShare& view, CNaviConfig& config, int deviceType)
    : m_view(view), m_config(config), m_deviceType(deviceType) {}

std::vector<DialUpEntry> CTrafficDownload::DialEntries(int deviceType, int carrier) {
    if (deviceType == 7 || deviceType == 23)
        return {{u"Internet 011", u"velko900@portal011.example", u"brisk472"},
                {u"Internet POZ", u"016", u"016"},
                {u"Internet POZ", u"019", u"019"},
                {u"KTF CDMA", u"016", u""}};
    if (deviceType == 22) return {{u"SK telecom", u"wendlecar", u""}};
    switch (carrier) {
    case 0: return {{u"011", u"wendlecar", u""}};
    case 1: return {{u"016", u"016", u""}};
    case 2: return {{u"017", u"plank583", u""}};
    case 3: return {{u"018", u"018", u""}};
    case 4: return {{u"019", u"019", u""}};
    default: return {};
    }
}

std::string CTrafficDownload::CarrierText(int carrier) {
    static const char* const texts[] = {"011", "016", "017", "018", "019"};
    return carrier >= 0 && carrier < 5 ? texts[carrier] : "";
}

void CTrafficDownload::ServerAddress(std::string& host, int& port) {
    const std::string setting = DeviceRoot::Setting("trafficserver", kDefaultServer);
    host = setting;
    port = CTrafficConnect::kDefaultPort;
    const std::size_t colon = setting.rfind(':');
    if (colon == std::string::npos) return;
    host = setting.substr(0, colon);
    const std::string digits = setting.substr(colon + 1);
    char* end = nullptr;
    const long p = std::strtol(digits.c_str(), &end, 10);
    if (!digits.empty() && end && *end == 0 && p > 0 && p < 65536) port = static_cast<int>(p);
}

std::uint32_t CTrafficDownload::ReplyTimeout() {
    const std::string setting = DeviceRoot::Setting("traffictimeout");
    char* end = nullptr;
    const long ms = std::strtol(setting.c_str(), &end, 10);
    return !setting.empty() && end && *end == 0 && ms > 0 && ms <= 600000 ? static_cast<std::uint32_t>(ms) : 0;
}

bool CTrafficDownload::Store(CTrafficConnect& connection) {
    connection.Save(kTrafficFile);
    if (!m_view.BroadcastStoresOpen()) m_view.OpenBroadcastStoresHeld();
    m_view.LoadHighWayTraffic(connection);
    m_view.PlayMessage(17);
    m_view.TrafficUpdated();
    m_downloadTick = TheClock().TickCount();
    GetLocalTime(&m_downloadLocal);
    m_haveDownload = true;
    m_lastRecords = connection.GetItemCount();
    return true;
}

// Shows the notice of a refusal; true for the results that end the command (all but 10).
bool CTrafficDownload::HandleResult(int result) {
    switch (result) {
    case CTrafficConnect::kNotSubscribed: m_view.ShowNotice(kNotSubscribedText); return true;
    case CTrafficConnect::kNotPaid: m_view.ShowNotice(kNotPaidText); return true;
    case CTrafficConnect::kNoData: m_view.ShowNotice(kNoDataText); return true;
    default: return false;
    }
}

int CTrafficDownload::DownloadTraffic() {
    CTrafficConnect connection;
    const int carrier = m_config.GetValue(33);
    std::uint8_t first[CTrafficConnect::kFieldSize] = {}, second[CTrafficConnect::kFieldSize] = {};
    const std::string carrierText = CarrierText(carrier);
    std::memcpy(first, carrierText.data(), carrierText.size());
    std::memcpy(second, "VELKO900", 8);
    connection.SetRequest(first, second);
    if (m_view.AskQuestion(kAsk) != kYes) return 0;

    std::unique_ptr<RasConnection> dialled;
    std::string host;
    int port = 0;
    ServerAddress(host, port);
    connection.SetServer(host.c_str(), port);
    connection.SetReplyTimeout(ReplyTimeout());
    m_view.SetWaitCursor(true);
    int result = connection.Request();
    m_view.SetWaitCursor(false);
    bool stored = false;
    if (result == CTrafficConnect::kReceived) {
        stored = Store(connection);
    } else if (result == CTrafficConnect::kFailed) {
        m_view.SetWaitCursor(true);
        const std::vector<DialUpEntry> entries = DialEntries(m_deviceType, carrier);
        for (const DialUpEntry& e : entries) {
            // A failed dial's connection is freed before the next entry is tried.
            auto ras = std::make_unique<RasConnection>();
            const bool ok = e.password.empty()
                                ? ras->DialEntry(e.entry.c_str(), e.userName.c_str())
                                : ras->DialEntryWithLogin(e.entry.c_str(), e.userName.c_str(), e.password.c_str());
            if (ok) {
                dialled = std::move(ras);
                break;
            }
        }
        result = connection.Request();
        m_view.SetWaitCursor(false);
        if (result == CTrafficConnect::kReceived)
            stored = Store(connection);
        else if (!HandleResult(result))
            m_view.ShowNotice(kNoConnectionText);
    } else {
        HandleResult(result);
    }
    if (dialled) dialled->HangUp();
    dialled.reset();
    connection.ClearServer();
    if (stored) {
        const SYSTEMTIME& at = m_downloadLocal;
        CString text;
        text.Format(kValidText, at.wMonth, at.wDay, at.wHour, at.wMinute);
        m_view.SetTrafficValidTime(kValidMinutes);
        m_view.ShowNotice(text);
    }
    return result;
}

bool CTrafficDownload::IsTrafficInfoValid() {
    if (!m_haveDownload) return false;
    const std::uint64_t minutes = (TheClock().TickCount() - m_downloadTick) / 60000;
    if (minutes < static_cast<std::uint64_t>(kValidMinutes)) return true;
    ClearTrafficInfo();
    return false;
}

void CTrafficDownload::ClearTrafficInfo() {
    if (!m_view.BroadcastStoresOpen()) return;
    m_haveDownload = false;
    m_view.SetTrafficValidTime(15);
}

void CTrafficDownload::TrafficDbUpdateThread(StopSignal& stop, PauseGate* gate) {
    while ((!gate || gate->Pass(&stop)) && stop.Sleep(kUpdatePeriodMs)) {
        if ((m_view.BroadcastStoresOpen() || m_view.BroadcastReceiverInUse() || IsTrafficInfoValid()) &&
            !m_view.HoldFlagSet())
            m_view.UpdateTrafficDB();
    }
}
