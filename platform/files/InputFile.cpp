#include "platform/files/InputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a pipe, not a file";
    if (S_ISSOCK(mode)) return "is a socket, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a file";
    return "is not a regular file";
}

template <typename Buffer>
bool ReadWhole(const std::string& hostPath, std::uint64_t cap, Buffer& out, std::string& error) {
    out.clear();
    InputFile file;
    if (!file.Open(hostPath, cap, error)) return false;
    out.resize(static_cast<std::size_t>(file.Size()));
    std::size_t have = 0;
    while (have < out.size()) {
        const long n = file.Read(out.data() + have, out.size() - have);
        if (n < 0) {
            error = hostPath + ": read error";
            out.clear();
            return false;
        }
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    // A file that shrank while it was read gives what was there.
    out.resize(have);
    return true;
}

} // namespace

InputFile::~InputFile() {
    Close();
}

void InputFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = m_read = 0;
}

bool InputFile::Open(const std::string& hostPath, std::uint64_t cap, std::string& error) {
    Close();
    // Non-blocking, so that a pipe without a writer is reported instead of waited for.
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = hostPath + ": cannot open (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = hostPath + ": cannot open (" + std::strerror(errno) + ")";
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = hostPath + ": " + KindOf(st.st_mode);
        ::close(fd);
        return false;
    }
    const std::uint64_t size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (size > cap) {
        error = hostPath + ": " + std::to_string(size) + " bytes, more than the " + std::to_string(cap) +
                " this input may hold";
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = size;
    m_read = 0;
    return true;
}

long InputFile::Read(void* buffer, std::size_t size) {
    if (m_fd < 0) return -1;
    const std::uint64_t left = m_size - m_read;
    if (size > left) size = static_cast<std::size_t>(left);
    if (size == 0) return 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        m_read += static_cast<std::uint64_t>(n);
        return static_cast<long>(n);
    }
}

bool InputFile::ReadAll(const std::string& hostPath, std::uint64_t cap, std::string& out,
                        std::string& error) {
    return ReadWhole(hostPath, cap, out, error);
}

bool InputFile::ReadAll(const std::string& hostPath, std::uint64_t cap, std::vector<std::uint8_t>& out,
                        std::string& error) {
    return ReadWhole(hostPath, cap, out, error);
}
