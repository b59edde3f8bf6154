#include "position/PagedFile.h"

#include <climits>
#include <cstring>

CPagedFile::CPagedFile(std::unique_ptr<CBinFile> file) : m_file(std::move(file)) {}

void CPagedFile::SetCaching(bool on) {
    m_caching = on;
    m_pages.reset();
}

long CPagedFile::GetSize() {
    // The network's files do not change while they are open: the size is asked once.
    if (m_size == -2 || !m_caching) m_size = m_file ? m_file->GetSize() : -1;
    return m_size;
}

bool CPagedFile::ReadDirect(std::int64_t offset, void* buffer, std::int64_t n) {
    ++m_fileReads;
    return m_file->ReadAt(buffer, static_cast<int>(n), static_cast<long>(offset)) == n;
}

const CPagedFile::Page* CPagedFile::Load(std::int64_t number) {
    if (!m_pages) {
        // No more slots than the file has pages: a small file takes little memory.
        const long size = GetSize();
        const std::int64_t pages =
            size > 0 ? (static_cast<std::int64_t>(size) + kPageSize - 1) / kPageSize : 1;
        m_slots = static_cast<int>(pages < kPageSlots ? pages : kPageSlots);
        m_pages = std::make_unique<Page[]>(static_cast<std::size_t>(m_slots));
    }
    Page& page = m_pages[static_cast<std::size_t>(number % m_slots)];
    if (page.number == number) return &page;
    if (!page.bytes) page.bytes = std::make_unique<std::uint8_t[]>(kPageSize);
    page.number = -1;
    ++m_fileReads;
    const int got = m_file->ReadAt(page.bytes.get(), kPageSize, static_cast<long>(number * kPageSize));
    page.valid = got > 0 ? got : 0;
    // A page the file gave nothing for (its end, or a failed read) is asked for again next time.
    page.number = got > 0 ? number : -1;
    return &page;
}

bool CPagedFile::Read(std::int64_t offset, void* buffer, std::int64_t n) {
    // A position past 32 bits is refused, as the file's own seek refuses it.
    if (!m_file || offset < 0 || n < 0 || offset > INT32_MAX || n > INT32_MAX) return false;
    if (n == 0) return true;
    if (!m_caching) return ReadDirect(offset, buffer, n);
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (n > 0) {
        const std::int64_t number = offset / kPageSize;
        const int at = static_cast<int>(offset % kPageSize);
        const int take = static_cast<int>(n < kPageSize - at ? n : kPageSize - at);
        const Page* page = Load(number);
        if (page->valid < at + take) return false; // the file ends before the bytes asked for
        std::memcpy(out, page->bytes.get() + at, static_cast<std::size_t>(take));
        out += take;
        offset += take;
        n -= take;
    }
    return true;
}
