#include "search/NameSearcher.h"

#include "search/CharClass.h"

#include <cstring>

bool CNameSearcher::Create() {
    m_prefix = std::make_unique<CNameDBFile>();
    m_matcher = std::make_unique<CNameMatcher>();
    return m_prefix && m_matcher;
}

bool CNameSearcher::OpenOn(const char16_t* namePath, const char16_t* adminPath) {
    if (!m_prefix || !m_matcher) return false;
    return m_prefix->OpenOn(namePath, adminPath) && m_matcher->OpenOn(namePath, adminPath);
}

bool CNameSearcher::Reload(const char16_t* namePath, const char16_t* adminPath) {
    if (!m_prefix || !m_matcher) return false;
    return m_prefix->Reload(namePath, adminPath) && m_matcher->Reload(namePath, adminPath);
}

int CNameSearcher::CheckQuery(const char* query) {
    if (!query) return 0;
    const auto* q = reinterpret_cast<const unsigned char*>(query);
    const std::size_t length = std::strlen(query);
    bool syllable = false, consonant = false, other = false;
    for (std::size_t at = 0; at < length;) {
        if (at + 1 < length && tolvik::IsHangulSyllable(q + at)) {
            syllable = true;
            at += 2;
        } else if (at + 1 < length && tolvik::IsBareConsonant(q + at)) {
            consonant = true;
            at += 2;
        } else {
            other = true;
            at += 1;
        }
    }
    if (consonant || (!syllable && !other)) return 0;
    return 2;
}

bool CNameSearcher::SearchPrefix(const char* query, int& code) {
    if (CheckQuery(query) != 2 || !m_prefix) {
        code = 0;
        return false;
    }
    if (!m_prefix->Search(query)) {
        code = -1;
        return false;
    }
    m_mode = kPrefix;
    code = 2;
    return true;
}

bool CNameSearcher::SearchExpanded(const char* query, int& code) {
    const int check = CheckQuery(query);
    if (check == 0 || !m_matcher) {
        code = 0;
        return false;
    }
    if (!m_matcher->Search(query)) {
        code = -1;
        return false;
    }
    m_mode = kExpanded;
    code = check;
    return true;
}

CNameEngine* CNameSearcher::Current() {
    if (m_mode == kPrefix) return m_prefix.get();
    if (m_mode == kExpanded) return m_matcher.get();
    return nullptr;
}

bool CNameSearcher::GetPosition(int i, _NAME_RESULT& result) {
    CNameEngine* e = Current();
    return e && e->GetPosition(i, result);
}

bool CNameSearcher::GetHit(int i, NameHit& hit) {
    CNameEngine* e = Current();
    return e ? e->GetHit(i, hit) : true;
}

int CNameSearcher::GetCount() {
    CNameEngine* e = Current();
    return e ? e->GetCount() : 0;
}

std::uint32_t CNameSearcher::GetDetailNumber(int i) {
    CNameEngine* e = Current();
    return e ? e->GetDetailNumber(i) : 0;
}

void CNameSearcher::Clear() {
    if (m_prefix) m_prefix->Clear();
    if (m_matcher) m_matcher->Clear();
}
