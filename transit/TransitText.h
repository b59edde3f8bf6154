// Reading the route servers' texts: bounded field cuts over a byte range (never past its end),
// the servers' decimal numbers, and the map / server x-unit conversion.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace transit {

// The route servers' x unit: map x * 10 / 12 goes out (32-bit unsigned arithmetic), server
// x * 1.2 comes back; y is the same on both sides.
ULONG MapToServerX(ULONG mapX);
std::int32_t ServerToMapX(std::int32_t serverX);

// A leading decimal number of at most 11 characters (as a 12-byte zeroed copy would hold),
// clamped to 32 bits; 0 when there is none.
std::int32_t ParseNumber(std::string_view field);

// A cursor over [pos, end): each field is the bytes up to a delimiter, which is consumed.
class TextCursor {
public:
    TextCursor(const char* begin, const char* end) : m_pos(begin), m_end(end) {}
    // The bytes before the next `delimiter`; false (cursor unchanged) when it does not occur.
    bool Field(char delimiter, std::string_view& out);
    // Moves past the next line feed; false when there is none.
    bool SkipLine();
    const char* Pos() const { return m_pos; }

private:
    const char* m_pos;
    const char* m_end;
};

// Copies a text field into a fixed NUL-terminated record field, cut on a character boundary
// to size - 1 bytes.
void CopyField(char* out, std::size_t size, std::string_view field);

// The largest text or data a route server's reply may announce.
constexpr std::int32_t kMaxReplyBytes = 1 << 20;
// How long the client waits for each part of a reply, in seconds.
constexpr int kDefaultReplyTimeout = 30;

// A notice with an OK button: the platform message box, unless a handler takes the notices
// (tools print them; fuzzing drops them).
void ShowNotice(const char16_t* text);
void SetNoticeHandler(std::function<void(const char16_t*)> handler);

} // namespace transit
