// The broadcast road tables ("\Darc\DLevel1.db" below the map data folder): a read-only tree of
// top groups, roads and the sections of each road, with road and place names, map positions,
// lengths and the DARC link id of every section. TrafficRoadDB keeps one level of the tree in
// memory, walks down and up, saves and restores where it stands, turns a record into a display
// record with the current speeds of both directions, finds the road that holds a given link,
// and re-anchors stored roads of interest after the file changed.
//
// File layout (little-endian, texts CP949): an 88-byte header; runs of 36-byte records, one run
// per list of children; name tables of 60-byte records. Offsets in records and in the name-table
// fields of the header count from the end of the header; the level-0, road and section table
// fields of the header are file positions. Every offset, count and index read from the file is
// checked against the file's size before it is used.
#pragma once

#include "platform/base/CString.h"
#include "route/base/BinFile.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the browsing stands: the current level (0-3) and, per level, the selected row, the
// table offset (level 0: file position; levels 1-3: counted from the end of the header) and the
// record count. 52 bytes when stored (the roads-of-interest file).
struct sSAVETRAFFIC {
    static constexpr int kLevels = 4;
    static constexpr int kStoredSize = 52;

    std::uint32_t level = 0;
    std::uint32_t selected[kLevels] = {};
    std::uint32_t offset[kLevels] = {};
    std::uint32_t count[kLevels] = {};

    // Field by field, little-endian; Unpack needs kStoredSize bytes.
    void Pack(unsigned char* bytes) const;
    void Unpack(const unsigned char* bytes);
};

// The display record of one row of the road lists.
struct TrafficSectionInfo {
    static constexpr unsigned char kNotReceived = 255;
    static constexpr unsigned char kNoInformation = 254;

    char roadName[60] = {};  // entries named from the road-name table
    char startName[60] = {}; // sections and other entries
    char endName[60] = {};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t length = 0; // metres
    unsigned char speed[2] = {}; // km/h of the first and the second direction; 255, 254 as above
    unsigned char reserved = 0;
    unsigned char direction = 0; // the record's direction bit
    unsigned char highway = 0;   // 1 on a highway link
};

// One slot of the roads of interest (the file's layout is in InterestRoadFile.h).
struct InterestRoadSlot {
    static constexpr int kNameBytes = 50;

    std::uint16_t number = 0; // slot index + 1 when used, 0 when free
    char name[kNameBytes] = {}; // CP949, zero-terminated
    sSAVETRAFFIC state;         // the state that shows the road's sections

    bool IsUsed() const { return number != 0; }
};

class TrafficRoadDB {
public:
    static constexpr int kHeaderSize = 88;
    static constexpr int kRecordSize = 36;
    static constexpr int kNameSize = 60;
    static constexpr int kLevels = sSAVETRAFFIC::kLevels;

    TrafficRoadDB();
    ~TrafficRoadDB();
    TrafficRoadDB(const TrafficRoadDB&) = delete;
    TrafficRoadDB& operator=(const TrafficRoadDB&) = delete;

    // The path of the road tables: the link-speed store's map folder + "\Darc\DLevel1.db".
    static CString DefaultPath();

    // Opens the file and reads level 0; 1 on success, 0 when the file is missing, the header is
    // short, the level-0 table is empty or lies outside the file.
    int Open(const char16_t* path);
    void Close();
    bool IsOpen() const { return m_open; }
    int GetLevel() const { return m_open ? m_level : -1; }
    int GetCount() const { return m_open ? static_cast<int>(m_records.size()) : -1; }
    // True when the current level's first record is a section (kind 0).
    bool IsSectionLevel() const { return m_open && m_sectionLevel; }
    int GetFirstKind() const;

    void SetSelected(int row);
    int GetSelected() const;

    // Fields of record i of the current level; 0 for an index outside the level.
    int GetSectionX(int i) const;
    int GetSectionY(int i) const;
    std::uint32_t GetSectionLength(int i) const;
    int GetGridCode(int i) const;

    // Descends into record i: 1 on success, and 1 without a change for a section (kind 0).
    // 0 when closed, at the deepest level, for an index outside, a record without children, or
    // a child run outside the file. A failed change keeps the level and its records.
    int EnterRecord(int i);
    // Back to the parent level: 1 (nothing done at level 0), 0 when its run cannot be read.
    int LevelUp();
    // Reads the current level's run again (the speeds may have changed nothing else; the file
    // may have been replaced). 1 on success, and at level 0.
    int ReloadLevel();

