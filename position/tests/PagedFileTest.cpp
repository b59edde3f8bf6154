// The paged reader must answer every read exactly as the file itself would: the same bytes, and
// a failure whenever a byte asked for lies past the file's end.
#include "position/PagedFile.h"

#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Byte i of the test file: a pattern that differs from page to page and within a page.
std::uint8_t Pattern(std::int64_t i) {
    return static_cast<std::uint8_t>((i * 7 + i / 4096 * 13) % 251);
}

class PagedFileTest : public ::testing::Test {
protected:
    // A file of size bytes under a fresh root, opened through the paged reader.
    std::unique_ptr<CPagedFile> Make(std::int64_t size) {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        for (std::int64_t i = 0; i < size; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(Pattern(i));
        root.MakeFile("f.bin", bytes);
        auto file = std::make_unique<CBinFile>();
        EXPECT_EQ(file->Open(u"\\f.bin", CBinFile::kModeRead), 0);
        return std::make_unique<CPagedFile>(std::move(file));
    }
    static bool Holds(const std::vector<std::uint8_t>& got, std::int64_t offset) {
        for (std::size_t i = 0; i < got.size(); ++i)
            if (got[i] != Pattern(offset + static_cast<std::int64_t>(i))) return false;
        return true;
    }
    TempRoot root;
};

TEST_F(PagedFileTest, ReadsAnswerLikeTheFileInsideAndAtItsEnd) {
    const std::int64_t size = 3 * CPagedFile::kPageSize + 100; // the last page is short
    for (bool caching : {true, false}) {
        SCOPED_TRACE(caching ? "through pages" : "straight from the file");
        auto f = Make(size);
        f->SetCaching(caching);
        EXPECT_EQ(f->GetSize(), size);
        struct Case {
            std::int64_t offset, n;
            bool ok;
        };
        const Case cases[] = {
            {0, 28, true},         {4090, 12, true}, // across the first page boundary
            {100, 3 * 4096, true},                   // across three boundaries into the short page
            {size - 8, 8, true},                     // the file's last bytes
            {size - 8, 9, false},                    // one byte past the end
            {size, 1, false},                        // starting at the end
            {5 * 4096, 4, false},                    // a page the file does not reach
            {size, 0, true},                         // nothing asked for
            {-1, 4, false},        {0, -1, false},   {0x80000000LL, 4, false}, // a position past 32 bits
        };
        for (const Case& c : cases) {
            std::vector<std::uint8_t> got(c.n > 0 ? static_cast<std::size_t>(c.n) : 1);
            EXPECT_EQ(f->Read(c.offset, got.data(), c.n), c.ok) << c.offset << " " << c.n;
            if (c.ok && c.n > 0) {
                EXPECT_TRUE(Holds(got, c.offset)) << c.offset << " " << c.n;
            }
        }
    }
}

TEST_F(PagedFileTest, PagesThatShareASlotAreReadAgainCorrectly) {
    // Two pages one cache's width apart fall on the same slot; reading them in turn must keep
    // giving each its own bytes, and a page read twice in a row costs one read of the file.
    const std::int64_t stride = static_cast<std::int64_t>(CPagedFile::kPageSize) * CPagedFile::kPageSlots;
    auto f = Make(stride + 2 * CPagedFile::kPageSize);
    std::vector<std::uint8_t> got(16);
    const long before = f->FileReads();
    ASSERT_TRUE(f->Read(40, got.data(), 16));
    ASSERT_TRUE(f->Read(40, got.data(), 16));
    EXPECT_EQ(f->FileReads() - before, 1);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(f->Read(stride + 40, got.data(), 16));
        EXPECT_TRUE(Holds(got, stride + 40));
        ASSERT_TRUE(f->Read(40, got.data(), 16));
        EXPECT_TRUE(Holds(got, 40));
    }
    EXPECT_EQ(f->FileReads() - before, 7);
}

} // namespace
