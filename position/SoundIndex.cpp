#include "position/SoundIndex.h"

#include "route/base/BinFile.h"
#include "route/MRFormat.h"

#include <algorithm>
#include <cstring>

namespace {
std::mutex g_instanceLock;
std::unique_ptr<CSoundIndex> g_instance;
} // namespace

CSoundIndex& CSoundIndex::GetInstance() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (!g_instance) g_instance = std::make_unique<CSoundIndex>();
    return *g_instance;
}

void CSoundIndex::Destroy() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    g_instance.reset();
}

int CSoundIndex::Load(const char16_t* path) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_entries.empty()) return static_cast<int>(m_entries.size());
    CBinFile file;
    if (!path || file.Open(path, CBinFile::kModeRead) != 0) return 0;
    if (file.GetSize() != kFileSize) return 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kFileSize));
    if (file.Read(bytes.data(), static_cast<int>(kFileSize)) != kFileSize) return 0;
    for (int r = 0; r < kRecords; ++r) {
        const std::uint8_t* p = bytes.data() + r * kRecordSize;
        Key key;
        std::memcpy(key.data(), p + 8, kNameSize);
        if (m_ids.count(key)) continue;
        m_ids.emplace(key, static_cast<int>(m_entries.size()) + 1);
        m_entries.push_back(Entry{mrformat::U32(p), mrformat::U32(p + 4)});
    }
    return static_cast<int>(m_entries.size());
}

int CSoundIndex::Count() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return static_cast<int>(m_entries.size());
}

int CSoundIndex::Find(std::string_view name) const {
    Key key{};
    std::memcpy(key.data(), name.data(), std::min<std::size_t>(name.size(), kNameSize));
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_ids.find(key);
    return it == m_ids.end() ? 0 : it->second;
}

bool CSoundIndex::GetEntry(int i, Entry& entry) const {
    std::lock_guard<std::mutex> lock(m_lock);
    if (i < 0 || static_cast<std::size_t>(i) >= m_entries.size()) return false;
    entry = m_entries[static_cast<std::size_t>(i)];
    return true;
}

void CSoundIndex::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_ids.clear();
    m_entries.clear();
}
