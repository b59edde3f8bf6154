// CString: the framework's wide string, UTF-16, with Windows-style formatting (%s takes a wide
// string, %hs and %S a narrow CP949 one; %ld is 32 bits as on Windows).
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char16_t* text) : m_text(text ? text : u"") {}
    CString(const char16_t* text, int length)
        : m_text(text ? std::u16string(text, length > 0 ? length : 0) : u"") {}
    CString(std::u16string text) : m_text(std::move(text)) {}
    CString(std::u16string_view text) : m_text(text) {}
    CString(char16_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    // A narrow text is code page 949, as on the device.
    explicit CString(const char* text);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char16_t GetAt(int index) const { return index >= 0 && index < GetLength() ? m_text[index] : 0; }
    void SetAt(int index, char16_t ch) {
        if (index >= 0 && index < GetLength()) m_text[index] = ch;
    }
    char16_t operator[](int index) const { return GetAt(index); }
    operator const char16_t*() const { return m_text.c_str(); }
    const char16_t* GetString() const { return m_text.c_str(); }
    const std::u16string& Str() const { return m_text; }

    CString& operator=(const char16_t* text) {
        m_text = text ? text : u"";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char16_t* text) {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(char16_t ch) {
        m_text += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char16_t* b) {
        return CString(a.m_text + (b ? b : u""));
    }
    friend CString operator+(const char16_t* a, const CString& b) {
        return CString((a ? a : u"") + b.m_text);
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char16_t* b) { return a.m_text == (b ? b : u""); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    int Compare(const char16_t* other) const;
    int CompareNoCase(const char16_t* other) const;

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    int Find(char16_t ch, int start = 0) const;
    int Find(const char16_t* sub, int start = 0) const;
    int ReverseFind(char16_t ch) const;
    int FindOneOf(const char16_t* chars) const;
    int Replace(char16_t oldCh, char16_t newCh);
    int Replace(const char16_t* oldText, const char16_t* newText);
    int Remove(char16_t ch);
    int Insert(int index, const char16_t* text);
    int Delete(int index, int count = 1);
    CString& TrimLeft();
    CString& TrimRight();
    CString& TrimLeft(const char16_t* chars);
    CString& TrimRight(const char16_t* chars);
    CString& Trim() { return TrimLeft().TrimRight(); }
    CString& MakeUpper();
    CString& MakeLower();

    // The buffer holds at least minLength characters and a terminator; ReleaseBuffer(-1) cuts
    // the text at its first zero.
    char16_t* GetBuffer(int minLength = 0);
    char16_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    void Format(const char16_t* format, ...);
    void FormatV(const char16_t* format, va_list args);
    void AppendFormat(const char16_t* format, ...);

    std::string ToUtf8() const;
    std::string ToCp949() const;
    static CString FromUtf8(std::string_view text);

private:
    std::u16string m_text;
};

// Windows-style wide formatting into a std::u16string.
std::u16string FormatWide(const char16_t* format, ...);
std::u16string FormatWideV(const char16_t* format, va_list args);
