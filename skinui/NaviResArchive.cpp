#include "skinui/NaviResArchive.h"

#include "platform/base/Text.h"
#include "skinui/NaviBitmap.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kNameBytes = 256;
constexpr int kEntryBytes = 264;
constexpr int kHeaderBytes = 10;

std::uint32_t Le32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

NaviResArchive::NaviResArchive() = default;
NaviResArchive::~NaviResArchive() {
    if (m_file) m_file->Close();
}

void NaviResArchive::SetFolder(const CString& folder) {
    m_folder = folder;
    m_path.Format(u"%s\\%s", m_folder.GetString(), m_fileName.GetString());
}

bool NaviResArchive::Open() {
    if (m_file) m_file->Close();
    m_file.reset();
    m_index.clear();
    m_fileSize = 0;
    auto file = std::make_unique<CBinFile>(m_path.GetString());
    if (file->Open(CBinFile::kModeRead) < 0) return false;
    m_fileSize = file->GetSize();
    m_file = std::move(file);
    BYTE header[kHeaderBytes];
    if (m_file->Seek(0, 0) < 0 || m_file->Read(header, kHeaderBytes) != kHeaderBytes) return true;
    const auto count = static_cast<std::int16_t>(header[6] | header[7] << 8);
    BYTE record[kEntryBytes];
    for (int i = 0; i < count; ++i) {
        // A cut table keeps the entries it holds whole.
        if (m_file->Read(record, kEntryBytes) != kEntryBytes) break;
        const std::size_t length = strnlen(reinterpret_cast<const char*>(record), kNameBytes);
        Entry entry;
        entry.name = CString(Cp949ToUtf16(std::string_view(reinterpret_cast<const char*>(record), length)));
        entry.offset = Le32(record + kNameBytes);
        entry.size = Le32(record + kNameBytes + 4);
        const std::uint64_t end = static_cast<std::uint64_t>(entry.offset) + entry.size;
        if (entry.size > kMaxSkinEntry || end > static_cast<std::uint64_t>(m_fileSize)) {
            std::fprintf(stderr, "skin archive: entry %d (offset %u, size %u) refused: file has %ld bytes\n", i,
                         entry.offset, entry.size, m_fileSize);
            continue;
        }
        m_index[entry.name.Str()] = entry;
    }
    return true;
}

const NaviResArchive::Entry* NaviResArchive::Find(const CString& name) const {
    const auto it = m_index.find(name.Str());
    return it == m_index.end() ? nullptr : &it->second;
}

bool NaviResArchive::ReadEntry(const Entry& entry, std::vector<BYTE>& out) {
    out.clear();
    if (!m_file || entry.size > kMaxSkinEntry) return false;
    out.resize(entry.size);
    if (m_file->Seek(static_cast<long>(entry.offset), 0) < 0) return false;
    if (entry.size == 0) return true;
    const int read = m_file->Read(out.data(), static_cast<int>(entry.size));
    if (read != static_cast<int>(entry.size)) {
        out.clear();
        return false;
    }
    return true;
}

NaviBitmap* NaviResArchive::LoadImage(const CString& name) {
    const Entry* entry = Find(name);
    const bool found = entry && !entry->name.IsEmpty();
    if (m_observer) m_observer(name, found);
    if (!found) return nullptr;
    auto* image = new NaviBitmap();
    std::vector<BYTE> data;
    if (ReadEntry(*entry, data)) image->LoadFromMemory(data.data(), data.size());
    return image;
}
