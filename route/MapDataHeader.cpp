#include "route/MapDataHeader.h"

#include "platform/base/Text.h"
#include "route/base/BinFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

std::uint16_t DataChecksum(const void* block, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(block);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2) sum += static_cast<std::uint32_t>(p[i] | (p[i + 1] << 8));
    if (n % 2) sum += p[n - 1];
    std::uint32_t s = (sum & 0xFFFF) + (sum >> 16);
    s += s >> 16;
    return static_cast<std::uint16_t>(~s & 0xFFFF);
}

namespace {

// A zero-terminated CP949 text inside a fixed field, as wide text.
CString FieldText(const char* field, std::size_t size) {
    std::size_t n = 0;
    while (n < size && field[n]) ++n;
    return CString(Cp949ToUtf16(std::string_view(field, n)));
}

// Stores a wide text as CP949 in a field; refused when it is not shorter than the field.
bool SetField(char* field, std::size_t size, const char16_t* text) {
    std::string bytes = Utf16ToCp949(text ? std::u16string_view(text) : std::u16string_view());
    if (bytes.size() >= size) return false;
    std::memset(field, 0, size);
    std::memcpy(field, bytes.data(), bytes.size());
    return true;
}

bool ReadWhole(const char16_t* path, std::vector<std::uint8_t>& bytes, std::int64_t limit) {
    CBinFile file;
    if (!path || file.Open(path, CBinFile::kModeRead) != 0) return false;
    long size = file.GetSize();
    if (size < 0 || size > limit) return false;
    bytes.assign(static_cast<std::size_t>(size), 0);
    return size == 0 || file.ReadAt(bytes.data(), static_cast<int>(size), 0) == size;
}

} // namespace

CString FormatDataDate(std::uint32_t date) {
    CString text;
    text.Format(u"%d.%02d.%02d", static_cast<int>(date / 10000), static_cast<int>((date / 100) % 100),
                static_cast<int>(date % 100));
    return text;
}

// ---------------------------------------------------------------------------------------------
// ProgramInfoRecord

void ProgramInfoRecord::Clear() {
    std::memset(m_text1, 0, sizeof m_text1);
    std::memset(m_text2, 0, sizeof m_text2);
    std::memset(m_text3, 0, sizeof m_text3);
    std::memset(m_text4, 0, sizeof m_text4);
    m_date = m_value1 = m_value2 = 0;
    m_value3 = 0;
}

int ProgramInfoRecord::Write(CMemWriter& w) const {
    w.WriteBytes(m_text1, sizeof m_text1);
    w.WriteBytes(m_text2, sizeof m_text2);
    w.WriteDword(m_date);
    w.WriteBytes(m_text3, sizeof m_text3);
    w.WriteBytes(m_text4, sizeof m_text4);
    w.WriteDword(m_value1);
    w.WriteDword(m_value2);
    return w.WriteWord(m_value3);
}

bool ProgramInfoRecord::Read(CMemReader& r) {
    if (!r.IsValid()) return false;
    ProgramInfoRecord t;
    bool ok = r.ReadBytes(t.m_text1, sizeof t.m_text1) && r.ReadBytes(t.m_text2, sizeof t.m_text2) &&
              r.ReadDword(t.m_date) && r.ReadBytes(t.m_text3, sizeof t.m_text3) &&
              r.ReadBytes(t.m_text4, sizeof t.m_text4) && r.ReadDword(t.m_value1) &&
              r.ReadDword(t.m_value2) && r.ReadWord(t.m_value3);
    if (!ok) return false;
    *this = t;
    return true;
}

bool ProgramInfoRecord::LoadFile(const char16_t* path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, bytes, 2 + kSize) || bytes.size() != 2 + static_cast<std::size_t>(kSize))
        return false;
    if (static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)) != DataChecksum(bytes.data() + 2, kSize))
        return false;
    CMemReader r(bytes.data() + 2, kSize);
    return Read(r);
}

