#include "config/NaviConfig.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/store/ObjectStore.h"
#include "platform/store/StoreFile.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

CNaviConfig* g_instance = nullptr;

const char16_t kDayKey[] = u"기본지도색상";
const char16_t kNightKey[] = u"야간지도색상";

// Copies text into a 50-unit field, cut so that the field always ends with a terminator.
void SetField(char16_t* field, const char16_t* text) {
    std::memset(field, 0, CNaviConfig::kNameChars * sizeof(char16_t));
    if (!text) return;
    for (int i = 0; i < CNaviConfig::kNameChars - 1 && text[i]; ++i) field[i] = text[i];
}

bool Same(const char16_t* a, const char16_t* b) {
    return std::u16string_view(a) == std::u16string_view(b);
}

std::int32_t GetLe32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

void PutLe32(std::uint8_t* p, std::int32_t value) {
    const std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

CNaviConfig* CNaviConfig::GetInstance() {
    if (!g_instance) g_instance = new (std::nothrow) CNaviConfig;
    return g_instance;
}

void CNaviConfig::DestroyInstance() {
    delete g_instance;
    g_instance = nullptr;
}

CNaviConfig::CNaviConfig() : m_singleLock(std::make_unique<CSingleLock>(&m_lock)) {
    SetDefaultPaths();
}

CNaviConfig::~CNaviConfig() {
    m_singleLock.reset();
}

void CNaviConfig::SetDeviceType(int deviceType) {
    m_deviceType = deviceType;
    SetDefaultPaths();
}

void CNaviConfig::SetDefaultPaths() {
    const int t = m_deviceType;
    const bool flash = t == 9 || t == 21;
    const bool card = t == 7 || t == 23;
    SetField(m_memoryRoot, flash ? u"Flash Disk\\VelkoData" : u"My Documents\\VelkoData");
    SetField(m_routeFolderName, u"SaveRoute");
    SetField(m_positionName, u"position");
    SetField(m_safePointName, u"guidepoint");
    SetField(m_removedSafePointName, u"Dguidepoint");
    SetField(m_settingsFileName, u"config.bin");
    SetField(m_roadsName, u"itraffic.bin");
    SetField(m_stocksName, u"stock.bin");
    SetField(m_oldPositions, card    ? u"Storage Card\\MapData\\Position"
                             : flash ? u"My Documents\\Velko\\Position"
                                     : u"My Documents\\Velko\\position");
    SetField(m_oldPositions2, card ? u"Storage Card\\Position" : flash ? u"Flash Disk\\Position" : u"");
    SetField(m_oldSafePoints, u"My Documents\\Velko\\guidepoint");
    SetField(m_oldRemovedSafePoints, u"My Documents\\Velko\\Dguidepoint");
    SetField(m_oldSettingsFileName, u"config.bin");
    SetField(m_oldStocks, flash ? u"Program Files\\Velko\\stock.bin" : u"My Documents\\Velko\\stock.bin");
    SetField(m_oldRoads, flash ? u"Program Files\\Velko\\ITraffic.bin" : u"My Documents\\Velko\\itraffic.bin");
}

void CNaviConfig::SetDefaults() {
    std::memset(m_settings, 0, sizeof m_settings);
    std::memset(m_dayScheme, 0, sizeof m_dayScheme);
    std::memset(m_nightScheme, 0, sizeof m_nightScheme);
    static const struct {
        int index;
        std::int32_t value;
    } defaults[] = {{0, 2},   {3, 1},   {4, 8},   {5, -1},  {6, -1},  {7, -1},  {8, -1},  {9, 19},  {10, 7},
                    {11, 1},  {12, 1},  {14, 1},  {16, 5},  {17, 1},  {18, 1},  {20, 1},  {22, 1},  {23, 10},
                    {24, 9},  {25, 9},  {26, 7},  {27, 7},  {30, 1},  {34, 1},  {35, 1},  {36, 2},  {37, 17},
                    {42, 1},  {44, 1},  {45, 1},  {46, 1},  {47, 1},  {48, -1}, {49, 1},  {64, 1},  {65, 1},
                    {66, 1}};
    for (const auto& d : defaults) m_settings[d.index] = d.value;
    switch (m_deviceType) {
    case 7:
    case 23:
        m_settings[29] = 0;
        m_settings[30] = 1;
        m_settings[37] = 0;
        break;
    case 8:
    case 9:
    case 11:
        m_settings[29] = 5;
        m_settings[30] = 1;
        break;
    case 16:
        m_settings[29] = 4;
        m_settings[30] = 4;
        break;
    case 19:
        m_settings[29] = 1;
        m_settings[30] = 1;
        break;
    default:
        m_settings[29] = 0;
        m_settings[30] = 1;
        break;
    }
}

const char16_t* CNaviConfig::RootOf(int storage) const {
    if (storage == -1) storage = m_settings[64] != 0 ? 1 : 0;
    return storage == 0 ? m_memoryRoot : m_cardRoot;
}

CString CNaviConfig::GetItemPath(const char16_t* item, int storage) const {
    const char16_t* root = RootOf(storage);
    const std::u16string_view name = item ? item : u"";
    auto join = [](const char16_t* a, const char16_t* b) {
        CString s;
        s.Format(u"%s\\%s", a, b);
        return s;
    };
    if (name == u"등록지점") return join(root, m_positionName);
    if (name == u"안전운행지점") return join(root, m_safePointName);
    if (name == u"안전운행지점(지운것)") return join(root, m_removedSafePointName);
    if (name == u"환경설정") return join(root, m_settingsFileName);
    if (name == u"관심종목") return join(root, m_stocksName);
    if (name == u"관심도로") return join(root, m_roadsName);
    if (name == u"저장경로폴더명") return CString(m_routeFolderName);
    if (name == u"PDA") return CString(m_memoryRoot);
    if (name == u"저장장치") return CString(m_cardRoot);
    if (name == u"old등록지점") return CString(m_oldPositions);
    if (name == u"old등록지점2") return CString(m_oldPositions2);
    if (name == u"old안전운행지점") return CString(m_oldSafePoints);
    if (name == u"old안전운행지점(지운것)") return CString(m_oldRemovedSafePoints);
    if (name == u"old관심종목") return CString(m_oldStocks);
    if (name == u"old관심도로") return CString(m_oldRoads);
    if (name == u"old환경설정") return join(m_dataFolder, m_oldSettingsFileName);
    if (name == u"old저장경로") return join(m_dataFolder, u"SaveRoute");
    return CString(root); // "현재저장위치" and any other item
}

// The GPS reader reads the receiver settings from its own thread while a settings page may
// change them: single values are read and written as atomics.
std::int32_t CNaviConfig::GetValue(int index) const {
    if (index < 0 || index >= kSettingCount) return 0;
    return std::atomic_ref<const std::int32_t>(m_settings[index]).load(std::memory_order_relaxed);
}

void CNaviConfig::SetValue(int index, std::int32_t value) {
    if (index >= 0 && index < kSettingCount)
        std::atomic_ref<std::int32_t>(m_settings[index]).store(value, std::memory_order_relaxed);
}

void CNaviConfig::PackSettings(std::uint8_t bytes[kFileSize]) const {
    PutLe32(bytes, kFileMark);
    for (int i = 0; i < kSettingCount; ++i) PutLe32(bytes + 4 + 4 * i, m_settings[i]);
    for (int i = 0; i < kNameChars; ++i) {
        bytes[804 + 2 * i] = static_cast<std::uint8_t>(m_dayScheme[i] & 0xFF);
        bytes[805 + 2 * i] = static_cast<std::uint8_t>(m_dayScheme[i] >> 8);
        bytes[904 + 2 * i] = static_cast<std::uint8_t>(m_nightScheme[i] & 0xFF);
        bytes[905 + 2 * i] = static_cast<std::uint8_t>(m_nightScheme[i] >> 8);
    }
}

bool CNaviConfig::UnpackSettings(const std::uint8_t* bytes, std::size_t length) {
    if (!bytes || length < static_cast<std::size_t>(kFileSize) || GetLe32(bytes) != kFileMark) return false;
    UnpackCompleteFields(bytes, kFileSize);
    return true;
}

void CNaviConfig::UnpackCompleteFields(const std::uint8_t* bytes, std::size_t length) {
    for (int i = 0; i < kSettingCount && 8 + 4 * static_cast<std::size_t>(i) <= length; ++i)
        m_settings[i] = GetLe32(bytes + 4 + 4 * i);
    // A scheme name is taken only when its whole field is present.
    if (length >= 904) {
        for (int i = 0; i < kNameChars; ++i)
            m_dayScheme[i] = static_cast<char16_t>(bytes[804 + 2 * i] | (bytes[805 + 2 * i] << 8));
    }
    if (length >= static_cast<std::size_t>(kFileSize)) {
        for (int i = 0; i < kNameChars; ++i)
            m_nightScheme[i] = static_cast<char16_t>(bytes[904 + 2 * i] | (bytes[905 + 2 * i] << 8));
    }
    // A name that fills its field still ends within it.
    m_dayScheme[kNameChars - 1] = 0;
    m_nightScheme[kNameChars - 1] = 0;
}

CString CNaviConfig::FindSettingsFile() const {
    for (const char16_t* root : {m_memoryRoot, m_cardRoot}) {
        CString pattern;
        pattern.Format(u"%s\\*", root);
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(pattern, &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        CString found;
        do {
            if (DeviceRoot::SameNameIgnoringCase(data.cFileName, m_settingsFileName)) {
                found.Format(u"%s\\%s", root, data.cFileName);
                break;
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
        if (!found.IsEmpty()) return found;
    }
    return CString();
}

void CNaviConfig::Load(const char16_t* dataFolder) {
    SetField(m_dataFolder, dataFolder);
    {
        const std::u16string folder(m_dataFolder);
        const std::size_t cut = folder.rfind(u'\\');
        const std::u16string card = (cut == std::u16string::npos ? std::u16string() : folder.substr(0, cut)) +
                                    u"\\VelkoData";
        SetField(m_cardRoot, card.c_str());
    }
    const CString path = FindSettingsFile();
    SetDefaults();
    m_fileState = FileState::None;
    m_rejectedFile.Empty();
    m_rejectedCopy.Empty();
    HANDLE file = path.IsEmpty() ? INVALID_HANDLE_VALUE
                                 : CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        std::uint8_t bytes[kFileSize] = {};
        DWORD total = 0;
        while (total < static_cast<DWORD>(kFileSize)) {
            DWORD got = 0;
            if (!ReadFile(file, bytes + total, kFileSize - total, &got, nullptr) || got == 0) break;
            total += got;
        }
        CloseHandle(file);
        if (UnpackSettings(bytes, total)) {
            m_fileState = FileState::Read;
        } else {
            // The user's settings are not lost to the next save: the file is kept aside, and a
            // file cut short after a good mark still gives the values it holds whole.
            m_fileState = FileState::Rejected;
            m_rejectedFile = path;
            const bool recovered = total >= 8 && GetLe32(bytes) == kFileMark;
            if (recovered) UnpackCompleteFields(bytes, total);
            m_settings[2] = 0;
            // The recovered values are stored at once, or the next start would find no file.
            if (KeepRejectedFile() && recovered) SaveSettings(-1);
        }
    } else {
        ImportOldProfile();
    }
    m_settings[2] = 0;
}

bool CNaviConfig::KeepRejectedFile() {
    if (m_rejectedFile.IsEmpty() || !m_rejectedCopy.IsEmpty()) return true;
    CString copy;
    copy.Format(u"%s.bad", m_rejectedFile.GetString());
    if (!MoveFileExW(m_rejectedFile, copy, MOVEFILE_REPLACE_EXISTING)) return false;
    m_rejectedCopy = copy;
    return true;
}

bool CNaviConfig::ImportOldProfile() {
    CEOID ids[kOldDatabases] = {};
    bool any = false;
    std::memset(m_oldValues, 0, sizeof m_oldValues);
    for (int k = 0; k < kOldDatabases; ++k) {
        CString name;
        name.Format(u"Velko900 Config%d", k + 1);
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
        if (db == INVALID_HANDLE_VALUE) continue;
        any = true;
        ids[k] = oid;
        CEPROPID props[3] = {MAKELONG(CEVT_I2, 1), MAKELONG(CEVT_I2, 2), MAKELONG(CEVT_I2, 3)};
        WORD count = 3;
        BYTE* buffer = nullptr;
        DWORD size = 0;
        if (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, props, &buffer, &size) != 0 && count == 3) {
            for (int j = 0; j < 3; ++j) {
                CEPROPVAL v;
                std::memcpy(&v, buffer + j * sizeof(CEPROPVAL), sizeof v);
                if (!(v.wFlags & CEDB_PROPNOTFOUND)) m_oldValues[3 * k + j] = v.val.iVal;
            }
        }
        if (buffer) LocalFree(buffer);
        CloseHandle(db);
    }
    if (!any) return false;
    ApplyOldValues(m_oldValues);
    // The old databases go only once the imported settings are stored.
    if (!SaveSettings(-1)) return false;
    for (CEOID oid : ids)
        if (oid) CeDeleteDatabase(oid);
    return true;
}

void CNaviConfig::ApplyOldValues(const std::int16_t o[45]) {
    std::int32_t* s = m_settings;
    s[0] = o[0];
    s[1] = o[2];
    s[2] = o[23];
    s[12] = o[12];
    s[14] = o[14];
    switch (o[7]) {
    case 0: s[16] = 0; break;
    case 2: s[16] = 30; break;
    case 3: s[16] = 45; break;
    case 4: s[16] = 60; break;
    default: s[16] = 15; break;
    }
    s[17] = o[1];
    s[18] = o[24] & 1;
    s[19] = (o[24] >> 1) & 1;
    s[20] = (o[24] >> 2) & 1;
    for (int i = 0; i < 7; ++i) s[21 + i] = o[28 + i];
    s[28] = o[3];
    s[29] = o[4];
    s[30] = o[5];
    s[31] = o[10];
    s[32] = o[9];
    s[33] = o[22];
    s[34] = o[8];
    for (int i = 0; i < 4; ++i) s[35 + i] = o[15 + i];
    s[40] = o[11];
    s[41] = o[25];
    s[42] = o[26];
    for (int i = 44; i <= 47; ++i) s[i] = 1;
}

bool CNaviConfig::SaveSettings(int storage) {
    // A rejected file that is still in place would be overwritten by this save.
    if (m_fileState == FileState::Rejected && !KeepRejectedFile()) return false;
    const CString path = GetItemPath(u"환경설정", storage);
    std::uint8_t bytes[kFileSize];
    PackSettings(bytes);
    return storefile::WriteReplacing(DeviceRoot::Resolve(path.GetString()),
                                     std::string(reinterpret_cast<const char*>(bytes), kFileSize));
}

void CNaviConfig::SetMapColorName(const char16_t* key, const char16_t* name) {
    if (!key || !name) return;
    char16_t* field = Same(key, kDayKey) ? m_dayScheme : Same(key, kNightKey) ? m_nightScheme : nullptr;
    if (field) SetField(field, name);
}

bool CNaviConfig::GetMapColorName(const char16_t* key, char16_t* buffer) const {
    if (!key || !buffer) return false;
    const char16_t* field = Same(key, kDayKey) ? m_dayScheme : Same(key, kNightKey) ? m_nightScheme : nullptr;
    if (!field) return false;
    std::memcpy(buffer, field, kNameChars * sizeof(char16_t));
    return true;
}

bool CNaviConfig::IsBroadcastTrafficOn() const {
    return GetValue(14) != 0 && GetValue(32) != 0;
}

bool CNaviConfig::UsesHighSpeedPort() const {
    const int port = GetValue(29);
    return (port == 3 || port == 4 || port == 5) && GetValue(30) == 5;
}

void CNaviConfig::GetValues18To20(std::int32_t& a, std::int32_t& b, std::int32_t& c) const {
    a = m_settings[18];
    b = m_settings[19];
    c = m_settings[20];
}

void CNaviConfig::GetRoadClassSpeeds(std::int16_t speeds[5]) const {
    for (int i = 0; i < 5; ++i) speeds[i] = static_cast<std::int16_t>(m_settings[23 + i]);
}

void CNaviConfig::SetButtonFunctions(const std::uint16_t slots[4]) {
    if (m_keyLayout == 3) {
        for (int i = 0; i < 3; ++i) m_settings[35 + i] = slots[i];
        return;
    }
    static const int map[4] = {38, 37, 35, 36};
    for (int i = 0; i < 4; ++i) m_settings[map[i]] = slots[i];
}

void CNaviConfig::GetButtonFunctions(std::uint16_t slots[4]) const {
    if (m_keyLayout == 3) {
        for (int i = 0; i < 3; ++i) slots[i] = static_cast<std::uint16_t>(m_settings[35 + i]);
        slots[3] = 0xFFFF;
        return;
    }
    static const int map[4] = {38, 37, 35, 36};
    for (int i = 0; i < 4; ++i) slots[i] = static_cast<std::uint16_t>(m_settings[map[i]]);
}

void CNaviConfig::GetMultiRouteOptions(std::int32_t options[4]) const {
    for (int i = 0; i < 4; ++i) options[i] = m_settings[50 + i];
}

void CNaviConfig::SetMultiRouteOptions(const std::int32_t options[4]) {
    for (int i = 0; i < 4; ++i) m_settings[50 + i] = options[i];
}

namespace {
const std::int32_t kIntervals[7] = {0, 5, 10, 15, 30, 45, 60};
}

void CNaviConfig::SetTrafficRerouteInterval(int listIndex) {
    m_settings[16] = listIndex >= 0 && listIndex < 7 ? kIntervals[listIndex] : 15;
}

int CNaviConfig::GetTrafficRerouteIntervalIndex() const {
    for (int i = 0; i < 7; ++i)
        if (m_settings[16] == kIntervals[i]) return i;
    return 3;
}

CString CNaviConfig::GetComPortName() const {
    CString name;
    name.Format(u"COM%d:", GetValue(29) + 1);
    return name;
}

namespace {
const int kBaudRates[6] = {2400, 4800, 9600, 19200, 38400, 57600};
}

void CNaviConfig::SetBaudRate(int bitsPerSecond) {
    int code = 1;
    for (int i = 0; i < 6; ++i)
        if (kBaudRates[i] == bitsPerSecond) code = i;
    m_settings[30] = code;
}

int CNaviConfig::GetBaudRate() const {
    const int code = GetValue(30);
    return code >= 0 && code < 6 ? kBaudRates[code] : 4800;
}

int CNaviConfig::GetReceiverMode() const {
    if (GetValue(32) != 1) return 2;
    return GetValue(31) == 1 ? 3 : 1;
}

void CNaviConfig::SetServiceFlags(const std::uint8_t flags[4]) {
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        m_settings[44 + i] = flags[i];
        any = any || flags[i] != 0;
    }
    m_settings[41] = any ? 1 : 0;
}

void CNaviConfig::GetServiceFlags(std::uint8_t flags[4]) const {
    for (int i = 0; i < 4; ++i) flags[i] = static_cast<std::uint8_t>(m_settings[44 + i]);
}

bool CNaviConfig::AnyServiceOn() const {
    return m_settings[41] != 0;
}

int CNaviConfig::GetInitialMenuCommand() const {
    return m_settings[39] == 1 ? 2005 : m_settings[39] == 2 ? 2006 : 2004;
}

int CNaviConfig::GetSimulationSpeed() const {
    switch (m_settings[40]) {
    case 1: return 120;
    case 2: return 240;
    default: return 40;
    }
}

int CNaviConfig::GetEventStringMode() const {
    return m_settings[42];
}
