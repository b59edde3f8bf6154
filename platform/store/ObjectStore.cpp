#include "platform/store/ObjectStore.h"

#include "platform/base/Handle.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/store/StoreFile.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr std::size_t kMaxFileBytes = 32u << 20;
constexpr std::size_t kMaxPropsPerRecord = 1024;
constexpr CEOID kFirstDatabaseId = 0x00100000;
const char kMagic[] = "velko-cedb 1";

struct Prop {
    CEPROPID id = 0;
    std::string bytes; // the value's little-endian bytes; strings as UTF-16LE without a terminator
};

struct Record {
    CEOID oid = 0;
    std::vector<Prop> props;
    const Prop* Find(CEPROPID id) const {
        for (const Prop& p : props)
            if (p.id == id) return &p;
        return nullptr;
    }
};

struct Database {
    std::u16string name;
    CEOID oid = 0;
    DWORD type = 0;
    std::vector<SORTORDERSPEC> sorts;
    CEOID next = 1;
    std::vector<Record> records;
};

class DbHandle : public KernelObject {
public:
    CEOID oid = 0;
    CEPROPID sortProperty = 0;
    DWORD flags = 0;
    std::size_t position = 0;
};

std::mutex& Mutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

bool FromHex(const std::string& text, std::string& bytes) {
    bytes.clear();
    if (text.size() % 2) return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

bool ParseNumber(const std::string& text, unsigned long long limit, unsigned long long& value) {
    if (text.empty() || text.size() > 20) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned long long>(c - '0');
        if (value > limit) return false;
    }
    return true;
}

// Name of a database file: the folded name, with bytes outside letters and digits escaped.
std::string FileNameOf(const std::u16string& name) {
    std::u16string folded;
    for (char16_t c : name) folded.push_back(DeviceRoot::FoldCase(c));
    const std::string utf8 = Utf16ToUtf8(folded);
    std::string out;
    for (unsigned char c : utf8) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c >= 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02x", c);
            out += buf;
        }
    }
    return out + ".cedb";
}

bool Parse(const std::string& text, Database& db) {
    db = Database();
    std::size_t at = 0;
    bool first = true;
    Record* record = nullptr;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (first) {
            if (line != kMagic) return false;
            first = false;
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
        unsigned long long a = 0, b = 0;
        if (word == "name") {
            db.name = Utf8ToUtf16(rest);
        } else if (word == "oid") {
            if (!ParseNumber(rest, 0xFFFFFFFFu, a)) return false;
            db.oid = static_cast<CEOID>(a);
        } else if (word == "type") {
            if (!ParseNumber(rest, 0xFFFFFFFFu, a)) return false;
            db.type = static_cast<DWORD>(a);
        } else if (word == "next") {
            if (!ParseNumber(rest, 0xFFFFFFFFu, a)) return false;
            db.next = static_cast<CEOID>(a);
        } else if (word == "sort") {
            const std::size_t sp = rest.find(' ');
            if (sp == std::string::npos || !ParseNumber(rest.substr(0, sp), 0xFFFFFFFFu, a) ||
                !ParseNumber(rest.substr(sp + 1), 0xFFFFFFFFu, b) || db.sorts.size() >= CEDB_MAXSORTORDER)
                return false;
            db.sorts.push_back(SORTORDERSPEC{static_cast<CEPROPID>(a), static_cast<DWORD>(b)});
        } else if (word == "record") {
            if (!ParseNumber(rest, 0xFFFFFFFFu, a) || a == 0) return false;
            db.records.push_back(Record{static_cast<CEOID>(a), {}});
            record = &db.records.back();
        } else if (word == "prop") {
            const std::size_t sp = rest.find(' ');
            std::string bytes;
            if (!record || record->props.size() >= kMaxPropsPerRecord) return false;
            if (!ParseNumber(rest.substr(0, sp), 0xFFFFFFFFu, a)) return false;
            if (sp != std::string::npos && !FromHex(rest.substr(sp + 1), bytes)) return false;
            if (bytes.size() > CEDB_MAXPROPDATASIZE) return false;
            record->props.push_back(Prop{static_cast<CEPROPID>(a), bytes});
        } else if (!line.empty()) {
            return false;
        }
    }
    return !first && !db.name.empty() && db.oid != 0;
}

