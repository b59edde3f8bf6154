// An input file named on a command line or in a script: only a regular file no larger than a
// cap is read. A folder, a pipe, a device or an oversized file is refused with a message that
// names it, before anything is read, so one bad argument can neither block a tool nor fill its
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens hostPath (UTF-8) for reading. False, with error set ("PATH: is a folder", ...), when
    // it is not a regular file or holds more than cap bytes.
    bool Open(const std::string& hostPath, std::uint64_t cap, std::string& error);
    // Reads up to size bytes; returns the count (0 at the end), -1 on a read error. Never reads
    // past the size the file had when it was opened.
    long Read(void* buffer, std::size_t size);
    std::uint64_t Size() const { return m_size; }
    void Close();

    // The whole file, read as Open allows it.
    static bool ReadAll(const std::string& hostPath, std::uint64_t cap, std::string& out, std::string& error);
    static bool ReadAll(const std::string& hostPath, std::uint64_t cap, std::vector<std::uint8_t>& out,
                        std::string& error);

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::uint64_t m_read = 0;
};
