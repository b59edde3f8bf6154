#include "platform/base/CString.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>

namespace {

char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c < 0x80) return c;
    return static_cast<char16_t>(std::towupper(c));
}

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= 9 && c <= 13);
}

// Formats one numeric conversion with the C library and widens it (its output is ASCII).
void AppendNumber(std::u16string& out, const std::string& spec, va_list* args, char conv, int length,
                  int width, int precision, bool starWidth, bool starPrecision) {
    char buffer[512];
    int n = 0;
    auto call = [&](auto value) {
        if (starWidth && starPrecision)
            n = std::snprintf(buffer, sizeof buffer, spec.c_str(), width, precision, value);
        else if (starWidth)
            n = std::snprintf(buffer, sizeof buffer, spec.c_str(), width, value);
        else if (starPrecision)
            n = std::snprintf(buffer, sizeof buffer, spec.c_str(), precision, value);
        else
            n = std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
    };
    switch (conv) {
    case 'd':
    case 'i':
        if (length == 2)
            call(va_arg(*args, long long));
        else
            call(va_arg(*args, int));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        if (length == 2)
            call(va_arg(*args, unsigned long long));
        else
            call(va_arg(*args, unsigned int));
        break;
    case 'p':
        call(va_arg(*args, void*));
        break;
    default:
        call(va_arg(*args, double));
        break;
    }
    if (n < 0) return;
    n = std::min<int>(n, sizeof buffer - 1);
    for (int i = 0; i < n; ++i) out += static_cast<char16_t>(static_cast<unsigned char>(buffer[i]));
}

void AppendPadded(std::u16string& out, std::u16string_view text, int width, int precision, bool left) {
    if (precision >= 0 && static_cast<std::size_t>(precision) < text.size()) text = text.substr(0, precision);
    int pad = width > static_cast<int>(text.size()) ? width - static_cast<int>(text.size()) : 0;
    if (!left) out.append(pad, u' ');
    out += text;
    if (left) out.append(pad, u' ');
}

} // namespace

std::u16string FormatWideV(const char16_t* format, va_list argsIn) {
    std::u16string out;
    if (!format) return out;
    va_list args;
    va_copy(args, argsIn);
    for (const char16_t* p = format; *p; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        const char16_t* start = p++;
        if (*p == u'%') {
            out += u'%';
            continue;
        }
        std::string spec = "%";
        bool left = false;
        while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
            if (*p == u'-') left = true;
            spec += static_cast<char>(*p++);
        }
        int width = 0, precision = -1;
        bool starWidth = false, starPrecision = false;
        if (*p == u'*') {
            starWidth = true;
            width = va_arg(args, int);
            if (width < 0) {
                left = true;
                width = -width;
            }
            spec += '*';
            ++p;
        } else {
            while (*p >= u'0' && *p <= u'9') {
                width = width * 10 + (*p - u'0');
                spec += static_cast<char>(*p++);
            }
        }
        if (*p == u'.') {
            spec += '.';
            ++p;
            precision = 0;
            if (*p == u'*') {
                starPrecision = true;
                precision = va_arg(args, int);
                spec += '*';
                ++p;
            } else {
                while (*p >= u'0' && *p <= u'9') {
                    precision = precision * 10 + (*p - u'0');
                    spec += static_cast<char>(*p++);
                }
            }
        }
        // Length: h (narrow text / short), l (32 bits, as on Windows), ll and I64 (64 bits).
        int length = 0;
        bool narrow = false;
        for (;;) {
            if (*p == u'h') {
                narrow = true;
                ++p;
            } else if (*p == u'l') {
                ++p;
                if (*p == u'l') {
                    length = 2;
                    ++p;
                } else {
                    narrow = false;
                }
            } else if (*p == u'I' && p[1] == u'6' && p[2] == u'4') {
                length = 2;
                p += 3;
            } else if (*p == u'z' || *p == u'L' || *p == u'w') {
                if (*p == u'z') length = 2;
                ++p;
            } else {
                break;
            }
        }
        char16_t conv = *p;
        if (conv == 0) {
            out.append(start, p);
            break;
        }
        switch (conv) {
        case u's':
        case u'S': {
            bool isNarrow = (conv == u's') ? narrow : true;
            if (isNarrow) {
                const char* s = va_arg(args, const char*);
                AppendPadded(out, s ? Cp949ToUtf16(s) : u"(null)", width, precision, left);
            } else {
                const char16_t* s = va_arg(args, const char16_t*);
                AppendPadded(out, s ? std::u16string_view(s) : std::u16string_view(u"(null)"), width,
                             precision, left);
            }
            break;
        }
        case u'c':
        case u'C': {
            int ch = va_arg(args, int);
            std::u16string one;
            if (conv == u'C' || narrow)
                one = Cp949ToUtf16(std::string(1, static_cast<char>(ch)));
            else
                one = std::u16string(1, static_cast<char16_t>(ch));
            AppendPadded(out, one, width, -1, left);
            break;
        }
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u'o':
        case u'p':
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G': {
            std::string full = spec;
            if (length == 2 && conv != u'p' && conv != u'f' && conv != u'F' && conv != u'e' && conv != u'E' &&
                conv != u'g' && conv != u'G')
                full += "ll";
            full += static_cast<char>(conv);
            AppendNumber(out, full, &args, static_cast<char>(conv), length, width, precision, starWidth,
                         starPrecision);
            break;
        }
        default:
            // Unknown conversion: copied as written.
            out.append(start, p + 1);
            break;
        }
    }
    va_end(args);
    return out;
}

