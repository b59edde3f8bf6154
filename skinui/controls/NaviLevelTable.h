// The map's zoom-level table as the level bars read it: up to 16 records of 12 bytes in level
// order, the first byte of each non-zero when that level is in use. The bars borrow it.
#pragma once

#include <cstddef>
#include <cstdint>

struct NaviLevelTable {
    static constexpr int kMaxRecords = 16;
    static constexpr int kRecordSize = 12;

    const std::uint8_t* records = nullptr;
    int count = 0; // records held, at most 16 are read

    bool InUse(int i) const {
        return records && i >= 0 && i < count && i < kMaxRecords && records[static_cast<std::size_t>(i) * kRecordSize] != 0;
    }
    // The levels in use among the first n records, minus 1 (-1 when none or n <= 0).
    int LevelToPosition(int n) const {
        int used = 0;
        for (int i = 0; i < n && i < kMaxRecords; ++i)
            if (InUse(i)) ++used;
        return used - 1;
    }
    // The 1-based record of the n-th level in use, -1 when the records hold fewer.
    int StepToLevel(int n) const {
        if (n < 1) return -1;
        int used = 0;
        for (int i = 0; i < kMaxRecords; ++i)
            if (InUse(i) && ++used == n) return i + 1;
        return -1;
    }
};
