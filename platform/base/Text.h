// Text conversions: UTF-8 (host file names, tool output), UTF-16 (the API's wide text) and
// code page 949 (Korean text in data files, on serial links and on the wire).
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Code page 949 through iconv. Bytes that do not decode become U+FFFD; characters that cannot
// be encoded become '?'. Conversion stops at nothing: embedded zero bytes are kept.
std::u16string Cp949ToUtf16(std::string_view text);
std::string Utf16ToCp949(std::u16string_view text);
inline std::string Cp949ToUtf8(std::string_view text) {
    return Utf16ToUtf8(Cp949ToUtf16(text));
}
inline std::string Utf8ToCp949(std::string_view text) {
    return Utf16ToCp949(Utf8ToUtf16(text));
}

// Length of a zero-terminated wide text.
std::size_t WideLength(const char16_t* text);

// Windows-shaped conversion calls. CP_ACP is the device's code page, 949.
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr UINT CP_KOREAN = 949;
using LCID = DWORD;
constexpr DWORD LCID_INSTALLED = 1;
constexpr DWORD LCID_SUPPORTED = 2;

// srcLength -1 converts through the terminator (which is counted); destLength 0 asks for the
// length needed. Returns the number of units written (or needed), 0 on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLength, char16_t* dest,
                        int destLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* src, int srcLength, char* dest,
                        int destLength, const char* defaultChar, BOOL* usedDefault);
BOOL IsValidLocale(LCID locale, DWORD flags);
