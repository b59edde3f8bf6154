#include "app/NaviApp.h"

#include "app/PositionStore.h"
#include "app/StorageLocation.h"

#include "app/AboutDlg.h"
#include "app/CInitGpsConfigDlg.h"
#include "app/MainDoc.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "app/ShellUtilities.h"
#include "app/CMainFrame.h"
#include "app/CMainView.h"
#include "app/LogoWnd.h"
#include "app/MainViewStart.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/files/SystemInfo.h"
#include "platform/sound/Sound.h"
#include "platform/store/ObjectStore.h"
#include "platform/store/Registry.h"
#include "platform/threads/Threads.h"
#include "platform/window/Shell.h"
#include "route/base/BinFile.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/main/NaviMainScreen.h"

#include <string_view>

namespace navi {
std::int16_t g_deviceType = 0;
std::int16_t g_keyLayout = 4;
std::uint8_t g_gapiKeys = 0;
std::uint16_t g_appKeys[4] = {};
CString g_dataFolder;
CString g_cardFolder;
CString g_recentDestPath;
UINT g_broadcastMessage = 0;
CFrameWnd* g_mainFrame = nullptr;
CView* g_mainView = nullptr;
} // namespace navi

namespace {

constexpr const char16_t* kInstanceName = u"Velko";
constexpr const char16_t* kUserFolder = u"\\My Documents\\Velko";
constexpr UINT kMainTemplate = 128;
constexpr DWORD kFolderAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
constexpr DWORD kNoMoreFiles = 18;
constexpr const char16_t* kBtApplications = u"SOFTWARE\\Widcomm\\BTConfig\\Applications";
constexpr const char16_t* kBtAutoConnect = u"SOFTWARE\\Widcomm\\BTConfig\\AutoConnect";

struct ModelRow {
    const char16_t* oem;
    int compare; // 0: the whole string; n: the first n characters
    std::int16_t type;
    std::int16_t keyLayout;
    std::uint8_t gapiKeys;
};

// In the order they are compared; the first match decides.
constexpr ModelRow kModels[] = {
    {u"Compaq iPAQ H3900", 0, 0, 4, 0},
    {u"Compaq iPAQ H3800", 0, 1, 4, 0},
    {u"Compaq iPAQ H3700", 0, 2, 4, 0},
    {u"CompaqCiPAQ H3600", 0, 2, 4, 0},
    {u"Compaq iPAQ H3600", 0, 2, 4, 0},
    {u"HP iPAQ h5000", 0, 8, 4, 0},
    {u"hp iPAQ h5000", 0, 8, 4, 0},
    {u"hp iPAQ h2200", 0, 14, 4, 0},
    {u"hp iPAQ h4150", 0, 20, 4, 0},
    {u"UBIQ-2000", 0, 6, 4, 1},
    {u"HP, Jornada 565", 15, 3, 4, 0},
    {u"HP,Jornada 540", 14, 4, 4, 0},
    {u"CB", 2, 7, 4, 0},
    {u"DOVADEDAD", 9, 7, 4, 0},
    {u"BRANNHOLT", 8, -1, 4, 0}, // 21 or 9 by the platform version
    {u"Pocket PC J670", 14, 5, 3, 0},
    {u"Mitac, Mio DigiWalker 338", 25, 11, 4, 0},
    {u"Mitac, Mio DigiWalker", 21, 19, 4, 0},
    {u"M3C205", 6, 12, 4, 0},
    {u"mycube-N110", 11, 15, 2, 0},
    {u"FUJITSU Pocket LOOX", 19, 16, 4, 0},
    {u"hp iPAQ h1940", 13, 17, 4, 0},
    {u"Intel(R) PXA260", 15, 18, 4, 0},
    {u"IXON", 4, 13, 4, 0},
    {u"LG-SC8000", 9, 22, 4, 0},
};

// Compares as wcscmp (whole) or wcsncmp (the first n characters) would.
bool Matches(std::u16string_view oem, const ModelRow& row) {
    const std::u16string_view key(row.oem);
    if (row.compare == 0) return oem == key;
    const auto n = static_cast<std::size_t>(row.compare);
    return oem.substr(0, n) == key.substr(0, n);
}

CString Joined(const CString& a, const char16_t* b) {
    CString s;
    s.Format(u"%s\\%s", a.GetString(), b);
    return s;
}

int StopBox(UINT stringId, UINT type = MB_OK | MB_ICONSTOP) {
    return AfxMessageBox(AfxLoadString(stringId).GetString(), type);
}

} // namespace

