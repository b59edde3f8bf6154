#include "route/base/Records.h"

#include "route/base/Coords.h"

namespace recordio {

void PutName(char* field, std::size_t fieldSize, const char* name) {
    std::memset(field, 0, fieldSize);
    if (name) std::strncpy(field, name, fieldSize);
}

} // namespace recordio

namespace {

// Reads a fixed name field into a zero-terminated buffer of fieldSize + 1 bytes.
void GetName(CMemReader& reader, char* name, std::int32_t fieldSize) {
    std::memset(name, 0, static_cast<std::size_t>(fieldSize) + 1);
    reader.ReadBytes(name, fieldSize);
}

void PutName(CMemWriter& writer, const char* name, std::int32_t fieldSize) {
    char field[32];
    recordio::PutName(field, static_cast<std::size_t>(fieldSize), name);
    writer.WriteBytes(field, fieldSize);
}

} // namespace

int CPathLinkRef::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    w << mapId << count << firstIndex;
    return 1;
}

int CPathLinkRef::Read(CMemReader& r) {
    r >> mapId >> count >> firstIndex;
    return 1;
}

int CPathLinkItem::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    w << mapId << linkId << direction << kind << facility << std::uint8_t{0} << remaining;
    PutName(w, name, kNameSize);
    return 1;
}

int CPathLinkItem::Read(CMemReader& r) {
    std::uint8_t zero = 0;
    r >> mapId >> linkId >> direction >> kind >> facility >> zero >> remaining;
    GetName(r, name, kNameSize);
    return 1;
}

int CPathPoint::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    w << x << y;
    return 1;
}

int CPathPoint::Read(CMemReader& r) {
    r >> x >> y;
    return 1;
}

int CRouteLinkKey::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    w << linkId << direction << itemIndex << flag << guideCode;
    return 1;
}

int CRouteLinkKey::Read(CMemReader& r) {
    r >> linkId >> direction >> itemIndex >> flag >> guideCode;
    return 1;
}

int CPathGuideItem::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    w << value << code << itemIndex;
    return 1;
}

int CPathGuideItem::Read(CMemReader& r) {
    r >> value >> code >> itemIndex;
    return 1;
}

int CPosRecord::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    PutName(w, name, kNameSize);
    w << x << y << value1 << value2;
    return 1;
}

int CPosRecord::Read(const void* buffer) {
    CMemReader r(buffer, kSize);
    GetName(r, name, kNameSize);
    r >> x >> y >> value1 >> value2;
    return 1;
}

int CRecentDestRecord::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    PutName(w, name, kNameSize);
    w << x << y << kind << values[0] << values[1] << values[2];
    return 1;
}

int CRecentDestRecord::Read(const void* buffer) {
    CMemReader r(buffer, kSize);
    GetName(r, name, kNameSize);
    r >> x >> y >> kind >> values[0] >> values[1] >> values[2];
    return 1;
}

bool CRecentDestRecord::IsSame(const CRecentDestRecord& other) const {
    return x == other.x && y == other.y && kind == other.kind &&
           std::memcmp(name, other.name, kNameSize) == 0;
}

int CSafePointRecord::Write(void* buffer) const {
    CMemWriter w(buffer, kSize);
    if (form == 1) {
        PutName(w, name, kShortNameSize);
        w << shortValue;
    } else {
        PutName(w, name, kNameSize);
    }
    // Rounded, so that loading and saving again never moves the point.
    std::int32_t px = 0, py = 0;
    NetToPointFileCoordRounded(x, y, px, py);
    w << px << py << values[0] << values[1] << values[2] << values[3];
    return 1;
}

int CSafePointRecord::Read(const void* buffer) {
    CMemReader r(buffer, kSize);
    if (form == 1) {
        GetName(r, name, kShortNameSize);
        r >> shortValue;
    } else {
        GetName(r, name, kNameSize);
    }
    std::int32_t px = 0, py = 0;
    r >> px >> py >> values[0] >> values[1] >> values[2] >> values[3];
    PointFileToNetCoord(px, py, x, y);
    return 1;
}
