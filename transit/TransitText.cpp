#include "transit/TransitText.h"

#include "platform/window/Window.h"
#include "route/base/TextTruncate.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace transit {

ULONG MapToServerX(ULONG mapX) {
    return static_cast<ULONG>(mapX * 10u) / 12u;
}

std::int32_t ServerToMapX(std::int32_t serverX) {
    const double scaled = static_cast<double>(static_cast<float>(serverX) * 1.2f);
    const double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::clamp(scaled, -limit, limit));
}

std::int32_t ParseNumber(std::string_view field) {
    char digits[12] = {};
    std::memcpy(digits, field.data(), std::min<std::size_t>(field.size(), 11));
    const long long value = std::strtoll(digits, nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(value, std::numeric_limits<std::int32_t>::min(),
                                                          std::numeric_limits<std::int32_t>::max()));
}

bool TextCursor::Field(char delimiter, std::string_view& out) {
    const void* hit = m_pos < m_end ? std::memchr(m_pos, delimiter, static_cast<std::size_t>(m_end - m_pos))
                                    : nullptr;
    if (!hit) return false;
    const char* at = static_cast<const char*>(hit);
    out = std::string_view(m_pos, static_cast<std::size_t>(at - m_pos));
    m_pos = at + 1;
    return true;
}

bool TextCursor::SkipLine() {
    std::string_view ignored;
    return Field('\n', ignored);
}

void CopyField(char* out, std::size_t size, std::string_view field) {
    if (size == 0) return;
    const std::string cut = CutCp949(field, size - 1);
    std::memcpy(out, cut.data(), cut.size());
    out[cut.size()] = '\0';
}

namespace {
std::function<void(const char16_t*)>& NoticeHandler() {
    static std::function<void(const char16_t*)> handler;
    return handler;
}
} // namespace

void ShowNotice(const char16_t* text) {
    if (NoticeHandler())
        NoticeHandler()(text);
    else
        MessageBoxW(nullptr, text, u"", MB_OK);
}

void SetNoticeHandler(std::function<void(const char16_t*)> handler) {
    NoticeHandler() = std::move(handler);
}

} // namespace transit