DeviceModel ClassifyDevice(const std::u16string& oem, const std::function<bool()>& platformCheck) {
    for (const ModelRow& row : kModels) {
        if (!Matches(oem, row)) continue;
        DeviceModel m;
        m.type = row.type >= 0 ? row.type : (platformCheck && platformCheck() ? 21 : 9);
        m.keyLayout = row.keyLayout;
        m.gapiKeys = row.gapiKeys;
        return m;
    }
    return DeviceModel{}; // 10, layout 3, GAPI keys
}

CNaviApp::CNaviApp() : CWinApp(u"Velko"), m_about(new CAboutDlg) {}

CNaviApp::~CNaviApp() {
    delete m_about;
    if (m_instanceMutex) CloseHandle(m_instanceMutex);
}

BOOL CNaviApp::InitInstance() {
    m_exitCode = kStartFailed;
    if (!TakeInstanceMutex()) {
        m_exitCode = 0; // the running instance carries on: nothing went wrong
        return FALSE;
    }
    if (!IsKoreanSupported()) {
        AfxMessageBox(u"This system does not support Korean language.\nPlease install the Korean support program first.",
                      MB_OK);
        return FALSE;
    }
    DetectDeviceType();
    if (navi::g_deviceType == 7 || navi::g_deviceType == 23)
        navi::g_broadcastMessage = RegisterWindowMessageW(u"DOVADEDAD_BRODCAST_MESSAGE");
    // Sockets need no start-up on this system.
    if (!CheckMemory()) return FALSE;
    if (!FolderExists(kUserFolder)) CreateDirectoryW(kUserFolder, nullptr);
    if (!FindMapDataFolder()) {
        StopBox(164);
        return FALSE;
    }
    if (!CreateConfigStore()) return FALSE;
    SetStorageLocation();
    OpenPilotDatabases();
    LoadDeletedSafePoints();
    LoadRecentDestinations();
    if (!StartMainWindow()) return FALSE;
    m_exitCode = 0;
    return TRUE;
}

int CNaviApp::ExitInstance() {
    MoveSipAboveMenuBar();
    delete m_about;
    m_about = nullptr;
    if (m_instanceMutex) {
        CloseHandle(m_instanceMutex);
        m_instanceMutex = nullptr;
    }
    // A quit that ended the message loop with the main window still up: frame, view (its workers
    // joined, the broadcast stores saved) and document go now, before what they read.
    if (m_pMainWnd) m_pMainWnd->DestroyWindow();
    const int code = CWinApp::ExitInstance();
    // View, frame and document are gone: nothing reads the configuration any more.
    CMainView::DestroyOwnSingletons();
    return code;
}

void CNaviApp::OnAppAbout() {
    if (!m_about) return;
    m_about->m_pParentWnd = nullptr;
    m_about->DoModal();
}

bool CNaviApp::TakeInstanceMutex() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceName);
    if (!mutex) return true; // no name to hold: run alone
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        if (HWND running = FindWindowW(nullptr, kInstanceName)) SetForegroundWindow(running);
        return false;
    }
    m_instanceMutex = mutex;
    return true;
}

bool CNaviApp::IsKoreanSupported() {
    const char bytes[] = {static_cast<char>(0xB0), static_cast<char>(0xA1)};
    const UINT codePage = IsValidLocale(1042, LCID_INSTALLED) ? CP_KOREAN : CP_ACP;
    char16_t wide[4] = {};
    const int n = MultiByteToWideChar(codePage, 0, bytes, 2, wide, 4);
    return n >= 1 && wide[0] == u'\uAC00';
}

void CNaviApp::DetectDeviceType() {
    char16_t oem[257] = {};
    if (!SystemParametersInfoW(SPI_GETOEMINFO, 256 * sizeof(char16_t), oem, 0)) oem[0] = 0;
    const DeviceModel m = ClassifyDevice(oem, [this] { return CheckPlatformVersion(); });
    navi::g_deviceType = m.type;
    navi::g_keyLayout = m.keyLayout;
    navi::g_gapiKeys = m.gapiKeys;
}

bool CNaviApp::CheckPlatformVersion() {
    OSVERSIONINFOW info;
    if (GetVersionExW(&info) && info.dwMajorVersion == 4) {
        if (info.dwMinorVersion == 20) return true;
        if (info.dwMinorVersion == 10) return false;
    }
    AfxMessageBox(u"not valid OBX Platform(neither .NET4.1 nor .NET4.2", MB_OK);
    return false;
}

