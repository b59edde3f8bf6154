// The engine error log: appends diagnostic lines to a text file (opened and closed for every
// line) and carries the engine's pending error code. One instance for the whole program.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>

class ErrorLog {
public:
    static constexpr int kMaxFileName = 254;
    static constexpr int kMaxLine = 275; // one "source(line) message" line
    static constexpr int kMaxText = 266; // one WriteText line

    static ErrorLog& Instance();

    void SetEnabled(std::uint8_t enabled) { m_enabled = enabled; }
    std::uint8_t IsEnabled() const { return m_enabled; }
    // A device path, narrow; relative paths resolve against the device root. Null leaves the
    // name; a longer name is cut to 254 characters.
    void SetFileName(const char* name);
    const std::string& GetFileName() const { return m_fileName; }

    // "source(line) message\n" when enabled; a file that cannot be opened is skipped.
    void WriteErrorLog(int line, const char* source, const char* message);
    // "text\n" when enabled.
    void WriteText(const char* text);
    void Printf(const char* format, ...);

    void SetErrorCode(int code) { m_errorCode = code; }
    int GetErrorCode() const { return m_errorCode; }
    // Returns the pending code and resets it to 0.
    int TakeErrorCode() {
        int code = m_errorCode;
        m_errorCode = 0;
        return code;
    }

private:
    ErrorLog() = default;
    void Append(const std::string& line);

    std::mutex m_mutex;
    std::uint8_t m_enabled = 1;
    std::string m_fileName = "./ErrorLog.txt";
    int m_errorCode = 0;
};
