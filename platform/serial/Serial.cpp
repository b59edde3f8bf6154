#include "platform/serial/Serial.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

class SerialObject : public KernelObject {
public:
    explicit SerialObject(int fd) : fd(fd) {}
    ~SerialObject() override {
        if (fd >= 0) ::close(fd);
    }
    int fd;
    COMMTIMEOUTS timeouts;
    DWORD mask = 0;
};

SerialObject* Port(HANDLE handle) {
    SerialObject* port = HandleAs<SerialObject>(handle);
    if (!port) SetLastError(ERROR_INVALID_HANDLE);
    return port;
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
        return ERROR_ACCESS_DENIED;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_INVALID_HANDLE;
    }
}

bool SpeedCode(DWORD baud, speed_t* code) {
    switch (baud) {
    case 1200:
        *code = B1200;
        return true;
    case 2400:
        *code = B2400;
        return true;
    case 4800:
        *code = B4800;
        return true;
    case 9600:
        *code = B9600;
        return true;
    case 19200:
        *code = B19200;
        return true;
    case 38400:
        *code = B38400;
        return true;
    case 57600:
        *code = B57600;
        return true;
    case 115200:
        *code = B115200;
        return true;
    default:
        return false;
    }
}

DWORD BaudOf(speed_t code) {
    switch (code) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

// Milliseconds left until deadline, never negative.
int MsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

int CommPortNumber(const char16_t* name) {
    if (!name) return 0;
    auto upper = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
    if (upper(name[0]) != u'C' || upper(name[1]) != u'O' || upper(name[2]) != u'M') return 0;
    int n = 0;
    int i = 3;
    for (; name[i] >= u'0' && name[i] <= u'9'; ++i) {
        n = n * 10 + (name[i] - u'0');
        if (n > 255) return 0;
    }
    if (i == 3) return 0;
    if (name[i] == u':') ++i;
    return name[i] == 0 ? n : 0;
}

std::string CommDevicePath(int port) {
    std::string key = "com" + std::to_string(port);
    std::string path = DeviceRoot::Setting(key);
    if (!path.empty()) return path[0] == '/' ? path : DeviceRoot::Root() + "/" + path;
    return DeviceRoot::Root() + "/dev/COM" + std::to_string(port);
}

HANDLE CreateCommW(const char16_t* name, DWORD access, DWORD, void*, DWORD, DWORD, HANDLE) {
    int number = CommPortNumber(name);
    if (number <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = CommDevicePath(number);
    int mode = O_RDWR;
    if ((access & GENERIC_READ) && !(access & GENERIC_WRITE)) mode = O_RDONLY;
    if (!(access & GENERIC_READ) && (access & GENERIC_WRITE)) mode = O_WRONLY;
    int fd = ::open(path.c_str(), mode | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    termios line{};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || ::tcgetattr(fd, &line) != 0) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Raw from the start: a terminal left in line mode would echo and translate receiver bytes.
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &line);
    SetLastError(ERROR_SUCCESS);
    return ToHandle(new SerialObject(fd));
}

bool IsCommHandle(HANDLE handle) {
    return HandleAs<SerialObject>(handle) != nullptr;
}

BOOL GetCommState(HANDLE handle, DCB* dcb) {
    SerialObject* port = Port(handle);
    if (!port || !dcb) return FALSE;
    termios line{};
    if (::tcgetattr(port->fd, &line) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    dcb->DCBlength = sizeof(DCB);
    dcb->BaudRate = BaudOf(::cfgetospeed(&line));
    switch (line.c_cflag & CSIZE) {
    case CS5:
        dcb->ByteSize = 5;
        break;
    case CS6:
        dcb->ByteSize = 6;
        break;
    case CS7:
        dcb->ByteSize = 7;
        break;
    default:
        dcb->ByteSize = 8;
        break;
    }
    dcb->Parity = (line.c_cflag & PARENB) ? ((line.c_cflag & PARODD) ? ODDPARITY : EVENPARITY) : NOPARITY;
    dcb->StopBits = (line.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    return TRUE;
}

BOOL SetCommState(HANDLE handle, const DCB* dcb) {
    SerialObject* port = Port(handle);
    if (!port || !dcb) return FALSE;
    speed_t speed;
    if (!SpeedCode(dcb->BaudRate, &speed) || dcb->ByteSize < 5 || dcb->ByteSize > 8 ||
        dcb->Parity > EVENPARITY || dcb->StopBits > TWOSTOPBITS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    termios line{};
    if (::tcgetattr(port->fd, &line) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    line.c_cflag |= sizes[dcb->ByteSize - 5];
    if (dcb->Parity == ODDPARITY) line.c_cflag |= PARENB | PARODD;
    if (dcb->Parity == EVENPARITY) line.c_cflag |= PARENB;
    // One and a half stop bits exist only for 5-bit bytes; termios knows one or two.
    if (dcb->StopBits != ONESTOPBIT) line.c_cflag |= CSTOPB;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    ::cfsetispeed(&line, speed);
    ::cfsetospeed(&line, speed);
    if (::tcsetattr(port->fd, TCSANOW, &line) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) {
    SerialObject* port = Port(handle);
    if (!port || !timeouts) return FALSE;
    *timeouts = port->timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE handle, const COMMTIMEOUTS* timeouts) {
    SerialObject* port = Port(handle);
    if (!port || !timeouts) return FALSE;
    port->timeouts = *timeouts;
    return TRUE;
}

BOOL SetCommMask(HANDLE handle, DWORD mask) {
    SerialObject* port = Port(handle);
    if (!port) return FALSE;
    port->mask = mask;
    return TRUE;
}

BOOL SetupComm(HANDLE handle, DWORD, DWORD) {
    // The terminal layer sizes its own queues.
    return Port(handle) ? TRUE : FALSE;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) {
    SerialObject* port = Port(handle);
    if (!port) return FALSE;
    bool rx = flags & (PURGE_RXABORT | PURGE_RXCLEAR);
    bool tx = flags & (PURGE_TXABORT | PURGE_TXCLEAR);
    if (rx && tx)
        ::tcflush(port->fd, TCIOFLUSH);
    else if (rx)
        ::tcflush(port->fd, TCIFLUSH);
    else if (tx)
        ::tcflush(port->fd, TCOFLUSH);
    return TRUE;
}

BOOL ClearCommError(HANDLE handle, DWORD* errors, COMSTAT* status) {
    SerialObject* port = Port(handle);
    if (!port) return FALSE;
    if (errors) *errors = 0;
    if (status) {
        int in = 0;
        int out = 0;
        if (::ioctl(port->fd, FIONREAD, &in) != 0) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        if (::ioctl(port->fd, TIOCOUTQ, &out) != 0) out = 0;
        status->cbInQue = in > 0 ? static_cast<DWORD>(in) : 0;
        status->cbOutQue = out > 0 ? static_cast<DWORD>(out) : 0;
    }
    return TRUE;
}

BOOL ReadComm(HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    if (read) *read = 0;
    SerialObject* port = Port(handle);
    if (!port) return FALSE;
    if (!buffer && toRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (toRead == 0) return TRUE;
    const COMMTIMEOUTS& t = port->timeouts;
    bool immediate = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                     t.ReadTotalTimeoutConstant == 0;
    if (!immediate) {
        unsigned long long wait = static_cast<unsigned long long>(t.ReadTotalTimeoutMultiplier) * toRead +
                                  t.ReadTotalTimeoutConstant;
        if (wait > 60000) wait = 60000;
        pollfd p{port->fd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&p, 1, static_cast<int>(wait));
        } while (ready < 0 && errno == EINTR);
    }
    ssize_t n;
    do {
        n = ::read(port->fd, buffer, toRead);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return TRUE;
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    if (read) *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WriteComm(HANDLE handle, const void* buffer, DWORD toWrite, DWORD* written) {
    if (written) *written = 0;
    SerialObject* port = Port(handle);
    if (!port) return FALSE;
    if (!buffer && toWrite > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const COMMTIMEOUTS& t = port->timeouts;
    unsigned long long limit = static_cast<unsigned long long>(t.WriteTotalTimeoutMultiplier) * toWrite +
                               t.WriteTotalTimeoutConstant;
    if (limit == 0 || limit > 60000) limit = 5000;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    const char* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(port->fd, bytes + done, toWrite - done);
        if (n > 0) {
            done += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (written) *written = done;
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        int left = MsLeft(deadline);
        if (left == 0) {
            if (written) *written = done;
            SetLastError(ERROR_TIMEOUT);
            return FALSE;
        }
        pollfd p{port->fd, POLLOUT, 0};
        ::poll(&p, 1, left);
    }
    if (written) *written = done;
    return TRUE;
}
