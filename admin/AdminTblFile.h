// The area lookup's small binary file class: opened by a code page 949 path, read and written
// in raw bytes, positioned by seeks.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/Handle.h"

#include <cstdint>

class AdminFileBase {
public:
    virtual ~AdminFileBase() = default;
    virtual int Open(const char* path, int mode) = 0;
    virtual int Close() = 0;
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual int Seek(int offset, int origin) = 0;
    virtual std::uint8_t IsOpen() const = 0;
};

class AdminTblFile : public AdminFileBase {
public:
    AdminTblFile() = default;
    ~AdminTblFile() override;
    AdminTblFile(const AdminTblFile&) = delete;
    AdminTblFile& operator=(const AdminTblFile&) = delete;

    // mode bit 0 read, bit 1 write; 1 on success, 0 otherwise (a null path too).
    int Open(const char* path, int mode) override;
    // 1; 0 when closing the handle fails.
    int Close() override;
    // The bytes read; -1 when closed, count < 1, the read fails or nothing was read.
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    // origin 0 start, 1 current, 2 end; the new position, -1 on failure.
    int Seek(int offset, int origin) override;
    std::uint8_t IsOpen() const override { return m_open; }
    HANDLE GetHandle() const { return m_handle; }
    // The file's size in bytes, -1 when closed.
    long long GetSize() const;
    // Reads exactly count bytes at offset; false when they do not all lie in the file.
    bool ReadAt(long long offset, void* buffer, int count);

private:
    CString m_path;
    HANDLE m_handle = nullptr;
    std::uint8_t m_open = 0;
};