CString ProgramInfoRecord::GetText1() const {
    return FieldText(m_text1, sizeof m_text1);
}
CString ProgramInfoRecord::GetText2() const {
    return FieldText(m_text2, sizeof m_text2);
}
CString ProgramInfoRecord::GetText3() const {
    return FieldText(m_text3, sizeof m_text3);
}
CString ProgramInfoRecord::GetText4() const {
    return FieldText(m_text4, sizeof m_text4);
}
CString ProgramInfoRecord::GetDateText() const {
    return FormatDataDate(m_date);
}
bool ProgramInfoRecord::SetText1(const char16_t* t) {
    return SetField(m_text1, sizeof m_text1, t);
}
bool ProgramInfoRecord::SetText2(const char16_t* t) {
    return SetField(m_text2, sizeof m_text2, t);
}
bool ProgramInfoRecord::SetText3(const char16_t* t) {
    return SetField(m_text3, sizeof m_text3, t);
}
bool ProgramInfoRecord::SetText4(const char16_t* t) {
    return SetField(m_text4, sizeof m_text4, t);
}

// ---------------------------------------------------------------------------------------------
// MapDataInfoRecord

void MapDataInfoRecord::Clear() {
    std::memset(m_code, 0, sizeof m_code);
    std::memset(m_text1, 0, sizeof m_text1);
    std::memset(m_text2, 0, sizeof m_text2);
    m_displayDate = m_searchDate = m_routeDate = 0;
    m_kind = 0;
    m_checksumA = m_checksumB = 0;
}

int MapDataInfoRecord::Write(CMemWriter& w) const {
    w.WriteBytes(m_code, sizeof m_code);
    w.WriteDword(m_displayDate);
    w.WriteDword(m_searchDate);
    w.WriteDword(m_routeDate);
    w.WriteByte(static_cast<std::uint8_t>(m_kind));
    w.WriteBytes(m_text1, sizeof m_text1);
    w.WriteBytes(m_text2, sizeof m_text2);
    w.WriteWord(m_checksumA);
    return w.WriteWord(m_checksumB);
}

bool MapDataInfoRecord::Read(CMemReader& r) {
    if (!r.IsValid()) return false;
    MapDataInfoRecord t;
    std::uint8_t kind = 0;
    bool ok = r.ReadBytes(t.m_code, sizeof t.m_code) && r.ReadDword(t.m_displayDate) &&
              r.ReadDword(t.m_searchDate) && r.ReadDword(t.m_routeDate) && r.ReadByte(kind) &&
              r.ReadBytes(t.m_text1, sizeof t.m_text1) && r.ReadBytes(t.m_text2, sizeof t.m_text2) &&
              r.ReadWord(t.m_checksumA) && r.ReadWord(t.m_checksumB);
    if (!ok) return false;
    t.m_kind = static_cast<std::int8_t>(kind);
    *this = t;
    return true;
}

bool MapDataInfoRecord::IsEqual(const MapDataInfoRecord& o) const {
    return std::memcmp(m_code, o.m_code, sizeof m_code) == 0 && m_displayDate == o.m_displayDate &&
           m_searchDate == o.m_searchDate && m_routeDate == o.m_routeDate && m_kind == o.m_kind &&
           std::memcmp(m_text1, o.m_text1, sizeof m_text1) == 0 &&
           std::memcmp(m_text2, o.m_text2, sizeof m_text2) == 0 && m_checksumA == o.m_checksumA &&
           m_checksumB == o.m_checksumB;
}

CString MapDataInfoRecord::GetDataCode() const {
    return FieldText(m_code, sizeof m_code);
}
CString MapDataInfoRecord::GetText1() const {
    return FieldText(m_text1, sizeof m_text1);
}
CString MapDataInfoRecord::GetText2() const {
    return FieldText(m_text2, sizeof m_text2);
}
bool MapDataInfoRecord::SetText1(const char16_t* t) {
    return SetField(m_text1, sizeof m_text1, t);
}
bool MapDataInfoRecord::SetText2(const char16_t* t) {
    return SetField(m_text2, sizeof m_text2, t);
}

bool MapDataInfoRecord::SetDataCode(const char16_t* code) {
    // Only the converted text is read: a code shorter than 8 characters is refused rather
    // than read past its end.
    std::string bytes = Utf16ToCp949(code ? std::u16string_view(code) : std::u16string_view());
    if (bytes.size() != sizeof m_code) return false;
    std::memcpy(m_code, bytes.data(), sizeof m_code);
    return true;
}

// ---------------------------------------------------------------------------------------------
// CDataInfo

void CDataInfo::Reset() {
    m_verify = 1;
    m_program.Clear();
    m_map.Clear();
}

