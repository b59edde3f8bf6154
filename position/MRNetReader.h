// The positioning side's reader of the "MRData" road network: keeps the eight network files
// open, reads records by byte offset or by map-relative number (three files optionally from
// memory images), finds the map holding a point and keeps a sliding 3 x 3 window of map
// records around the car. Every id, count and offset is checked before it indexes anything;
// a failed read answers false, 0 or -1.
#pragma once

#include "position/PagedFile.h"
#include "route/MRFormat.h"

#include <array>
#include <cstdint>
#include <memory>

class CMRNetReader {
public:
    enum FileIndex { kManage, kNode, kLink, kVertex, kGuide, kCross, kNeighb, kCrossName, kFileCount };
    using RawMapRecord = std::array<std::uint8_t, mrformat::kMapRecordSize>;

    // The program's reader, created on first use (null only when it cannot be allocated).
    static CMRNetReader* GetInstance();
    static void Destroy();

    CMRNetReader();
    ~CMRNetReader();
    CMRNetReader(const CMRNetReader&) = delete;
    CMRNetReader& operator=(const CMRNetReader&) = delete;

    // Opens the eight files "%s\MRData\..." (closing any left open before) and reads the map
    // count: true when the count was read; IsOpen tells whether all eight opened.
    bool Open(const char16_t* folder);
    bool IsOpen() const;
    int Close();
    std::int16_t MapCount() const { return m_mapCount; }

    // Memory images of MRNode.bin, MRLink.bin and MRCross.bin (null clears one); reads are
    // served from them at the files' byte offsets, never beyond their sizes.
    void SetMemoryCopies(const std::uint8_t* nodes, std::size_t nodeSize, const std::uint8_t* links,
                         std::size_t linkSize, const std::uint8_t* junctions, std::size_t junctionSize);

    int GetMapRecord(int mapId, RawMapRecord& record);
    int GetMapRecord(int mapId, MRMapRecord& record);

    bool ReadNode(std::int64_t offset, std::uint8_t (&node)[mrformat::kNodeSize]);
    bool GetNode(int mapId, int node, std::uint8_t (&record)[mrformat::kNodeSize]);
    // A packed junction of n links (1..8) at a byte offset of MRCross.bin.
    bool ReadCross(std::int64_t offset, int n, MRCrossNode& junction);
    // The junction of a node (n given by the caller); false for a pass-through node.
    bool GetNodeJunction(int mapId, int node, int n, MRCrossNode& junction);
    bool ReadNeighbour(std::int64_t offset, std::uint8_t (&record)[mrformat::kExNodeSize]);
    // The boundary record of a pass-through node, checked against the map's boundary block.
    bool GetNodeNeighbour(int mapId, int node, std::uint8_t (&record)[mrformat::kExNodeSize]);
    bool ReadLink(std::int64_t offset, std::uint8_t (&link)[mrformat::kLinkSize]);
    bool GetLink(int mapId, int link, std::uint8_t (&record)[mrformat::kLinkSize]);
    // count link records in one read into buffer (bufferSize bytes).
    bool ReadLinks(std::int64_t offset, int count, std::uint8_t* buffer, std::size_t bufferSize);
    bool GetShapePoint(int mapId, int link, int k, std::uint16_t& x, std::uint16_t& y);
    bool ReadShapePoints(std::int64_t offset, int count, std::uint8_t* buffer, std::size_t bufferSize);
    // Segment k of a link (0 .. shape point count): map-relative start and end points.
    bool GetSegment(int mapId, int link, int k, std::uint16_t& x1, std::uint16_t& y1, std::uint16_t& x2,
                    std::uint16_t& y2);
    // length bytes of MRCrossName.bin at offset, terminated; false when they do not fit.
    bool ReadCrossName(std::int64_t offset, int length, char* buffer, int bufferSize);

    // The id of the map whose box holds the point, -1 when none.
    int FindMap(std::int32_t x, std::int32_t y);
    // Brings the map of the point into the centre slot and fills the neighbours by its quadrant.
    bool Locate(std::int32_t x, std::int32_t y);

    // The window: slot = row x 3 + column, row 0 south; an empty slot answers false.
    bool GetWindowRecord(int slot, MRMapRecord& record) const;
    int WindowMapId(int slot) const;
    int Quadrant() const { return m_quadrant; }
    // Map records read from MRManage.bin so far (a diagnostic for the lookups' cost).
    long RecordReads() const { return m_recordReads; }
    // Reads of the files themselves so far, all eight together.
    long FileReads() const;
    // The files are read through pages kept in memory (the default); off, every read goes to the
    // file. The answers are the same either way.
    void SetReadCaching(bool on);

private:
    struct Slot {
        RawMapRecord raw{};
        MRMapRecord rec;
    };
    bool ReadFile(FileIndex f, std::int64_t offset, void* buffer, std::int64_t n);
    bool ReadImage(const std::uint8_t* image, std::size_t size, std::int64_t offset, void* buffer,
                   std::int64_t n) const;
    bool ReadFrom(FileIndex f, std::int64_t offset, void* buffer, std::int64_t n);
    bool ReadMapFromFile(int mapId, RawMapRecord& record);
    static bool SlotEmpty(const Slot& s) { return s.rec.neighbours[4] == mrformat::kNoMap; }
    static void EmptySlot(Slot& s);
    void ResetWindow();
    // Size of a map's boundary block: the next map's offset (or the file's end) minus its own.
    std::int64_t ExNodeBlockSize(int mapId, const MRMapRecord& record);

    std::unique_ptr<CPagedFile> m_files[kFileCount];
    bool m_caching = true;
    std::int16_t m_mapCount = -1;
    const std::uint8_t* m_nodeImage = nullptr;
    const std::uint8_t* m_linkImage = nullptr;
    const std::uint8_t* m_crossImage = nullptr;
    std::size_t m_nodeImageSize = 0, m_linkImageSize = 0, m_crossImageSize = 0;
    Slot m_window[9];
    int m_quadrant = -1;
    long m_recordReads = 0;
};
