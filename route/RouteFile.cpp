#include "route/RouteFile.h"

#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "route/base/TextTruncate.h"

#include <cstring>
#include <memory>

// ---- RouteHeader ----

void RouteHeader::Clear() {
    version = 0;
    kind = 0;
    reserved = 0;
    start = RoutePoint();
    goal = RoutePoint();
    std::memset(startName, 0, sizeof startName);
    std::memset(goalName, 0, sizeof goalName);
    ClearWaypoints();
}

void RouteHeader::ClearWaypoints() {
    for (RoutePoint& p : waypoints) p = RoutePoint();
    std::memset(waypointNames, 0, sizeof waypointNames);
}

int RouteHeader::Write(void* buffer) {
    version = kVersion;
    CMemWriter w(buffer, kSize);
    w << version << kind << reserved << start.x << start.y << goal.x << goal.y;
    for (const RoutePoint& p : waypoints) w << p.x << p.y;
    w.WriteBytes(startName, kNameSize);
    w.WriteBytes(goalName, kNameSize);
    for (const char* name : waypointNames) w.WriteBytes(name, kNameSize);
    return 1;
}

bool RouteHeader::Read(CMemReader& r) {
    Clear();
    if (r.Remaining() < kSize) return false;
    r >> version;
    if (version != kVersion) return false;
    r >> kind >> reserved >> start.x >> start.y >> goal.x >> goal.y;
    for (RoutePoint& p : waypoints) r >> p.x >> p.y;
    r.ReadBytes(startName, kNameSize);
    r.ReadBytes(goalName, kNameSize);
    for (char* name : waypointNames) r.ReadBytes(name, kNameSize);
    return true;
}

bool RouteHeader::ReadBuffer(const void* buffer, std::int32_t size) {
    if (!buffer || size < kSize) {
        Clear();
        return false;
    }
    CMemReader r(buffer, size);
    return Read(r);
}

bool RouteHeader::Save(CBinFile& file) {
    std::uint8_t bytes[kSize] = {};
    Write(bytes);
    return file.Write(bytes, kSize) == kSize;
}

bool RouteHeader::Load(CBinFile& file) {
    std::uint8_t bytes[kSize] = {};
    if (file.Read(bytes, kSize) != kSize) return false;
    return ReadBuffer(bytes, kSize);
}

std::string RouteHeader::NameBytes(const char* field) {
    return std::string(field, strnlen(field, kNameSize));
}

void RouteHeader::SetName(char* field, const std::string& text, std::size_t maxBytes) {
    std::memset(field, 0, kNameSize);
    const std::string cut = CutCp949(text, std::min<std::size_t>(maxBytes, kNameSize));
    std::memcpy(field, cut.data(), cut.size());
}

// ---- replacing a file ----

bool ReplaceFileContents(const CString& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > 0x7fffffffu) return false;
    const CString temporary = path + u".new";
    {
        CBinFile file;
        if (file.Create(temporary) != 0) return false;
        const int written = bytes.empty() ? 0 : file.Write(bytes.data(), static_cast<int>(bytes.size()));
        file.Close();
        if (static_cast<std::size_t>(written < 0 ? 0 : written) != bytes.size()) {
            DeleteFileW(temporary);
            return false;
        }
    }
    if (!MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary);
        return false;
    }
    return true;
}

// ---- RouteFileRecord ----

void RouteFileRecord::Clear() {
    tag = byte1 = byte2 = 0;
    for (NamedPoint& p : points) p = NamedPoint();
    for (NamedPoint& p : waypoints) p = NamedPoint();
    word1 = word2 = 0xFFFF;
    byte3 = 255;
    value1 = value2 = -1;
}

int RouteFileRecord::Write(void* buffer) {
    tag = kTag;
    CMemWriter w(buffer, kSize);
    w << tag << byte1 << byte2;
    for (const NamedPoint& p : points) {
        w << p.x << p.y;
        w.WriteBytes(p.name, kNameSize);
    }
    for (const NamedPoint& p : waypoints) {
        w << p.x << p.y;
        w.WriteBytes(p.name, kNameSize);
    }
    w << word1 << word2 << byte3 << value1 << value2;
    return 1;
}

int RouteFileRecord::Read(CMemReader& r) {
    Clear();
    if (r.Remaining() < kSize) return 0;
    r >> tag;
    if (tag != kTag) return 0;
    r >> byte1 >> byte2;
    for (NamedPoint& p : points) {
        r >> p.x >> p.y;
        r.ReadBytes(p.name, kNameSize);
    }
    for (NamedPoint& p : waypoints) {
        r >> p.x >> p.y;
        r.ReadBytes(p.name, kNameSize);
    }
    r >> word1 >> word2 >> byte3 >> value1 >> value2;
    return 1;
}

int RouteFileRecord::ReadBuffer(const void* buffer) {
    if (!buffer) return 0;
    CMemReader r(buffer, kSize);
    return Read(r);
}

int RouteFileRecord::Load(CBinFile& file) {
    std::uint8_t bytes[kSize] = {};
    if (file.Read(bytes, kSize) != kSize) return 0;
    return ReadBuffer(bytes);
}

int RouteFileRecord::Save(CBinFile& file) {
    std::uint8_t bytes[kSize] = {};
    Write(bytes);
    return file.Write(bytes, kSize) == kSize ? 1 : 0;
}

// ---- CRouteFileInfo ----

namespace {
std::unique_ptr<CRouteFileInfo>& InfoInstance() {
    static std::unique_ptr<CRouteFileInfo> instance;
    return instance;
}

CString NameText(const char* field) {
    return CString(Cp949ToUtf16(RouteHeader::NameBytes(field)));
}
} // namespace

CRouteFileInfo* CRouteFileInfo::Instance() {
    auto& instance = InfoInstance();
    if (!instance) instance.reset(new CRouteFileInfo());
    return instance.get();
}

void CRouteFileInfo::Destroy() {
    InfoInstance().reset();
}

bool CRouteFileInfo::LoadFile(const CString& fileName) {
    CBinFile file;
    if (file.Open(fileName, CBinFile::kModeRead) != 0) return false;
    const bool ok = Read(file);
    file.Close();
    return ok;
}

bool CRouteFileInfo::Read(CBinFile& file) {
    for (RoutePoint& p : points) p = RoutePoint();
    for (RoutePoint& p : waypoints) p = RoutePoint();
    if (record.Load(file) < 1) return false;
    if (path.Load(file) <= 0) return false;
    for (int i = 0; i < 3; ++i) {
        points[i] = RoutePoint{record.points[i].x, record.points[i].y};
        record.points[i].x = record.points[i].y = -1;
        pointNames[i] = NameText(record.points[i].name);
    }
    for (int i = 0; i < 5; ++i) {
        waypoints[i] = RoutePoint{record.waypoints[i].x, record.waypoints[i].y};
        record.waypoints[i].x = record.waypoints[i].y = -1;
        waypointNames[i] = NameText(record.waypoints[i].name);
    }
    return true;
}

bool ReadSavedRoutePath(const std::uint8_t* bytes, std::size_t size, CRoutePath& path) {
    if (!bytes || size > 0x7FFFFFFF) return false;
    std::size_t at = 0;
    RouteHeader header;
    if (size >= RouteHeader::kSize && header.ReadBuffer(bytes)) at = RouteHeader::kSize;
    return path.ReadBuffer(bytes + at, static_cast<std::int32_t>(size - at)) && path.IsValid();
}
