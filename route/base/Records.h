// The serialisable records: each reports its packed size and packs and unpacks itself
// field by field (little-endian, unaligned), and saves or loads itself through an open
// CBinFile at the file's current position.
#pragma once

#include "route/base/BinFile.h"
#include "route/base/MemStream.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace recordio {

// Saves size bytes packed by write(buffer): 1 when the write stored at least one byte.
template <class Pack> int Save(CBinFile& file, int size, Pack pack) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size), 0);
    pack(buffer.data());
    return file.Write(buffer.data(), size) > 0 ? 1 : 0;
}

// Reads size bytes and unpacks them when at least one byte was read. A short read unpacks a
// zero-filled remainder, so the result never depends on leftover memory.
template <class Unpack> int Load(CBinFile& file, int size, Unpack unpack) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size), 0);
    if (file.Read(buffer.data(), size) < 1) return 0;
    return unpack(buffer.data());
}

// Copies a zero-terminated CP949 name into a fixed field, zero-padded, cut to the field.
void PutName(char* field, std::size_t fieldSize, const char* name);

} // namespace recordio

// Records of the user's stored lists: GetSize, Write (buffer), Save, Read (buffer), Load.
class CStoredRecord {
public:
    virtual ~CStoredRecord() = default;
    virtual int GetSize() const = 0;
    virtual int Write(void* buffer) const = 0;
    virtual int Save(CBinFile& file) const {
        return recordio::Save(file, GetSize(), [this](std::uint8_t* b) { Write(b); });
    }
    virtual int Read(const void* buffer) = 0;
    virtual int Load(CBinFile& file) {
        return recordio::Load(file, GetSize(), [this](const std::uint8_t* b) { return Read(b); });
    }
};

// Items of the route path: GetSize, Write (buffer), Save, Read (reader), ReadBuffer, Load.
class CPathRecord {
public:
    virtual ~CPathRecord() = default;
    virtual int GetSize() const = 0;
    virtual int Write(void* buffer) const = 0;
    virtual int Save(CBinFile& file) const {
        return recordio::Save(file, GetSize(), [this](std::uint8_t* b) { Write(b); });
    }
    virtual int Read(CMemReader& reader) = 0;
    virtual int ReadBuffer(const void* buffer) {
        CMemReader reader(buffer, GetSize());
        return Read(reader);
    }
    virtual int Load(CBinFile& file) {
        return recordio::Load(file, GetSize(), [this](const std::uint8_t* b) { return ReadBuffer(b); });
    }
};

// A run of route items on one map: map id, item count, index of the first item.
class CPathLinkRef : public CPathRecord {
public:
    static constexpr int kSize = 8;
    std::uint16_t mapId = 0;
    std::uint16_t count = 0;
    std::int32_t firstIndex = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(CMemReader& reader) override;
};

// One route item: a link travelled in a direction, with its kind, facility code, the
// distance remaining to the goal and the name of the junction at its end.
class CPathLinkItem : public CPathRecord {
public:
    static constexpr int kSize = 32;
    static constexpr int kNameSize = 20;
    std::uint16_t mapId = 0;
    std::uint16_t linkId = 0;
    std::uint8_t direction = 0;
    std::uint8_t kind = 0;
    std::uint8_t facility = 0;
    std::uint32_t remaining = 0;
    char name[kNameSize + 1] = {};

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(CMemReader& reader) override;
};

// A shape point in network coordinates.
class CPathPoint : public CPathRecord {
public:
    static constexpr int kSize = 8;
    std::int32_t x = 0;
    std::int32_t y = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(CMemReader& reader) override;
};

// The key of a guided link: link id, direction and route item index, a flag byte and the guide code.
class CRouteLinkKey : public CPathRecord {
public:
    static constexpr int kSize = 8;
    CRouteLinkKey() = default;
    std::uint16_t linkId = 0;
    std::int16_t direction = 0;
    std::int16_t itemIndex = 0;
    std::uint8_t flag = 0;
    std::uint8_t guideCode = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(CMemReader& reader) override;
};

// A facility on the route: its value, code (1-4) and route item index.
class CPathGuideItem : public CPathRecord {
public:
    static constexpr int kSize = 6;
    std::int16_t value = 0;
    std::int16_t code = 0;
    std::int16_t itemIndex = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(CMemReader& reader) override;
};

// A saved position: name, x, y and two bytes.
class CPosRecord : public CStoredRecord {
public:
    static constexpr int kSize = 30;
    static constexpr int kNameSize = 20;
    char name[kNameSize + 1] = {};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(const void* buffer) override;
};

// A recent destination: name, x, y (map units), kind and three further values.
class CRecentDestRecord : public CStoredRecord {
public:
    static constexpr int kSize = 44;
    static constexpr int kNameSize = 20;
    char name[kNameSize + 1] = {};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t kind = 0;
    std::int32_t values[3] = {};
    std::int32_t unstored = 0;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(const void* buffer) override;
    // Same x, y and kind and the same 20 name bytes.
    bool IsSame(const CRecentDestRecord& other) const;
};

// A safe-driving point. Stored in point-file coordinates; in memory in network coordinates.
// With form 1 the name takes 16 bytes and bytes 16-19 hold shortValue.
class CSafePointRecord : public CStoredRecord {
public:
    static constexpr int kSize = 36;
    static constexpr int kNameSize = 20;
    static constexpr int kShortNameSize = 16;
    std::int16_t form = 0;
    char name[kNameSize + 1] = {};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t values[4] = {0, 0xFFFF, 0xFFFF, 0xFFFF};
    std::int32_t shortValue = 0;
    std::uint8_t flag = 1;

    int GetSize() const override { return kSize; }
    int Write(void* buffer) const override;
    int Read(const void* buffer) override;
};

// A stored record list: a 32-bit count, then the packed records back to back.
template <class R> std::vector<std::uint8_t> PackRecordList(const std::vector<R>& records) {
    std::size_t total = 4;
    for (const R& r : records) total += static_cast<std::size_t>(r.GetSize());
    std::vector<std::uint8_t> bytes(total, 0);
    CMemWriter writer(bytes.data(), static_cast<std::int32_t>(total));
    writer.Write(static_cast<std::int32_t>(records.size()));
    std::size_t at = 4;
    for (const R& r : records) {
        r.Write(bytes.data() + at);
        at += static_cast<std::size_t>(r.GetSize());
    }
    return bytes;
}

// Unpacks a stored record list; false (and the list left empty) when the count is negative,
// above maxCount, or its records do not fit in the bytes given.
template <class R>
bool UnpackRecordList(const std::uint8_t* bytes, std::size_t length, std::vector<R>& records,
                      std::int32_t maxCount) {
    records.clear();
    if (length < 4) return false;
    std::int32_t count = 0;
    std::memcpy(&count, bytes, 4);
    const std::size_t size = static_cast<std::size_t>(R().GetSize());
    if (count < 0 || count > maxCount || static_cast<std::size_t>(count) * size > length - 4) return false;
    records.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) records[i].Read(bytes + 4 + i * size);
    return true;
}
