#include "route/base/ErrorLog.h"

#include "platform/base/Text.h"
#include "platform/files/Files.h"

#include <cstdio>
#include <cstring>

ErrorLog& ErrorLog::Instance() {
    static ErrorLog log;
    return log;
}

void ErrorLog::SetFileName(const char* name) {
    if (!name) return;
    std::lock_guard lock(m_mutex);
    m_fileName.assign(name, std::min<std::size_t>(std::strlen(name), kMaxFileName));
}

void ErrorLog::Append(const std::string& line) {
    std::lock_guard lock(m_mutex);
    std::u16string path = Cp949ToUtf16(m_fileName);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void ErrorLog::WriteErrorLog(int line, const char* source, const char* message) {
    if (!m_enabled) return;
    char buffer[kMaxLine + 1];
    int n = std::snprintf(buffer, sizeof buffer, "%s(%d) %s\n", source ? source : "", line,
                          message ? message : "");
    if (n < 0) return;
    std::string text(buffer, std::min(n, kMaxLine));
    if (n > kMaxLine) text.back() = '\n'; // a cut line still ends the line
    Append(text);
}

void ErrorLog::WriteText(const char* text) {
    if (!m_enabled) return;
    char buffer[kMaxText + 2];
    int n = std::snprintf(buffer, sizeof buffer, "%.*s\n", kMaxText, text ? text : "");
    if (n < 0) return;
    Append(std::string(buffer, std::min<int>(n, kMaxText + 1)));
}

void ErrorLog::Printf(const char* format, ...) {
    if (!m_enabled) return;
    char buffer[kMaxText + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    va_end(args);
    WriteText(buffer);
}
