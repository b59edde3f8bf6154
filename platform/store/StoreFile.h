// Whole-file reads and writes for the registry file and the object-store databases. A write
// goes to a new file beside the target, which is then renamed over it, so a failed write
// leaves the old file whole.
#pragma once

#include <cstddef>
#include <string>

namespace storefile {

// Reads a host file of at most maxBytes; false when it is missing, unreadable or too large.
bool ReadAll(const std::string& hostPath, std::string& bytes, std::size_t maxBytes);
// Writes bytes to hostPath aside and renames; creates the parent folder. False on any failure
// (the old file is untouched).
bool WriteReplacing(const std::string& hostPath, const std::string& bytes);

} // namespace storefile
