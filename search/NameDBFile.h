// The prefix search over the name database: a character tree (two-byte keys, one level per
// character) whose nodes point at the run of name records that begin with the characters on
// their path; names are sorted by their code page 949 bytes.
#pragma once

#include "search/NameEngine.h"
#include "search/NameFiles.h"

#include <cstdint>
#include <vector>

class CNameDBFile : public CNameEngine {
public:
    static constexpr int kQueryMax = 255;

    CNameDBFile() = default;
    ~CNameDBFile() override = default;

    bool Reload(const char16_t* namePath, const char16_t* adminPath) override;
    bool OpenOn(const char16_t* namePath, const char16_t* adminPath) override;
    bool Search(const char* query) override;
    bool GetPosition(int i, _NAME_RESULT& result) override;
    std::uint32_t GetDetailNumber(int i) override;
    bool GetHit(int i, NameHit& hit) override;
    bool GetName(int i, char* buffer) override;
    bool GetLocal(int n, char* buffer) override;
    bool ReadEntry30(int n, char* buffer) override;
    int GetCount() override;
    void Clear() override;

    // Reads the version text at the start of a name or admin-name database (84 bytes, or the
    // 32-byte text alone when the file is shorter).
    static bool ReadVersion(const char16_t* path, _VERSION_INFO& version);

private:
    struct IndexEntry {
        char key[3] = {};
        std::uint32_t childOffset = 0;
        std::uint16_t childCount = 0;
        std::uint32_t recordOffset = 0;
        std::uint32_t recordCount = 0;
    };
    void ResetState();
    bool ReadHitRecord(int i, NameRecord& record);
    // Binary search of one tree level for a two-byte key.
    bool FindKey(std::uint32_t childOffset, std::uint32_t count, const std::uint8_t key[2], IndexEntry& out) const;
    // Narrows the records of the node in the state to the names that begin with the query.
    bool NarrowByPrefix(const char* query, std::size_t length);

    CNameFiles m_files;
    std::vector<std::uint8_t> m_index;
    char m_query[kQueryMax + 1] = {};
    IndexEntry m_state;
    bool m_opened = false;
};
