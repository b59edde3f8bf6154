// Reads arbitrary bytes as an object-store database file: the database is opened and every
// record read whole, then by a few property ids, in creation order and sorted.
#include "fuzz/store/FuzzRoot.h"
#include "platform/base/Handle.h"
#include "platform/store/ObjectStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFuzzFile("objectstore/fuzz.cedb", data, size);
    for (CEPROPID sort : {CEPROPID(0), CEPROPID((1u << 16) | CEVT_I4), CEPROPID((1u << 16) | CEVT_LPWSTR)}) {
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, u"fuzz", sort, CEDB_AUTOINCREMENT, nullptr);
        if (db == INVALID_HANDLE_VALUE) return 0;
        for (int i = 0; i < 100; ++i) {
            WORD count = 0;
            BYTE* buffer = nullptr;
            DWORD bytes = 0;
            const CEOID record = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &bytes);
            if (buffer) LocalFree(buffer);
            if (!record) break;
        }
        CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr);
        const CEPROPID ids[3] = {(1u << 16) | CEVT_I2, (2u << 16) | CEVT_BLOB, (3u << 16) | CEVT_LPWSTR};
        WORD count = 3;
        BYTE* buffer = nullptr;
        DWORD bytes = 0;
        CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, ids, &buffer, &bytes);
        if (buffer) LocalFree(buffer);
        CloseHandle(db);
    }
    return 0;
}
