// Win32-shaped file and folder calls over the device root.
#pragma once

#include "platform/base/Handle.h"
#include "platform/base/WinTypes.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100; // what a storage card folder reports
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwOID = 0;
    char16_t cFileName[MAX_PATH] = {};
};

// Share modes are recorded, not enforced. Returns INVALID_HANDLE_VALUE on failure (last error set).
HANDLE CreateFileW(const char16_t* name, DWORD access, DWORD shareMode, void* security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
// Returns the new low 32 bits of the position, INVALID_SET_FILE_POINTER on failure.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL DeleteFileW(const char16_t* name);
DWORD GetFileAttributesW(const char16_t* name);

// Test hook: after `after` more operations that change files (creating or opening for writing,
// writing, deleting, copying, moving, making or removing a folder, and the store's write-aside
// saves) have gone through, the next n fail with ERROR_WRITE_FAULT, so that tests can see a save
// or a move fail part-way. n = 0 ends the failures.
constexpr DWORD ERROR_WRITE_FAULT = 29;
void FilesFailNextOperations(int n, int after = 0);
// Takes one of the failures FilesFailNextOperations asked for; true when this operation is to fail
// (for the platform's other writers).
bool FilesTakeInjectedFailure();

// Windows wildcards, case-insensitive; the entries come in name order (case folded): '*' any run, '?' one character; "*.*" also matches names
// without a dot. "." and ".." are never reported.
HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);
bool MatchesWildcard(const char16_t* pattern, const char16_t* name);

BOOL CreateDirectoryW(const char16_t* path, void* security);
BOOL RemoveDirectoryW(const char16_t* path);
BOOL CopyFileW(const char16_t* existing, const char16_t* target, BOOL failIfExists);
// Moves a file or a folder; across file systems it copies and deletes.
BOOL MoveFileW(const char16_t* existing, const char16_t* target);
// With MOVEFILE_REPLACE_EXISTING an existing target is replaced atomically (rename over it).
BOOL MoveFileExW(const char16_t* existing, const char16_t* target, DWORD flags);
BOOL GetDiskFreeSpaceExW(const char16_t* path, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree);
// The program's own path (DeviceRoot::ProgramPath) into buffer; returns the characters written.
DWORD GetModuleFileNameW(HANDLE module, char16_t* buffer, DWORD size);
