// Local memory blocks (LocalAlloc / LocalFree). A handle is the block's address, as on the
// handheld, where moveable blocks never move; LocalLock gives it back unchanged.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>

using HLOCAL = HANDLE;

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LHND = LMEM_MOVEABLE | LMEM_ZEROINIT;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// The largest block LocalAlloc hands out.
constexpr std::size_t kMaxLocalBlock = std::size_t(256) << 20;

// null when bytes is above the limit or memory is short; zeroed with LMEM_ZEROINIT.
HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Frees the block; null on success (a null handle is accepted), the handle when it failed.
HLOCAL LocalFree(HLOCAL block);
std::size_t LocalSize(HLOCAL block);
LPVOID LocalLock(HLOCAL block);
BOOL LocalUnlock(HLOCAL block);
