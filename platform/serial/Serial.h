// Serial ports in the shape the system's code expects of its operating system: "COMn:" opened as
// a handle, the device-control block, time-outs, queue status, purge, reads and writes.
//
// "COMn:" maps to a host device: the root's device.ini line "comN=PATH" (or --com N=PATH, which
// overrides it), else DIR/dev/COMn under the device root. The device must be a terminal (a tty,
// or a pseudo-terminal, which a symlink may point at). Lines run raw, with no echo and no
// translation; reads never block longer than the time-outs allow.
#pragma once

#include "platform/base/Handle.h"
#include "platform/base/WinTypes.h"

#include <string>

constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE MARKPARITY = 3;
constexpr BYTE SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE ONE5STOPBITS = 1;
constexpr BYTE TWOSTOPBITS = 2;

constexpr DWORD CBR_2400 = 2400;
constexpr DWORD CBR_4800 = 4800;
constexpr DWORD CBR_9600 = 9600;
constexpr DWORD CBR_19200 = 19200;
constexpr DWORD CBR_38400 = 38400;
constexpr DWORD CBR_57600 = 57600;
constexpr DWORD CBR_115200 = 115200;

constexpr DWORD EV_RXCHAR = 0x0001;

constexpr DWORD PURGE_TXABORT = 0x0001;
constexpr DWORD PURGE_RXABORT = 0x0002;
constexpr DWORD PURGE_TXCLEAR = 0x0004;
constexpr DWORD PURGE_RXCLEAR = 0x0008;

// The fields of the device-control block that this layer honours.
struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0;
    BYTE ByteSize = 8; // 5..8
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
};

struct COMSTAT {
    DWORD cbInQue = 0;  // bytes received and not yet read
    DWORD cbOutQue = 0; // bytes written and not yet sent
};

// The port number of "COMn:" ("COMn" and any case are accepted), 0 when the name is not one.
int CommPortNumber(const char16_t* name);
// The host device path that "COMn:" maps to.
std::string CommDevicePath(int port);

// Opens a serial port. Only OPEN_EXISTING makes sense for a port; the share mode, security,
// flags and template are accepted and ignored. INVALID_HANDLE_VALUE on failure (last error:
// ERROR_FILE_NOT_FOUND for an unknown name or missing device, ERROR_ACCESS_DENIED when the
// device is not a terminal or may not be opened).
HANDLE CreateCommW(const char16_t* name, DWORD access, DWORD shareMode, void* security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
bool IsCommHandle(HANDLE handle);

BOOL GetCommState(HANDLE port, DCB* dcb);
// FALSE (ERROR_INVALID_PARAMETER) for a baud rate, byte size, parity or stop-bit code the line
// cannot take.
BOOL SetCommState(HANDLE port, const DCB* dcb);
BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
BOOL SetCommTimeouts(HANDLE port, const COMMTIMEOUTS* timeouts);
BOOL SetCommMask(HANDLE port, DWORD mask);
BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue);
BOOL PurgeComm(HANDLE port, DWORD flags);
// Reports the queues; errors is always 0 (a pseudo-terminal has no line errors).
BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);

// Reads what is queued, up to toRead bytes. With nothing queued it waits as the read time-outs
// say (interval MAXDWORD with both totals 0: not at all), then returns what came.
BOOL ReadComm(HANDLE port, void* buffer, DWORD toRead, DWORD* read);
// Writes all bytes unless the line stays blocked beyond the write time-out (5 s when none is
// set); *written tells how many went.
BOOL WriteComm(HANDLE port, const void* buffer, DWORD toWrite, DWORD* written);
