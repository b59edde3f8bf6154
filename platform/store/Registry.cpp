#include "platform/store/Registry.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/store/StoreFile.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

constexpr std::size_t kMaxFileBytes = 4u << 20;
constexpr DWORD kMaxValueBytes = 1u << 20;
constexpr std::size_t kMaxNameChars = 255;
const char kRootName[] = "HKEY_LOCAL_MACHINE";

struct Value {
    std::u16string name;
    DWORD type = REG_NONE;
    std::string bytes; // raw bytes as stored in the registry (REG_SZ: UTF-16LE with terminator)
};

struct Key {
    std::u16string path; // below HKEY_LOCAL_MACHINE, '\' separated, no leading '\'; "" is the root
    std::vector<Value> values;
};

struct Handle {
    std::u16string path;
};

std::mutex& Mutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::set<Handle*>& Handles() {
    static std::set<Handle*>* h = new std::set<Handle*>;
    return *h;
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
    return DeviceRoot::SameNameIgnoringCase(a, b);
}

std::u16string ParentOf(const std::u16string& path) {
    const std::size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

std::u16string LastName(const std::u16string& path) {
    const std::size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

// Joins a key path and a sub-key text; '/' is not a separator in the registry. Empty components
// (doubled or edge backslashes) are dropped. False when a component is too long.
bool JoinPath(const std::u16string& base, const char16_t* sub, std::u16string& out) {
    out = base;
    if (!sub) return true;
    std::u16string part;
    auto flush = [&]() -> bool {
        if (part.empty()) return true;
        if (part.size() > kMaxNameChars) return false;
        out = out.empty() ? part : out + u"\\" + part;
        part.clear();
        return true;
    };
    for (const char16_t* p = sub; *p; ++p) {
        if (*p == u'\\') {
            if (!flush()) return false;
        } else {
            part.push_back(*p);
        }
    }
    return flush();
}

class Registry {
public:
    std::vector<Key> keys; // file order; every parent of a key is present before or after it

    Key* Find(const std::u16string& path) {
        for (Key& k : keys)
            if (SamePath(k.path, path)) return &k;
        return nullptr;
    }
    // Adds the key and its missing parents; true when the key itself was new.
    bool Ensure(const std::u16string& path) {
        if (Find(path)) return false;
        if (!path.empty()) Ensure(ParentOf(path));
        keys.push_back(Key{path, {}});
        return true;
    }

    void Parse(const std::string& text) {
        keys.clear();
        Ensure(u"");
        Key* current = nullptr;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            at = end + 1;
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
            if (line.empty() || line[0] == ';' || line[0] == '#') continue;
            if (line[0] == '[') {
                current = nullptr;
                if (line.back() != ']') continue;
                std::string name = line.substr(1, line.size() - 2);
                if (name.compare(0, sizeof kRootName - 1, kRootName) != 0) continue;
                name.erase(0, sizeof kRootName - 1);
                std::u16string path;
                if (!JoinPath(u"", Utf8ToUtf16(name).c_str(), path)) continue;
                Ensure(path);
                current = Find(path);
                continue;
            }
            if (current) ParseValue(line, *current);
        }
    }

    static bool ReadQuoted(const std::string& line, std::size_t& at, std::string& out) {
        out.clear();
        if (at >= line.size() || line[at] != '"') return false;
        for (++at; at < line.size(); ++at) {
            char c = line[at];
            if (c == '"') {
                ++at;
                return true;
            }
            if (c == '\\') {
                if (++at >= line.size()) return false;
                c = line[at];
            }
            out.push_back(c);
        }
        return false;
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    static void ParseValue(const std::string& line, Key& key) {
        std::size_t at = 0;
        std::string name;
        if (line[0] == '@') {
            at = 1;
        } else if (!ReadQuoted(line, at, name)) {
            return;
        }
        if (at >= line.size() || line[at] != '=') return;
        ++at;
        Value v;
        v.name = Utf8ToUtf16(name);
        if (v.name.size() > kMaxNameChars) return;
        const std::string rest = line.substr(at);
        if (!rest.empty() && rest[0] == '"') {
            std::size_t p = 0;
            std::string text;
            if (!ReadQuoted(rest, p, text) || p != rest.size()) return;
            std::u16string wide = Utf8ToUtf16(text);
            wide.push_back(0);
            v.type = REG_SZ;
            for (char16_t c : wide) {
                v.bytes.push_back(static_cast<char>(c & 0xFF));
                v.bytes.push_back(static_cast<char>(c >> 8));
            }
        } else if (rest.rfind("dword:", 0) == 0) {
            const std::string digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8) return;
            DWORD n = 0;
            for (char c : digits) {
                const int d = HexDigit(c);
                if (d < 0) return;
                n = (n << 4) | static_cast<DWORD>(d);
            }
            v.type = REG_DWORD;
            for (int i = 0; i < 4; ++i) v.bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        } else if (rest.rfind("hex(", 0) == 0) {
            const std::size_t close = rest.find("):");
            if (close == std::string::npos || close < 5 || close > 12) return;
            DWORD type = 0;
            for (std::size_t i = 4; i < close; ++i) {
                const int d = HexDigit(rest[i]);
                if (d < 0) return;
                type = (type << 4) | static_cast<DWORD>(d);
            }
            std::string bytes;
            std::size_t i = close + 2;
            while (i < rest.size()) {
                if (i + 1 >= rest.size()) return;
                const int hi = HexDigit(rest[i]), lo = HexDigit(rest[i + 1]);
                if (hi < 0 || lo < 0) return;
                bytes.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                if (i < rest.size()) {
                    if (rest[i] != ',') return;
                    ++i;
                }
            }
            v.type = type;
            v.bytes = bytes;
        } else {
            return;
        }
        for (Value& old : key.values)
            if (DeviceRoot::SameNameIgnoringCase(old.name, v.name)) {
                old = v;
                return;
            }
        key.values.push_back(v);
    }

    static std::string Quote(const std::string& text) {
        std::string out = "\"";
        for (char c : text) {
            if (c == '"' || c == '\\') out.push_back('\\');
            out.push_back(c);
        }
        return out + "\"";
    }

    std::string Format() const {
        std::string out;
        for (const Key& k : keys) {
            if (k.path.empty() && k.values.empty()) continue;
            out += "[";
            out += kRootName;
            if (!k.path.empty()) out += "\\" + Utf16ToUtf8(k.path);
            out += "]\n";
            for (const Value& v : k.values) {
                out += Quote(Utf16ToUtf8(v.name)) + "=";
                char buf[16];
                if (v.type == REG_SZ && v.bytes.size() % 2 == 0 && v.bytes.size() >= 2 &&
                    v.bytes[v.bytes.size() - 1] == 0 && v.bytes[v.bytes.size() - 2] == 0 && !HasInnerZero(v.bytes)) {
                    std::u16string wide;
                    for (std::size_t i = 0; i + 2 < v.bytes.size(); i += 2)
                        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(v.bytes[i]) |
                                                             (static_cast<unsigned char>(v.bytes[i + 1]) << 8)));
                    if (!HasLineBreak(wide)) {
                        out += Quote(Utf16ToUtf8(wide)) + "\n";
                        continue;
                    }
                }
                if (v.type == REG_DWORD && v.bytes.size() == 4) {
                    DWORD n = 0;
                    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(v.bytes[i]);
                    std::snprintf(buf, sizeof buf, "dword:%08x\n", n);
                    out += buf;
                    continue;
                }
                std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
                out += buf;
                for (std::size_t i = 0; i < v.bytes.size(); ++i) {
                    std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", static_cast<unsigned char>(v.bytes[i]));
                    out += buf;
                }
                out += "\n";
            }
        }
        return out;
    }

    static bool HasInnerZero(const std::string& bytes) {
        for (std::size_t i = 0; i + 3 < bytes.size(); i += 2)
            if (bytes[i] == 0 && bytes[i + 1] == 0) return true;
        return false;
    }
    static bool HasLineBreak(const std::u16string& text) {
        for (char16_t c : text)
            if (c == u'\n' || c == u'\r') return true;
        return false;
    }
};