    // The current state; the record belongs to this object and is overwritten by the next call.
    // Keep a copy.
    const sSAVETRAFFIC* SaveState();
    // Takes a state (as stored in the roads-of-interest file) and reads its level's run. 0, with
    // nothing changed, for a level outside 0-3, or a current level whose offset and count do not
    // give a run inside the file. Selected rows outside their level's count become 0.
    int RestoreState(const sSAVETRAFFIC* state);

    // The display record of record i: 1 for a road entry (kind 1) or a paired section, else 0.
    // An index outside the level clears the record and answers 0.
    int GetSectionInfo(int i, TrafficSectionInfo* info) const;

    // The state that shows the sections of the road holding one of two links (16-bit link
    // indices of the link-speed store; 0xFFFF or an unknown index counts as no link), or null.
    // The record belongs to this object. Entry k of the state is the table of level k, from the
    // header's level-0 table down to the road's sections; each level's row is the one that leads
    // to the road, and the section level's row is the matched section's speed row.
    const sSAVETRAFFIC* FindDrivingRoad(unsigned short first, unsigned short second);
    // The list row of the section found by the last FindDrivingRoad (its speed row).
    int GetDrivingRow() const { return m_drivingRow; }
    // The name of the road found by the last FindDrivingRoad.
    const char16_t* GetDrivingRoadName();

    // Points every used slot whose name names a road of the file at that road's sections
    // (level, table offsets and counts from the road up to level 0). A road of the same name
    // whose sections the slot already shows is kept. 1 when open, else 0.
    int ReanchorInterestRoads(int count, InterestRoadSlot* slots);

private:
    struct Header {
        std::uint32_t level0Offset = 0;
        std::uint32_t level0Count = 0;
        std::uint32_t roadOffset = 0;
        std::uint32_t roadCount = 0;
        std::uint32_t sectionOffset = 0;
        std::uint32_t sectionCount = 0;
        std::uint32_t roadNames = 0;
        std::uint32_t placeNames = 0;
    };
    struct Record {
        std::uint32_t childOffset = 0;
        std::int16_t childCount = 0;
        std::uint8_t kind = 0;
        std::int16_t roadName = 0;
        std::uint32_t direction = 0;
        std::uint32_t linkId = 0;
        std::int16_t startName = 0;
        std::int16_t endName = 0;
        std::int16_t gridCode = 0;
        std::int16_t x = 0;
        std::int16_t y = 0;
        std::uint32_t length = 0;
        std::uint32_t parent = 0;
    };

    static Record ParseRecord(const unsigned char* bytes);
    // The file position of a level's table: level 0's offset is one already, the others count
    // from the end of the header.
    static std::int64_t TablePosition(int level, std::uint32_t offset);
    // Reads count records at position into out; false when the run is not whole inside the file.
    bool ReadRun(std::int64_t position, std::int64_t count, std::vector<Record>& out);
    bool ReadRecordAt(std::int64_t position, Record& out);
    // Reads level's stored run into the current records; on failure nothing changes.
    bool LoadLevel(int level);
    // A name record of a table (a header field counted from the end of the header); empty when
    // the index is negative or the record lies outside the file.
    std::string ReadName(std::uint32_t table, std::int32_t index) const;
    // Fills state with the path from level 0 down to the sections of the road at file position
    // roadPosition; false when the chain of parents does not lead to a level-0 record, or a
    // record does not lie in its parent's run.
    bool BuildRoadState(std::int64_t roadPosition, const Record& road, sSAVETRAFFIC& state);
    const Record* At(int i) const;
    unsigned char SpeedOf(std::uint32_t linkId) const;

    mutable CBinFile m_file;
    bool m_open = false;
    std::int64_t m_fileSize = 0;
    Header m_header;
    std::vector<Record> m_records;
    std::uint32_t m_offset[kLevels] = {};
    std::uint32_t m_count[kLevels] = {};
    std::uint32_t m_selected[kLevels] = {};
    int m_level = 0;
    bool m_sectionLevel = false;
    int m_drivingRow = 0;
    sSAVETRAFFIC m_saved;
    sSAVETRAFFIC m_driving;
    std::string m_drivingName;     // CP949, as the file holds it
    std::u16string m_drivingWide;
};
