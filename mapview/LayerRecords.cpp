#include "mapview/LayerRecords.h"

#include <cstring>

namespace {

std::int16_t S16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}
std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}

// A NUL-terminated text in a fixed field: never reads past the field.
std::string FixedText(const std::uint8_t* p, std::size_t field) {
    const void* nul = std::memchr(p, 0, field);
    std::size_t n = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : field;
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

int LayerRecordFixedSize(int kind, bool tiled) {
    switch (kind) {
    case layerkind::kLabel:
    case layerkind::kLabel2:
        return tiled ? 32 : 36;
    case layerkind::kLine:
    case layerkind::kLine2:
    case layerkind::kArea:
        return tiled ? 10 : 18;
    case layerkind::kPointSymbol:
        return tiled ? 8 : 0;
    case layerkind::kEdgeRunArea:
        return tiled ? 12 : 0;
    case layerkind::kTrafficLink:
        return tiled ? 14 : 0;
    case layerkind::kSymbolText:
        return tiled ? 56 : 0;
    default:
        return 0;
    }
}

bool CLayerRecordReader::Next(LayerRecord& r) {
    if (m_pos >= m_size) return false;
    int fixed = LayerRecordFixedSize(m_kind, m_tiled);
    if (fixed == 0) return false;
    if (Left() < static_cast<std::uint32_t>(fixed)) return Fail();

    const std::uint8_t* p = m_block + m_pos;
    r = LayerRecord();
    r.kind = m_kind;
    switch (m_kind) {
    case layerkind::kLabel:
    case layerkind::kLabel2:
        r.symbol = p[0];
        r.symbolSource = p[1];
        r.boxStyle = p[2];
        r.mask = U16(p + 3);
        if (m_tiled) {
            r.at = {X(S16(p + 5)), Y(S16(p + 7))};
            r.textDx = static_cast<std::int8_t>(p[9]);
            r.textDy = static_cast<std::int8_t>(p[10]);
            r.text = FixedText(p + 11, 21);
        } else {
            r.at = {S32(p + 5), S32(p + 9)};
            r.textDx = static_cast<std::int8_t>(p[13]);
            r.textDy = static_cast<std::int8_t>(p[14]);
            r.text = FixedText(p + 15, 21);
        }
        m_pos += static_cast<std::uint32_t>(fixed);
        return true;

    case layerkind::kPointSymbol:
        r.symbol = p[0];
        r.mask = U16(p + 2);
        r.at = {X(S16(p + 4)), Y(S16(p + 6))};
        m_pos += 8;
        return true;

    case layerkind::kSymbolText:
        r.symbol = p[0];
        r.symbolSource = p[1];
        r.boxStyle = p[2];
        r.mask = U16(p + 3);
        r.at = {X(S16(p + 5)), Y(S16(p + 7))};
        r.text = FixedText(p + 11, 20);
        r.number = U32(p + 32);
        r.text2 = FixedText(p + 36, 20);
        m_pos += 56;
        return true;

    case layerkind::kLine:
    case layerkind::kLine2:
    case layerkind::kArea:
    case layerkind::kEdgeRunArea: {
        std::uint32_t n;
        std::uint32_t pointSize = m_tiled ? 4 : 8;
        if (m_tiled) {
            r.minX = X(S16(p));
            r.minY = Y(S16(p + 2));
            r.maxX = X(S16(p + 4));
            r.maxY = Y(S16(p + 6));
            n = U16(p + 8);
        } else {
            r.minX = S32(p);
            r.minY = S32(p + 4);
            r.maxX = S32(p + 8);
            r.maxY = S32(p + 12);
            n = U16(p + 16);
        }
        if (n > 32767) return Fail();
        std::uint32_t head = m_tiled ? 10 : 18;
        std::uint64_t need = head + std::uint64_t(n) * pointSize;
        if (m_kind == layerkind::kEdgeRunArea) need += 2;
        if (need > Left()) return Fail();
        const std::uint8_t* q = p + head;
        r.points.resize(n);
        for (std::uint32_t i = 0; i < n; ++i, q += pointSize) {
            if (m_tiled)
                r.points[i] = {X(S16(q)), Y(S16(q + 2))};
            else
                r.points[i] = {S32(q), S32(q + 4)};
        }
        if (m_kind == layerkind::kEdgeRunArea) {
            std::int16_t m = S16(q);
            q += 2;
            if (m < 0) return Fail();
            need += std::uint64_t(m) * 4;
            if (need > Left()) return Fail();
            for (int i = 0; i < m; ++i, q += 4) {
                EdgeRun run{S16(q), S16(q + 2)};
                // A run must index the points: first..last, last == n wraps to point 0.
                if (run.first < 0 || run.first > run.last || run.last > static_cast<std::int32_t>(n))
                    continue;
                r.runs.push_back(run);
            }
        }
        m_pos += static_cast<std::uint32_t>(need);
        return true;
    }

    case layerkind::kTrafficLink: {
        r.linkIndex = U16(p);
        r.minX = X(S16(p + 2));
        r.minY = Y(S16(p + 4));
        r.maxX = X(S16(p + 6));
        r.maxY = Y(S16(p + 8));
        std::uint16_t word = U16(p + 10);
        std::uint32_t n = word & 0x7fffu;
        r.noTail = (word & 0x8000u) != 0;
        std::uint64_t need = 12 + std::uint64_t(n) * 4 + (std::uint64_t(n) + 1) * 2;
        if (need > Left()) return Fail();
        const std::uint8_t* q = p + 12;
        r.points.resize(n);
        for (std::uint32_t i = 0; i < n; ++i, q += 4) r.points[i] = {X(S16(q)), Y(S16(q + 2))};
        r.directions.resize(n + 1);
        for (std::uint32_t i = 0; i <= n; ++i, q += 2)
            r.directions[i] = {static_cast<std::int8_t>(q[0]), static_cast<std::int8_t>(q[1])};
        m_pos += static_cast<std::uint32_t>(need);
        return true;
    }
    default:
        return false;
    }
}
