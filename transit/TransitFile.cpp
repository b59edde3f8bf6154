#include "transit/TransitFile.h"

#include "platform/base/CString.h"
#include "platform/files/Files.h"
#include "transit/TransitText.h"

namespace transit {
namespace {

constexpr std::size_t kFileHeadSize = 22;

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Get32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }
    // Reads exactly n bytes; false on an error or a short read (shortRead tells them apart).
    bool ReadExactly(void* buffer, DWORD n, bool& shortRead) const {
        DWORD got = 0;
        shortRead = false;
        if (!ReadFile(m_h, buffer, n, &got, nullptr)) return false;
        shortRead = got != n;
        return got == n;
    }

private:
    HANDLE m_h;
};

} // namespace

TransitFileStatus WriteTransitFile(const char16_t* path, std::uint8_t kind, const TransitFileContent& content) {
    if (!path) return TransitFileStatus::CannotOpen;
    std::string bytes;
    bytes.push_back(static_cast<char>(kind));
    bytes.push_back('2');
    for (ULONG c : content.coords) Put32(bytes, c);
    Put32(bytes, static_cast<std::uint32_t>(content.payload.size() + 4 * content.header.size()));
    for (std::int32_t w : content.header) Put32(bytes, static_cast<std::uint32_t>(w));
    bytes += content.payload;

    const CString target(path);
    const CString aside = target + u".new";
    bool written = false;
    {
        FileHandle file(CreateFileW(aside.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return TransitFileStatus::CannotOpen;
        DWORD count = 0;
        written = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                  count == bytes.size() && FlushFileBuffers(file.Get());
    }
    if (!written) {
        DeleteFileW(aside.GetString());
        return TransitFileStatus::WriteError;
    }
    if (!MoveFileExW(aside.GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(aside.GetString());
        return TransitFileStatus::WriteError;
    }
    return TransitFileStatus::Ok;
}

TransitFileStatus ReadTransitFile(const char16_t* path, std::uint8_t kind, int headerWords,
                                  int payloadLengthWord, TransitFileContent& content) {
    if (!path) return TransitFileStatus::CannotOpen;
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return TransitFileStatus::CannotOpen;
    bool shortRead = false;
    unsigned char head[kFileHeadSize];
    if (!file.ReadExactly(head, 1, shortRead)) return shortRead ? TransitFileStatus::TooShort : TransitFileStatus::ReadError;
    if (head[0] != kind) return TransitFileStatus::WrongKind;
    if (!file.ReadExactly(head + 1, kFileHeadSize - 1, shortRead))
        return shortRead ? TransitFileStatus::TooShort : TransitFileStatus::ReadError;
    TransitFileContent read;
    for (int i = 0; i < 4; ++i) read.coords[i] = Get32(head + 2 + 4 * i);
    std::vector<unsigned char> words(static_cast<std::size_t>(headerWords) * 4);
    if (!file.ReadExactly(words.data(), static_cast<DWORD>(words.size()), shortRead))
        return shortRead ? TransitFileStatus::TooShort : TransitFileStatus::ReadError;
    for (int i = 0; i < headerWords; ++i)
        read.header.push_back(static_cast<std::int32_t>(Get32(words.data() + 4 * i)));
    const std::int32_t length = read.header[static_cast<std::size_t>(payloadLengthWord)];
    if (length < 0 || length > kMaxReplyBytes) return TransitFileStatus::TooShort;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size < kFileHeadSize + words.size() + static_cast<DWORD>(length))
        return TransitFileStatus::TooShort;
    read.payload.resize(static_cast<std::size_t>(length));
    if (length > 0 && !file.ReadExactly(read.payload.data(), static_cast<DWORD>(length), shortRead))
        return shortRead ? TransitFileStatus::TooShort : TransitFileStatus::ReadError;
    content = std::move(read);
    return TransitFileStatus::Ok;
}

std::u16string FileErrorText(TransitFileStatus status, const char16_t* path) {
    const CString name(path ? path : u"");
    switch (status) {
    case TransitFileStatus::TooShort:
        return FormatWide(u"An attempt was made to access %s past its end.", name.GetString());
    case TransitFileStatus::WriteError:
        return FormatWide(u"An error occurred while writing '%s'.", name.GetString());
    default:
        return FormatWide(u"An error occurred while reading '%s'.", name.GetString());
    }
}

} // namespace transit
