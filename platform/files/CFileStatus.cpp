#include "platform/files/CFileStatus.h"

#include "platform/files/DeviceRoot.h"

#include <sys/stat.h>

bool CFileStatus::GetStatus(const char16_t* name, CFileStatus& status) {
    if (!name) return false;
    struct stat st {};
    if (::stat(DeviceRoot::Resolve(name).c_str(), &st) != 0) return false;
    status.m_mtime = CTime(static_cast<std::int64_t>(st.st_mtim.tv_sec));
    status.m_size = static_cast<std::uint64_t>(st.st_size);
    return true;
}
