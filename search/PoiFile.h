// The point-of-interest detail database: for a 1-based record number, the name, two numbers
// and the labelled detail texts ("label|text|label|text...").
#pragma once

#include "search/SearchFormat.h"
#include "search/SearchRecords.h"

#include <cstdint>

class CPoiFile {
public:
    static constexpr std::uint32_t kMaxRecordSize = 64 * 1024;
    static constexpr std::size_t kMaxItems = 256;

    struct Header {
        char text[33] = {};
        std::uint32_t labelOffset = 0;
        std::uint32_t labelCount = 0;
        std::uint32_t indexOffset = 0;
        std::uint32_t recordCount = 0;
    };

    bool Open(const char16_t* path);
    // Fills out from record n; out is left as it was on failure.
    bool ReadPOI(int n, _POI_RESULT& out);
    const Header& GetHeader() const { return m_header; }

private:
    bool ReadLabel(int n, char* label41);

    tolvik::DbFile m_file;
    Header m_header;
    _POI_RESULT m_work;
};
