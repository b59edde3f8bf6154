#include "admin/AdminTblFile.h"

#include "platform/files/Files.h"
#include "route/base/MbcsText.h"

#include <climits>

AdminTblFile::~AdminTblFile() {
    Close();
}

int AdminTblFile::Open(const char* path, int mode) {
    if (!path) return 0;
    if (m_open) Close();
    DWORD access = 0;
    if (mode & 1) access |= GENERIC_READ;
    if (mode & 2) access |= GENERIC_WRITE;
    const CString wide = MbcsToCString(path);
    HANDLE h = CreateFileW(wide.GetString(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    m_handle = h;
    m_path = wide;
    m_open = 1;
    return 1;
}

int AdminTblFile::Close() {
    if (!m_open) return 1;
    const BOOL ok = CloseHandle(m_handle);
    m_handle = nullptr;
    m_open = 0;
    m_path = CString();
    return ok ? 1 : 0;
}

int AdminTblFile::Read(void* buffer, int count) {
    if (!m_open || count < 1) return -1;
    DWORD read = 0;
    if (!ReadFile(m_handle, buffer, static_cast<DWORD>(count), &read, nullptr) || read == 0) return -1;
    return static_cast<int>(read);
}

int AdminTblFile::Write(const void* buffer, int count) {
    if (!m_open || count < 1) return -1;
    DWORD written = 0;
    if (!WriteFile(m_handle, buffer, static_cast<DWORD>(count), &written, nullptr)) return -1;
    return static_cast<int>(written);
}

int AdminTblFile::Seek(int offset, int origin) {
    if (!m_open || origin < 0 || origin > 2) return -1;
    const DWORD at = SetFilePointer(m_handle, offset, nullptr, static_cast<DWORD>(origin));
    if (at == INVALID_SET_FILE_POINTER || at > static_cast<DWORD>(INT_MAX)) return -1;
    return static_cast<int>(at);
}

long long AdminTblFile::GetSize() const {
    if (!m_open) return -1;
    DWORD high = 0;
    const DWORD low = GetFileSize(m_handle, &high);
    if (low == INVALID_FILE_SIZE && high == 0) return -1;
    return (static_cast<long long>(high) << 32) | low;
}

bool AdminTblFile::ReadAt(long long offset, void* buffer, int count) {
    const long long size = GetSize();
    if (size < 0 || offset < 0 || count < 1 || offset > size || count > size - offset || offset > INT_MAX) return false;
    if (Seek(static_cast<int>(offset), 0) != offset) return false;
    return Read(buffer, count) == count;
}
