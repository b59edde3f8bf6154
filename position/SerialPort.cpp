#include "position/SerialPort.h"

#include "platform/files/Files.h"
#include "platform/serial/Serial.h"

#include <cstring>

CSerialPort::CSerialPort() : m_handle(INVALID_HANDLE_VALUE) {}

CSerialPort::CSerialPort(HANDLE handle) : m_handle(handle ? handle : INVALID_HANDLE_VALUE) {}

CSerialPort::~CSerialPort() {
    Close();
}

bool CSerialPort::Open(const char16_t* name, DWORD access) {
    if (m_handle != INVALID_HANDLE_VALUE) return false;
    HANDLE h = CreateCommW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_lastError = GetLastError();
        return false;
    }
    m_handle = h;
    m_lastError = 0;
    return true;
}

bool CSerialPort::Setup(DWORD baudRate, BYTE byteSize, BYTE stopBits, BYTE parity) {
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    DCB dcb;
    GetCommState(m_handle, &dcb);
    dcb.BaudRate = baudRate;
    dcb.ByteSize = byteSize;
    dcb.StopBits = stopBits;
    dcb.Parity = parity;
    SetCommState(m_handle, &dcb);
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1000;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(m_handle, &timeouts);
    SetCommMask(m_handle, EV_RXCHAR);
    SetupComm(m_handle, 4096, 4096);
    PurgeComm(m_handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    DWORD errors = 0;
    COMSTAT status;
    ClearCommError(m_handle, &errors, &status);
    return true;
}

int CSerialPort::Read(void* buffer, int size) {
    if (m_handle == INVALID_HANDLE_VALUE) return -1;
    if (!buffer || size <= 0) return 0;
    DWORD errors = 0;
    COMSTAT status;
    if (!ClearCommError(m_handle, &errors, &status)) return 0;
    DWORD n = status.cbInQue;
    if (n > static_cast<DWORD>(size)) n = static_cast<DWORD>(size - 1);
    if (n == 0) return 0;
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    DWORD got = 0;
    if (!ReadComm(m_handle, buffer, n, &got)) {
        m_lastError = GetLastError();
        return -1;
    }
    m_lastError = 0;
    return static_cast<int>(got);
}

int CSerialPort::Write(const void* bytes, int count) {
    if (!bytes || count <= 0 || m_handle == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    if (!WriteComm(m_handle, bytes, static_cast<DWORD>(count), &written)) {
        m_lastError = GetLastError();
        return 0;
    }
    m_lastError = 0;
    return static_cast<int>(written);
}

void CSerialPort::Close() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

bool CSerialPort::Attach(HANDLE handle) {
    if (m_handle != INVALID_HANDLE_VALUE || !handle || handle == INVALID_HANDLE_VALUE) return false;
    m_handle = handle;
    return true;
}
