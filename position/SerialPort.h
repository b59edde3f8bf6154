// One serial port ("COM1:" and the like) opened as a handle. Reads never block: they take what
// the line has queued.
#pragma once

#include "platform/base/WinTypes.h"

class CSerialPort {
public:
    CSerialPort();
    // Takes the handle (closed when it is INVALID_HANDLE_VALUE).
    explicit CSerialPort(HANDLE handle);
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // False at once when a handle is already held; else opens the port (share read and write,
    // open existing). Last error: 0 on success, the system's code on failure.
    bool Open(const char16_t* name, DWORD access);
    // False when closed; else sets the line (byte size 5..8, stop-bits code 0 one / 1 one and a
    // half / 2 two, parity code 0 none / 1 odd / 2 even), time-outs, queues, and purges it.
    bool Setup(DWORD baudRate, BYTE byteSize, BYTE stopBits, BYTE parity);
    // Bytes read (0 when nothing is queued, buffer untouched), -1 when closed or on a read error.
    // When more than size bytes are queued, size - 1 are read, keeping one byte free for a
    // terminating zero; exactly size queued are all read.
    int Read(void* buffer, int size);
    // Bytes written; 0 for a null pointer, when closed, or on failure (last error kept).
    int Write(const void* bytes, int count);
    void Close();
    HANDLE GetHandle() const { return m_handle; }
    // Takes the handle only when none is held and the given one is valid.
    bool Attach(HANDLE handle);
    DWORD GetLastErrorCode() const { return m_lastError; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    DWORD m_lastError = 0;
    HANDLE m_handle;
};
