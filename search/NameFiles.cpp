#include "search/NameFiles.h"

#include <cstring>

bool CNameFiles::Open(const char16_t* namePath, const char16_t* adminPath) {
    if (!names.Open(namePath) || !admin.Open(adminPath)) return false;
    return tolvik::ReadDbHeader(names, header) && tolvik::ReadAdminHeader(admin, adminHeader);
}

bool CNameFiles::Reopen(const char16_t* namePath, const char16_t* adminPath) {
    names.Close();
    admin.Close();
    return names.Open(namePath) && admin.Open(adminPath);
}

bool CNameFiles::ReadRecord(std::uint64_t offsetFromBase, NameRecord& record) {
    std::uint8_t b[40];
    if (!names.ReadAt(header.recordBase + offsetFromBase, b, sizeof b)) return false;
    record.Parse(b);
    return true;
}

bool CNameFiles::MakeHit(const NameRecord& record, NameHit& hit) {
    char province[21] = {}, district[21] = {};
    if (!GetLocal(record.admin1, province) || !GetLocal(record.admin2, district)) return false;
    hit = NameHit{};
    std::memcpy(hit.name, record.name, 20);
    tolvik::RegionText(province, district, hit.text, sizeof hit.text);
    std::memcpy(hit.pos, record.pos, sizeof hit.pos);
    hit.hasDetail = record.detail != 0 ? 1 : 0;
    return true;
}

bool CNameFiles::GetLocal(int n, char* buffer) {
    return tolvik::ReadAdminName(admin, adminHeader, n, buffer);
}

bool CNameFiles::ReadEntry30(int n, char* buffer) {
    if (n < 1) return false;
    char entry[31] = {};
    if (!names.ReadAt(header.entry30Base + static_cast<std::uint64_t>(n - 1) * 30, entry, 30)) return false;
    std::memcpy(buffer, entry, 31);
    return true;
}
