// Route files: the 208-byte route header that begins every car route file and the engine's
// result blob, the 240-byte route information record with its reader, and the safe way to
// replace a file (a new file beside the old one, renamed over it).
#pragma once

#include "platform/base/CString.h"
#include "route/RoutePath.h"
#include "route/base/BinFile.h"
#include "route/base/MemStream.h"

#include <cstdint>
#include <string>
#include <vector>

// The current route's file.
inline constexpr const char16_t* kRouteTablePath = u"\\My Documents\\Velko\\RouteTbl.bin";

struct RoutePoint {
    std::int32_t x = -1;
    std::int32_t y = -1;
    bool IsSet() const { return x != -1 && y != -1; }
};

class RouteHeader {
public:
    static constexpr int kSize = 208;
    static constexpr int kVersion = 15;
    static constexpr int kNameSize = 20;
    static constexpr int kWaypoints = 5;

    std::int32_t version = 0;
    std::int32_t kind = 0;
    std::int32_t reserved = 0; // kept as read
    RoutePoint start, goal;
    RoutePoint waypoints[kWaypoints];
    // CP949, zero-padded; a name filling all 20 bytes has no terminator.
    char startName[kNameSize] = {};
    char goalName[kNameSize] = {};
    char waypointNames[kWaypoints][kNameSize] = {};

    RouteHeader() { Clear(); }
    void Clear();
    void ClearWaypoints();
    // Packs the 208 bytes (version set to 15); buffer holds at least kSize bytes.
    int Write(void* buffer);
    // false when fewer than 208 bytes remain or the version is not 15 (the header stays cleared
    // apart from the version).
    bool Read(CMemReader& reader);
    bool ReadBuffer(const void* buffer, std::int32_t size = kSize);
    bool Save(CBinFile& file);
    bool Load(CBinFile& file);

    // Name helpers: a name as its bytes (up to 20, stopping at the first zero).
    static std::string NameBytes(const char* field);
    // Stores text (CP949) cut to at most maxBytes on a character boundary, zero-padded.
    static void SetName(char* field, const std::string& text, std::size_t maxBytes = kNameSize);
};

// Writes bytes to path through a new file beside it that is then renamed over it; the old
// file is untouched when anything fails.
bool ReplaceFileContents(const CString& path, const std::vector<std::uint8_t>& bytes);

// Reads the route object of a saved route: a route file (the 208-byte header, then the route
// stream) or a bare route stream. False when neither reads back as a valid route.
bool ReadSavedRoutePath(const std::uint8_t* bytes, std::size_t size, CRoutePath& path);

// The route information record: tag 0xEE, three points and five waypoints with names, and a
// few values, 240 bytes.
class RouteFileRecord {
public:
    static constexpr int kSize = 240;
    static constexpr std::uint8_t kTag = 0xEE;
    static constexpr int kNameSize = 20;

    struct NamedPoint {
        std::int32_t x = -1;
        std::int32_t y = -1;
        char name[kNameSize] = {};
    };

    std::uint8_t tag = 0;
    std::uint8_t byte1 = 0;
    std::uint8_t byte2 = 0;
    NamedPoint points[3];
    NamedPoint waypoints[5];
    std::uint16_t word1 = 0xFFFF;
    std::uint16_t word2 = 0xFFFF;
    std::uint8_t byte3 = 255;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;

    virtual ~RouteFileRecord() = default;
    virtual int Read(CMemReader& reader);
    virtual int Load(CBinFile& file);
    virtual int ReadBuffer(const void* buffer);
    virtual int Save(CBinFile& file);
    virtual int Write(void* buffer);
    virtual int GetSize() const { return kSize; }
    virtual void Clear();
};

// The process-wide reader of route information files.
class CRouteFileInfo {
public:
    static CRouteFileInfo* Instance();
    static void Destroy();

    bool LoadFile(const CString& fileName);
    bool Read(CBinFile& file);

    CRouteLinkKey key;
    CRoutePath path;
    RouteFileRecord record;
    CString pointNames[3];
    CString waypointNames[5];
    RoutePoint points[3];
    RoutePoint waypoints[5];

private:
    CRouteFileInfo() = default;
};
