// Object-store databases: named databases of records, each record a set of typed properties.
// Each database is one file under the device root ("objectstore/<name>.cedb"); every change
// reads the file, applies the change and writes the file aside before renaming it, so a
// database is always whole. Names compare without regard to case (at most 32 characters).
// Records are read in creation order, or ordered by the property given when the database is
// opened when that property is one of its sort orders.
#pragma once

#include "platform/base/LocalMemory.h"
#include "platform/base/WinTypes.h"

#include <string>

using CEOID = DWORD;
using CEPROPID = DWORD;

constexpr WORD CEVT_I2 = 2;
constexpr WORD CEVT_I4 = 3;
constexpr WORD CEVT_R8 = 5;
constexpr WORD CEVT_BOOL = 11;
constexpr WORD CEVT_UI2 = 18;
constexpr WORD CEVT_UI4 = 19;
constexpr WORD CEVT_LPWSTR = 31;
constexpr WORD CEVT_FILETIME = 64;
constexpr WORD CEVT_BLOB = 65;

constexpr WORD TypeFromPropID(CEPROPID id) {
    return static_cast<WORD>(id & 0xFFFF);
}

constexpr DWORD CEDB_MAXDBASENAMELEN = 32;
constexpr WORD CEDB_MAXSORTORDER = 4;
constexpr DWORD CEDB_MAXPROPDATASIZE = 0xFFFF;
constexpr DWORD CEDB_AUTOINCREMENT = 0x1;
constexpr DWORD CEDB_ALLOWREALLOC = 0x1;
constexpr WORD CEDB_PROPNOTFOUND = 0x0100;
constexpr WORD CEDB_PROPDELETE = 0x0200;
constexpr DWORD CEDB_SORT_DESCENDING = 0x1;
constexpr DWORD CEDB_SEEK_CEOID = 0x1;
constexpr DWORD CEDB_SEEK_BEGINNING = 0x2;
constexpr DWORD CEDB_SEEK_END = 0x4;
constexpr DWORD CEDB_SEEK_CURRENT = 0x8;
constexpr DWORD ERROR_DUP_NAME = 52;
constexpr DWORD ERROR_NO_MORE_RECORDS = 259;

struct CEBLOB {
    DWORD dwCount;
    BYTE* lpb;
};

union CEVALUNION {
    CEVALUNION() : blob{0, nullptr} {}
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    char16_t* lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
};

struct CEPROPVAL {
    CEPROPID propid = 0;
    WORD wLenData = 0;
    WORD wFlags = 0;
    CEVALUNION val;
};

struct SORTORDERSPEC {
    CEPROPID propid;
    DWORD dwFlags;
};

// Creates an empty database; 0 when the name is empty, too long or taken (ERROR_DUP_NAME), or
// more than four sort orders are given.
CEOID CeCreateDatabase(const char16_t* name, DWORD type, WORD sortOrders, const SORTORDERSPEC* specs);
// Opens by *oid when it is non-zero, else by name (and stores the database's id in *oid).
// INVALID_HANDLE_VALUE when there is no such database. The seek position starts at the first
// record. Close with CloseHandle.
HANDLE CeOpenDatabase(CEOID* oid, const char16_t* name, CEPROPID sortProperty, DWORD flags, void* notifyWindow);
// Moves the seek position; returns the record id there, 0 when it falls outside the records.
CEOID CeSeekDatabase(HANDLE db, DWORD seekType, DWORD value, DWORD* index);
// Reads the properties ids (all when ids is null) of the record at the seek position into one
// block: the CEPROPVAL array, then string and blob data. A property the record lacks comes back
// with CEDB_PROPNOTFOUND. With CEDB_ALLOWREALLOC a missing or small block is (re)allocated with
// LocalAlloc (free it with LocalFree); otherwise a small block gives ERROR_INSUFFICIENT_BUFFER.
// Returns the record id, 0 on failure (ERROR_NO_MORE_RECORDS past the last record).
CEOID CeReadRecordProps(HANDLE db, DWORD flags, WORD* propCount, const CEPROPID* ids, BYTE** buffer,
                        DWORD* bufferSize);
// Record 0 adds a record; another id changes that record's properties (CEDB_PROPDELETE removes
// one). Returns the record id, 0 on failure.
CEOID CeWriteRecordProps(HANDLE db, CEOID record, WORD propCount, const CEPROPVAL* values);
BOOL CeDeleteRecord(HANDLE db, CEOID record);
BOOL CeDeleteDatabase(CEOID oid);

namespace objectstore {
// Host folder that holds the databases of the current device root.
std::string HostFolder();
} // namespace objectstore