std::u16string FormatWide(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::u16string out = FormatWideV(format, args);
    va_end(args);
    return out;
}

CString::CString(const char* text) : m_text(text ? Cp949ToUtf16(text) : u"") {}

int CString::Compare(const char16_t* other) const {
    return m_text.compare(other ? other : u"") < 0 ? -1 : (m_text.compare(other ? other : u"") > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char16_t* other) const {
    std::u16string_view b(other ? other : u"");
    std::size_t n = std::min(m_text.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = FoldCase(m_text[i]), y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (m_text.size() == b.size()) return 0;
    return m_text.size() < b.size() ? -1 : 1;
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= GetLength()) return CString();
    return CString(m_text.substr(first, count));
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(m_text.substr(m_text.size() - count));
}

int CString::Find(char16_t ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    std::size_t pos = m_text.find(ch, start);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char16_t* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    std::size_t pos = m_text.find(sub, start);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char16_t ch) const {
    std::size_t pos = m_text.rfind(ch);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char16_t* chars) const {
    if (!chars) return -1;
    std::size_t pos = m_text.find_first_of(chars);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(char16_t oldCh, char16_t newCh) {
    int count = 0;
    for (auto& c : m_text) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char16_t* oldText, const char16_t* newText) {
    std::u16string_view from(oldText ? oldText : u"");
    std::u16string_view to(newText ? newText : u"");
    if (from.empty()) return 0;
    int count = 0;
    std::size_t pos = 0;
    while ((pos = m_text.find(from, pos)) != std::u16string::npos) {
        m_text.replace(pos, from.size(), to);
        pos += to.size();
        ++count;
    }
    return count;
}

int CString::Remove(char16_t ch) {
    auto before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const char16_t* text) {
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (text) m_text.insert(index, text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) m_text.erase(index, count);
    return GetLength();
}

CString& CString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_text.size() && IsSpace(m_text[i])) ++i;
    m_text.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && IsSpace(m_text.back())) m_text.pop_back();
    return *this;
}

CString& CString::TrimLeft(const char16_t* chars) {
    std::size_t pos = m_text.find_first_not_of(chars ? chars : u"");
    m_text.erase(0, pos == std::u16string::npos ? m_text.size() : pos);
    return *this;
}

CString& CString::TrimRight(const char16_t* chars) {
    std::size_t pos = m_text.find_last_not_of(chars ? chars : u"");
    m_text.erase(pos == std::u16string::npos ? 0 : pos + 1);
    return *this;
}

CString& CString::MakeUpper() {
    for (auto& c : m_text) c = FoldCase(c);
    return *this;
}

CString& CString::MakeLower() {
    for (auto& c : m_text) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
        else if (c >= 0x80)
            c = static_cast<char16_t>(std::towlower(c));
    }
    return *this;
}

char16_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(minLength, 0);
    return m_text.data();
}

char16_t* CString::GetBufferSetLength(int length) {
    m_text.resize(length > 0 ? length : 0, 0);
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        std::size_t zero = m_text.find(u'\0');
        if (zero != std::u16string::npos) m_text.resize(zero);
    } else if (newLength <= GetLength()) {
        m_text.resize(newLength);
    }
}

void CString::Format(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = FormatWideV(format, args);
    va_end(args);
}

void CString::FormatV(const char16_t* format, va_list args) {
    m_text = FormatWideV(format, args);
}

void CString::AppendFormat(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    m_text += FormatWideV(format, args);
    va_end(args);
}

std::string CString::ToUtf8() const {
    return Utf16ToUtf8(m_text);
}
std::string CString::ToCp949() const {
    return Utf16ToCp949(m_text);
}
CString CString::FromUtf8(std::string_view text) {
    return CString(Utf8ToUtf16(text));
}
