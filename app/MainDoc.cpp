#include "app/MainDoc.h"

#include "app/NaviApp.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/store/ObjectStore.h"
#include "route/base/BinFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

IMPLEMENT_DYNCREATE(CMainDoc, CDocument)

namespace {

constexpr const char16_t* kMapDatabase = u"Velko900 Pilot1";
constexpr const char16_t* kVehicleDatabase = u"Velko900 Pilot4";
constexpr const char16_t* kHandoverFile = u"\\windows\\Velko.wp";
constexpr int kLevelRecordBytes = 12;
// The largest drawing file read whole: far past any layer list the map window can hold.
constexpr long kMaxConfigBytes = 4 * 1024 * 1024;

constexpr CEPROPID Property(int n) {
    return (static_cast<CEPROPID>(n) << 16) | CEVT_I4;
}

// The whole file, at most maxBytes; false when it cannot be opened or read.
bool ReadFile(const CString& path, std::vector<std::uint8_t>& bytes, long maxBytes = kMaxConfigBytes) {
    CBinFile file;
    if (file.Open(path.GetString(), CBinFile::kModeRead) != 0) return false;
    const long size = file.GetSize();
    bool ok = size >= 0 && size <= maxBytes;
    if (ok) {
        bytes.assign(static_cast<std::size_t>(size), 0);
        ok = size == 0 || file.Read(bytes.data(), static_cast<int>(size)) == size;
    }
    file.Close();
    return ok;
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The first record's 32-bit properties 1..count; false when the database has no such record or
// lacks one of them.
bool ReadFirstRecord(HANDLE db, int count, std::int32_t* values) {
    WORD props = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    if (CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr) == 0 ||
        CeReadRecordProps(db, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size) == 0) {
        if (buffer) LocalFree(buffer);
        return false;
    }
    const auto* vals = reinterpret_cast<const CEPROPVAL*>(buffer);
    int found = 0;
    for (int n = 1; n <= count; ++n)
        for (WORD i = 0; i < props; ++i)
            if (vals[i].propid == Property(n) && !(vals[i].wFlags & CEDB_PROPNOTFOUND)) {
                values[n - 1] = vals[i].val.lVal;
                ++found;
                break;
            }
    LocalFree(buffer);
    return found == count;
}

// Puts the values as properties 1..count into the database's first record in one write: the
// record is changed in place when there is one, else added.
bool WriteFirstRecord(const char16_t* name, int count, const std::int32_t* values) {
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (db == INVALID_HANDLE_VALUE) return false;
    const CEOID first = CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
    CEPROPVAL props[4];
    for (int n = 0; n < count; ++n) {
        props[n].propid = Property(n + 1);
        props[n].val.lVal = values[n];
    }
    const bool ok = CeWriteRecordProps(db, first, static_cast<WORD>(count), props) != 0;
    CloseHandle(db);
    return ok;
}

} // namespace

CMainDoc::CMainDoc() {
    dataFolder.Format(u"%s", navi::g_dataFolder.GetString());
    ReadStoredPositions();
    if (vehicleX == kDefaultX && vehicleY == kDefaultY) m_vehicleStored = 0;
    ReadHandoverFile();
}

CMainDoc::~CMainDoc() = default;

BOOL CMainDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}

void CMainDoc::ReadStoredPositions() {
    CEOID mapOid = 0, vehicleOid = 0;
    HANDLE mapDb = CeOpenDatabase(&mapOid, kMapDatabase, 0, 0, nullptr);
    HANDLE vehicleDb = CeOpenDatabase(&vehicleOid, kVehicleDatabase, 0, 0, nullptr);
    std::int32_t map[4] = {}, vehicle[2] = {};
    const bool open = mapDb != INVALID_HANDLE_VALUE && vehicleDb != INVALID_HANDLE_VALUE;
    const bool mapRead = open && ReadFirstRecord(mapDb, 4, map);
    const bool vehicleRead = open && ReadFirstRecord(vehicleDb, 2, vehicle);
    if (mapDb != INVALID_HANDLE_VALUE) CloseHandle(mapDb);
    if (vehicleDb != INVALID_HANDLE_VALUE) CloseHandle(vehicleDb);

    // Nothing stored, or values no map could have (the view's level tables have 16 entries, and
    // levels 0 and 1 are not stored ones): the defaults.
    if (!mapRead || map[2] < 2 || map[2] > 15 || map[0] < 0 || map[1] < 0) {
        mapX = kDefaultX;
        mapY = kDefaultY;
        mapLevel = kDefaultLevel;
        mapMode = 1;
    } else {
        mapX = map[0];
        mapY = map[1];
        mapLevel = map[2];
        mapMode = map[3];
    }
    const bool usable = vehicleRead && vehicle[0] >= 1 && vehicle[1] >= 1;
    vehicleX = usable ? vehicle[0] : mapX;
    vehicleY = usable ? vehicle[1] : mapY;
}

bool CMainDoc::TakeHandoverPoint(std::int32_t& x, std::int32_t& y) {
    CBinFile file;
    if (file.Open(kHandoverFile, CBinFile::kModeRead) != 0) return false;
    // Six digits of x, one separator, six digits of y: nothing else counts.
    char bytes[14] = {};
    const long size = file.GetSize();
    const bool whole = size == 13 && file.Read(bytes, 13) == 13;
    file.Close();
    DeleteFileW(kHandoverFile); // taken over once, used or not
    if (!whole) return false;
    auto digits = [&](int from) {
        std::int32_t v = 0;
        for (int i = from; i < from + 6; ++i) {
            if (bytes[i] < '0' || bytes[i] > '9') return -1;
            v = v * 10 + (bytes[i] - '0');
        }
        return v;
    };
    const std::int32_t fileX = digits(0), fileY = digits(7);
    if (fileX < 0 || fileY < 0) return false;
    x = static_cast<std::int32_t>(std::trunc(static_cast<double>(fileX) * 1.2));
    y = fileY;
    return true;
}

