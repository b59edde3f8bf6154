// Memory streams: cursors over a caller's buffer that pack and unpack little-endian values
// at any alignment. The stream never owns the buffer.
//
// End rule: after each transfer or skip, a position at or beyond the size makes the stream
// invalid; a transfer on an invalid stream returns 0 and transfers nothing. A transfer that
// would run past the size is refused whole (returns 0, leaves the position, invalidates).
// A size of 0 given by the caller means unbounded.
#pragma once

#include <cstdint>
#include <cstring>

class CMemStream {
public:
    static constexpr std::int32_t kUnbounded = 0x7fffffff;

    virtual ~CMemStream() = default;
    bool IsValid() const { return m_valid != 0; }
    std::uint8_t valid() const { return m_valid; }
    std::int32_t GetSize() const { return m_size; }
    // Advances by n (the end rule applies); returns valid.
    int Skip(std::int32_t n);

protected:
    void Set(std::uint8_t* base, std::int32_t size) {
        m_base = base;
        m_size = size == 0 ? kUnbounded : size;
        m_position = 0;
        m_valid = 1;
    }
    void Clear() {
        m_base = nullptr;
        m_size = 0;
        m_position = 0;
        m_valid = 0;
    }
    void ApplyEndRule() {
        if (m_position >= m_size) m_valid = 0;
    }
    // The address n bytes may be transferred at, or nullptr (and invalid) when they may not.
    std::uint8_t* Claim(std::int64_t n);

    std::uint8_t m_valid = 0;
    std::uint8_t* m_base = nullptr;
    std::int32_t m_size = 0;
    std::int32_t m_position = 0;
};

class CMemReader : public CMemStream {
public:
    CMemReader() = default;
    CMemReader(const void* buffer, std::int32_t size) { Attach(buffer, size); }

    void Attach(const void* buffer, std::int32_t size) {
        Set(static_cast<std::uint8_t*>(const_cast<void*>(buffer)), size);
    }
    int ReadByte(std::uint8_t& v) { return Get(&v, 1); }
    int ReadWord(std::uint16_t& v) { return Get(&v, 2); }
    int ReadDword(std::uint32_t& v) { return Get(&v, 4); }
    int ReadLong(std::int32_t& v) { return Get(&v, 4); }
    int Read8(std::uint64_t& v) { return Get(&v, 8); }
    int Read(std::int8_t& v) { return Get(&v, 1); }
    int Read(std::uint8_t& v) { return Get(&v, 1); }
    int Read(std::int16_t& v) { return Get(&v, 2); }
    int Read(std::uint16_t& v) { return Get(&v, 2); }
    int Read(std::int32_t& v) { return Get(&v, 4); }
    int Read(std::uint32_t& v) { return Get(&v, 4); }
    int Read(float& v) { return Get(&v, 4); }
    int Read(std::int64_t& v) { return Get(&v, 8); }
    int Read(std::uint64_t& v) { return Get(&v, 8); }
    int Read(double& v) { return Get(&v, 8); }
    int ReadBytes(void* destination, std::int32_t n) { return Get(destination, n); }

    template <class T> CMemReader& operator>>(T& v) {
        Read(v);
        return *this;
    }

    // origin 0 = offset, 1 = size - offset (from the end), 2 = position + offset; makes the
    // stream valid again, then applies the end rule; returns valid. A negative position is refused.
    int Seek(std::int32_t offset, int origin);
    void Reset() { Clear(); }
    std::int32_t GetPosition() const { return m_position; }
    std::int32_t Remaining() const { return m_valid ? m_size - m_position : 0; }

private:
    int Get(void* destination, std::int64_t n);
};

class CMemWriter : public CMemStream {
public:
    CMemWriter() = default;
    CMemWriter(void* buffer, std::int32_t size) { Attach(buffer, size); }

    void Attach(void* buffer, std::int32_t size) { Set(static_cast<std::uint8_t*>(buffer), size); }
    int WriteByte(std::uint8_t v) { return Put(&v, 1); }
    int WriteWord(std::uint16_t v) { return Put(&v, 2); }
    int WriteDword(std::uint32_t v) { return Put(&v, 4); }
    int Write8(std::uint64_t v) { return Put(&v, 8); }
    int Write(std::int8_t v) { return Put(&v, 1); }
    int Write(std::uint8_t v) { return Put(&v, 1); }
    int Write(std::int16_t v) { return Put(&v, 2); }
    int Write(std::uint16_t v) { return Put(&v, 2); }
    int Write(std::int32_t v) { return Put(&v, 4); }
    int Write(std::uint32_t v) { return Put(&v, 4); }
    int Write(float v) { return Put(&v, 4); }
    int Write(std::int64_t v) { return Put(&v, 8); }
    int Write(std::uint64_t v) { return Put(&v, 8); }
    int Write(double v) { return Put(&v, 8); }
    int WriteBytes(const void* source, std::int32_t n) { return Put(source, n); }

    template <class T> CMemWriter& operator<<(T v) {
        Write(v);
        return *this;
    }

    // origin 0 = offset, 1 = size + offset, 2 = position + offset; valid is not changed.
    int Seek(std::int32_t offset, int origin);
    void Reset() { Clear(); }
    std::int32_t GetPosition() const { return m_position; }

private:
    int Put(const void* source, std::int64_t n);
};
