#include "route/base/TextString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Sub-range rule shared by both classes; false when the string is too short.
bool SubRange(int length, int& start, int& count) {
    if (start == 0 && count == 0) {
        count = length;
        return true;
    }
    if (start < 0 || count < 0) return false;
    return static_cast<long long>(start) + count <= length;
}

bool IsTokenSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '|';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

std::string FormatBounded(const char* format, va_list args) {
    char buffer[CTextString::kWorkingSize];
    int n = std::vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    if (n < 0) return std::string();
    return std::string(buffer, std::min<int>(n, CTextString::kWorkingSize - 1));
}

} // namespace

CTextString& CTextString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = FormatBounded(format, args);
    va_end(args);
    return *this;
}

int CTextString::Sprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = FormatBounded(format, args);
    va_end(args);
    return GetLength();
}

int CTextString::Assign(const CTextString& other) {
    m_text = other.m_text;
    return other.GetLength();
}

bool CTextString::NumberText(int start, int count, char* out) const {
    if (!SubRange(GetLength(), start, count)) return false;
    int n = std::min(count, kNumberSize - 1);
    std::memcpy(out, m_text.data() + start, n);
    out[n] = 0;
    return true;
}

int CTextString::ToInt(int start, int count) const {
    char buffer[kNumberSize];
    return NumberText(start, count, buffer) ? std::atoi(buffer) : 0;
}

long CTextString::ToLong(int start, int count) const {
    char buffer[kNumberSize];
    // The device's long is 32 bits.
    return NumberText(start, count, buffer) ? static_cast<std::int32_t>(std::atol(buffer)) : 0;
}

double CTextString::ToDouble(int start, int count) const {
    char buffer[kNumberSize];
    return NumberText(start, count, buffer) ? std::atof(buffer) : 0.0;
}

int CTextString::HexToInt(int start, int count) const {
    if (count < 1 || start < 0 || static_cast<long long>(start) + count > GetLength()) return 0;
    unsigned value = 0;
    for (int i = 0; i < count; ++i) value = value * 16 + HexDigit(m_text[start + i]);
    return static_cast<int>(value);
}

int CTextString::SetMid(int start, int count) {
    if (!SubRange(GetLength(), start, count)) return -1;
    m_text = m_text.substr(start, count);
    return 0;
}

CTextString CTextString::Mid(int start, int count) const {
    if (!SubRange(GetLength(), start, count)) return CTextString();
    return CTextString(m_text.substr(start, count));
}

int CTextString::Replace(const char* oldText, const char* newText, int from) {
    if (!oldText || !*oldText || from < 0 || from > GetLength()) return 0;
    std::string_view was(oldText);
    std::string_view now(newText ? newText : "");
    int count = 0;
    std::size_t pos = static_cast<std::size_t>(from);
    while ((pos = m_text.find(was, pos)) != std::string::npos) {
        m_text.replace(pos, was.size(), now);
        pos += now.size();
        ++count;
    }
    return count;
}

int CTextString::GetLengthCRLF() const {
    int n = GetLength();
    for (char c : m_text)
        if (c == '\n') ++n;
    return n;
}

int CTextString::GetTextCRLF(char* destination) const {
    int n = 0;
    for (char c : m_text) {
        if (c == '\n') destination[n++] = '\r';
        destination[n++] = c;
    }
    return n;
}

void CTextString::ToUpper() {
    // Only ASCII letters change; the trail byte of a double-byte character is left alone, so
    // Korean text survives.
    for (std::size_t i = 0; i < m_text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(m_text[i]);
        if (c >= 0x81 && i + 1 < m_text.size()) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            m_text[i] = static_cast<char>(c - 32);
        }
    }
}

void CTextString::TrimLeft() {
    m_text.erase(0, std::min(m_text.find_first_not_of(' '), m_text.size()));
}

void CTextString::TrimRight() {
    std::size_t last = m_text.find_last_not_of(' ');
    m_text.erase(last == std::string::npos ? 0 : last + 1);
}

template <class IsSeparator> CTextString CTextString::CutWith(IsSeparator isSeparator) {
    std::size_t begin = 0;
    while (begin < m_text.size() && isSeparator(m_text[begin])) ++begin;
    std::size_t end = begin;
    while (end < m_text.size() && !isSeparator(m_text[end])) ++end;
    CTextString token(m_text.substr(begin, end - begin));
    m_text.erase(0, end);
    return token;
}

CTextString CTextString::CutToken() {
    return CutWith(IsTokenSeparator);
}

CTextString CTextString::CutTokenBy(char separator) {
    return CutWith([separator](char c) { return c == separator; });
}

long CWideString::ToLong(int start, int count) const {
    if (!SubRange(m_text.GetLength(), start, count)) return 0;
    int n = std::min(count, kNumberSize - 1);
    // The digits of a wide number are ASCII; anything else ends the number, as _wtol does.
    char buffer[kNumberSize];
    for (int i = 0; i < n; ++i) {
        char16_t c = m_text.GetAt(start + i);
        buffer[i] = c < 0x80 ? static_cast<char>(c) : '\x01';
    }
    buffer[n] = 0;
    return static_cast<std::int32_t>(std::atol(buffer));
}

CWideString CWideString::Mid(int start, int count) const {
    if (!SubRange(m_text.GetLength(), start, count)) return CWideString();
    return CWideString(m_text.Mid(start, count));
}

int CWideString::SetMid(int start, int count) {
    if (!SubRange(m_text.GetLength(), start, count)) return -1;
    m_text = m_text.Mid(start, count);
    return 0;
}

int CWideString::GetLengthCRLF() const {
    int n = m_text.GetLength();
    for (int i = 0; i < m_text.GetLength(); ++i)
        if (m_text.GetAt(i) == u'\n') ++n;
    return n * 2;
}

int CWideString::GetTextCRLF(char16_t* destination) const {
    int n = 0;
    for (int i = 0; i < m_text.GetLength(); ++i) {
        char16_t c = m_text.GetAt(i);
        if (c == u'\n') destination[n++] = u'\r';
        destination[n++] = c;
    }
    return n * 2;
}

CWideString CWideString::CutTokenBy(char16_t separator) {
    int length = m_text.GetLength();
    int begin = 0;
    while (begin < length && m_text.GetAt(begin) == separator) ++begin;
    int end = begin;
    while (end < length && m_text.GetAt(end) != separator) ++end;
    CWideString token(m_text.Mid(begin, end - begin));
    m_text = m_text.Mid(end);
    return token;
}
