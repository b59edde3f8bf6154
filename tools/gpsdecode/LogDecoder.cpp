#include "tools/gpsdecode/LogDecoder.h"

#include "platform/files/InputFile.h"
#include "position/NmeaParser.h"
#include "position/ZarnReceiver.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Unsigned decimal, at least width digits (zero-padded).
char* PutUnsigned(char* p, std::uint64_t v, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    while (n < width) digits[n++] = '0';
    while (n) *p++ = digits[--n];
    return p;
}

char* PutText(char* p, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p, text, n);
    return p + n;
}

// value / 10 with one decimal, as %.1f prints a tenth-unit integer.
char* PutTenths(char* p, std::int64_t value) {
    if (value < 0) *p++ = '-';
    const std::uint64_t m =
        value < 0 ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value);
    p = PutUnsigned(p, m / 10, 1);
    *p++ = '.';
    return PutUnsigned(p, m % 10, 1);
}

// Network units (1/100 arc-second) in degrees with seven decimals. The exact value is
// units x 250 / 9 ten-millionths; its fraction is a ninth, never a half, and at least 1/18 away
// from one, so rounding the exact quotient gives what rounding the double quotient gives.
char* PutDegrees(char* p, std::int32_t units, bool negate) {
    const std::int64_t u = units;
    const bool negative = negate ? !(u < 0) : u < 0; // a negated zero prints "-0.0000000"
    const std::uint64_t m = static_cast<std::uint64_t>(u < 0 ? -u : u);
    const std::uint64_t tenMillionths = (m * 500 + 9) / 18;
    if (negative) *p++ = '-';
    p = PutUnsigned(p, tenMillionths / 10000000, 1);
    *p++ = '.';
    return PutUnsigned(p, tenMillionths % 10000000, 7);
}

} // namespace

CLogDecoder::CLogDecoder(bool unitFrames, bool noDatumShift) : m_unit(unitFrames), m_noShift(noDatumShift) {}

std::size_t CLogDecoder::FormatRecord(const GpsPosRecord& r, char* line) {
    char* p = PutText(line, "date=");
    p = PutUnsigned(p, r.day, 2);
    p = PutUnsigned(p, r.month, 2);
    p = PutUnsigned(p, r.year, 2);
    p = PutText(p, " time=");
    p = PutUnsigned(p, r.hour, 2);
    p = PutUnsigned(p, r.minute, 2);
    p = PutUnsigned(p, r.second, 2);
    p = PutText(p, " status=");
    *p++ = r.status ? r.status : '-';
    p = PutText(p, " lat=");
    p = PutDegrees(p, r.latitude, r.northSouth == 'S');
    p = PutText(p, " lon=");
    p = PutDegrees(p, r.longitude, r.eastWest == 'W');
    p = PutText(p, " speed=");
    p = PutTenths(p, r.speed);
    p = PutText(p, " course=");
    p = PutUnsigned(p, r.course, 1);
    p = PutText(p, " alt=");
    p = PutTenths(p, r.altitude);
    p = PutText(p, " used=");
    if (r.satellitesUsed < 0) *p++ = '-';
    p = PutUnsigned(
        p, static_cast<std::uint64_t>(r.satellitesUsed < 0 ? -r.satellitesUsed : r.satellitesUsed), 1);
    *p++ = '\n';
    return static_cast<std::size_t>(p - line);
}

bool CLogDecoder::Run(InputFile& log, std::FILE* out, std::string& error) {
    CNmeaParser parser;
    auto zarn = std::make_unique<CZarnReceiver>();
    parser.SetNoDatumShift(m_noShift ? 1 : 0);
    zarn->SetNoDatumShift(m_noShift ? 1 : 0);

    std::vector<char> output(256 * 1024);
    std::size_t outUsed = 0;
    auto flush = [&]() {
        if (outUsed && std::fwrite(output.data(), 1, outUsed, out) != outUsed) return false;
        outUsed = 0;
        return true;
    };
    bool writeFailed = false;
    auto take = [&](bool completed) {
        GpsPosRecord fix;
        if (!completed || writeFailed) return;
        if (!(m_unit ? zarn->GetPosition(&fix) : parser.GetPosition(&fix))) return;
        ++m_records;
        if (output.size() - outUsed < kMaxLine && !flush()) {
            writeFailed = true;
            return;
        }
        outUsed += FormatRecord(fix, output.data() + outUsed);
    };

    // The block buffer holds the unfinished line of the previous block, then the new block.
    std::vector<char> buffer(kBlockSize);
    std::size_t held = 0;
    bool first = true;
    for (;;) {
        if (held == buffer.size()) {
            // A "line" as long as a block: hand it over whole, the decoder keeps what it can use.
            take(parser.PutData(buffer.data(), static_cast<int>(held)) == 1);
            held = 0;
        }
        const long n = log.Read(buffer.data() + held, buffer.size() - held);
        if (n < 0) {
            error = "read error";
            flush();
            return false;
        }
        const bool end = n == 0;
        std::size_t size = held + static_cast<std::size_t>(n);
        std::size_t at = 0;
        if (first) {
            // The program's raw logs begin with "Start_Log" and a zero byte.
            if (size >= 9 && std::memcmp(buffer.data(), "Start_Log", 9) == 0)
                at = size > 9 && buffer[9] == 0 ? 10 : 9;
            first = false;
        }
        if (m_unit) {
            for (; at < size; ++at) take(zarn->PutData(buffer.data() + at, 1) & kGpsNewPosition);
        } else {
            for (;;) {
                const char* lf = static_cast<const char*>(std::memchr(buffer.data() + at, '\n', size - at));
                if (!lf) break;
                const std::size_t next = static_cast<std::size_t>(lf - buffer.data()) + 1;
                take(parser.PutData(buffer.data() + at, static_cast<int>(next - at)) == 1);
                at = next;
            }
            if (end && at < size) {
                take(parser.PutData(buffer.data() + at, static_cast<int>(size - at)) == 1);
                at = size;
            }
        }
        if (writeFailed) break;
        // The unfinished line moves to the front once per block.
        held = size - at;
        if (held && at) std::memmove(buffer.data(), buffer.data() + at, held);
        if (end) break;
    }
    if (writeFailed || !flush() || std::fflush(out) != 0) {
        error = "write error";
        return false;
    }
    return true;
}
