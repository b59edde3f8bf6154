// The two files behind the name engines: the name database and the administrative-name table,
// with their headers, and the reads both engines make of them.
#pragma once

#include "search/NameEngine.h"
#include "search/SearchFormat.h"

#include <cstdint>

class CNameFiles {
public:
    // Opens both files and reads both headers.
    bool Open(const char16_t* namePath, const char16_t* adminPath);
    // Closes both files and opens them again; the headers stay as read.
    bool Reopen(const char16_t* namePath, const char16_t* adminPath);

    // The 40-byte name record at an offset from the record base.
    bool ReadRecord(std::uint64_t offsetFromBase, NameRecord& record);
    // A result row from a record; false when either administrative name cannot be read.
    bool MakeHit(const NameRecord& record, NameHit& hit);
    bool GetLocal(int n, char* buffer);
    bool ReadEntry30(int n, char* buffer);

    tolvik::DbFile names, admin;
    tolvik::DbHeader header;
    tolvik::AdminHeader adminHeader;
};
