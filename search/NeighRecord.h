// The two record layouts of the nearby-facility files behind one interface: 8-byte records
// (layer kind 4: brand and position, no name) and 32-byte records (brand, position and name).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CNeighRecord {
public:
    virtual ~CNeighRecord() = default;
    virtual std::size_t Size() const = 0;
    // Parses one record from Size() bytes.
    virtual void Parse(const std::uint8_t* p) = 0;
    std::uint8_t Brand() const { return m_brand; }
    std::uint16_t Field1() const { return m_field1; }
    std::uint16_t Field2() const { return m_field2; }
    // Offsets inside the cell in point-file units (the stored x is in units of 5/6).
    std::int32_t XOffset() const { return static_cast<std::int32_t>(m_storedX * 0.8333333333333334); }
    std::int32_t YOffset() const { return m_y; }
    std::uint8_t Byte1() const { return m_byte1; }
    std::uint8_t Byte2() const { return m_byte2; }
    // Zero-terminated, at most 20 bytes.
    const char* Name() const { return m_name; }

    // The reader of a file's kind: 8-byte records for kind 4, 32-byte records otherwise.
    static std::unique_ptr<CNeighRecord> ForKind(int kind);

protected:
    std::uint8_t m_brand = 0;
    std::uint16_t m_field1 = 0, m_field2 = 0;
    std::uint16_t m_storedX = 0;
    std::uint16_t m_y = 0;
    std::uint8_t m_byte1 = 0, m_byte2 = 0;
    char m_name[21] = {};
};

class CNeighRecord8 : public CNeighRecord {
public:
    std::size_t Size() const override { return 8; }
    void Parse(const std::uint8_t* p) override;
};

class CNeighRecord32 : public CNeighRecord {
public:
    std::size_t Size() const override { return 32; }
    void Parse(const std::uint8_t* p) override;
};
