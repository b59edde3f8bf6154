// Files held in memory that stand for files of the device root, for programs that feed many
// short-lived inputs to the readers (the fuzz targets): an open for reading of such a path gets
// a handle on the bytes in memory, which answers reads, seeks and size queries exactly as a
// handle on a disk file with those bytes does, without the input being written to disk first.
// Opens that create or write, folder listings and attribute queries see the disk only.
//
// Paths match as the device root resolves them: '\' or '/' separators, ".." and "." applied,
// names compared without case. Nothing registers memory files unless asked to, and while none
// is registered an open costs nothing more.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace MemoryFiles {

using Bytes = std::shared_ptr<const std::vector<unsigned char>>;

// Makes size bytes (copied) the content of the file at cePath for the opens that follow; handles
// opened before keep the content they were opened on. False for a path without a name.
bool Put(const char16_t* cePath, const void* data, std::size_t size);
// Forgets one memory file; true when there was one.
bool Remove(const char16_t* cePath);
// Forgets them all.
void Clear();

// For the file calls: the content of the memory file at cePath, null when there is none.
Bytes Find(const char16_t* cePath);

} // namespace MemoryFiles
