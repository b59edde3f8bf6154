// The front of the name search: owns the prefix engine and the word matcher, checks a query's
// characters and forwards each request to the engine of the last successful search.
#pragma once

#include "search/NameDBFile.h"
#include "search/NameMatcher.h"

#include <cstdint>
#include <memory>

class CNameSearcher {
public:
    enum Mode : std::uint8_t { kPrefix = 0, kExpanded = 1, kNone = 0xFF };

    bool Create();
    bool OpenOn(const char16_t* namePath, const char16_t* adminPath);
    bool Reload(const char16_t* namePath, const char16_t* adminPath);
    // code: 2 searched, 0 query refused, -1 nothing found.
    bool SearchPrefix(const char* query, int& code);
    bool SearchExpanded(const char* query, int& code);
    bool GetPosition(int i, _NAME_RESULT& result);
    bool GetHit(int i, NameHit& hit);
    int GetCount();
    std::uint32_t GetDetailNumber(int i);
    void Clear();
    std::uint8_t GetMode() const { return m_mode; }

    // 2 when the query holds syllables and/or other bytes and no bare consonant; 0 otherwise
    // (empty, or any bare consonant).
    static int CheckQuery(const char* query);

private:
    CNameEngine* Current();

    std::unique_ptr<CNameDBFile> m_prefix;
    std::unique_ptr<CNameMatcher> m_matcher;
    std::uint8_t m_mode = kNone;
};
