// The highway traffic download: asks the user, fetches the link speeds from the traffic server
// (dialling a data call by the device and carrier when the first try finds no connection),
// saves them as "Traffic.bin", hands them to the traffic store and tells the user until when
// they are valid (one hour, counted on the tick count so that a clock correction cannot revive
// old traffic). Also the validity test and the body of the traffic database update thread.
#pragma once

#include "app/TrafficViewShare.h"
#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CNaviConfig;
class StopSignal;
class PauseGate;

struct DialUpEntry {
    std::u16string entry;
    std::u16string userName;
    std::u16string password; // empty: dialled without a login
};

class CTrafficDownload {
public:
    static constexpr int kValidMinutes = 60;
    static constexpr std::uint32_t kUpdatePeriodMs = 300000;

    CTrafficDownload(TrafficViewShare& view, CNaviConfig& config, int deviceType);

    // The dial-up entries tried for a device and carrier, in order (each only when the one
    // before failed).
    static std::vector<DialUpEntry> DialEntries(int deviceType, int carrier);
    // The carrier's text sent in the request ("011" ...; empty for an unknown carrier).
    static std::string CarrierText(int carrier);

    // The command. Returns the result of the last request (13 received, 9, 10, 11, 12), or 0
    // when the user declined.
    int DownloadTraffic();
    bool IsTrafficInfoValid();
    void ClearTrafficInfo();
    // The update thread's body: every 300,000 ms until the stop signal, passing gate (when
    // given) at the top of each turn.
    void TrafficDbUpdateThread(StopSignal& stop, PauseGate* gate = nullptr);

    // Host and port of the traffic server: device.ini "trafficserver=HOST[:PORT]".
    static void ServerAddress(std::string& host, int& port);
    // How long the server's reply may take: device.ini "traffictimeout=MS" (1-600000), else 0 for
    // the client's own 30 s.
    static std::uint32_t ReplyTimeout();
    bool HasDownload() const { return m_haveDownload; }
    int LastRecordCount() const { return m_lastRecords; }
    // Local wall time of the last download (for texts only).
    const SYSTEMTIME& DownloadLocalTime() const { return m_downloadLocal; }

private:
    bool Store(class CTrafficConnect& connection);
    bool HandleResult(int result);

    TrafficViewShare& m_view;
    CNaviConfig& m_config;
    int m_deviceType;
    bool m_haveDownload = false;
    std::uint64_t m_downloadTick = 0;
    int m_lastRecords = 0;
    SYSTEMTIME m_downloadLocal;
};
