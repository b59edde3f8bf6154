#include "app/GpsLogFile.h"

#include "platform/base/Handle.h"
#include "platform/files/Files.h"

namespace {

// "Start_Log" and its terminating zero.
constexpr char kStartMark[] = "Start_Log";
constexpr DWORD kStartMarkBytes = sizeof kStartMark;

} // namespace

CGpsLogFile::~CGpsLogFile() {
    Close();
}

bool CGpsLogFile::Open(const CString& folder) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_file != INVALID_HANDLE_VALUE) return false;
    for (int n = 0; n < kMaxFiles; ++n) {
        CString path;
        path.Format(u"%s\\LogData%03d.txt", folder.GetString(), n);
        if (GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES) continue;
        // Created new, so that a file made since the probe is never overwritten: the next number
        // is tried instead.
        HANDLE file = CreateFileW(path.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES) continue;
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file, kStartMark, kStartMarkBytes, &written, nullptr) || written != kStartMarkBytes) {
            CloseHandle(file);
            DeleteFileW(path.GetString());
            return false;
        }
        m_file = file;
        m_path = path;
        return true;
    }
    return false;
}

bool CGpsLogFile::Append(const void* bytes, int count) {
    if (!bytes || count <= 0) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(m_file, bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == static_cast<DWORD>(count);
}

bool CGpsLogFile::Close() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    return true;
}

bool CGpsLogFile::IsOpen() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_file != INVALID_HANDLE_VALUE;
}

CString CGpsLogFile::GetPath() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_path;
}