void CMainDoc::ReadHandoverFile() {
    std::int32_t x = 0, y = 0;
    if (!TakeHandoverPoint(x, y)) return;
    mapX = x;
    mapY = y;
    mapLevel = kHandoverLevel;
}

bool CMainDoc::StorePositions() const {
    const std::int32_t map[4] = {mapX, mapY, mapLevel, mapMode};
    const std::int32_t vehicle[2] = {vehicleX, vehicleY};
    const bool mapOk = WriteFirstRecord(kMapDatabase, 4, map);
    const bool vehicleOk = WriteFirstRecord(kVehicleDatabase, 2, vehicle);
    return mapOk && vehicleOk;
}

void CMainDoc::OnCloseDocument() {
    StorePositions();
    CDocument::OnCloseDocument();
}

const char16_t* CMainDoc::ModeFolder() const {
    return colorMode >= 0 && colorMode <= 16 ? u"Gray" : u"Color";
}

CString CMainDoc::ModePath(const char16_t* file) const {
    CString path;
    path.Format(u"%s\\%s\\%s", dataFolder.GetString(), ModeFolder(), file);
    return path;
}

bool CMainDoc::LoadDrawConfig() {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(ModePath(u"para.bin"), bytes)) return false;
    constexpr std::size_t kRecord = kLayerNameBytes + kLayerParamBytes;
    // Whole records only: a cut last record is left out.
    for (std::size_t at = 0; at + kRecord <= bytes.size(); at += kRecord) {
        MapLayerRecord record;
        const char* name = reinterpret_cast<const char*>(&bytes[at]);
        const std::size_t length = std::find(name, name + kLayerNameBytes, '\0') - name;
        std::u16string wide = Cp949ToUtf16(std::string_view(name, length));
        if (wide.size() > kLayerNameBytes) wide.resize(kLayerNameBytes);
        record.name = CString(wide.c_str());
        std::memcpy(record.params.data(), &bytes[at + kLayerNameBytes], kLayerParamBytes);
        layers.push_back(std::move(record));
    }
    return true;
}

bool CMainDoc::LoadColorFile() {
    backColor = 0xFFFFFF;
    textColor = 0;
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(ModePath(u"color.bin"), bytes) || bytes.size() < sizeof colorTable) return false;
    for (int i = 0; i < 16; ++i) colorTable[i] = U32(&bytes[static_cast<std::size_t>(i) * 4]);
    return true;
}

bool CMainDoc::LoadSchemeFile(const CString& name) {
    CString path;
    path.Format(u"%s\\%s\\%s", dataFolder.GetString(), u"Color", name.GetString());
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return LoadColorFile();
    if (bytes.size() < sizeof colorTable) return false; // not even a colour table
    for (int i = 0; i < 16; ++i) colorTable[i] = U32(&bytes[static_cast<std::size_t>(i) * 4]);
    std::size_t at = 64;
    backColor = bytes.size() >= at + 4 ? U32(&bytes[at]) : 0xFFFFFF;
    at += 4;
    if (bytes.size() >= at + 8) std::memcpy(m_schemeExtra, &bytes[at], 8);
    at += 8;
    textColor = bytes.size() >= at + 4 ? U32(&bytes[at]) : 0;
    at += 4;
    if (bytes.size() >= at + 64) std::memcpy(m_schemeTail, &bytes[at], 64);
    return true;
}

bool CMainDoc::LoadLineFile() {
    CString path;
    path.Format(u"%s\\%s", dataFolder.GetString(), u"line.bin");
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes) || bytes.size() < sizeof m_lineTable) return false;
    std::memcpy(m_lineTable, bytes.data(), sizeof m_lineTable);
    return true;
}

bool CMainDoc::LoadLevelFile() {
    CString path;
    path.Format(u"%s\\%s", dataFolder.GetString(), u"level.bin");
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return false;
    const int records = std::min<int>(static_cast<int>(bytes.size() / kLevelRecordBytes), kLevels);
    levelRecords.clear();
    if (records == 0) return false;
    auto flag = [&](int j) { return j < records ? bytes[static_cast<std::size_t>(j) * kLevelRecordBytes] : 0; };
    auto scale = [&](int j) {
        return j < records ? U32(&bytes[static_cast<std::size_t>(j) * kLevelRecordBytes + 4]) : 0u;
    };
    const std::uint32_t base = scale(0);
    if (base == 0) return false; // every ratio is relative to level 0's scale
    // Entry j: the scale of level j + 1 and of level j relative to level 0. Levels past the
    // records read are disabled.
    for (int j = 0; j < kLevels; ++j) {
        LevelEntry& e = levels[j];
        e.flag = static_cast<std::uint8_t>(flag(j));
        e.previous = j < records ? static_cast<float>(scale(j)) / static_cast<float>(base) : 0.0f;
        e.ratio = j + 1 < records && j + 1 < kLevels ? static_cast<float>(scale(j + 1)) / static_cast<float>(base)
                                                     : 0.0f;
    }
    levels[0].previous = 1.0f;
    levelRecords.assign(bytes.begin(), bytes.begin() + records * kLevelRecordBytes);
    return true;
}
