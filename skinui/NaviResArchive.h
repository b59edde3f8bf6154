// The reader of the skin archive "ResData.bin": an index of named entries, each a whole PNG file,
// built once when the archive is opened; entries are decoded on demand.
//
// Layout (little-endian): header word, three 16-bit values (the second the signed entry count),
// then per entry 264 bytes: a 256-byte code-page-949 name padded with zeros, the data's offset
// from the start of the file and its size (32-bit each).
#pragma once

#include "platform/base/CString.h"
// Included here so that the LoadImage name means the same in every file that sees this one.
#include "platform/gdi/Gdi.h"
#include "route/base/BinFile.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class NaviBitmap;

// An entry larger than this is refused when the index is built.
constexpr std::uint32_t kMaxSkinEntry = 16u << 20;

class NaviResArchive {
public:
    struct Entry {
        CString name;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    NaviResArchive();
    ~NaviResArchive();

    void SetFolder(const CString& folder);
    // Opens the archive (closing one opened before) and builds the index; false when the file
    // cannot be opened, which leaves the index empty.
    bool Open();
    // A new image decoded from the entry (owned by the caller), or null when there is none. An
    // entry that cannot be read whole gives an image without pixels.
    NaviBitmap* LoadImage(const CString& name);
    // Told every name LoadImage looks up and whether the archive holds it (checks that a screen
    // asks only for images the skin has). An empty function stops the telling.
    void SetLookupObserver(std::function<void(const CString& name, bool found)> observer) {
        m_observer = std::move(observer);
    }

    const std::map<std::u16string, Entry>& Index() const { return m_index; }
    const Entry* Find(const CString& name) const;
    // The entry's bytes; false when they cannot be read whole.
    bool ReadEntry(const Entry& entry, std::vector<BYTE>& out);
    const CString& GetPath() const { return m_path; }

private:
    std::map<std::u16string, Entry> m_index;
    std::unique_ptr<CBinFile> m_file;
    CString m_fileName{u"ResData.bin"};
    CString m_folder;
    CString m_path;
    long m_fileSize = 0;
    std::function<void(const CString&, bool)> m_observer;
};
