#include "route/base/BinFile.h"

#include "platform/files/Files.h"

#include <climits>
#include <cstdint>
#include <vector>

const char16_t* CFileBase::GetFileName() const {
    static const char16_t kEmpty[] = u"";
    return m_name.GetByteLength() == 0 ? kEmpty : m_name.c_str();
}

void CFileBase::SetFileName(const char16_t* name) {
    if (name) m_name = CWideString(name);
}

CBinFile::CBinFile(const char16_t* name) {
    SetFileName(name);
}

CBinFile::~CBinFile() {
    Close();
}

int CBinFile::Create() {
    Close();
    HANDLE h = CreateFileW(GetFileName(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    m_handle = h;
    SetOpen(1);
    return 0;
}

int CBinFile::Create(const char16_t* name) {
    SetFileName(name);
    return Create();
}

int CBinFile::Open(int mode) {
    Close();
    DWORD access = 0;
    if (mode & kModeRead) access |= GENERIC_READ;
    if (mode & kModeWrite) access |= GENERIC_WRITE;
    HANDLE h = CreateFileW(GetFileName(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    m_handle = h;
    SetOpen(1);
    return 0;
}

int CBinFile::Open(const char16_t* name, int mode) {
    SetFileName(name);
    return Open(mode);
}

int CBinFile::Close() {
    if (IsOpen()) {
        CloseHandle(m_handle);
        m_handle = nullptr;
        SetOpen(0);
    }
    return 0;
}

int CBinFile::Delete() {
    Close();
    return DeleteFileW(GetFileName()) ? 0 : -1;
}

int CBinFile::Delete(const char16_t* name) {
    SetFileName(name);
    return Delete();
}

long CBinFile::Seek(long offset, int origin) {
    if (!IsOpen() || origin < 0 || origin > 2) return -1;
    // The position is a 32-bit value: a wider offset is refused rather than cut to its low bits.
    if (offset < INT32_MIN || offset > INT32_MAX) return -1;
    DWORD method = origin == 0 ? FILE_BEGIN : (origin == 1 ? FILE_CURRENT : FILE_END);
    DWORD pos = SetFilePointer(m_handle, static_cast<LONG>(offset), nullptr, method);
    if (pos == INVALID_SET_FILE_POINTER) return -1;
    return static_cast<long>(pos);
}

long CBinFile::GetPosition() {
    return Seek(0, 1);
}

int CBinFile::PositionError() {
    return GetPosition() == -1 ? 1 : 0;
}

int CBinFile::Read(void* buffer, int n) {
    if (n < 1) return 0;
    if (!IsOpen() || !buffer) return -1;
    DWORD done = 0;
    if (!ReadFile(m_handle, buffer, static_cast<DWORD>(n), &done, nullptr) || done == 0) return -1;
    return static_cast<int>(done);
}

int CBinFile::ReadAt(void* buffer, int n, long offset) {
    if (Seek(offset, 0) == -1) return -1;
    return Read(buffer, n);
}

int CBinFile::ReadChars(void* buffer, int count) {
    if (count < 1) return 0;
    if (count > INT_MAX / 2) return -1; // more bytes than one read can ask for
    return Read(buffer, count * 2);
}

int CBinFile::ReadCharsAt(void* buffer, int count, long offset) {
    if (Seek(offset, 0) == -1) return -1;
    return ReadChars(buffer, count);
}

int CBinFile::Write(const void* buffer, int n) {
    if (n < 1) return 0;
    if (!IsOpen() || !buffer) return -1;
    DWORD done = 0;
    if (!WriteFile(m_handle, buffer, static_cast<DWORD>(n), &done, nullptr)) return -1;
    return static_cast<int>(done);
}

int CBinFile::WriteAt(const void* buffer, int n, long offset) {
    if (Seek(offset, 0) == -1) return -1;
    return Write(buffer, n);
}

int CBinFile::WriteChars(const void* buffer, int count) {
    if (count < 1) return 0;
    if (count > INT_MAX / 2) return -1; // more bytes than one write can hold
    return Write(buffer, count * 2);
}

int CBinFile::WriteCharsAt(const void* buffer, int count, long offset) {
    if (Seek(offset, 0) == -1) return -1;
    return WriteChars(buffer, count);
}

long CBinFile::GetSize() {
    if (!IsOpen()) return -1;
    DWORD size = GetFileSize(m_handle, nullptr);
    return size == INVALID_FILE_SIZE ? -1 : static_cast<long>(size);
}

long CBinFile::CopyFrom(CBinFile& source, long length, int chunk) {
    if (!IsOpen() || !source.IsOpen() || length < 0 || chunk < 1) return -1;
    if (length == 0) length = source.GetSize();
    if (length <= 0) return 0;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(chunk));
    long total = 0;
    while (total < length) {
        int want = static_cast<int>(std::min<long>(chunk, length - total));
        int got = source.Read(buffer.data(), want);
        if (got < 1) break;
        int put = Write(buffer.data(), got);
        if (put < 1) break;
        total += put;
        if (got < want || put < got) break;
    }
    return total;
}