std::string Format(const Database& db) {
    std::string out = std::string(kMagic) + "\n";
    out += "name " + Utf16ToUtf8(db.name) + "\n";
    out += "oid " + std::to_string(db.oid) + "\n";
    out += "type " + std::to_string(db.type) + "\n";
    for (const SORTORDERSPEC& s : db.sorts)
        out += "sort " + std::to_string(s.propid) + " " + std::to_string(s.dwFlags) + "\n";
    out += "next " + std::to_string(db.next) + "\n";
    for (const Record& r : db.records) {
        out += "record " + std::to_string(r.oid) + "\n";
        for (const Prop& p : r.props) out += "prop " + std::to_string(p.id) + " " + ToHex(p.bytes) + "\n";
    }
    return out;
}

std::vector<std::string> DatabaseFiles() {
    std::vector<std::string> files;
    const std::string folder = objectstore::HostFolder();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return files;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".cedb") == 0) files.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

bool LoadFile(const std::string& path, Database& db) {
    std::string text;
    return storefile::ReadAll(path, text, kMaxFileBytes) && Parse(text, db);
}

// Finds a database by id; fills its file path.
bool LoadById(CEOID oid, Database& db, std::string& path) {
    for (const std::string& file : DatabaseFiles()) {
        if (LoadFile(file, db) && db.oid == oid) {
            path = file;
            return true;
        }
    }
    return false;
}

std::string PathOfName(const std::u16string& name) {
    return objectstore::HostFolder() + "/" + FileNameOf(name);
}

bool ValidName(const char16_t* name) {
    if (!name || !*name) return false;
    std::size_t n = 0;
    for (const char16_t* p = name; *p; ++p) {
        if (++n > CEDB_MAXDBASENAMELEN || *p < 0x20) return false;
    }
    return true;
}

// Signed comparison of two stored values of the sort property's type.
int CompareValues(WORD type, const std::string& a, const std::string& b) {
    auto number = [&](const std::string& s) -> long double {
        std::uint64_t u = 0;
        for (std::size_t i = s.size(); i-- > 0;) u = (u << 8) | static_cast<unsigned char>(s[i]);
        switch (type) {
        case CEVT_I2: return static_cast<std::int16_t>(u);
        case CEVT_I4:
        case CEVT_BOOL: return static_cast<std::int32_t>(u);
        case CEVT_R8: {
            double d = 0;
            if (s.size() == 8) std::memcpy(&d, s.data(), 8);
            return d;
        }
        default: return static_cast<long double>(u);
        }
    };
    if (type == CEVT_LPWSTR || type == CEVT_BLOB) {
        std::u16string x, y;
        for (std::size_t i = 0; i + 1 < a.size(); i += 2)
            x.push_back(DeviceRoot::FoldCase(static_cast<char16_t>(static_cast<unsigned char>(a[i]) |
                                                                   (static_cast<unsigned char>(a[i + 1]) << 8))));
        for (std::size_t i = 0; i + 1 < b.size(); i += 2)
            y.push_back(DeviceRoot::FoldCase(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                                                   (static_cast<unsigned char>(b[i + 1]) << 8))));
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    const long double x = number(a), y = number(b);
    return x < y ? -1 : (y < x ? 1 : 0);
}

// Record indices in reading order for a handle.
std::vector<std::size_t> Order(const Database& db, CEPROPID sortProperty) {
    std::vector<std::size_t> order(db.records.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const SORTORDERSPEC* spec = nullptr;
    for (const SORTORDERSPEC& s : db.sorts)
        if (sortProperty != 0 && s.propid == sortProperty) spec = &s;
    if (!spec) return order;
    const bool descending = (spec->dwFlags & CEDB_SORT_DESCENDING) != 0;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t l, std::size_t r) {
        const Prop* a = db.records[l].Find(spec->propid);
        const Prop* b = db.records[r].Find(spec->propid);
        if (!a || !b) return a && !b; // records without the property come last
        const int c = CompareValues(TypeFromPropID(spec->propid), a->bytes, b->bytes);
        return descending ? c > 0 : c < 0;
    });
    return order;
}

