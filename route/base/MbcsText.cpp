#include "route/base/MbcsText.h"

#include "platform/base/Text.h"

#include <cstring>
#include <vector>

namespace {

constexpr LCID kKoreanLocale = 1042;

} // namespace

CString MbcsToCString(const char* text, std::size_t n) {
    if (!text) return CString();
    std::size_t length = 0;
    while (length < n && text[length]) ++length;
    if (length == 0) return CString();
    const UINT codePage = IsValidLocale(kKoreanLocale, LCID_INSTALLED) ? CP_KOREAN : CP_ACP;
    const int src = static_cast<int>(length);
    const int needed = MultiByteToWideChar(codePage, 0, text, src, nullptr, 0);
    if (needed <= 0) return CString();
    std::vector<char16_t> wide(static_cast<std::size_t>(needed) + 1, u'\0');
    const int written = MultiByteToWideChar(codePage, 0, text, src, wide.data(), needed);
    if (written <= 0) return CString();
    wide[static_cast<std::size_t>(written)] = u'\0';
    return CString(wide.data());
}

CString MbcsToCString(const char* text) {
    return text ? MbcsToCString(text, std::strlen(text)) : CString();
}
