// The expanded name search: every name record is scanned for up to three words of the query
// anywhere in the name (byte positions), scored by which words it holds, and the best 100 are
// kept in score order (equal scores in file order).
#pragma once

#include "search/NameEngine.h"
#include "search/NameFiles.h"

#include <cstdint>
#include <string>
#include <vector>

class CNameMatcher : public CNameEngine {
public:
    static constexpr std::size_t kMaxHits = 100;
    static constexpr std::uint32_t kChunkRecords = 20000;

    struct Hit {
        NameRecord record;
        std::uint8_t score = 100;
    };

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

    const std::vector<Hit>& Hits() const { return m_hits; }
    // The score of a record holding the words flagged (1 = all three ... 7 = only the third).
    static std::uint8_t Score(bool w1, bool w2, bool w3);

private:
    const Hit* At(int i) const;

    CNameFiles m_files;
    std::vector<Hit> m_hits;
    std::string m_words[3];
};