std::uint64_t CNaviApp::FreeBytes() {
    // All 64 bits of both figures: a store with 4 GiB free is not short of room.
    ULARGE_INTEGER storeFree{};
    if (!GetDiskFreeSpaceExW(u"\\", nullptr, nullptr, &storeFree)) storeFree.QuadPart = 0;
    MEMORYSTATUSEX memory;
    if (!GlobalMemoryStatusEx(&memory)) memory.ullAvailPhys = 0;
    return storeFree.QuadPart + memory.ullAvailPhys;
}

bool CNaviApp::CheckMemory() {
    if (FreeBytes() >= kMinimumFreeBytes) return true;
    if (StopBox(153, MB_YESNO) == IDYES) return false;
    return StopBox(154, MB_YESNO) != IDNO;
}

bool CNaviApp::FindMapDataFolder() {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(u"\\*", &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    do {
        if ((found.dwFileAttributes & kFolderAttributes) != kFolderAttributes) continue;
        const CString card(found.cFileName);
        const CString data = Joined(card, u"MapData");
        if (!FolderExists(data.GetString())) continue;
        navi::g_cardFolder = card;
        navi::g_dataFolder = data;
        ok = true;
        break;
    } while (FindNextFileW(find, &found));
    if (!ok && GetLastError() != kNoMoreFiles)
        AfxMessageBox(u"An error occured while searching for flash cards", MB_OK);
    FindClose(find);
    return ok;
}

bool CNaviApp::CreateConfigStore() {
    m_config = CNaviConfig::GetInstance();
    if (!m_config) {
        StopBox(151, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_config->SetDeviceType(navi::g_deviceType);
    m_config->SetKeyLayout(navi::g_keyLayout);
    m_config->Load(navi::g_dataFolder.GetString());
    // A storage folder that is missing (a first start, a card taken out) is made again, and what
    // an older layout left behind is moved into it.
    const CString storage = m_config->GetItemPath(u"현재저장위치", -1);
    if (StorageFolderMissing()) MoveSavedDataFolders();
    if (!FolderExists(storage.GetString())) {
        AfxMessageBox(AfxLoadString(61219).GetString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CNaviApp::SetStorageLocation() {
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    store.Reload();
}

bool CNaviApp::OpenPilotDatabases() {
    struct Database {
        const char16_t* name;
        WORD sortOrders;
    };
    const Database databases[] = {{u"Velko900 Pilot1", 4}, {u"Velko900 Pilot2", 3}, {u"Velko900 Pilot3", 2},
                                  {u"Velko900 Pilot4", 2}};
    m_pilotReady = 1;
    for (const Database& d : databases) {
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, d.name, 0, 0, nullptr);
        if (db != INVALID_HANDLE_VALUE) {
            CloseHandle(db);
            continue;
        }
        SORTORDERSPEC specs[4];
        for (WORD i = 0; i < d.sortOrders; ++i) specs[i] = SORTORDERSPEC{(static_cast<CEPROPID>(i + 1) << 16) | CEVT_I4, 0};
        if (CeCreateDatabase(d.name, 0, d.sortOrders, specs) == 0) {
            StopBox(155, MB_OK | MB_ICONEXCLAMATION);
            m_pilotReady = 0;
            return false;
        }
    }
    return true;
}

void CNaviApp::LoadList(const CString& path, bool deletedSafePoints, bool recent) {
    CBinFile file;
    if (file.Open(path.GetString(), CBinFile::kModeRead) == 0) {
        if (recent) CRecentDestList::Instance().Load(file);
        else if (deletedSafePoints) CSafePointList::Removed().Load(file);
        else CSafePointList::Added().Load(file);
    } else {
        file.Create(path.GetString()); // an empty list from now on
    }
    file.Close();
}

void CNaviApp::LoadDeletedSafePoints() {
    CSafePointList::Removed().SetMode(1);
    LoadList(m_config->GetItemPath(u"안전운행지점(지운것)", -1), true, false);
}

void CNaviApp::LoadRecentDestinations() {
    navi::g_recentDestPath = CRecentDestList::FilePath(navi::g_deviceType, *m_config);
    LoadList(navi::g_recentDestPath, false, true);
}

void CNaviApp::LoadSafePoints() {
    LoadList(m_config->GetItemPath(u"안전운행지점", -1), false, false);
}

void CNaviApp::SetupBluetoothPort() {
    HKEY apps = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBtApplications, 0, KEY_READ, &apps) != ERROR_SUCCESS) return;
    DWORD port = 0;
    bool found = false;
    for (DWORD i = 0; !found; ++i) {
        char16_t name[64] = {};
        DWORD length = 64;
        if (RegEnumKeyExW(apps, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY app = nullptr;
        if (RegOpenKeyExW(apps, name, 0, KEY_READ, &app) != ERROR_SUCCESS) continue; // skipped
        char16_t service[64] = {};
        DWORD size = sizeof service, type = 0;
        if (RegQueryValueExW(app, u"Name", nullptr, &type, reinterpret_cast<BYTE*>(service), &size) == ERROR_SUCCESS &&
            type == REG_SZ && std::u16string_view(service) == u"Generic Serial") {
            size = sizeof port;
            found = RegQueryValueExW(app, u"ComPortNumber", nullptr, &type, reinterpret_cast<BYTE*>(&port), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_DWORD;
        }
        RegCloseKey(app);
    }
    RegCloseKey(apps);
    if (!found) return;
    m_btPort = static_cast<std::int32_t>(port);
    if (navi::g_deviceType == 0 || navi::g_deviceType == 1) return;
    CString subKey;
    subKey.Format(u"%s\\%04d", kBtAutoConnect, m_btPort);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.GetString(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return;
    DWORD value = 0, size = sizeof value, type = 0;
    m_savedBtBrowser = disposition == REG_OPENED_EXISTING_KEY &&
                               RegQueryValueExW(key, u"BtBrowserEnabled", nullptr, &type,
                                                reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                               type == REG_DWORD
                           ? static_cast<std::int32_t>(value)
                           : -1;
    const DWORD off = 0;
    RegSetValueExW(key, u"BtBrowserEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
    RegCloseKey(key);
}

void CNaviApp::RestoreBtBrowserSetting() {
    if (m_btPort == 0 || navi::g_deviceType == 0 || navi::g_deviceType == 1) return;
    CString subKey;
    subKey.Format(u"%s\\%04d", kBtAutoConnect, m_btPort);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.GetString(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    const DWORD value = m_savedBtBrowser == 1 ? 1 : 0;
    RegSetValueExW(key, u"BtBrowserEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

bool CNaviApp::StartMainWindow() {
    AddDocTemplate(new CSingleDocTemplate(kMainTemplate, RUNTIME_CLASS(CMainDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CMainView)));
    CCommandLineInfo command;
    ParseCommandLine(command);
    if (!ProcessShellCommand(command)) return false;
    SipShowIM(SIPF_OFF);
    LoadSafePoints();
    auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd);
    auto* view = frame ? dynamic_cast<CMainView*>(frame->GetActiveView()) : nullptr;
    auto* doc = view ? dynamic_cast<CMainDoc*>(view->GetDocument()) : nullptr;
    if (!view || !doc) return false;
    doc->SetDataFolder(navi::g_dataFolder);
    // The screen is the program's; the main screen's controls are made under the wait cursor.
    frame->HideTaskbarWindows();
    DoWaitCursor(1);
    view->SetUpSkinnedUi();
    DoWaitCursor(-1);
    // The logo covers the screen from here until the main window takes over.
    CLogoWnd logo;
    if (NaviMainScreen* screen = view->GetMainScreen(); screen && screen->GetRcBuilder())
        logo.SetImage(screen->GetRcBuilder()->LoadImage(u"Logo\\Logo"));
    if (logo.Create(frame)) {
        logo.ShowWindow(SW_SHOW);
        logo.Refresh();
    }
    SetupBluetoothPort();
    CInitGpsConfigDlg::RunInitialSetUp(*view, doc->GetVehicleStoredFlag() != 0);
    DoWaitCursor(1);
    CString sound;
    sound.Format(u"%s\\wave\\VelkoStart.wav", navi::g_dataFolder.GetString());
    PlaySoundW(sound.GetString(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT | SND_NOSTOP);
    const bool ok = InitViewFirstTime(*view, *doc);
    if (!ok) {
        if (logo.GetSafeHwnd()) logo.DestroyWindow();
        DoWaitCursor(-1);
        return false;
    }
    DoWaitCursor(-1);
    SetViewInitialised(true);
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    if (logo.GetSafeHwnd()) logo.DestroyWindow();
    return true;
}
