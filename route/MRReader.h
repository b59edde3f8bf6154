// The route engine's reader of the "MRData" road network: block and record reads of every
// network file through a small pool of open files (VFD) that keeps at most 14 files open.
// Every map id, index, count and offset is checked against the map directory and the file
// sizes before it is used; a failed read writes one error-log line and returns 0.
#pragma once

#include "route/MRFormat.h"
#include "route/base/BinFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The file pool. Descriptor 0 heads the free list and the ring of open files (newest first).
class VFD {
public:
    static constexpr int kMaxOpen = 14;

    VFD() = default;
    ~VFD() { CloseAll(); }
    VFD(const VFD&) = delete;
    VFD& operator=(const VFD&) = delete;

    // Stores the root folder (at most 255 characters); returns its length.
    int SetRoot(const char16_t* root);
    // Opens root + relative path read-only; the descriptor number, -1 on failure (after which
    // every descriptor of the pool is closed and freed).
    int OpenFile(const char16_t* relativePath, const char* mode);
    // Reads n bytes at offset: n, or 0 on any failure (nothing past the file's size is read).
    // A descriptor closed to make room is opened again.
    int ReadAt(int descriptor, void* buffer, std::int64_t offset, std::int64_t n);
    void CloseDescriptor(int descriptor);
    void CloseAll();

    // The size taken at opening, -1 for an unknown descriptor.
    std::int64_t FileSize(int descriptor) const;
    bool IsFileOpen(int descriptor) const;
    int OpenCount() const { return m_open; }
    int DescriptorCount() const { return static_cast<int>(m_desc.size()); }

private:
    struct Descriptor {
        std::unique_ptr<CBinFile> file;
        int nextFree = 0;
        int prev = 0, next = 0; // ring of open files
        std::u16string path;
        std::string mode;
        std::int64_t position = 0;
        std::int64_t size = 0;
        bool used = false;
    };
    int TakeFree();
    bool OpenInto(int d);
    void Unlink(int d);
    void LinkAtHead(int d);

    std::vector<Descriptor> m_desc; // [0] is the list head
    int m_open = 0;
    std::u16string m_root;
};

class MRReader {
public:
    MRReader() = default;
    ~MRReader() { Close(); }
    MRReader(const MRReader&) = delete;
    MRReader& operator=(const MRReader&) = delete;

    // Opens the network under root (the data folder). The caller may supply the map records
    // and boxes (it keeps them; recordCount must cover the file's map count); otherwise the
    // reader loads them from MRManage.bin. 1 when every file opened and the directory is sound.
    int Open(int level, const char16_t* root, const MRMapRecord* records = nullptr,
             const MRBox* boxes = nullptr, int recordCount = 0);
    void Close();
    bool IsOpened() const { return m_opened; }
    std::uint16_t MapCount() const { return m_mapCount; }
    // The record of a map, or null for an id outside 0..count-1.
    const MRMapRecord* MapRecord(int map) const;
    const MRBox* MapBox(int map) const;

    int ReadLinkBlock(void* buffer, int map, int count);
    int ReadNodeBlock(void* buffer, int map, int count);
    int ReadCrossBlock(void* buffer, int map, std::int64_t size);
    int ReadExNodeBlock(void* buffer, int map, std::int64_t size);
    int ReadGuideBlock(void* buffer, int map, std::int64_t size);
    int ReadLink(void* buffer, int map, int link);
    int ReadNode(void* buffer, int map, int node);
    // The junction of a node record's reference; 0 for a pass-through node or more than 8 links.
    int ReadCrossNode(MRCrossNode& junction, int map, std::uint32_t nodeRef);
    int ReadExNode(void* buffer, int map, std::uint32_t nodeRef);
    // The link's shape vertices (count x 4 bytes); 0 when they do not fit bufferSize.
    int ReadVertices(void* buffer, std::int64_t bufferSize, int map, const std::uint8_t* linkRecord);
    // length bytes of the name (not terminated); 0 when they do not fit bufferSize.
    int ReadCrossName(void* buffer, std::int64_t bufferSize, int map, std::uint32_t nameRef);
    // The n x n guide table of a junction; 0 when it has none or it does not fit bufferSize.
    int ReadGuideCode(void* buffer, std::int64_t bufferSize, int map, int n, const MRCrossNode& junction);
    // The entry count of LinkIDvsCode.db, limited to the entries the file holds (0 on failure).
    std::int32_t ReadCodeCount();
    int ReadCodes(void* buffer, std::int32_t n);
    // The whole of MRCrossName.bin.
    int LoadAllCrossNames(std::vector<std::uint8_t>& names);
    // A name out of a whole-file copy of MRCrossName.bin; 0 when it lies outside it or does
    // not fit bufferSize.
    int CopyCrossName(void* buffer, std::int64_t bufferSize, const std::vector<std::uint8_t>& names, int map,
                      std::uint32_t nameRef) const;
    // Next map's boundary-node offset minus this map's; for the last map, the file's length
    // minus this map's offset. -1 for a bad map id or a block that runs backwards.
    std::int64_t GetExNodeBlockSize(int map) const;

    enum File { kManage, kCrossName, kVertex, kGuide, kCodes, kNode, kLink, kCross, kNeighb, kFileCount };
    // The size of an opened file, -1 when it is not open.
    std::int64_t FileSize(File f) const { return m_pool.FileSize(m_fd[f]); }
    VFD& Pool() { return m_pool; }

private:
    int Fail(int line, const char* message);
    bool Read(File f, void* buffer, std::int64_t offset, std::int64_t n);
    bool LoadRecords();

    VFD m_pool;
    int m_level = 3;
    bool m_opened = false;
    bool m_callerRecords = false;
    std::uint16_t m_mapCount = 0;
    int m_fd[kFileCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    const MRMapRecord* m_records = nullptr;
    const MRBox* m_boxes = nullptr;
    std::vector<MRMapRecord> m_ownRecords;
    std::vector<MRBox> m_ownBoxes;
};
