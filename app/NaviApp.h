// The application object: brings the system up in a fixed order (one instance per device root,
// Korean text, the handheld model, memory, the data folder on a storage card, the configuration
// store, the user-data lists, the main window's document, frame and view, the start sound and the
// view's first loading) and owns the process-wide values every other part reads.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/Afx.h"

#include <cstdint>
#include <functional>
#include <string>

class CAboutDlg;
class CNaviConfig;

// Process-wide values, written only by the start-up.
namespace navi {
extern std::int16_t g_deviceType;     // handheld model code (DetectDeviceType)
extern std::int16_t g_keyLayout;      // programmable application keys: 4, 3 or 2
extern std::uint8_t g_gapiKeys;       // 1: keys through GAPI input; 0: hot keys
extern std::uint16_t g_appKeys[4];    // virtual-key codes of the application buttons
extern CString g_dataFolder;          // "<card>\MapData"
extern CString g_cardFolder;          // the card "MapData" was found on
extern CString g_recentDestPath;      // the recent-destination file
extern UINT g_broadcastMessage;       // "DOVADEDAD_BRODCAST_MESSAGE" on device types 7 and 23
extern CFrameWnd* g_mainFrame;        // set by the main frame
extern CView* g_mainView;             // set by the main view
} // namespace navi

// The model row of an OEM string.
struct DeviceModel {
    std::int16_t type = 10;
    std::int16_t keyLayout = 3;
    std::uint8_t gapiKeys = 1;
};
// The handheld model of an OEM string, the first matching row deciding; platformCheck is asked
// only for the maker's own handheld (device type 21 when it answers true, else 9).
DeviceModel ClassifyDevice(const std::u16string& oem, const std::function<bool()>& platformCheck);

class CNaviApp : public CWinApp {
public:
    static constexpr std::uint64_t kMinimumFreeBytes = 15000000;
    // The exit code of a start-up that stopped (a second instance ends with 0).
    static constexpr int kStartFailed = 1;

    CNaviApp();
    ~CNaviApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    void OnAppAbout() override;

    // The start-up steps, in the order InitInstance runs them.
    // False when another instance runs on this device root (its window is brought forward).
    bool TakeInstanceMutex();
    bool IsKoreanSupported();
    void DetectDeviceType();
    // True for CE 4.20, false for 4.10, false with a message for anything else.
    bool CheckPlatformVersion();
    // Free store plus free memory against 15,000,000 bytes; false when the user chose to stop.
    bool CheckMemory();
    bool FindMapDataFolder();
    bool CreateConfigStore();
    void SetStorageLocation();
    bool OpenPilotDatabases();
    void LoadDeletedSafePoints();
    void LoadRecentDestinations();
    void LoadSafePoints();
    void SetupBluetoothPort();
    // At shutdown: "BtBrowserEnabled" back as it was found.
    void RestoreBtBrowserSetting();

    // The free bytes the memory check counts (exposed for tests).
    static std::uint64_t FreeBytes();
    bool PilotDatabasesReady() const { return m_pilotReady != 0; }
    std::int32_t BtPortNumber() const { return m_btPort; }
    std::int32_t SavedBtBrowserSetting() const { return m_savedBtBrowser; }

    // Set by a document template's view once its first loading has run.
    void SetViewInitialised(bool on) { m_viewInitialised = on; }
    bool IsViewInitialised() const { return m_viewInitialised; }

private:
    // Steps 12-19: the document template, the logo, the start sound and the view's first loading.
    bool StartMainWindow();
    void LoadList(const CString& path, bool deletedSafePoints, bool recent);

    std::uint8_t m_pilotReady = 0;
    CNaviConfig* m_config = nullptr;
    std::int32_t m_savedBtBrowser = -1;
    CAboutDlg* m_about = nullptr;
    std::int32_t m_btPort = 0;
    HANDLE m_instanceMutex = nullptr;
    bool m_viewInitialised = false;
};
