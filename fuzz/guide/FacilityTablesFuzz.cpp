// Arbitrary bytes as the rest-area table or the junction direction table (the first input byte
// chooses); loading must refuse a table that does not fit, and lookups stay inside the records.
#include "fuzz/guide/FuzzRoot.h"
#include "position/HighwayDB.h"
#include "position/SoundIndex.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string mapData = GuideFuzzRoot("velko_facility_fuzz") + "/MapData";
    static const bool written = [&mapData] {
        WriteVoiceFiles(mapData);
        return true;
    }();
    (void)written;
    static CSoundIndex names;
    names.Load(u"\\MapData\\Wave\\AddWav.idx");
    const bool rest = (data[0] & 1) == 0;
    // The input as one table, a table of no records as the other.
    const std::uint8_t empty[4] = {};
    WriteInput(mapData + (rest ? "/Wave/RestareaDB.db" : "/Wave/HighwayDB.db"), data + 1, size - 1);
    WriteInput(mapData + (rest ? "/Wave/HighwayDB.db" : "/Wave/RestareaDB.db"), empty, sizeof empty);
    CHighwayDB db;
    const bool loaded = db.Load(u"\\MapData", names);
    const long records = static_cast<long>((size - 1) / (rest ? CHighwayDB::kRestAreaSize : CHighwayDB::kHighwaySize));
    if (loaded && (rest ? db.RestAreaCount() : db.HighwayCount()) > records) std::abort();
    for (int id = 0; id < 70; ++id) {
        RestAreaRecord r;
        if (db.GetRestArea(id, r) && (r.id != id || std::strlen(r.name) > RestAreaRecord::kNameSize)) std::abort();
        HighwayRecord h;
        if (db.GetHighway(id, h) && std::strlen(h.text) > HighwayRecord::kTextSize) std::abort();
    }
    return 0;
}
