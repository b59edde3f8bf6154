// The names of the additional voice clips ("Wave\AddWav.idx": 414 records of offset, size and a
// 24-byte code page 949 name). Names are kept in byte order; a name's id is its place in the
// order of first appearance (1-based), so a repeated name keeps the id of its first record.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

class CSoundIndex {
public:
    static constexpr int kRecords = 414;
    static constexpr int kRecordSize = 32;
    static constexpr int kNameSize = 24;
    static constexpr long kFileSize = kRecords * kRecordSize; // 13,248

    struct Entry {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    // The one index of the program, made on first use; Destroy releases it.
    static CSoundIndex& GetInstance();
    static void Destroy();

    // Loads the index file (a CE path); returns the number of names (0 when the file is not
    // exactly 13,248 bytes or cannot be read). When already loaded, the current count.
    int Load(const char16_t* path);
    int Count() const;
    // Id of a name (its first 24 bytes; a shorter name is padded with zeros), 0 when absent.
    int Find(std::string_view name) const;
    // The offset and size of the name with id i + 1; false when there is none.
    bool GetEntry(int i, Entry& entry) const;
    void Clear();

private:
    using Key = std::array<char, kNameSize>;
    mutable std::mutex m_lock;
    std::map<Key, int> m_ids;
    std::vector<Entry> m_entries; // by id - 1
};
