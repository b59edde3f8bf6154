// A file's status as MFC's CFile::GetStatus reports it: its last-write time and size.
#pragma once

#include "platform/base/CTime.h"

#include <cstdint>

struct CFileStatus {
    CTime m_mtime;
    std::uint64_t m_size = 0;

    // Fills status for a CE path under the device root; false when the file does not exist.
    static bool GetStatus(const char16_t* name, CFileStatus& status);
};
