// A pseudo-terminal pair for tests and tools: the program opens the device side as a serial
// port ("COMn:" mapped to DevicePath()), while the holder of this object plays the receiver on
// the other side. The line is raw from the start (no echo, no line editing), and the object keeps
// the device side open itself, so the line never hangs up while the program reopens its port.
#pragma once

#include <cstddef>
#include <string>

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    // Host path of the device side (e.g. /dev/pts/7).
    const std::string& DevicePath() const { return m_devicePath; }

    // Sends bytes towards the device side; waits while the line is full, at most timeoutMs in all.
    // Returns the bytes sent.
    std::size_t Write(const void* data, std::size_t size, int timeoutMs = 5000);
    // Receives what the device side wrote: waits up to timeoutMs for the first byte, then takes
    // what is there (at most size). Returns the bytes received.
    std::size_t Read(void* buffer, std::size_t size, int timeoutMs);
    // Bytes waiting on the device side to be read by the program.
    std::size_t DeviceQueued() const;
    // Waits (up to timeoutMs) until DeviceQueued() equals count; the terminal layer delivers
    // what Write sent asynchronously.
    bool WaitDeviceQueued(std::size_t count, int timeoutMs) const;

private:
    int m_master = -1;
    int m_device = -1;
    std::string m_devicePath;
};
