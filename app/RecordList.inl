// Template bodies of CRecordList (included by RecordList.h).
#pragma once

#include "platform/files/DeviceRoot.h"
#include "platform/store/StoreFile.h"

#include <cstring>
#include <string>

template <class R> bool CRecordList<R>::ReadHeader(CBinFile& file, std::int32_t& count) {
    std::uint8_t b[4] = {};
    if (file.Read(b, 4) != 4) return false;
    count = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
    return true;
}

template <class R> bool CRecordList<R>::Load(CBinFile& file) {
    Clear();
    std::int32_t count = 0;
    if (!ReadHeader(file, count) || count < 0 || count > kMaxRecords) return false;
    const int size = R().GetSize();
    const int bytes = count * size;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(bytes) + 1, 0);
    // A file cut short keeps the records that are whole in it (a trailing part of one is not a
    // record): dropping them all would let the next save overwrite them with the new record only.
    int got = bytes > 0 ? file.Read(block.data(), bytes) : 0;
    if (got < 0) got = 0;
    if (bytes > 0 && got == 0) return false;
    const std::int32_t whole = size > 0 ? std::min<std::int32_t>(count, got / size) : 0;
    std::vector<R> records(static_cast<std::size_t>(whole));
    for (std::int32_t i = 0; i < whole; ++i) {
        Prepare(records[i]);
        records[i].Read(block.data() + static_cast<std::size_t>(i) * size);
    }
    m_records = std::move(records);
    m_count = whole;
    m_loaded = 1;
    return true;
}

template <class R> bool CRecordList<R>::WriteHeader(CBinFile& file) const {
    std::uint8_t b[4];
    const std::uint32_t c = static_cast<std::uint32_t>(m_count);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(c >> (8 * i));
    return file.Write(b, 4) == 4;
}

template <class R> std::vector<std::uint8_t> CRecordList<R>::Pack() {
    std::size_t total = 4;
    for (R& r : m_records) {
        Prepare(r);
        total += static_cast<std::size_t>(r.GetSize());
    }
    std::vector<std::uint8_t> bytes(total, 0);
    const std::uint32_t c = static_cast<std::uint32_t>(m_records.size());
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(c >> (8 * i));
    std::size_t at = 4;
    for (const R& r : m_records) {
        r.Write(bytes.data() + at);
        at += static_cast<std::size_t>(r.GetSize());
    }
    return bytes;
}

template <class R> bool CRecordList<R>::Save(CBinFile& file) {
    const std::vector<std::uint8_t> bytes = Pack();
    if (file.Write(bytes.data(), static_cast<int>(bytes.size())) != static_cast<int>(bytes.size())) return false;
    m_loaded = 1;
    return true;
}

template <class R> bool CRecordList<R>::Add(const R& record) {
    if (m_records.size() >= static_cast<std::size_t>(kMaxRecords)) return false;
    m_records.push_back(record);
    m_count = static_cast<std::int32_t>(m_records.size());
    return true;
}

template <class R> bool CRecordList<R>::Remove(const R& record) {
    bool removed = false;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].x == record.x && m_records[i].y == record.y) {
            m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
            break;
        }
    }
    m_count = static_cast<std::int32_t>(m_records.size());
    m_loaded = 1;
    return removed;
}

template <class R> bool CRecordList<R>::LoadFrom(const char16_t* path) {
    CBinFile file;
    if (file.Open(path, CBinFile::kModeRead) != 0) {
        Clear();
        return false;
    }
    const bool ok = Load(file);
    file.Close();
    return ok;
}

template <class R> bool CRecordList<R>::SaveTo(const char16_t* path) {
    if (!path) return false;
    const std::vector<std::uint8_t> bytes = Pack();
    if (!storefile::WriteReplacing(DeviceRoot::Resolve(path),
                                   std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return false;
    m_loaded = 1;
    return true;
}