// The stored bytes of a property value given by a caller; false for an unknown type or a value
// too large.
bool PackValue(const CEPROPVAL& v, std::string& bytes) {
    bytes.clear();
    auto put = [&](std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    switch (TypeFromPropID(v.propid)) {
    case CEVT_I2: put(static_cast<std::uint16_t>(v.val.iVal), 2); return true;
    case CEVT_UI2: put(v.val.uiVal, 2); return true;
    case CEVT_I4: put(static_cast<std::uint32_t>(v.val.lVal), 4); return true;
    case CEVT_UI4: put(v.val.ulVal, 4); return true;
    case CEVT_BOOL: put(static_cast<std::uint32_t>(v.val.boolVal), 4); return true;
    case CEVT_R8: {
        std::uint64_t u = 0;
        std::memcpy(&u, &v.val.dblVal, 8);
        put(u, 8);
        return true;
    }
    case CEVT_FILETIME:
        put(v.val.filetime.dwLowDateTime, 4);
        put(v.val.filetime.dwHighDateTime, 4);
        return true;
    case CEVT_LPWSTR: {
        if (!v.val.lpwstr) return true;
        for (const char16_t* p = v.val.lpwstr; *p; ++p) {
            if (bytes.size() + 2 > CEDB_MAXPROPDATASIZE) return false;
            put(*p, 2);
        }
        return true;
    }
    case CEVT_BLOB:
        if (v.val.blob.dwCount > CEDB_MAXPROPDATASIZE || (v.val.blob.dwCount && !v.val.blob.lpb)) return false;
        bytes.assign(reinterpret_cast<const char*>(v.val.blob.lpb), v.val.blob.dwCount);
        return true;
    default: return false;
    }
}

std::size_t Align8(std::size_t n) {
    return (n + 7) & ~static_cast<std::size_t>(7);
}

} // namespace

namespace objectstore {
std::string HostFolder() {
    const std::string& root = DeviceRoot::Root();
    return (root.empty() ? std::string(".") : root) + "/objectstore";
}
} // namespace objectstore

