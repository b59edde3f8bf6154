// The file class for raw bytes: every stored list, route file, settings file and data file
// outside the engine's file pool is read and written through it. Values pass as raw bytes in
// memory order (little-endian); it knows nothing of formats.
//
// Results: Create, Open and Delete give 0 on success and -1 on failure; reads and writes give
// the byte count, 0 for an empty request and -1 on failure or (reads) at the end of the file.
#pragma once

#include "platform/base/WinTypes.h"
#include "route/base/TextString.h"

#include <cstdint>

class CFileBase {
public:
    CFileBase() = default;
    virtual ~CFileBase() = default;
    CFileBase(const CFileBase&) = delete;
    CFileBase& operator=(const CFileBase&) = delete;

    // Never null: an unnamed file answers an empty text.
    virtual const char16_t* GetFileName() const;
    // A null name leaves the stored name unchanged.
    virtual void SetFileName(const char16_t* name);
    virtual int GetOpenFlag() const { return m_open; }
    virtual int GetKind() const { return 0; }
    virtual int IsOpen() const { return m_open; }
    virtual void SetOpen(int flag) { m_open = flag; }

private:
    int m_open = 0;
    CWideString m_name;
};

class CBinFile : public CFileBase {
public:
    static constexpr int kModeRead = 1;
    static constexpr int kModeWrite = 2;

    explicit CBinFile(const char16_t* name = nullptr);
    ~CBinFile() override;

    virtual int Create();
    virtual int Delete();
    virtual int Delete(const char16_t* name);
    virtual int Create(const char16_t* name);
    virtual int Open(int mode);
    virtual int Open(const char16_t* name, int mode);
    virtual int Close();

    // origin 0 = from the start, 1 = from the current position, 2 = from the end.
    virtual long Seek(long offset, int origin);
    virtual long GetPosition();
    virtual int PositionError();

    virtual int Read(std::int8_t& value) { return Read(&value, 1); }
    virtual int Read(std::int16_t& value) { return Read(&value, 2); }
    virtual int Read(std::int32_t& value) { return Read(&value, 4); }
    virtual int Read(std::uint8_t& value) { return Read(&value, 1); }
    virtual int Read(std::uint16_t& value) { return Read(&value, 2); }
    virtual int Read(std::uint32_t& value) { return Read(&value, 4); }
    virtual int Read(float& value) { return Read(&value, 4); }
    virtual int ReadCharsAt(void* buffer, int count, long offset);
    virtual int ReadChars(void* buffer, int count);
    virtual int ReadAt(void* buffer, int n, long offset);
    virtual int Read(void* buffer, int n);

    virtual int Write(std::int8_t value) { return Write(&value, 1); }
    virtual int Write(std::int16_t value) { return Write(&value, 2); }
    virtual int Write(std::int32_t value) { return Write(&value, 4); }
    virtual int Write(std::uint8_t value) { return Write(&value, 1); }
    virtual int Write(std::uint16_t value) { return Write(&value, 2); }
    virtual int Write(std::uint32_t value) { return Write(&value, 4); }
    virtual int Write(float value) { return Write(&value, 4); }
    virtual int WriteCharsAt(const void* buffer, int count, long offset);
    virtual int WriteChars(const void* buffer, int count);
    virtual int WriteAt(const void* buffer, int n, long offset);
    virtual int Write(const void* buffer, int n);

    // Appends up to length bytes (0 = the source's size) read from the source at its current
    // position, chunk bytes at a time; stops at a short or failed read or write. Returns the
    // bytes copied, -1 when either file is closed, length < 0 or chunk < 1.
    virtual long CopyFrom(CBinFile& source, long length, int chunk);
    virtual long GetSize();

private:
    HANDLE m_handle = nullptr;
};
