#include "platform/files/MemoryFiles.h"

#include "platform/files/DeviceRoot.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace {

struct Store {
    std::mutex mutex;
    std::map<std::u16string, MemoryFiles::Bytes> files;
    std::atomic<int> count{0};
};

Store& S() {
    static Store* s = new Store(); // outlives every static object that might still open files
    return *s;
}

// The path as a key into key: its components after "." and ".." are applied, folded to one
// case, each led by '\'; empty when nothing is left. One pass into a string the caller may
// reuse: the fuzz targets open many files per input.
void KeyOf(const char16_t* cePath, std::u16string& key) {
    const char16_t* c = cePath ? cePath : u"";
    key.resize(std::char_traits<char16_t>::length(c) + 1);
    std::size_t length = 0;
    while (*c) {
        while (*c == u'\\' || *c == u'/') ++c;
        const char16_t* start = c;
        while (*c && *c != u'\\' && *c != u'/') ++c;
        const std::size_t n = static_cast<std::size_t>(c - start);
        if (n == 0 || (n == 1 && start[0] == u'.')) continue;
        if (n == 2 && start[0] == u'.' && start[1] == u'.') {
            while (length > 0 && key[length - 1] != u'\\') --length;
            if (length > 0) --length; // the separator before the dropped name
            continue;
        }
        key[length++] = u'\\';
        for (const char16_t* p = start; p < c; ++p) key[length++] = DeviceRoot::FoldCase(*p);
    }
    key.resize(length);
}

std::u16string KeyOf(const char16_t* cePath) {
    std::u16string key;
    KeyOf(cePath, key);
    return key;
}

} // namespace

namespace MemoryFiles {

bool Put(const char16_t* cePath, const void* data, std::size_t size) {
    std::u16string key = KeyOf(cePath);
    if (key.empty() || (size > 0 && !data)) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    auto content = std::make_shared<const std::vector<unsigned char>>(bytes, bytes + size);
    Store& s = S();
    std::lock_guard lock(s.mutex);
    s.files[std::move(key)] = std::move(content);
    s.count = static_cast<int>(s.files.size());
    return true;
}

bool Remove(const char16_t* cePath) {
    Store& s = S();
    std::lock_guard lock(s.mutex);
    const bool removed = s.files.erase(KeyOf(cePath)) > 0;
    s.count = static_cast<int>(s.files.size());
    return removed;
}

void Clear() {
    Store& s = S();
    std::lock_guard lock(s.mutex);
    s.files.clear();
    s.count = 0;
}

Bytes Find(const char16_t* cePath) {
    Store& s = S();
    if (s.count.load(std::memory_order_relaxed) == 0) return nullptr;
    thread_local std::u16string key; // kept: a lookup allocates nothing once it has grown
    KeyOf(cePath, key);
    std::lock_guard lock(s.mutex);
    const auto it = s.files.find(key);
    return it == s.files.end() ? nullptr : it->second;
}

} // namespace MemoryFiles