CEOID CeCreateDatabase(const char16_t* name, DWORD type, WORD sortOrders, const SORTORDERSPEC* specs) {
    if (!ValidName(name) || sortOrders > CEDB_MAXSORTORDER || (sortOrders && !specs)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    const std::string path = PathOfName(name);
    if (::access(path.c_str(), F_OK) == 0) {
        SetLastError(ERROR_DUP_NAME);
        return 0;
    }
    CEOID highest = kFirstDatabaseId - 1;
    for (const std::string& file : DatabaseFiles()) {
        Database other;
        if (LoadFile(file, other)) highest = std::max(highest, other.oid);
    }
    if (highest == 0xFFFFFFFFu) {
        SetLastError(ERROR_DISK_FULL);
        return 0;
    }
    Database db;
    db.name = name;
    db.oid = highest + 1;
    db.type = type;
    for (WORD i = 0; i < sortOrders; ++i) db.sorts.push_back(specs[i]);
    if (!storefile::WriteReplacing(path, Format(db))) {
        SetLastError(ERROR_DISK_FULL);
        return 0;
    }
    return db.oid;
}

HANDLE CeOpenDatabase(CEOID* oid, const char16_t* name, CEPROPID sortProperty, DWORD flags, void*) {
    if (!oid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    bool found = false;
    if (*oid != 0) {
        found = LoadById(*oid, db, path);
    } else if (ValidName(name)) {
        found = LoadFile(PathOfName(name), db) && DeviceRoot::SameNameIgnoringCase(db.name, name);
    }
    if (!found) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *oid = db.oid;
    DbHandle* h = new DbHandle;
    h->oid = db.oid;
    h->sortProperty = sortProperty;
    h->flags = flags;
    return ToHandle(h);
}

CEOID CeSeekDatabase(HANDLE handle, DWORD seekType, DWORD value, DWORD* index) {
    DbHandle* h = HandleAs<DbHandle>(handle);
    if (!h) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    if (!LoadById(h->oid, db, path)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::vector<std::size_t> order = Order(db, h->sortProperty);
    long long target = -1;
    switch (seekType) {
    case CEDB_SEEK_BEGINNING: target = value; break;
    case CEDB_SEEK_CURRENT: target = static_cast<long long>(h->position) + static_cast<LONG>(value); break;
    case CEDB_SEEK_END: target = static_cast<long long>(order.size()) - 1 + static_cast<LONG>(value); break;
    case CEDB_SEEK_CEOID:
        for (std::size_t i = 0; i < order.size(); ++i)
            if (db.records[order[i]].oid == value) target = static_cast<long long>(i);
        break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
    if (target < 0 || target >= static_cast<long long>(order.size())) {
        SetLastError(ERROR_NO_MORE_RECORDS);
        return 0;
    }
    h->position = static_cast<std::size_t>(target);
    if (index) *index = static_cast<DWORD>(target);
    return db.records[order[h->position]].oid;
}

CEOID CeReadRecordProps(HANDLE handle, DWORD flags, WORD* propCount, const CEPROPID* ids, BYTE** buffer,
                        DWORD* bufferSize) {
    DbHandle* h = HandleAs<DbHandle>(handle);
    if (!h || !propCount || !buffer || !bufferSize || (ids && *propCount == 0)) {
        SetLastError(h ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    if (!LoadById(h->oid, db, path)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::vector<std::size_t> order = Order(db, h->sortProperty);
    if (h->position >= order.size()) {
        SetLastError(ERROR_NO_MORE_RECORDS);
        return 0;
    }
    const Record& record = db.records[order[h->position]];
    // The properties asked for: the given ids, or every property of the record.
    std::vector<CEPROPID> wanted;
    if (ids) {
        wanted.assign(ids, ids + *propCount);
    } else {
        for (const Prop& p : record.props) wanted.push_back(p.id);
    }
    std::size_t size = Align8(wanted.size() * sizeof(CEPROPVAL));
    for (CEPROPID id : wanted) {
        const Prop* p = record.Find(id);
        if (!p) continue;
        const WORD type = TypeFromPropID(id);
        if (type == CEVT_LPWSTR) size += Align8(p->bytes.size() + 2);
        if (type == CEVT_BLOB) size += Align8(p->bytes.size());
    }
    if (size > 0xFFFFFFFFu) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (!*buffer || *bufferSize < size) {
        if (!(flags & CEDB_ALLOWREALLOC)) {
            *bufferSize = static_cast<DWORD>(size);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        void* block = LocalAlloc(LMEM_ZEROINIT, size);
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        if (*buffer) LocalFree(*buffer);
        *buffer = static_cast<BYTE*>(block);
        *bufferSize = static_cast<DWORD>(size);
    }
    BYTE* base = *buffer;
    CEPROPVAL* out = reinterpret_cast<CEPROPVAL*>(base);
    std::size_t data = Align8(wanted.size() * sizeof(CEPROPVAL));
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        CEPROPVAL v;
        v.propid = wanted[i];
        const Prop* p = record.Find(wanted[i]);
        if (!p) {
            v.wFlags = CEDB_PROPNOTFOUND;
            std::memcpy(out + i, &v, sizeof v);
            continue;
        }
        v.wLenData = static_cast<WORD>(p->bytes.size());
        std::uint64_t u = 0;
        for (std::size_t k = std::min<std::size_t>(p->bytes.size(), 8); k-- > 0;)
            u = (u << 8) | static_cast<unsigned char>(p->bytes[k]);
        switch (TypeFromPropID(v.propid)) {
        case CEVT_I2: v.val.iVal = static_cast<SHORT>(u); break;
        case CEVT_UI2: v.val.uiVal = static_cast<USHORT>(u); break;
        case CEVT_I4: v.val.lVal = static_cast<LONG>(static_cast<std::uint32_t>(u)); break;
        case CEVT_UI4: v.val.ulVal = static_cast<ULONG>(u); break;
        case CEVT_BOOL: v.val.boolVal = static_cast<BOOL>(static_cast<std::uint32_t>(u)); break;
        case CEVT_R8: std::memcpy(&v.val.dblVal, &u, 8); break;
        case CEVT_FILETIME:
            v.val.filetime.dwLowDateTime = static_cast<DWORD>(u);
            v.val.filetime.dwHighDateTime = static_cast<DWORD>(u >> 32);
            break;
        case CEVT_LPWSTR: {
            char16_t* text = reinterpret_cast<char16_t*>(base + data);
            std::memcpy(text, p->bytes.data(), p->bytes.size() & ~static_cast<std::size_t>(1));
            text[p->bytes.size() / 2] = 0;
            v.val.lpwstr = text;
            data += Align8(p->bytes.size() + 2);
            break;
        }
        case CEVT_BLOB:
            v.val.blob.dwCount = static_cast<DWORD>(p->bytes.size());
            v.val.blob.lpb = base + data;
            if (!p->bytes.empty()) std::memcpy(base + data, p->bytes.data(), p->bytes.size());
            data += Align8(p->bytes.size());
            break;
        default: break;
        }
        std::memcpy(out + i, &v, sizeof v);
    }
    *propCount = static_cast<WORD>(wanted.size());
    const CEOID result = record.oid;
    if (h->flags & CEDB_AUTOINCREMENT) ++h->position;
    return result;
}

CEOID CeWriteRecordProps(HANDLE handle, CEOID recordId, WORD propCount, const CEPROPVAL* values) {
    DbHandle* h = HandleAs<DbHandle>(handle);
    if (!h || (propCount && !values)) {
        SetLastError(h ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    if (!LoadById(h->oid, db, path)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    Record* record = nullptr;
    if (recordId == 0) {
        if (db.next == 0) {
            SetLastError(ERROR_DISK_FULL);
            return 0;
        }
        db.records.push_back(Record{db.next++, {}});
        record = &db.records.back();
    } else {
        for (Record& r : db.records)
            if (r.oid == recordId) record = &r;
        if (!record) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    }
    for (WORD i = 0; i < propCount; ++i) {
        const CEPROPVAL& v = values[i];
        auto existing = std::find_if(record->props.begin(), record->props.end(),
                                     [&](const Prop& p) { return p.id == v.propid; });
        if (v.wFlags & CEDB_PROPDELETE) {
            if (existing != record->props.end()) record->props.erase(existing);
            continue;
        }
        Prop p{v.propid, {}};
        if (!PackValue(v, p.bytes)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (existing != record->props.end()) {
            *existing = p;
        } else {
            if (record->props.size() >= kMaxPropsPerRecord) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            record->props.push_back(p);
        }
    }
    const CEOID result = record->oid;
    if (!storefile::WriteReplacing(path, Format(db))) {
        SetLastError(ERROR_DISK_FULL);
        return 0;
    }
    return result;
}

BOOL CeDeleteRecord(HANDLE handle, CEOID recordId) {
    DbHandle* h = HandleAs<DbHandle>(handle);
    if (!h || recordId == 0) {
        SetLastError(h ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    if (!LoadById(h->oid, db, path)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto it = std::find_if(db.records.begin(), db.records.end(), [&](const Record& r) { return r.oid == recordId; });
    if (it == db.records.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    db.records.erase(it);
    if (!storefile::WriteReplacing(path, Format(db))) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return TRUE;
}

BOOL CeDeleteDatabase(CEOID oid) {
    std::lock_guard<std::mutex> lock(Mutex());
    Database db;
    std::string path;
    if (oid == 0 || !LoadById(oid, db, path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
