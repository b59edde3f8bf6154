// The registry: keys and values under HKEY_LOCAL_MACHINE, kept in one text file under the
// device root ("registry.reg"). Every call reads the file; every change writes it aside and
// renames it, so the file always holds a whole registry. Key and value names compare without
// regard to case. Values are strings (REG_SZ), DWORDs (REG_DWORD) or raw bytes of other types.
//
// File form, one key a section:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Vendor\Key]
//   "Name"="text"            (\\ and \" escape a backslash and a quote)
//   "Number"=dword:00000008
//   "Other"=hex(3):01,02,ff
// Lines that do not read as one of these are skipped.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_CANTWRITE = 1013;

// Results are ERROR_SUCCESS or an error code (ERROR_FILE_NOT_FOUND for a missing key or value).
LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD reserved, char16_t* keyClass, DWORD options,
                     REGSAM access, void* security, PHKEY result, DWORD* disposition);
// The index-th direct subkey in file order. nameLength: in, the buffer's size in characters; out,
// the name's length without its terminator. ERROR_MORE_DATA when the buffer is too small.
LONG RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameLength, DWORD* reserved,
                   char16_t* keyClass, DWORD* classLength, FILETIME* lastWrite);
// A null data pointer asks only for the size. A too-small buffer gives ERROR_MORE_DATA with the
// needed size; strings come back UTF-16 with their terminator.
LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataLength);
LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataLength);
LONG RegDeleteValueW(HKEY key, const char16_t* valueName);
LONG RegCloseKey(HKEY key);

namespace registryfile {
// Host path of the registry file of the current device root.
std::string HostPath();
} // namespace registryfile
