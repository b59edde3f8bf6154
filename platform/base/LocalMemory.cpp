#include "platform/base/LocalMemory.h"

#include <cstdlib>
#include <cstring>

namespace {
// Each block is preceded by its size, kept in a header of maximal alignment.
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t)
                                                                                  : sizeof(std::size_t);

unsigned char* Base(HLOCAL block) {
    return static_cast<unsigned char*>(block) - kHeader;
}
} // namespace

HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
    if (bytes > kMaxLocalBlock) return nullptr;
    auto* base = static_cast<unsigned char*>(std::malloc(kHeader + bytes));
    if (!base) return nullptr;
    std::memcpy(base, &bytes, sizeof bytes);
    if (flags & LMEM_ZEROINIT) std::memset(base + kHeader, 0, bytes);
    return base + kHeader;
}

HLOCAL LocalFree(HLOCAL block) {
    if (block) std::free(Base(block));
    return nullptr;
}

std::size_t LocalSize(HLOCAL block) {
    if (!block) return 0;
    std::size_t bytes = 0;
    std::memcpy(&bytes, Base(block), sizeof bytes);
    return bytes;
}

LPVOID LocalLock(HLOCAL block) {
    return block;
}

BOOL LocalUnlock(HLOCAL block) {
    return block != nullptr;
}
