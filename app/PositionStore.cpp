#include "app/PositionStore.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxNameLength = 64;

std::u16string Key(const CString& name) {
    return std::u16string(name.GetString());
}

bool Exists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

bool SameName(const CString& a, const CString& b) {
    const std::u16string x(a.GetString()), y(b.GetString());
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        char16_t p = x[i], q = y[i];
        if (p >= u'a' && p <= u'z') p = static_cast<char16_t>(p - u'a' + u'A');
        if (q >= u'a' && q <= u'z') q = static_cast<char16_t>(q - u'a' + u'A');
        if (p != q) return false;
    }
    return true;
}

bool SamePoint(const CPosRecord& a, const CPosRecord& b) {
    return a.x == b.x && a.y == b.y && std::memcmp(a.name, b.name, CPosRecord::kNameSize) == 0;
}

} // namespace

CPositionStore& CPositionStore::Instance() {
    static CPositionStore store;
    return store;
}

void CPositionStore::SetBaseFolder(const CString& folder) {
    if (!folder.IsEmpty()) m_base = folder;
}

bool CPositionStore::IsUsableFolderName(const CString& name) {
    const std::u16string text(name.GetString());
    if (text.empty() || static_cast<int>(text.size()) > kMaxNameLength) return false;
    if (text.front() == u' ' || text.back() == u' ') return false;
    for (char16_t c : text) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::u16string_view(u"\\/:*?\"<>|.").find(c) != std::u16string_view::npos) return false;
    }
    return true;
}

CString CPositionStore::FolderFile(const CString& name) const {
    CString path;
    if (name == kDefaultFolder)
        path.Format(u"%s\\Position", m_base.GetString());
    else
        path.Format(u"%s\\%s.pos", m_base.GetString(), name.GetString());
    return path;
}

bool CPositionStore::HasName(const CString& name) const {
    return std::any_of(m_names.begin(), m_names.end(), [&](const CString& n) { return SameName(n, name); });
}

bool CPositionStore::IsReadOnly(const CString& name) const {
    return m_readOnly.count(Key(name)) != 0;
}

void CPositionStore::Clear() {
    m_names.clear();
    m_folders.clear();
    m_readOnly.clear();
    m_all.clear();
}