template <class Record> bool CDataInfo::LoadRecord(const char16_t* path, Record& record) {
    if (!path || !*path) return false;
    const int size = record.GetSize();
    std::vector<std::uint8_t> body(static_cast<std::size_t>(size));
    if (m_verify) {
        CBinFile file;
        if (file.Open(path, CBinFile::kModeRead) != 0) return false;
        std::uint16_t stored = 0;
        std::uint8_t sum[2];
        if (file.Read(sum, 2) != 2) return false;
        stored = static_cast<std::uint16_t>(sum[0] | (sum[1] << 8));
        if (file.Read(body.data(), size) != size) return false;
        if (DataChecksum(body.data(), body.size()) != stored) return false;
    }
    CBinFile file;
    if (file.Open(path, CBinFile::kModeRead) != 0) return false;
    if (file.ReadAt(body.data(), size, 2) != size) return false;
    CMemReader reader(body.data(), size);
    return record.Read(reader);
}

bool CDataInfo::LoadAppInfo(const char16_t* path) {
    return LoadRecord(path, m_program);
}
bool CDataInfo::LoadMapInfo(const char16_t* path) {
    return LoadRecord(path, m_map);
}

bool CDataInfo::CheckFileTail(const char16_t* path, std::uint16_t expected) const {
    CBinFile file;
    if (!path || file.Open(path, CBinFile::kModeRead) != 0) return false;
    const long size = file.GetSize();
    if (size < 0) return false;
    const long n = std::min<long>(size, 100);
    std::uint8_t tail[100];
    if (n > 0 && file.ReadAt(tail, static_cast<int>(n), size - n) != n) return false;
    return DataChecksum(tail, static_cast<std::size_t>(n)) == expected;
}

bool CDataInfo::CheckFileTailA(const char16_t* path) const {
    return CheckFileTail(path, m_map.GetChecksumA());
}
bool CDataInfo::CheckFileTailB(const char16_t* path) const {
    return CheckFileTail(path, m_map.GetChecksumB());
}

bool CDataInfo::GetDateText1(CString* out) const {
    if (!out) return false;
    *out = FormatDataDate(m_map.GetDisplayDate());
    return true;
}
bool CDataInfo::GetDateText2(CString* out) const {
    if (!out) return false;
    *out = FormatDataDate(m_map.GetSearchDate());
    return true;
}
bool CDataInfo::GetDateText3(CString* out) const {
    if (!out) return false;
    *out = FormatDataDate(m_map.GetRouteDate());
    return true;
}

// ---------------------------------------------------------------------------------------------
// CMapDataHeader

CMapDataHeader::CMapDataHeader() {
    std::memset(m_header, 0, sizeof m_header);
}

int CMapDataHeader::Open(const char16_t* folder) {
    m_folder = folder ? folder : u"";
    m_headerRead = false;
    CBinFile file;
    CString path = m_folder + u"\\MRData\\MRManage.bin";
    if (file.Open(path, CBinFile::kModeRead) != 0) return 0;
    std::uint8_t count[2];
    if (file.Read(count, 2) != 2 || file.Read(m_header, kHeaderBlockSize) != kHeaderBlockSize) return 0;
    m_mapCount = static_cast<std::uint16_t>(count[0] | (count[1] << 8));
    m_headerRead = true;
    file.Close();
    return Validate();
}

bool CMapDataHeader::CheckMapDataInfo() {
    CString path = m_folder + u"\\mapdatainfo.bin";
    if (!m_info.LoadMapInfo(path)) return false;
    switch (m_info.GetDataKind()) {
    case 1:
        m_kindFlags = 128;
        break;
    case 2:
        m_kindFlags = 256;
        break;
    case 3:
        m_kindFlags = 512;
        break;
    default:
        m_kindFlags = 0;
        break;
    }
    return true;
}

bool CMapDataHeader::CheckCrossFile() const {
    return m_info.CheckFileTailB(m_folder + u"\\MRData\\MRCross.bin");
}

bool CMapDataHeader::CheckSearchFile() const {
    return m_info.CheckFileTailA(m_folder + u"\\SearchDB\\aVelko.db");
}

int CMapDataHeader::Validate() {
    if (!m_headerRead || std::memcmp(m_header, "MRDA\0", 5) != 0) return 0;
    if (!CheckMapDataInfo()) return -3;
    if (!CheckCrossFile()) return -5;
    if (!CheckSearchFile()) return -6;
    return 1;
}
