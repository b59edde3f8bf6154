// A read-only file read through a small cache of fixed-size pages. The road network's files are
// read in many small records (a link, a node, a few shape points) at scattered offsets, and the
// same records again and again from one fix to the next; the pages keep them in memory so that a
// record costs a copy instead of a seek and a read. A read answers exactly as a direct read of
// the file would: every byte it asks for must lie inside the file, else it fails.
#pragma once

#include "route/base/BinFile.h"

#include <cstdint>
#include <memory>

class CPagedFile {
public:
    static constexpr int kPageSize = 4096;
    static constexpr int kPageSlots = 256; // at most 1 MB of a file in memory

    explicit CPagedFile(std::unique_ptr<CBinFile> file);
    CPagedFile(const CPagedFile&) = delete;
    CPagedFile& operator=(const CPagedFile&) = delete;

    // n bytes at offset into buffer; false when any of them lies outside the file or a read fails.
    bool Read(std::int64_t offset, void* buffer, std::int64_t n);
    // The file's size in bytes, -1 when it cannot be told.
    long GetSize();
    // Off: every read goes straight to the file (the pages are dropped).
    void SetCaching(bool on);
    // Reads of the file itself so far (a diagnostic for the cache's effect).
    long FileReads() const { return m_fileReads; }

private:
    struct Page {
        std::int64_t number = -1;
        int valid = 0; // bytes of the file held, from the page's start
        std::unique_ptr<std::uint8_t[]> bytes;
    };
    bool ReadDirect(std::int64_t offset, void* buffer, std::int64_t n);
    const Page* Load(std::int64_t number);

    std::unique_ptr<CBinFile> m_file;
    std::unique_ptr<Page[]> m_pages;
    int m_slots = 0;
    bool m_caching = true;
    long m_size = -2; // -2 until asked
    long m_fileReads = 0;
};
