// The broadcast road tables under an arbitrary file: it is opened, walked down and up as far as
// it goes, every record is turned into its display record, states (the file's own first bytes,
// and each level's saved state) are restored, the road of every link is looked for, and roads
// of interest named after the file's own road names are re-anchored and opened.
#include "platform/files/DeviceRoot.h"
#include "traffic/pages/DARCTraffic.h"
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

// Link ids 1-8 and 0x80020001-0x80020008: indices 0-15 of the link table.
const std::string& Root() {
    static const std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/velko-roads-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directories(pattern + "/Map/MRDATA");
        std::filesystem::create_directories(pattern + "/Map/Darc");
        std::string links;
        for (std::uint32_t high : {0u, 0x80020000u})
            for (std::uint32_t i = 1; i <= 8; ++i)
                for (int b = 0; b < 4; ++b) links.push_back(static_cast<char>(((high | i) >> (8 * b)) & 0xFF));
        Write(pattern + "/Map/MRDATA/DARCLINK.bin", links);
        DeviceRoot::SetRoot(pattern);
        CTraffic::instance()->openFile(CString(u"\\Map"));
        return pattern;
    }();
    return root;
}

int g_steps = 0;

void Visit(TrafficRoadDB& db) {
    const int count = db.GetCount();
    if (count < 0 || ++g_steps > 200) return;
    TrafficSectionInfo info;
    for (int i = -1; i <= count && i < 16; ++i) {
        db.GetSectionInfo(i, &info);
        if (info.roadName[59] || info.startName[59] || info.endName[59]) __builtin_trap();
        db.GetSectionX(i);
        db.GetSectionY(i);
        db.GetSectionLength(i);
        db.GetGridCode(i);
    }
    const int level = db.GetLevel();
    const sSAVETRAFFIC here = *db.SaveState();
    for (int i = 0; i < count && i < 4; ++i) {
        if (db.EnterRecord(i) && db.GetLevel() > level) {
            if (db.GetLevel() > 3) __builtin_trap();
            Visit(db);
            db.LevelUp();
        }
        db.RestoreState(&here);
    }
    db.ReloadLevel();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& root = Root();
    DeviceRoot::SetRoot(root);
    Write(root + "/Map/Darc/DLevel1.db", std::string(reinterpret_cast<const char*>(data), size));
    TrafficRoadDB db;
    if (!db.Open(TrafficRoadDB::DefaultPath().GetString())) return 0;
    g_steps = 0;
    Visit(db);

    // A state taken from the file's first 52 bytes, as a roads-of-interest slot might hold it.
    if (size >= sSAVETRAFFIC::kStoredSize) {
        sSAVETRAFFIC state;
        state.Unpack(data);
        if (db.RestoreState(&state)) {
            Visit(db);
            for (int i = 0; i < 4; ++i) db.LevelUp();
        }
    }

    InterestRoadSlot slots[CInterestRoadFile::kSlots];
    int used = 0;
    for (unsigned short a = 0; a < 17; ++a) {
        const sSAVETRAFFIC* found = db.FindDrivingRoad(a, static_cast<unsigned short>(a == 16 ? 0xFFFF : a + 8));
        if (!found) continue;
        if (found->level > 3) __builtin_trap();
        const int row = db.GetDrivingRow();
        const std::u16string name = db.GetDrivingRoadName();
        if (db.RestoreState(found)) {
            TrafficSectionInfo info;
            db.GetSectionInfo(row / 2, &info);
            db.LevelUp();
        }
        if (used < CInterestRoadFile::kSlots) {
            CInterestRoadFile::Fill(slots[used], used, name.c_str(), *found);
            ++used;
        }
    }
    db.ReanchorInterestRoads(CInterestRoadFile::kSlots, slots);
    for (const InterestRoadSlot& slot : slots)
        if (slot.IsUsed() && db.RestoreState(&slot.state)) Visit(db);
    return 0;
}
