#include "platform/store/StoreFile.h"

#include "platform/files/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace storefile {

bool ReadAll(const std::string& hostPath, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        return false;
    }
    char chunk[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            ok = false;
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteReplacing(const std::string& hostPath, const std::string& bytes) {
    if (FilesTakeInjectedFailure()) return false;
    std::error_code ec;
    const std::filesystem::path target(hostPath);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temporary = hostPath + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(temporary.c_str(), hostPath.c_str()) != 0) ok = false;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

} // namespace storefile
