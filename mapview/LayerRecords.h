// Records of a layer block, decoded field by field. One reader walks a block front to back
// and hands out records of the layer's kind with absolute map coordinates (tiled offsets are
// added to the cell origin). It stops at the first record that does not fit in the bytes left.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace layerkind {
constexpr int kLabel = 1;
constexpr int kLine = 2;
constexpr int kArea = 3;
constexpr int kPointSymbol = 4;
constexpr int kLine2 = 5;
constexpr int kLabel2 = 6;
constexpr int kEdgeRunArea = 7;
constexpr int kTrafficLink = 8;
constexpr int kSymbolText = 13;
} // namespace layerkind

struct LayerPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const LayerPoint&, const LayerPoint&) = default;
};

struct EdgeRun {
    std::int16_t first = 0;
    std::int16_t last = 0;
    friend bool operator==(const EdgeRun&, const EdgeRun&) = default;
};

struct LayerRecord {
    int kind = 0;
    // Labels, point symbols, symbols with text.
    std::uint8_t symbol = 0;       // label symbol, point symbol, kind-13 first code
    std::uint8_t symbolSource = 0; // label; kind 13: second code
    std::uint8_t boxStyle = 0;     // label; kind 13: third code
    std::uint16_t mask = 0;
    LayerPoint at;
    std::int8_t textDx = 0, textDy = 0;
    std::string text;  // CP949, without the NUL
    std::string text2; // kind 13 second text
    std::uint32_t number = 0;
    // Lines, areas, traffic links.
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    std::vector<LayerPoint> points;
    std::vector<EdgeRun> runs; // kind 7: only the runs that index the points soundly
    std::uint16_t linkIndex = 0;
    bool noTail = false;
    std::vector<std::pair<std::int8_t, std::int8_t>> directions; // kind 8: n + 1 pairs
};

// Bytes of the fixed part of a record of the kind, 0 for kinds that have no records.
int LayerRecordFixedSize(int kind, bool tiled);

class CLayerRecordReader {
public:
    CLayerRecordReader(int kind, bool tiled, const std::uint8_t* block, std::uint32_t size,
                       std::int32_t originX = 0, std::int32_t originY = 0)
        : m_kind(kind), m_tiled(tiled), m_block(block), m_size(block ? size : 0), m_originX(originX),
          m_originY(originY) {}

    // The next record; false at the end of the block or at a record that does not fit.
    bool Next(LayerRecord& record);
    std::uint32_t GetPosition() const { return m_pos; }
    // True when the walk stopped on a record that ran past the block.
    bool Truncated() const { return m_truncated; }

private:
    bool Fail() {
        m_truncated = true;
        m_pos = m_size;
        return false;
    }
    std::uint32_t Left() const { return m_size - m_pos; }
    // The origin comes from the file's header: the sum is taken wide and wraps like the origin.
    std::int32_t X(std::int32_t v) const { return m_tiled ? Offset(m_originX, v) : v; }
    std::int32_t Y(std::int32_t v) const { return m_tiled ? Offset(m_originY, v) : v; }
    static std::int32_t Offset(std::int32_t origin, std::int32_t v) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(origin) + v));
    }

    int m_kind;
    bool m_tiled;
    const std::uint8_t* m_block;
    std::uint32_t m_size;
    std::int32_t m_originX, m_originY;
    std::uint32_t m_pos = 0;
    bool m_truncated = false;
};
