// A stored record list: a 32-bit count (little-endian) followed by that many packed records, at
// most 2000. Lists load from an open file and save to a path: the new file is written beside the
// old one and renamed over it, so a failed save leaves the old list whole.
#pragma once

#include "route/base/BinFile.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

template <class R> class CRecordList {
public:
    static constexpr std::int32_t kMaxRecords = 2000;

    virtual ~CRecordList() = default;

    virtual int IsLoaded() const { return m_loaded; }
    // Reads the count; false when the file ends first.
    virtual bool ReadHeader(CBinFile& file, std::int32_t& count);
    // Replaces the list with the file's records, read from the file's current position. A file
    // that ends inside its records gives the whole records before the cut. False (the list empty
    // and not loaded) when the count is outside 0-2000 or no byte of its records is in the file.
    virtual bool Load(CBinFile& file);
    virtual bool WriteHeader(CBinFile& file) const;
    // Writes the count and every record at the file's current position in one piece.
    virtual bool Save(CBinFile& file);
    // False when the list already holds 2000 records.
    virtual bool Add(const R& record);
    // Removes the first record at the record's x and y; false when none is there.
    virtual bool Remove(const R& record);

    // Opens path and loads it; false when it cannot be opened or does not load.
    bool LoadFrom(const char16_t* path);
    // Writes the list to path aside and renames it over the old file; false on failure.
    bool SaveTo(const char16_t* path);

    std::int32_t GetCount() const { return m_count; }
    const R* GetAt(int index) const {
        return index >= 0 && index < static_cast<int>(m_records.size()) ? &m_records[index] : nullptr;
    }
    std::int16_t GetMode() const { return m_mode; }
    void SetMode(std::int16_t mode) { m_mode = mode; }
    void Clear() {
        m_records.clear();
        m_count = 0;
        m_loaded = 0;
    }
    // Takes records read elsewhere as the list's contents (marked loaded).
    void Assign(std::vector<R> records) {
        m_records = std::move(records);
        m_count = static_cast<std::int32_t>(m_records.size());
        m_loaded = 1;
    }
    // Removes the record at index; false when there is no such record.
    bool RemoveAt(int index) {
        if (index < 0 || index >= static_cast<int>(m_records.size())) return false;
        m_records.erase(m_records.begin() + index);
        m_count = static_cast<std::int32_t>(m_records.size());
        m_loaded = 1;
        return true;
    }
    // Puts a record at index (a removal undone); false when index lies beyond the end.
    bool InsertAt(int index, const R& record) {
        if (index < 0 || index > static_cast<int>(m_records.size())) return false;
        m_records.insert(m_records.begin() + index, record);
        m_count = static_cast<std::int32_t>(m_records.size());
        return true;
    }
    // Drops the last record (an addition undone).
    void DropLast() {
        if (m_records.empty()) return;
        m_records.pop_back();
        m_count = static_cast<std::int32_t>(m_records.size());
    }
    // Sorts the records, keeping equal ones in their order.
    template <class Less> void StableSort(Less less) { std::stable_sort(m_records.begin(), m_records.end(), less); }

protected:
    // Readies a record before it is packed or unpacked (the list's mode may choose its form).
    virtual void Prepare(R&) const {}
    std::vector<std::uint8_t> Pack();

    std::int32_t m_loaded = 0;
    std::int32_t m_count = 0;
    std::int16_t m_mode = 0;
    std::vector<R> m_records;
};

#include "app/RecordList.inl"
