// The GPS log: the raw bytes the GPS reader reads from the receiver, appended to
// "%s\LogData%03d.txt" in a chosen folder (the first number from 000 that is not taken yet)
// after the 10 bytes "Start_Log" and its zero. The reader appends on its own thread while the
// log may be stopped from another one, so opening, appending and closing share one lock: no byte
// goes to a file that is being closed.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <mutex>

class CGpsLogFile {
public:
    // LogData000 to LogData999.
    static constexpr int kMaxFiles = 1000;

    CGpsLogFile() = default;
    ~CGpsLogFile();
    CGpsLogFile(const CGpsLogFile&) = delete;
    CGpsLogFile& operator=(const CGpsLogFile&) = delete;

    // Creates the next free log file of the folder and writes the start mark. False when a log is
    // open already, every number is taken, or the file cannot be created or written.
    bool Open(const CString& folder);
    // Appends count bytes; false when no log is open or the write fails.
    bool Append(const void* bytes, int count);
    // Closes the log; false when none was open.
    bool Close();
    bool IsOpen() const;
    // The path of the log open or closed last.
    CString GetPath() const;

private:
    mutable std::mutex m_lock;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    CString m_path;
};
