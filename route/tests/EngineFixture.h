// Helpers of the engine tests: a throw-away device root holding a network written by the
// sample-device builder, byte patches of the written files, and link records made by hand.
#pragma once

#include "platform/files/DeviceRoot.h"
#include "route/MRFormat.h"
#include "route/RoutePlan.h"
#include "tools/mkdevice/Networks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace enginetest {

constexpr std::int32_t kRegionX = 45720000; // west edge of sheet column 20
constexpr std::int32_t kRegionY = 13470000; // south edge of sheet row 52

inline mkdev::NetPoint Km(double east, double north) {
    return mkdev::KmToNet(kRegionX, kRegionY, east, north);
}

// A device root in a fresh temporary folder with the network in \MapData\MRData.
class TempDevice {
public:
    explicit TempDevice(mkdev::NetModel model) {
        static std::atomic<int> counter{0};
        static const long long stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_dir = std::filesystem::temp_directory_path() /
                ("velko_engine_" + std::to_string(stamp) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "MapData" / "MRData");
        model.Write((m_dir / "MapData" / "MRData").string());
        DeviceRoot::SetRoot(m_dir.string());
    }
    ~TempDevice() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    std::filesystem::path File(const std::string& name) const { return m_dir / "MapData" / "MRData" / name; }
    static const char16_t* DataFolder() { return u"\\MapData"; }

    std::vector<std::uint8_t> Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Rewrites the attribute word of a link of map 0.
    void PatchLinkAttributes(int link, std::uint16_t orBits) const {
        auto manage = Read("MRManage.bin");
        std::uint32_t linkOff = mrformat::U32(&manage[mrformat::kManageHeaderSize + 56]);
        auto links = Read("MRLink.bin");
        std::size_t at = linkOff + static_cast<std::size_t>(link) * mrformat::kLinkSize + 10;
        mrformat::PutU16(&links[at], mrformat::U16(&links[at]) | orBits);
        Write("MRLink.bin", links);
    }
    // Rewrites the two traffic-broadcast indices of a link of map 0.
    void PatchLinkTraffic(int link, std::uint16_t forward, std::uint16_t backward) const {
        auto manage = Read("MRManage.bin");
        std::uint32_t linkOff = mrformat::U32(&manage[mrformat::kManageHeaderSize + 56]);
        auto links = Read("MRLink.bin");
        std::size_t at = linkOff + static_cast<std::size_t>(link) * mrformat::kLinkSize;
        mrformat::PutU16(&links[at + 24], forward);
        mrformat::PutU16(&links[at + 26], backward);
        Write("MRLink.bin", links);
    }
    // Rewrites the x-scale field of a map record.
    void PatchXScale(int map, std::uint16_t scale) const {
        auto manage = Read("MRManage.bin");
        mrformat::PutU16(&manage[mrformat::kManageHeaderSize + mrformat::kMapRecordSize * map + 22], scale);
        Write("MRManage.bin", manage);
    }

private:
    std::filesystem::path m_dir;
};

// A 28-byte link record.
struct LinkSpec {
    int lanes = 2, roadKind = 5, linkType = 0, facility = 5, width = 0, oneWay = 0;
    bool restricted = false;
    std::uint16_t length = 1000;
    std::uint16_t first = 0, second = 1;
    std::uint16_t trafficForward = 0xFFFF, trafficBackward = 0xFFFF;

    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> r(mrformat::kLinkSize, 0);
        r[0] = static_cast<std::uint8_t>((lanes & 15) | ((roadKind & 7) << 4));
        mrformat::PutU16(&r[4], first);
        mrformat::PutU16(&r[6], second);
        mrformat::PutU16(&r[8], length);
        std::uint16_t attr =
            static_cast<std::uint16_t>((oneWay & 3) | ((linkType & 7) << 2) | ((facility & 7) << 5) |
                                       ((width & 7) << 8) | (restricted ? 0x800 : 0));
        mrformat::PutU16(&r[10], attr);
        mrformat::PutU16(&r[24], trafficForward);
        mrformat::PutU16(&r[26], trafficBackward);
        return r;
    }
};

// The id of the link of a map whose end nodes lie at the two points (either order); -1 if none.
inline int FindLink(MRReader& reader, int map, mkdev::NetPoint a, mkdev::NetPoint b) {
    const MRMapRecord* rec = reader.MapRecord(map);
    for (int l = 0; rec && l < rec->linkCount; ++l) {
        std::uint8_t link[mrformat::kLinkSize], n1[mrformat::kNodeSize], n2[mrformat::kNodeSize];
        if (!reader.ReadLink(link, map, l) || !reader.ReadNode(n1, map, mrformat::LinkStartNode(link)) ||
            !reader.ReadNode(n2, map, mrformat::LinkEndNode(link)))
            continue;
        mkdev::NetPoint p1{rec->west + mrformat::U16(n1), rec->south + mrformat::U16(n1 + 2)};
        mkdev::NetPoint p2{rec->west + mrformat::U16(n2), rec->south + mrformat::U16(n2 + 2)};
        if ((p1 == a && p2 == b) || (p1 == b && p2 == a)) return l;
    }
    return -1;
}

// The id of the node of a map at a point; -1 if none.
inline int FindNode(MRReader& reader, int map, mkdev::NetPoint p) {
    const MRMapRecord* rec = reader.MapRecord(map);
    for (int n = 0; rec && n < rec->nodeCount; ++n) {
        std::uint8_t node[mrformat::kNodeSize];
        if (reader.ReadNode(node, map, n) && rec->west + mrformat::U16(node) == p.x &&
            rec->south + mrformat::U16(node + 2) == p.y)
            return n;
    }
    return -1;
}

} // namespace enginetest
