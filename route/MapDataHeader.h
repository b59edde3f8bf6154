// The map-data check and the data-version records: CMapDataHeader verifies that a MapData
// folder holds a usable data set ("MRDA" magic, a valid "mapdatainfo.bin", and the tails of
// MRCross.bin and the search database matching its checksums); CDataInfo loads the program's
// "appdatainfo.bin" and the data set's "mapdatainfo.bin".
#pragma once

#include "platform/base/CString.h"
#include "route/base/MemStream.h"

#include <cstddef>
#include <cstdint>

// One's-complement checksum of the 16-bit little-endian words (an odd last byte added as is).
std::uint16_t DataChecksum(const void* block, std::size_t n);

class ProgramInfoRecord {
public:
    static constexpr int kSize = 154;

    ProgramInfoRecord() { Clear(); }
    void Clear();
    int GetSize() const { return kSize; }
    int Write(CMemWriter& writer) const;
    bool Read(CMemReader& reader);
    // The record's own loader: a file of exactly 2 + 154 bytes whose checksum matches.
    bool LoadFile(const char16_t* path);

    CString GetText1() const;
    CString GetText2() const;
    CString GetText3() const;
    CString GetText4() const;
    std::uint32_t GetDate() const { return m_date; }
    CString GetDateText() const;
    std::uint16_t GetValue3() const { return m_value3; }
    std::uint32_t GetValue1() const { return m_value1; }
    std::uint32_t GetValue2() const { return m_value2; }
    bool SetText1(const char16_t* text);
    bool SetText2(const char16_t* text);
    bool SetText3(const char16_t* text);
    bool SetText4(const char16_t* text);
    void SetDate(std::uint32_t date) { m_date = date; }
    void SetValue1(std::uint32_t v) { m_value1 = v; }
    void SetValue2(std::uint32_t v) { m_value2 = v; }
    void SetValue3(std::uint16_t v) { m_value3 = v; }

private:
    char m_text1[50];
    char m_text2[50];
    std::uint32_t m_date;
    char m_text3[30];
    char m_text4[10];
    std::uint32_t m_value1;
    std::uint32_t m_value2;
    std::uint16_t m_value3;
};

class MapDataInfoRecord {
public:
    static constexpr int kSize = 65;

    MapDataInfoRecord() { Clear(); }
    void Clear();
    int GetSize() const { return kSize; }
    int Write(CMemWriter& writer) const;
    bool Read(CMemReader& reader);
    bool IsEqual(const MapDataInfoRecord& other) const;

    CString GetDataCode() const;
    std::uint32_t GetDisplayDate() const { return m_displayDate; }
    std::uint32_t GetSearchDate() const { return m_searchDate; }
    std::uint32_t GetRouteDate() const { return m_routeDate; }
    std::int8_t GetKind() const { return m_kind; }
    CString GetText1() const;
    CString GetText2() const;
    std::uint16_t GetChecksumA() const { return m_checksumA; }
    std::uint16_t GetChecksumB() const { return m_checksumB; }
    // The code's CP949 form must be exactly 8 bytes; those bytes are stored.
    bool SetDataCode(const char16_t* code);
    void SetDisplayDate(std::uint32_t d) { m_displayDate = d; }
    void SetSearchDate(std::uint32_t d) { m_searchDate = d; }
    void SetRouteDate(std::uint32_t d) { m_routeDate = d; }
    void SetKind(std::int8_t kind) { m_kind = kind; }
    bool SetText1(const char16_t* text);
    bool SetText2(const char16_t* text);
    void SetChecksumA(std::uint16_t v) { m_checksumA = v; }
    void SetChecksumB(std::uint16_t v) { m_checksumB = v; }

private:
    char m_code[8];
    std::uint32_t m_displayDate;
    std::uint32_t m_searchDate;
    std::uint32_t m_routeDate;
    std::int8_t m_kind;
    char m_text1[10];
    char m_text2[30];
    std::uint16_t m_checksumA;
    std::uint16_t m_checksumB;
};

// A date value YYYYMMDD as "%d.%02d.%02d" (20050315 -> 2005.03.15).
CString FormatDataDate(std::uint32_t date);

class CDataInfo {
public:
    CDataInfo() { Reset(); }
    void Reset();

    bool LoadAppInfo(const char16_t* path);
    bool LoadMapInfo(const char16_t* path);
    // The tail (last min(length, 100) bytes) of a file against checksum A or B.
    bool CheckFileTailA(const char16_t* path) const;
    bool CheckFileTailB(const char16_t* path) const;

    CString GetDataCode() const { return m_map.GetDataCode(); }
    bool GetDateText1(CString* out) const;
    bool GetDateText2(CString* out) const;
    bool GetDateText3(CString* out) const;
    std::int8_t GetDataKind() const { return m_map.GetKind(); }

    void SetVerify(std::uint8_t verify) { m_verify = verify; }
    const ProgramInfoRecord& Program() const { return m_program; }
    const MapDataInfoRecord& MapData() const { return m_map; }

private:
    template <class Record> bool LoadRecord(const char16_t* path, Record& record);
    bool CheckFileTail(const char16_t* path, std::uint16_t expected) const;

    std::uint8_t m_verify = 1;
    ProgramInfoRecord m_program;
    MapDataInfoRecord m_map;
};

class CMapDataHeader {
public:
    static constexpr int kHeaderBlockSize = 486;

    CMapDataHeader();
    // Reads "%s\MRData\MRManage.bin" of the folder, then validates; the code of Validate.
    int Open(const char16_t* folder);
    // 1 usable; 0 wrong magic (or MRManage.bin unreadable); -3 mapdatainfo.bin missing or
    // invalid; -5 MRCross.bin does not match checksum B; -6 aVelko.db does not match checksum A.
    int Validate();

    std::uint16_t GetMapCount() const { return m_mapCount; }
    std::int32_t GetDataKindFlags() const { return m_kindFlags; }
    const CDataInfo& DataInfo() const { return m_info; }

private:
    bool CheckMapDataInfo();
    bool CheckCrossFile() const;
    bool CheckSearchFile() const;

    std::uint16_t m_mapCount = 0;
    std::uint8_t m_header[kHeaderBlockSize];
    bool m_headerRead = false;
    CDataInfo m_info;
    std::int32_t m_kindFlags = 0;
    CString m_folder;
};
