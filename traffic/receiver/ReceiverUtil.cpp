#include "traffic/receiver/ReceiverUtil.h"

#include "platform/base/CTime.h"

#include <array>

namespace {

struct CrcTables {
    std::array<std::uint16_t, 256> crc{};
    std::array<std::uint8_t, 256> reversed{};
    CrcTables() {
        for (int i = 0; i < 256; ++i) {
            std::uint16_t c = static_cast<std::uint16_t>(i << 8);
            for (int b = 0; b < 8; ++b) c = static_cast<std::uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : c << 1);
            crc[i] = c;
            std::uint8_t r = 0;
            for (int b = 0; b < 8; ++b)
                if (i & (1 << b)) r = static_cast<std::uint8_t>(r | (0x80 >> b));
            reversed[i] = r;
        }
    }
};

const CrcTables& Tables() {
    static const CrcTables tables;
    return tables;
}

} // namespace

std::uint16_t DarcCrc16(const unsigned char* bytes, int count) {
    if (!bytes || count < 1) return 0;
    const CrcTables& t = Tables();
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>(t.crc[t.reversed[bytes[i]] ^ (crc >> 8)] ^ ((crc & 0xFF) << 8));
    return crc;
}

std::uint32_t CurrentTimeValue() { return static_cast<std::uint32_t>(CTime::GetCurrentTime().GetTime()); }

int StoreAgeMinutes(int minutes, std::uint32_t stamp) {
    std::uint32_t age = (CurrentTimeValue() - stamp) / 60u;
    return minutes > 0 && age < static_cast<std::uint32_t>(minutes) ? 1 : 0;
}

std::uint32_t TimeMinusSpan(std::uint32_t time, std::uint32_t seconds) { return time - seconds; }

#include "platform/files/Files.h"

#include <string>

bool ReadWholeFile(const char16_t* name, std::vector<unsigned char>& bytes, std::size_t maxBytes) {
    bytes.clear();
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= maxBytes;
    if (ok) {
        bytes.resize(size);
        DWORD read = 0;
        ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteFileAside(const char16_t* name, const std::vector<unsigned char>& bytes) {
    // The folders of a save file may not exist yet on a fresh device.
    std::u16string path(name);
    for (std::size_t at = path.find(u'\\', 1); at != std::u16string::npos; at = path.find(u'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    std::u16string aside = path + u".new";
    HANDLE file = CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size());
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    if (ok) ok = MoveFileExW(aside.c_str(), name, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileW(aside.c_str());
    return ok;
}
