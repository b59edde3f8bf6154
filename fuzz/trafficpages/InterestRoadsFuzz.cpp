// The roads-of-interest file under arbitrary bytes: read (only a file of exactly ten slots is
// taken), re-anchored to a small good road table, every used slot's state restored and walked,
// names looked up, and the slots written back and read again unchanged.
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "traffic/pages/InterestRoadFile.h"
#include "traffic/pages/TrafficRoadDB.h"
#include "traffic/receiver/Traffic.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Put(std::string& s, std::size_t at, std::uint32_t v, int width) {
    for (int b = 0; b < width; ++b) s[at + static_cast<std::size_t>(b)] = static_cast<char>((v >> (8 * b)) & 0xFF);
}

// One top group, one road "Road1" with two paired sections (links 1 and 2).
std::string Tables() {
    std::string f(88 + 144 + 3 * 60, '\0');
    Put(f, 40, 88, 4);
    Put(f, 44, 1, 4);
    Put(f, 56, 88 + 36, 4);
    Put(f, 60, 1, 4);
    Put(f, 64, 88 + 72, 4);
    Put(f, 68, 2, 4);
    Put(f, 72, 144, 4);
    Put(f, 80, 264, 4);
    auto record = [&](std::size_t at, std::uint32_t child, int count, int kind, int name, std::uint32_t dir,
                      std::uint32_t link, std::uint32_t parent) {
        at += 88;
        Put(f, at, child, 4);
        Put(f, at + 4, static_cast<std::uint32_t>(count), 2);
        f[at + 6] = static_cast<char>(kind);
        Put(f, at + 8, static_cast<std::uint32_t>(name), 2);
        Put(f, at + 10, dir, 4);
        Put(f, at + 14, link, 4);
        Put(f, at + 24, 10, 2);
        Put(f, at + 26, 20, 2);
        Put(f, at + 32, parent, 4);
    };
    record(0, 36, 1, 1, 0, 0, 0, 0);
    record(36, 72, 2, 1, 1, 1, 0, 0);
    record(72, 0, 0, 0, 0, (1u << 16) | 1, 1, 36);
    record(108, 0, 0, 0, 0, 1, 2, 36);
    f.replace(88 + 144, 4, "Top0");
    f.replace(88 + 204, 5, "Road1");
    f.replace(88 + 264, 2, "P0");
    return f;
}

const std::string& Root() {
    static const std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/velko-interest-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directories(pattern + "/Map/MRDATA");
        std::filesystem::create_directories(pattern + "/Map/Darc");
        std::filesystem::create_directories(pattern + "/My Documents/VelkoData");
        Write(pattern + "/Map/MRDATA/DARCLINK.bin", std::string("\x01\0\0\0\x02\0\0\0", 8));
        Write(pattern + "/Map/Darc/DLevel1.db", Tables());
        DeviceRoot::SetRoot(pattern);
        CTraffic::instance()->openFile(CString(u"\\Map"));
        return pattern;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& root = Root();
    DeviceRoot::SetRoot(root);
    Write(root + "/My Documents/VelkoData/itraffic.bin", std::string(reinterpret_cast<const char*>(data), size));
    CNaviConfig config;
    config.SetDeviceType(0);
    config.SetValue(64, 0);
    const CString path = CInterestRoadFile::PathOf(&config);
    InterestRoadSlot slots[CInterestRoadFile::kSlots];
    if (!CInterestRoadFile::Read(path.GetString(), slots)) {
        if (size == static_cast<std::size_t>(CInterestRoadFile::kFileSize)) __builtin_trap();
        return 0;
    }
    TrafficRoadDB db;
    if (!db.Open(TrafficRoadDB::DefaultPath().GetString())) __builtin_trap();
    db.ReanchorInterestRoads(CInterestRoadFile::kSlots, slots);
    for (const InterestRoadSlot& slot : slots) {
        if (slot.name[InterestRoadSlot::kNameBytes - 1] != 0) __builtin_trap();
        const std::u16string name = Cp949ToUtf16(slot.name);
        CInterestRoadFile::FindByName(slots, name.c_str());
        if (!slot.IsUsed() || !db.RestoreState(&slot.state)) continue;
        TrafficSectionInfo info;
        for (int i = 0; i < db.GetCount() && i < 8; ++i) db.GetSectionInfo(i, &info);
        for (int i = 0; i < 4; ++i) db.LevelUp();
    }
    CInterestRoadFile::FindFree(slots);
    if (!CInterestRoadFile::Write(path.GetString(), slots, false)) __builtin_trap();
    InterestRoadSlot again[CInterestRoadFile::kSlots];
    if (!CInterestRoadFile::Read(path.GetString(), again)) __builtin_trap();
    unsigned char a[CInterestRoadFile::kFileSize], b[CInterestRoadFile::kFileSize];
    CInterestRoadFile::Pack(slots, a);
    CInterestRoadFile::Pack(again, b);
    if (std::memcmp(a, b, sizeof a) != 0) __builtin_trap();
    return 0;
}
