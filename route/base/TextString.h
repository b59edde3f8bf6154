// The narrow (code page 949) and wide string classes of the shared base library.
#pragma once

#include "platform/base/CString.h"

#include <cstdarg>
#include <cstdint>
#include <string>

// A narrow string with formatting, numeric conversion of sub-ranges, token cutting and
// line-end conversion. Sub-range rule of every conversion: (0, 0) is the whole string,
// otherwise the characters start .. start+count-1; a string shorter than start + count gives 0.
class CTextString {
public:
    // Formatting works in a 4096-byte buffer: longer results are cut to 4095 bytes.
    static constexpr int kWorkingSize = 4096;
    // A numeric sub-range is read from a 32-byte buffer: at most 31 characters are used.
    static constexpr int kNumberSize = 32;

    CTextString() = default;
    CTextString(const char* text) : m_text(text ? text : "") {}
    CTextString(std::string text) : m_text(std::move(text)) {}

    const char* c_str() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    const std::string& Str() const { return m_text; }
    bool operator==(const CTextString& other) const { return m_text == other.m_text; }

    CTextString& Format(const char* format, ...);
    // Returns the number of characters kept.
    int Sprintf(const char* format, ...);
    int Assign(const CTextString& other);

    int ToInt(int start = 0, int count = 0) const;
    long ToLong(int start = 0, int count = 0) const;
    double ToDouble(int start = 0, int count = 0) const;
    std::int16_t ToShort(int start = 0, int count = 0) const {
        return static_cast<std::int16_t>(ToInt(start, count));
    }
    std::uint8_t ToByte(int start = 0, int count = 0) const {
        return static_cast<std::uint8_t>(ToInt(start, count) & 0xFF);
    }
    std::uint16_t ToWord(int start = 0, int count = 0) const {
        return static_cast<std::uint16_t>(ToInt(start, count) & 0xFFFF);
    }
    int HexToInt(int start, int count) const;

    int SetMid(int start, int count);
    CTextString Mid(int start, int count) const;
    int Replace(const char* oldText, const char* newText, int from = 0);
    int GetLengthCRLF() const;
    int GetTextCRLF(char* destination) const;
    void ToUpper();
    void TrimLeft();
    void TrimRight();
    CTextString CutToken();
    CTextString CutTokenBy(char separator);

private:
    // The sub-range as a number text (at most kNumberSize - 1 characters); false when too short.
    bool NumberText(int start, int count, char* out) const;
    template <class IsSeparator> CTextString CutWith(IsSeparator isSeparator);

    std::string m_text;
};

// The wide counterpart over the framework's CString; the file-name member of CFileBase.
class CWideString {
public:
    // A numeric sub-range is read from a 16-character buffer: at most 15 characters are used.
    static constexpr int kNumberSize = 16;

    CWideString() = default;
    CWideString(const char16_t* text) : m_text(text) {}
    CWideString(const CString& text) : m_text(text) {}
    virtual ~CWideString() = default;
    CWideString(const CWideString&) = default;
    CWideString& operator=(const CWideString&) = default;

    virtual std::int16_t ToShort(int start = 0, int count = 0) const {
        return static_cast<std::int16_t>(ToLong(start, count));
    }
    virtual long ToLong(int start = 0, int count = 0) const;
    virtual long ToLong2(int start = 0, int count = 0) const { return ToLong(start, count); }
    virtual std::uint8_t ToByte(int start = 0, int count = 0) const {
        return static_cast<std::uint8_t>(ToLong(start, count) & 0xFF);
    }
    virtual std::uint16_t ToWord(int start = 0, int count = 0) const {
        return static_cast<std::uint16_t>(ToLong(start, count) & 0xFFFF);
    }
    virtual long long ToLong64(int start = 0, int count = 0) const { return ToLong2(start, count); }
    virtual CWideString Mid(int start, int count) const;
    virtual int SetMid(int start, int count);
    virtual int GetByteLength() const { return m_text.GetLength() * 2; }
    // Copies the text with every "\n" as "\r\n" (no terminator); returns its length in bytes.
    virtual int GetTextCRLF(char16_t* destination) const;
    virtual int GetLengthCRLF() const;
    CWideString CutTokenBy(char16_t separator);

    const CString& Text() const { return m_text; }
    CString& Text() { return m_text; }
    const char16_t* c_str() const { return m_text.GetString(); }
    int GetLength() const { return m_text.GetLength(); }

private:
    CString m_text;
};