bool CPositionStore::Reload() {
    Clear();
    WIN32_FIND_DATAW data;
    CString pattern;
    pattern.Format(u"%s\\Position", m_base.GetString());
    HANDLE find = FindFirstFileW(pattern.GetString(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        m_names.push_back(CString(kDefaultFolder));
    }
    pattern.Format(u"%s\\*.pos", m_base.GetString());
    find = FindFirstFileW(pattern.GetString(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            // Only "<name>.pos" with a usable name is a folder: the folder's file must be the one
            // found, or loading it would make a new file beside it.
            std::u16string file(data.cFileName);
            if (file.size() <= 4) continue;
            const CString name(file.substr(0, file.size() - 4).c_str());
            if (!IsUsableFolderName(name) || name == kDefaultFolder || HasName(name)) continue;
            m_names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    if (m_names.empty()) return false;
    const std::vector<CString> names = m_names;
    for (const CString& name : names) LoadFolder(name);
    return true;
}

CPosList* CPositionStore::GetFolder(const CString& name) {
    if (name.IsEmpty()) return nullptr;
    auto it = m_folders.find(Key(name));
    if (it != m_folders.end()) return &it->second;
    if (name != kDefaultFolder && !IsUsableFolderName(name)) return nullptr;
    if (!HasName(name)) m_names.push_back(name);
    return &m_folders[Key(name)];
}

bool CPositionStore::ReadFile(const CString& path, std::vector<CPosRecord>& records) const {
    records.clear();
    HANDLE file =
        CreateFileW(path.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    bool ok = false;
    if (size != INVALID_FILE_SIZE && high == 0 && size >= 4) {
        // No folder holds more than the store's limit, so nothing past that many records is read:
        // an oversized file costs no more memory than a full one.
        const DWORD wanted = std::min<DWORD>(size, 4 + static_cast<DWORD>(kMaxPoints) * CPosRecord::kSize);
        std::vector<std::uint8_t> bytes(wanted);
        DWORD total = 0;
        while (total < wanted) {
            DWORD got = 0;
            if (!::ReadFile(file, bytes.data() + total, wanted - total, &got, nullptr) || got == 0) break;
            total += got;
        }
        if (total >= 4) {
            const std::int32_t count = static_cast<std::int32_t>(
                bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24));
            if (count >= 0 && count <= kMaxPoints) {
                // Only whole records that are really there: a count beyond them loads those.
                const std::int32_t present = static_cast<std::int32_t>((total - 4) / CPosRecord::kSize);
                const std::int32_t n = std::min(count, present);
                records.resize(static_cast<std::size_t>(n));
                for (std::int32_t i = 0; i < n; ++i)
                    records[i].Read(bytes.data() + 4 + static_cast<std::size_t>(i) * CPosRecord::kSize);
                ok = true;
            }
        }
    }
    CloseHandle(file);
    return ok;
}

bool CPositionStore::LoadFolder(const CString& name) {
    if (name.IsEmpty()) return false;
    if (m_folders.count(Key(name))) return true; // loaded already: its points are in the aggregate
    CPosList* list = GetFolder(name);
    if (!list) return false;
    const CString path = FolderFile(name);
    if (!Exists(path)) {
        // A folder without a file gets an empty one.
        list->Assign({});
        list->SaveTo(path.GetString());
        return true;
    }
    std::vector<CPosRecord> records;
    if (!ReadFile(path, records)) {
        // Unreadable or malformed: shown empty, and the file is left for the user to recover.
        m_readOnly.insert(Key(name));
        list->Assign({});
        return true;
    }
    const std::size_t room =
        static_cast<std::size_t>(kMaxPoints) - std::min<std::size_t>(m_all.size(), kMaxPoints);
    if (records.size() > room) {
        // More points than the store may hold in all: the folder is shown but not changed.
        records.resize(room);
        m_readOnly.insert(Key(name));
    }
    m_all.insert(m_all.end(), records.begin(), records.end());
    list->Assign(std::move(records));
    return true;
}

bool CPositionStore::WriteFolder(const CString& name) {
    auto it = m_folders.find(Key(name));
    if (it == m_folders.end()) return false;
    return it->second.SaveTo(FolderFile(name).GetString());
}

void CPositionStore::RemoveFromAll(const CPosRecord& record) {
    auto it =
        std::find_if(m_all.begin(), m_all.end(), [&](const CPosRecord& r) { return SamePoint(r, record); });
    if (it != m_all.end()) m_all.erase(it);
}

bool CPositionStore::Add(const CString& folder, const CPosRecord& record) {
    if (GetCount() >= kMaxPoints || IsReadOnly(folder)) return false;
    CPosList* list = GetFolder(folder);
    if (!list || !list->Add(record)) return false;
    if (!WriteFolder(folder)) {
        list->DropLast();
        return false;
    }
    m_all.push_back(record);
    return true;
}

bool CPositionStore::RemoveAt(const CString& folder, int row) {
    if (GetCount() < 1 || IsReadOnly(folder)) return false;
    CPosList* list = GetFolder(folder);
    if (!list) return false;
    const CPosRecord* at = list->GetAt(row);
    if (!at) return false;
    const CPosRecord removed = *at;
    list->RemoveAt(row);
    if (!WriteFolder(folder)) {
        list->InsertAt(row, removed);
        return false;
    }
    RemoveFromAll(removed);
    return true;
}

bool CPositionStore::ReplaceAt(const CString& folder, int row, const CPosRecord& record) {
    if (IsReadOnly(folder)) return false;
    CPosList* list = GetFolder(folder);
    if (!list || !list->GetAt(row)) return false;
    const CPosRecord old = *list->GetAt(row);
    list->RemoveAt(row);
    list->InsertAt(row, record);
    if (!WriteFolder(folder)) {
        list->RemoveAt(row);
        list->InsertAt(row, old);
        return false;
    }
    auto it =
        std::find_if(m_all.begin(), m_all.end(), [&](const CPosRecord& r) { return SamePoint(r, old); });
    if (it != m_all.end()) *it = record;
    return true;
}

bool CPositionStore::Remove(const CString& folder, const CPosRecord& record) {
    CPosList* list = GetFolder(folder);
    if (!list) return false;
    for (int i = 0; i < list->GetCount(); ++i)
        if (SamePoint(*list->GetAt(i), record)) return RemoveAt(folder, i);
    return false;
}

bool CPositionStore::Find(const CString& folder, CPosRecord& record) {
    CPosList* list = GetFolder(folder);
    if (!list) return false;
    for (int i = 0; i < list->GetCount(); ++i) {
        const CPosRecord* r = list->GetAt(i);
        if (r->x == record.x && r->y == record.y) {
            record = *r;
            return true;
        }
    }
    return false;
}

bool CPositionStore::AddFolderName(const CString& name) {
    if (name.IsEmpty()) return true;
    if (name == kDefaultFolder || !IsUsableFolderName(name) || HasName(name)) return false;
    m_names.push_back(name);
    return true;
}

bool CPositionStore::DeleteFolder(const CString& name) {
    if (name.IsEmpty()) return true;
    if (!HasName(name)) {
        Reload();
        return true;
    }
    const CString path = FolderFile(name);
    const bool gone = DeleteFileW(path.GetString()) || !Exists(path);
    Reload();
    return gone;
}

bool CPositionStore::RenameFolder(const CString& oldName, const CString& newName) {
    if (oldName.IsEmpty() || newName.IsEmpty() || oldName == newName) return true;
    if (newName == kDefaultFolder || !IsUsableFolderName(newName)) return false;
    if (!HasName(oldName)) {
        Reload();
        return true;
    }
    // Never onto another folder: its points would be lost.
    const CString target = FolderFile(newName);
    if ((HasName(newName) && !SameName(oldName, newName)) || (!SameName(oldName, newName) && Exists(target)))
        return false;
    const bool moved = MoveFileW(FolderFile(oldName).GetString(), target.GetString());
    Reload();
    return moved;
}

bool CPositionStore::SaveAll() {
    if (GetCount() < 1) return false;
    bool ok = true;
    for (const CString& name : m_names)
        if (!IsReadOnly(name) && m_folders.count(Key(name)) && !WriteFolder(name)) ok = false;
    return ok;
}