Registry LoadRegistry() {
    Registry r;
    std::string text;
    storefile::ReadAll(registryfile::HostPath(), text, kMaxFileBytes);
    r.Parse(text);
    return r;
}

bool SaveRegistry(const Registry& r) {
    return storefile::WriteReplacing(registryfile::HostPath(), r.Format());
}

// The key path behind a handle; false for an unknown handle.
bool PathOf(HKEY key, std::u16string& path) {
    if (key == HKEY_LOCAL_MACHINE) {
        path.clear();
        return true;
    }
    Handle* h = reinterpret_cast<Handle*>(key);
    if (!Handles().count(h)) return false;
    path = h->path;
    return true;
}

HKEY NewHandle(const std::u16string& path) {
    Handle* h = new Handle{path};
    Handles().insert(h);
    return reinterpret_cast<HKEY>(h);
}

} // namespace

namespace registryfile {
std::string HostPath() {
    const std::string& root = DeviceRoot::Root();
    return (root.empty() ? std::string(".") : root) + "/registry.reg";
}
} // namespace registryfile

LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD, REGSAM, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string base, path;
    if (!PathOf(key, base)) return ERROR_INVALID_HANDLE;
    if (!JoinPath(base, subKey, path)) return ERROR_INVALID_PARAMETER;
    Registry r = LoadRegistry();
    const Key* k = r.Find(path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(k->path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD, char16_t*, DWORD, REGSAM, void*, PHKEY result,
                     DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string base, path;
    if (!PathOf(key, base)) return ERROR_INVALID_HANDLE;
    if (!JoinPath(base, subKey, path)) return ERROR_INVALID_PARAMETER;
    Registry r = LoadRegistry();
    const bool created = r.Ensure(path);
    if (created && !SaveRegistry(r)) return static_cast<LONG>(ERROR_CANTWRITE);
    *result = NewHandle(r.Find(path)->path);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameLength, DWORD*, char16_t* keyClass,
                   DWORD* classLength, FILETIME* lastWrite) {
    if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string path;
    if (!PathOf(key, path)) return ERROR_INVALID_HANDLE;
    Registry r = LoadRegistry();
    if (!r.Find(path)) return ERROR_FILE_NOT_FOUND;
    DWORD seen = 0;
    for (const Key& k : r.keys) {
        if (k.path.empty() || !SamePath(ParentOf(k.path), path)) continue;
        if (seen++ != index) continue;
        const std::u16string child = LastName(k.path);
        if (*nameLength < child.size() + 1) {
            *nameLength = static_cast<DWORD>(child.size() + 1);
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, child.data(), child.size() * sizeof(char16_t));
        name[child.size()] = 0;
        *nameLength = static_cast<DWORD>(child.size());
        if (keyClass && classLength && *classLength > 0) keyClass[0] = 0;
        if (classLength) *classLength = 0;
        if (lastWrite) *lastWrite = FILETIME{};
        return ERROR_SUCCESS;
    }
    return ERROR_NO_MORE_ITEMS;
}

LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataLength) {
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string path;
    if (!PathOf(key, path)) return ERROR_INVALID_HANDLE;
    if (data && !dataLength) return ERROR_INVALID_PARAMETER;
    Registry r = LoadRegistry();
    const Key* k = r.Find(path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    const std::u16string wanted = valueName ? std::u16string(valueName) : std::u16string();
    for (const Value& v : k->values) {
        if (!DeviceRoot::SameNameIgnoringCase(v.name, wanted)) continue;
        if (type) *type = v.type;
        const DWORD size = static_cast<DWORD>(v.bytes.size());
        if (!data) {
            if (dataLength) *dataLength = size;
            return ERROR_SUCCESS;
        }
        if (*dataLength < size) {
            *dataLength = size;
            return ERROR_MORE_DATA;
        }
        if (size) std::memcpy(data, v.bytes.data(), size);
        *dataLength = size;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataLength) {
    if (dataLength > kMaxValueBytes || (dataLength && !data)) return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && dataLength != 4) return ERROR_INVALID_PARAMETER;
    const std::u16string name = valueName ? std::u16string(valueName) : std::u16string();
    if (name.size() > kMaxNameChars) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string path;
    if (!PathOf(key, path)) return ERROR_INVALID_HANDLE;
    Registry r = LoadRegistry();
    Key* k = r.Find(path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    Value v{name, type, std::string(reinterpret_cast<const char*>(data), dataLength)};
    // A string written without its terminator is stored with one.
    if (type == REG_SZ && (v.bytes.size() % 2 != 0 || v.bytes.size() < 2 || v.bytes[v.bytes.size() - 1] != 0 ||
                           v.bytes[v.bytes.size() - 2] != 0)) {
        if (v.bytes.size() % 2) v.bytes.push_back(0);
        v.bytes.append(2, '\0');
    }
    bool replaced = false;
    for (Value& old : k->values)
        if (DeviceRoot::SameNameIgnoringCase(old.name, name)) {
            old = v;
            replaced = true;
            break;
        }
    if (!replaced) k->values.push_back(v);
    return SaveRegistry(r) ? ERROR_SUCCESS : static_cast<LONG>(ERROR_CANTWRITE);
}

LONG RegDeleteValueW(HKEY key, const char16_t* valueName) {
    std::lock_guard<std::mutex> lock(Mutex());
    std::u16string path;
    if (!PathOf(key, path)) return ERROR_INVALID_HANDLE;
    Registry r = LoadRegistry();
    Key* k = r.Find(path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    const std::u16string name = valueName ? std::u16string(valueName) : std::u16string();
    for (std::size_t i = 0; i < k->values.size(); ++i)
        if (DeviceRoot::SameNameIgnoringCase(k->values[i].name, name)) {
            k->values.erase(k->values.begin() + static_cast<std::ptrdiff_t>(i));
            return SaveRegistry(r) ? ERROR_SUCCESS : static_cast<LONG>(ERROR_CANTWRITE);
        }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(Mutex());
    Handle* h = reinterpret_cast<Handle*>(key);
    if (!Handles().erase(h)) return ERROR_INVALID_HANDLE;
    delete h;
    return ERROR_SUCCESS;
}
