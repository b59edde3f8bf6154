#include "platform/base/Text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

thread_local DWORD g_lastError = 0;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One iconv descriptor per direction and thread; iconv descriptors are not shareable.
struct IconvPair {
    iconv_t toUtf16 = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUtf16 = reinterpret_cast<iconv_t>(-1);
    IconvPair() {
        toUtf16 = iconv_open("UTF-16LE", "CP949");
        fromUtf16 = iconv_open("CP949", "UTF-16LE");
    }
    ~IconvPair() {
        if (toUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf16);
        if (fromUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(fromUtf16);
    }
};

IconvPair& Converters() {
    thread_local IconvPair pair;
    return pair;
}

} // namespace

DWORD GetLastError() {
    return g_lastError;
}
void SetLastError(DWORD code) {
    g_lastError = code;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t need = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            need = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            need = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            need = 3;
        }
        ++i;
        if (need > 0) {
            bool ok = i + need <= text.size();
            for (std::size_t k = 0; ok && k < need; ++k) {
                unsigned char t = static_cast<unsigned char>(text[i + k]);
                if ((t & 0xC0) != 0x80)
                    ok = false;
                else
                    cp = (cp << 6) | (t & 0x3F);
            }
            if (ok)
                i += need;
            else
                cp = 0xFFFD;
        } else if (c >= 0x80) {
            cp = 0xFFFD;
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else if (cp > 0x10FFFF) {
            out += u'\xFFFD';
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::u16string Cp949ToUtf16(std::string_view text) {
    std::u16string out;
    iconv_t cd = Converters().toUtf16;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char c : text)
            out += static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'\xFFFD';
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char16_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        std::size_t outLeft = sizeof(buffer);
        std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, (sizeof(buffer) - outLeft) / 2);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An invalid or truncated sequence: replace one byte and go on.
            out += u'\xFFFD';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::string Utf16ToCp949(std::u16string_view text) {
    std::string out;
    iconv_t cd = Converters().fromUtf16;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t inLeft = text.size() * 2;
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof(buffer);
        std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof(buffer) - outLeft);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // A character without a CP949 form (or a lone surrogate): one '?' per UTF-16 unit.
            out += '?';
            std::size_t skip = inLeft >= 2 ? 2 : inLeft;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::size_t WideLength(const char16_t* text) {
    return text ? std::char_traits<char16_t>::length(text) : 0;
}

int MultiByteToWideChar(UINT codePage, DWORD, const char* src, int srcLength, char16_t* dest,
                        int destLength) {
    if (!src || destLength < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = srcLength < 0 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcLength);
    std::string_view view(src, n);
    std::u16string wide = codePage == CP_UTF8 ? Utf8ToUtf16(view) : Cp949ToUtf16(view);
    if (destLength == 0) return static_cast<int>(wide.size());
    if (!dest || wide.size() > static_cast<std::size_t>(destLength)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(dest, wide.data(), wide.size() * sizeof(char16_t));
    return static_cast<int>(wide.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, const char16_t* src, int srcLength, char* dest, int destLength,
                        const char*, BOOL* usedDefault) {
    if (!src || destLength < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = srcLength < 0 ? WideLength(src) + 1 : static_cast<std::size_t>(srcLength);
    std::u16string_view view(src, n);
    std::string narrow = codePage == CP_UTF8 ? Utf16ToUtf8(view) : Utf16ToCp949(view);
    if (usedDefault) *usedDefault = FALSE;
    if (destLength == 0) return static_cast<int>(narrow.size());
    if (!dest || narrow.size() > static_cast<std::size_t>(destLength)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(dest, narrow.data(), narrow.size());
    return static_cast<int>(narrow.size());
}

BOOL IsValidLocale(LCID locale, DWORD) {
    // The device is Korean: Korean (1042) and US English (1033) are installed.
    return locale == 1042 || locale == 1033 ? TRUE : FALSE;
}
