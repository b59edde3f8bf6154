#include "platform/serial/PseudoTerminal.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

int MsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return;
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return;
    }
    int device = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) {
        ::close(master);
        return;
    }
    termios line{};
    if (::tcgetattr(device, &line) == 0) {
        ::cfmakeraw(&line);
        line.c_cflag |= CLOCAL | CREAD;
        line.c_cc[VMIN] = 0;
        line.c_cc[VTIME] = 0;
        ::tcsetattr(device, TCSANOW, &line);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_device = device;
    m_devicePath = name;
}

PseudoTerminal::~PseudoTerminal() {
    if (m_device >= 0) ::close(m_device);
    if (m_master >= 0) ::close(m_master);
}

std::size_t PseudoTerminal::Write(const void* data, std::size_t size, int timeoutMs) {
    if (m_master < 0 || !data) return 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(m_master, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
        int left = MsLeft(deadline);
        if (left == 0) break;
        pollfd p{m_master, POLLOUT, 0};
        // A full line does not always report POLLOUT promptly; look again soon.
        ::poll(&p, 1, left < 20 ? left : 20);
    }
    return done;
}

std::size_t PseudoTerminal::Read(void* buffer, std::size_t size, int timeoutMs) {
    if (m_master < 0 || !buffer || size == 0) return 0;
    pollfd p{m_master, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return 0;
    ssize_t n;
    do {
        n = ::read(m_master, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t PseudoTerminal::DeviceQueued() const {
    int queued = 0;
    if (m_device < 0 || ::ioctl(m_device, FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<std::size_t>(queued);
}

bool PseudoTerminal::WaitDeviceQueued(std::size_t count, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (DeviceQueued() == count) return true;
        if (MsLeft(deadline) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
