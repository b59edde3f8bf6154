// The table of known handheld models and their receiver wiring, "PDAGPSConfig.bin" in the program
// folder (little-endian, read whole, never written by the program):
//   u32 M, M model names of 20 bytes (CP949, zero-padded),
//   u32 R, R receiver names of 30 bytes,
//   M x R cells of 16 bytes, cell (r, m) at index r x M + m: u32 GPS port, u32 GPS speed (baud),
//   u32 unit port, u32 unit speed; a port number 0 means none.
// Every count is checked against the bytes that are there before anything is taken: a file shorter
// than its counts say is refused whole.
#pragma once

#include "platform/base/CString.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CGpsConfigTable {
public:
    static constexpr std::size_t kModelNameBytes = 20;
    static constexpr std::size_t kReceiverNameBytes = 30;
    static constexpr std::size_t kCellBytes = 16;

    struct Cell {
        std::uint32_t gpsPort = 0;
        std::uint32_t gpsBaud = 0;
        std::uint32_t unitPort = 0;
        std::uint32_t unitBaud = 0;
    };

    // Reads the file at a device path; false (table empty) when it cannot be read or is malformed.
    bool Load(const char16_t* path);
    // Takes the table from bytes; false (table empty) when they are malformed.
    bool Parse(const std::uint8_t* data, std::size_t size);
    void Clear();
    bool IsLoaded() const { return m_loaded; }

    int ModelCount() const { return static_cast<int>(m_models.size()); }
    int ReceiverCount() const { return static_cast<int>(m_receivers.size()); }
    // The name of model m or receiver r; empty outside the table.
    CString ModelName(int m) const;
    CString ReceiverName(int r) const;
    // Cell (r, m); an all-zero cell outside the table.
    Cell GetCell(int r, int m) const;
    // The index of the model of that name, -1 when the table has none.
    int FindModel(const CString& name) const;

    // The model name of a handheld's device-type code, null for codes without one.
    static const char16_t* ModelNameOfDevice(int deviceType);
    // The configuration's speed code of a speed in baud: 2400 0 ... 57600 5, any other 0.
    static int SpeedCode(std::uint32_t baud);

private:
    bool m_loaded = false;
    std::vector<CString> m_models;
    std::vector<CString> m_receivers;
    std::vector<Cell> m_cells;
};
